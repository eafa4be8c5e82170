// The maya.env line operations, case by case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "env_line.h"

namespace {

using trellisk::format_env_line;
using trellisk::is_variable_line;
using trellisk::normalize_path;
using trellisk::parse_env_line;
using trellisk::ParsedEnvVar;
using trellisk::paths_equal;
using trellisk::trim_line;

struct TextCase {
    std::string input;
    std::string expected;
};

TEST(TrimLine, RemovesBlanksAtTheEndsOnly) {
    const std::vector<TextCase> cases = {
        {"  PATH=a;b\r\n", "PATH=a;b"},
        {"\t x \t", "x"},
        {"x\n ", "x"},
        {"\n x", "\n x"},  // a line feed at the start stops the leading step
        {"\r\n", ""},
        {" \t \t ", ""},
        {"", ""},
        {" x\v", "x\v"},  // vertical tab, form feed and 0xA0 are not blanks
        {"\fx\xA0", "\fx\xA0"},
        {"\r\tx", "x"},
        {"a \t b", "a \t b"},  // nothing inside is touched
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(trim_line(c.input), c.expected) << '"' << c.input << '"';
}

TEST(ParseEnvLine, SplitsNameAndValues) {
    struct Case {
        std::string line;
        std::string name;
        std::vector<std::string> values;
    };
    const std::vector<Case> cases = {
        {"PATH=a;b;", "PATH", {"a", "b"}},
        {"PATH=a;b", "PATH", {"a", "b"}},
        {"PATH=a;;b", "PATH", {"a", "", "b"}},
        {"PATH=;a", "PATH", {"", "a"}},
        {"PATH=a;;", "PATH", {"a", ""}},
        {"PATH=;", "PATH", {""}},
        {"PATH=", "PATH", {}},
        {"PATH", "", {}},
        {"", "", {}},
        {"=a", "", {"a"}},
        {"X=k=v;w", "X", {"k=v", "w"}},
        {"PATH = a; b", "PATH ", {" a", " b"}},
        {"PATH=a;a", "PATH", {"a", "a"}},
        {std::string("N=a\0b;c", 7), "N", {std::string("a\0b", 3), "c"}},
    };
    for (const Case& c : cases) {
        const ParsedEnvVar var = parse_env_line(c.line);
        EXPECT_EQ(var.name, c.name) << c.line;
        EXPECT_EQ(var.values, c.values) << c.line;
    }
}

TEST(NormalizePath, GivesTheComparisonForm) {
    const std::vector<TextCase> cases = {
        {"C:\\Users\\\\x\\", "c:/users/x"},
        {"D:/Projects//Scripts/", "d:/projects/scripts"},
        {" C:\\Program Files\\Tools\\\t", "c:/program files/tools"},
        {"\\\\server\\share\\Tools", "/server/share/tools"},
        {"C:\\/Data", "c:/data"},
        {"C:\\", "c:"},
        {"/", ""},
        {"///", ""},
        {"", ""},
        {"   ", ""},
        {"C:\\foo \\", "c:/foo "},  // the blank before the final separator stays
        {"C:/a/./B/../c", "c:/a/./b/../c"},
        {"\xC3\x89t\xC3\xA9/AZ@[`{", "\xC3\x89t\xC3\xA9/az@[`{"},  // only A-Z are lowered
        {"rel\\Dir", "rel/dir"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(normalize_path(c.input), c.expected) << c.input;
}

TEST(PathsEqual, ComparesComparisonForms) {
    struct Case {
        std::string a;
        std::string b;
        bool equal;
    };
    const std::vector<Case> cases = {
        {"C:\\Users\\x\\Scripts\\", "c:/users/x/scripts", true},
        {" \tC:/tools\t ", "C:/tools", true},
        {"C:\\", "C:", true},
        {"/", "", true},
        {"C:/a/../b", "C:/b", false},
        {"C:/My Scripts", "C:/My  Scripts", false},
        {"C:/\xC3\x89", "C:/\xC3\xA9", false},  // accented capital and small letter
        {"C:/tools", "C:/tools2", false},
        {"C:/tools", "C:/tool", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(paths_equal(c.a, c.b), c.equal) << c.a << " | " << c.b;
        EXPECT_EQ(paths_equal(c.b, c.a), c.equal) << c.b << " | " << c.a;
    }
}

// The lead bytes of code page 932 (Japanese): 81-9F and E0-FC. A1-DF are the
// one-byte half-width katakana.
trellisk::LeadBytes code_page_932() {
    trellisk::LeadBytes lead;
    for (int b = 0x81; b <= 0x9F; ++b) lead.set(b);
    for (int b = 0xE0; b <= 0xFC; ++b) lead.set(b);
    return lead;
}

// ア is 83 41, ヂ 83 61, ソ 83 5C, 表 95 5C: a trail byte can be a letter or "\".
TEST(NormalizePath, KeepsTwoByteCharactersWhole) {
    const trellisk::LeadBytes lead = code_page_932();
    const std::vector<TextCase> cases = {
        {"C:\\\x83\x41", "c:/\x83\x41"},  // not lower-cased to 83 61, which is another character
        {"C:\\\x83\x5C\\scripts", "c:/\x83\x5C/scripts"},  // the trail byte is no separator
        {"C:\\\x83\x5Cscripts", "c:/\x83\x5Cscripts"},
        {"C:\\\x83\x5C\\\\Tools\\", "c:/\x83\x5C/tools"},
        {"\x95\x5C\\", "\x95\x5C"},  // a trailing separator after one
        {"\x95\x5C", "\x95\x5C"},    // the trail byte stays at the end
        {"\xB1"
         "A\\B",
         "\xB1"
         "a/b"},                      // a half-width katakana has one byte
        {"AB\x83", "ab\x83"},         // a lead byte without its trail byte
        {" \x83\x41\t", "\x83\x41"},  // blanks are never trail bytes
    };
    for (const TextCase& c : cases) EXPECT_EQ(normalize_path(c.input, lead), c.expected) << c.input;

    // The cases of a wrong match: another user's value, another folder.
    EXPECT_FALSE(paths_equal("C:\\\x83\x41", "C:\\\x83\x61", lead));
    EXPECT_FALSE(paths_equal("C:\\\x83\x5C\\scripts", "C:\\\x83\x5Cscripts", lead));
    EXPECT_TRUE(paths_equal("c:/\x83\x5C/tools", "C:\\\x83\x5C\\Tools\\", lead));
    // Without lead bytes (UTF-8, POSIX) every byte is a character, as before.
    EXPECT_EQ(normalize_path("C:\\\x83\x41\x83\x5C\\x"),
              "c:/\x83"
              "a\x83/x");
}

TEST(FormatEnvLine, JoinsValuesWithoutTrailingSeparator) {
    EXPECT_EQ(format_env_line({"PATH", {"a", "", "b"}}), "PATH=a;;b");
    EXPECT_EQ(format_env_line({"PATH ", {" a"}}), "PATH = a");
    EXPECT_EQ(format_env_line({"PATH", {""}}), "PATH=");
    EXPECT_EQ(format_env_line({"PATH", {}}), "");  // nothing left: the line goes
}

// A line is the variable's when it begins with the name and "=", or when its
// text before the first "=", without trailing blanks, is the name.
TEST(IsVariableLine, MatchesTheNameFollowedByEqualsOrBeforeTheFirstEquals) {
    struct Case {
        std::string name;
        std::string line;
        bool matches;
    };
    const std::vector<Case> cases = {
        {"TOOLS_PATH", "TOOLS_PATH=a", true},
        {"TOOLS_PATH", "TOOLS_PATH=", true},
        {"TOOLS_PATH", "TOOLS_PATH \t=a", true},  // blanks before "=" are ignored, as Maya does
        {"TOOLS_PATH", "TOOLS_PATH=x=y", true},
        {"TOOLS_PATH", "TOOLS_PATH_EXTRA=a", false},  // a longer name that begins with this one
        {"TOOLS_PATH", "TOOLS_PATHX=a", false},
        {"TOOLS_PATH", "TOOLS_PATH", false},  // no "="
        {"TOOLS_PATH", "TOOLS_PATH a", false},
        {"TOOLS_PATH", "tools_path=a", false},  // case-sensitive
        {"TOOLS_PATH", "TOOLS=a", false},
        {"TOOLS_PATH", "TOOLS_PATH\v=a", false},
        {"TOOLS_PATH", "=a", false},
        {"TOOLS_PATH", "", false},
        {"TOOLS_PATH", "#TOOLS_PATH=a", false},
        // Names that the part before the first "=" cannot hold whole: a blank
        // at the end, a "#" at the start, an "=" inside.
        {"PYTHONPATH ", "PYTHONPATH =C:/tools;", true},
        {"PYTHONPATH ", "PYTHONPATH=C:/tools", false},
        {"PYTHONPATH ", "PYTHONPATH  =C:/tools", false},
        {"#C", "#C=C:/tools;", true},
        {"#C", "#C =a", true},
        {"#C", "#CD=a", false},
        {"#C", "#=a", false},
        {"A#", "A#=a", true},
        {"A=B", "A=B=a", true},
        {"A=B", "A=a", false},
        {"A=B", "A=Ba", false},
        {"A", "A=B=a", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(is_variable_line(c.line, c.name), c.matches)
            << '"' << c.name << "\" in \"" << c.line << '"';
}

}  // namespace
