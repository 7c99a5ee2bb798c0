#include "main/run/operand_spelling.h"

#include <gtest/gtest.h>

#include "common/command_line.h"
#include "main/run/parameters.h"

using namespace tav;

namespace {

// One element as the program sees it twice: `ansi` in the ANSI command line,
// `exact` its wide form where the code page spells it exactly.
struct Element {
    std::string ansi;
    std::optional<std::string> exact;
};
Element Same(const std::string& s) { return {s, s}; }
Element LookAlike(const std::string& ansi) { return {ansi, std::nullopt}; }

bool Acts(const std::vector<Element>& elements) {
    std::vector<std::string> args;
    std::vector<std::optional<std::string>> exact;
    for (const auto& e : elements) {
        args.push_back(e.ansi);
        exact.push_back(e.exact);
    }
    return ActsOnWhatWasWritten(args, exact);
}

}  // namespace

// A look-alike in a path the action changes stops it; anywhere else the
// action goes on.
TEST(OperandSpelling, ALookAlikeStopsTheActionOnlyInAPathItChanges) {
    const Element c = Same("c");
    const struct {
        const char* what;
        std::vector<Element> elements;
        bool acts;
    } cases[] = {
        {"killfolder, Łukasz", {c, Same("killfolder"), LookAlike("C:\\Daten\\Lukasz")}, false},
        {"killfolder, plain", {c, Same("killfolder"), Same("C:\\Daten\\Lukasz")}, true},
        {"kill pattern", {c, Same("kill"), LookAlike("C:\\Daten\\*.txt")}, false},
        {"makedir", {c, Same("makedir"), LookAlike("C:\\Neu")}, false},
        {"copy: source only read", {c, Same("copy"), LookAlike("D:\\a.txt"), Same("C:\\b.txt")}, true},
        {"copy: target", {c, Same("copy"), Same("D:\\a.txt"), LookAlike("C:\\b.txt")}, false},
        {"copydir: source only read", {c, Same("copydir"), LookAlike("D:\\Demo"), Same("C:\\Ziel")}, true},
        {"copydir: target", {c, Same("copydir"), Same("D:\\Demo"), LookAlike("C:\\Ziel")}, false},
        {"rename: old", {c, Same("rename"), LookAlike("C:\\alt"), Same("C:\\neu")}, false},
        {"rename: new", {c, Same("rename"), Same("C:\\alt"), LookAlike("C:\\neu")}, false},
        {"opendialog: title", {c, Same("opendialog"), LookAlike("Bild fur Lukasz"), Same("*.jpg"), Same("C:\\t\\bild")}, true},
        {"opendialog: pattern", {c, Same("opendialog"), Same("T"), LookAlike("*.jpg"), Same("C:\\t\\bild")}, true},
        {"opendialog: target", {c, Same("opendialog"), Same("T"), Same("*.jpg"), LookAlike("C:\\t\\Lukasz")}, false},
        {"copydialog: source", {c, Same("copydialog"), LookAlike("D:\\Lukasz.txt")}, true},
        {"selectfolder", {c, Same("selectfolder"), LookAlike("Ordner fur Lukasz"), LookAlike("C:\\Lukasz")}, true},
        {"desk: target", {c, Same("desk"), LookAlike("C:\\Lukasz.exe"), Same("Demo")}, true},
        {"desk: name", {c, Same("desk"), Same("C:\\x.exe"), LookAlike("Lukasz")}, false},
        {"desk: icon", {c, Same("desk"), Same("C:\\x.exe"), Same("Demo"), LookAlike("C:\\L.ico")}, true},
        {"start: folder", {c, Same("start"), Same("C:\\x.exe"), LookAlike("Lukasz"), Same("Demo")}, false},
        {"start: name", {c, Same("start"), Same("C:\\x.exe"), Same("Demo"), LookAlike("Lukasz")}, false},
        {"uninstall: its command", {c, Same("uninstall"), Same(""), Same("Demo"), Same("Weg"), c, LookAlike("u/C:\\Lukasz")}, false},
        {"uninstall: plain", {c, Same("uninstall"), Same(""), Same("Demo"), Same("Weg"), c, Same("u/C:\\Demo")}, true},
        {"wallpaper", {c, Same("wallpaper"), LookAlike("C:\\Bilder\\Lukasz.jpg")}, false},
        {"ini: list file only read", {c, Same("ini"), LookAlike("liste.txt")}, true},
        {"file browser: caption", {c, LookAlike("Bitte wahlen, Lukasz"), Same("*.jpg"), Same("C:\\t\\bild")}, true},
        {"file browser: target", {c, Same("Titel"), Same("*.jpg"), LookAlike("C:\\t\\Lukasz")}, false},
        {"file browser: size", {c, Same("Titel"), Same("*.jpg"), Same("C:\\t\\b"), LookAlike("640")}, true},
        {"a verb spelled with look-alikes", {c, LookAlike("kill"), Same("C:\\a.txt")}, false},
        {"a family spelled with look-alikes", {LookAlike("c"), Same("kill"), Same("C:\\a.txt")}, false},
        {"export target", {LookAlike("p"), Same("C:\\Bilder"), Same("640"), Same("480"), Same("png")}, false},
        {"export folder", {Same("p"), LookAlike("C:\\Bilder"), Same("640"), Same("480"), Same("png")}, false},
        {"export size", {Same("p"), Same("C:\\Bilder"), LookAlike("640"), Same("480"), Same("png")}, true},
        {"search pattern", {Same("s"), Same("all"), LookAlike("Lukasz*.doc")}, true},
        {"no family", {LookAlike("x"), LookAlike("C:\\a")}, true},
        {"a missing operand", {c, Same("kill")}, true},
    };
    for (const auto& t : cases) EXPECT_EQ(Acts(t.elements), t.acts) << t.what;
}

// A fullwidth comma becomes a comma in the ANSI copy: the two splits then no
// longer correspond, and a path element that differs stops the action.
TEST(OperandSpelling, ElementsThatNoLongerCorrespondStopTheAction) {
    // c,kill,C:\a，*.* : the wide string has three elements, the ANSI one four.
    EXPECT_FALSE(ActsOnWhatWasWritten({"c", "kill", "C:\\a", "*.*"}, {"c", "kill", std::nullopt}));
    // A fullwidth comma in the dialog's title moves the target one place on.
    EXPECT_FALSE(ActsOnWhatWasWritten({"c", "opendialog", "Ti", "tel", "*.*", "C:\\t"},
                                      {"c", "opendialog", std::nullopt, "*.*", "C:\\t"}));
    // The wide string holding fewer elements than the ANSI one.
    EXPECT_FALSE(ActsOnWhatWasWritten({"c", "copy", "a", "b"}, {"c", "copy", "a"}));
    EXPECT_TRUE(ActsOnWhatWasWritten({"c", "copy", "a", "b"}, {"c", "copy", "a", "b"}));
    EXPECT_TRUE(ActsOnWhatWasWritten({}, {}));
}

TEST(OperandSpelling, TheElementsNamedForEachFamily) {
    using V = std::vector<std::size_t>;
    EXPECT_EQ(ElementsSpelledExactly({"c", "rename", "a", "b"}), (V{0, 1, 2, 3}));
    EXPECT_EQ(ElementsSpelledExactly({"c", "Bitte wählen", "*.jpg", "C:\\t"}), (V{0, 3}));
    EXPECT_EQ(ElementsSpelledExactly({"c"}), (V{0}));
    EXPECT_EQ(ElementsSpelledExactly({"p", "C:\\x"}), (V{0, 1}));
    EXPECT_EQ(ElementsSpelledExactly({"s", "all", "*.ppt"}), (V{0}));
    EXPECT_EQ(ElementsSpelledExactly({"C", "kill", "x"}), V{});
    EXPECT_EQ(ElementsSpelledExactly({}), V{});
}

// The wide command line is cut and split by the rules of the ANSI one.
TEST(OperandSpelling, TheWideCommandLineSplitsAsTheAnsiOne) {
    EXPECT_EQ(CommandLineTail(L"\"C:\\Pro gramme\\Tavrino2.exe\"  c,kill,C:\\\u0141"), L"c,kill,C:\\\u0141");
    EXPECT_EQ(CommandLineTail(L"x.exe \t c,u/C:\\A,B  "), L"c,u/C:\\A,B  ");
    EXPECT_EQ(CommandLineTail(L"x.exe"), L"");
    EXPECT_EQ(SplitAtCommas(L"c, kill ,,\u0141,"),
              (std::vector<std::wstring>{L"c", L" kill ", L"", L"\u0141", L""}));
    EXPECT_EQ(SplitAtCommas(L""), (std::vector<std::wstring>{L""}));
}
