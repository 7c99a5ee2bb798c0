#include "main/files/copy_check.h"

namespace tav {

bool ArrivedAsCopied(const CopiedFileFacts& source, const CopiedFileFacts& copied) {
    if (copied.folder || source.folder || copied.size != source.size) return false;
    const std::uint64_t difference = copied.lastWriteTime > source.lastWriteTime
                                         ? copied.lastWriteTime - source.lastWriteTime
                                         : source.lastWriteTime - copied.lastWriteTime;
    return difference <= kLastWriteTimeTolerance;
}

}  // namespace tav
