// The programs' terminate handler, linked into Tavrino2 and Tav_uninstall only.
//
// The programs catch no exception: anything thrown (bad_alloc, length_error)
// ends the program through std::terminate, which calls abort(). The runtime's
// default handler first prints the exception's demangled type name to stderr,
// which a GUI program does not have; defining the handler here keeps the
// runtime's version, its demangler and the printf it uses (about 77 KB) out of
// the programs. The end is the same: abort().
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
