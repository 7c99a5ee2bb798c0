// A Linux symbolic link at a name in the test prefix, made for one test by
// the harness's helper (tests/wine/links_on_request.py; the suite runs with
// TAV_LINK_REQUESTS). Wine's own CreateSymbolicLink makes nothing.
#pragma once

#include <string>

#include "tests/support/uninstaller_session.h"
#include "tests/uia/uia.h"

namespace systest {

class LinkAtName {
public:
    // A link at `link` that leads to `target`, both on drive C.
    LinkAtName(const std::string& link, const std::string& target) : id_("l" + std::to_string(++count_)) {
        EXPECT_TRUE(uia::MakeFolders(kControl));
        EXPECT_TRUE(uia::WriteFileBytes(Control("req"), OnDriveC(link) + "\n" + OnDriveC(target) + "\n"));
        made_ = uia::WaitUntil([&] { return uia::FileExists(Control("made")) || uia::FileExists(Control("failed")); },
                               kBoxTimeout) &&
                uia::FileExists(Control("made"));
        EXPECT_TRUE(made_) << "no link at " << link;
    }
    ~LinkAtName() {
        if (!made_) return;
        EXPECT_TRUE(uia::WriteFileBytes(Control("undo"), "1"));
        EXPECT_TRUE(uia::WaitForFile(Control("undone"), kBoxTimeout).has_value()) << id_;
    }
    LinkAtName(const LinkAtName&) = delete;
    LinkAtName& operator=(const LinkAtName&) = delete;

    bool Made() const { return made_; }

private:
    static std::string OnDriveC(const std::string& path) {
        std::string relative = path.substr(3);  // after "C:\"
        for (char& c : relative)
            if (c == '\\') c = '/';
        return relative;
    }
    std::string Control(const char* what) const { return kControl + "\\" + id_ + "." + what; }

    static inline const std::string kControl = "C:\\tav_links";
    static inline int count_ = 0;
    std::string id_;
    bool made_ = false;
};

}  // namespace systest
