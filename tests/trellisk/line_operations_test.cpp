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
