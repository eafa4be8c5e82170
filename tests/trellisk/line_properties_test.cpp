// Properties of the line operations over many generated inputs. The inputs are
// drawn from the bytes that mean something to these operations, plus a few
// that must not, so that the interesting cases come up often.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "env_line.h"

namespace {

using trellisk::format_env_line;
using trellisk::normalize_path;
using trellisk::parse_env_line;
using trellisk::ParsedEnvVar;
using trellisk::paths_equal;

constexpr int kRuns = 20000;

class Generator {
  public:
    explicit Generator(unsigned seed) : random_(seed) {}

    std::string text(const std::string& alphabet, std::size_t max_length) {
        std::string s(pick(max_length + 1), '\0');
        for (char& c : s) c = alphabet[pick(alphabet.size())];
        return s;
    }

    std::size_t pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
    }
    bool coin() { return pick(2) == 0; }

  private:
    std::mt19937 random_;
};

const std::string kAnyBytes =
    std::string(" \t\r\n\\/:;=.Aaz", 14) + "Z\v\xC9\xE9" + std::string(1, '\0');
const std::string kSegmentBytes = "AaBbzZ09._-:\xC9\xE9";

bool ends_with_blank(const std::string& s) {
    return !s.empty() &&
           (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n');
}

// A second normalisation changes nothing, except where removing trailing
// slashes left a blank at the end: that blank belongs to the form ("x \" gives
// "x "), and only a second trim removes it.
TEST(LineProperties, NormalizePathIsIdempotentUnlessItsFormEndsInABlank) {
    Generator gen(1);
    for (int i = 0; i < kRuns; ++i) {
        const std::string value = gen.text(kAnyBytes, 24);
        const std::string form = normalize_path(value);
        if (ends_with_blank(form)) continue;
        ASSERT_EQ(normalize_path(form), form) << '"' << value << '"';
    }
    EXPECT_EQ(normalize_path("x \\"), "x ");  // the exception exists, as described
}

// Rewrites that keep a path the same: case of A-Z, either separator, doubled
// separators, a trailing separator, blanks around the whole value.
std::string same_path_variant(Generator& gen, const std::vector<std::string>& segments,
                              bool rooted) {
    std::string v = gen.coin() ? " \t" : "";
    if (rooted) v += gen.coin() ? "/" : "\\\\";
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (i > 0) v += gen.coin() ? "/" : (gen.coin() ? "\\" : "\\/");
        for (char c : segments[i]) {
            if (gen.coin() && c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            else if (gen.coin() && c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            v += c;
        }
    }
    if (gen.coin()) v += gen.coin() ? "/" : "\\\\";
    if (gen.coin()) v += "\r\n";
    return v;
}

TEST(LineProperties, PathsEqualIsSymmetricAndIgnoresSpelling) {
    Generator gen(2);
    for (int i = 0; i < kRuns; ++i) {
        std::vector<std::string> segments(1 + gen.pick(4));
        for (std::string& s : segments) s = gen.text(kSegmentBytes, 6) + "x";
        const bool rooted = gen.coin();
        const std::string a = same_path_variant(gen, segments, rooted);
        const std::string b = same_path_variant(gen, segments, rooted);
        ASSERT_TRUE(paths_equal(a, b)) << '"' << a << "\" \"" << b << '"';

        const std::string c = gen.text(kAnyBytes, 12);
        const std::string d =
            gen.coin() ? gen.text(kAnyBytes, 12) : same_path_variant(gen, {c}, false);
        ASSERT_EQ(paths_equal(c, d), paths_equal(d, c)) << '"' << c << "\" \"" << d << '"';
    }
}

// Paths in a double-byte code page (932), made of one-byte characters and
// two-byte characters whose trail byte is often "\" or a letter. Spelling the
// one-byte characters differently (case, separators) keeps the path equal;
// changing one two-byte character, even into one that differs only in the
// case or the separator meaning of its trail byte, never does.
TEST(LineProperties, TwoByteCharactersCompareWhole) {
    trellisk::LeadBytes lead;
    for (int b = 0x81; b <= 0x9F; ++b) lead.set(b);
    for (int b = 0xE0; b <= 0xFC; ++b) lead.set(b);
    const std::string leads = "\x81\x83\x95\xE0\xFC";
    const std::string trails = "\\Aa\x40\x7E\x80\xFC";
    const std::string singles = "AbZ09._:\xB1";
    Generator gen(5);
    for (int i = 0; i < kRuns; ++i) {
        // A path as characters: one string per character.
        std::vector<std::string> chars;
        for (std::size_t n = 1 + gen.pick(8); n > 0; --n) {
            if (gen.coin())
                chars.push_back({leads[gen.pick(leads.size())], trails[gen.pick(trails.size())]});
            else if (gen.pick(4) == 0)
                chars.push_back("\\");
            else
                chars.push_back({singles[gen.pick(singles.size())]});
        }
        auto spell = [&](const std::vector<std::string>& path) {
            std::string v = gen.coin() ? " " : "";
            for (const std::string& c : path) {
                if (c.size() == 2) {
                    v += c;
                } else if (c == "\\") {
                    v += gen.coin() ? "/" : (gen.coin() ? "\\" : "\\//");
                } else if (c[0] >= 'A' && c[0] <= 'Z' && gen.coin()) {
                    v += static_cast<char>(c[0] - 'A' + 'a');
                } else if (c[0] >= 'a' && c[0] <= 'z' && gen.coin()) {
                    v += static_cast<char>(c[0] - 'a' + 'A');
                } else {
                    v += c;
                }
            }
            if (gen.coin()) v += "\\";
            return v;
        };
        const std::string a = spell(chars);
        ASSERT_TRUE(paths_equal(a, spell(chars), lead)) << a;

        std::vector<std::string> other = chars;
        std::vector<std::size_t> pairs;
        for (std::size_t k = 0; k < other.size(); ++k) {
            if (other[k].size() == 2) pairs.push_back(k);
        }
        if (pairs.empty()) continue;
        std::string& changed = other[pairs[gen.pick(pairs.size())]];
        const char was = changed[1];
        while (changed[1] == was) changed[1] = trails[gen.pick(trails.size())];
        ASSERT_FALSE(paths_equal(a, spell(other), lead)) << a;
    }
}

// A record whose last value is not empty survives writing and reading back.
TEST(LineProperties, RebuiltRecordReadsBackTheSame) {
    const std::string name_bytes = " \tAZaz_;#\xC9" + std::string(1, '\0');
    const std::string value_bytes = " \tAaZ\\/:=.\xC9" + std::string(1, '\0');
    Generator gen(3);
    for (int i = 0; i < kRuns; ++i) {
        ParsedEnvVar var;
        var.name = gen.text(name_bytes, 8);
        var.values.resize(1 + gen.pick(5));
        for (std::string& v : var.values) v = gen.text(value_bytes, 6);
        var.values.back() += 'v';
        const ParsedEnvVar back = parse_env_line(format_env_line(var));
        ASSERT_EQ(back.name, var.name);
        ASSERT_EQ(back.values, var.values);
    }
}

// Any line with values rebuilds to a line that parses to the same name and
// values, but for an empty last value, which a rebuilt line cannot carry.
TEST(LineProperties, RebuiltLineKeepsItsNameAndValues) {
    Generator gen(4);
    for (int i = 0; i < kRuns; ++i) {
        const std::string line = gen.text(kAnyBytes, 10) + "=" + gen.text(kAnyBytes, 16);
        const ParsedEnvVar parsed = parse_env_line(line);
        if (parsed.values.empty()) continue;
        std::vector<std::string> expected = parsed.values;
        if (expected.back().empty()) expected.pop_back();
        const ParsedEnvVar back = parse_env_line(format_env_line(parsed));
        ASSERT_EQ(back.name, parsed.name) << '"' << line << '"';
        ASSERT_EQ(back.values, expected) << '"' << line << '"';
    }
}

}  // namespace
