// The line format of maya.env and the comparison of values as paths.
//
// A variable line reads NAME=value;value;... . These operations keep no state,
// touch no file and print nothing; all text is handled as raw bytes. The
// bytes that mean something here ("=", ";", blanks, line ends) are never the
// second byte of a two-byte character in any code page that maya.env may be
// written in; "\" and the letters A-Z are, in the double-byte ANSI code pages
// of Windows (932, 936, 949, 950), so the comparison of values takes the
// characters of the code page (LeadBytes).
#pragma once

#include <bitset>
#include <string>
#include <vector>

namespace trellisk {

// The bytes that begin a two-byte character in the code page of the text: such
// a lead byte and the byte after it (the trail byte, which may be any byte
// from 0x40 up, "\" and ASCII letters included) form one character. None set:
// every byte is a character of its own (single-byte code pages, UTF-8, where
// no ASCII byte occurs inside a character, and POSIX builds).
using LeadBytes = std::bitset<256>;

// One parsed variable line: the bytes before the first "=" and the
// ";"-separated values after it, in line order, untrimmed.
struct ParsedEnvVar {
    std::string name;
    std::vector<std::string> values;
};

// Removes leading spaces, tabs and carriage returns, and trailing spaces, tabs,
// carriage returns and line feeds. A line feed at the start is kept on purpose:
// it stops the leading step.
std::string trim_line(const std::string& line);

// Splits a line at its first "=" and then at every ";". Every ";" ends a value,
// also an empty one; what follows the last ";" is a value only when non-empty.
// A line without "=" gives an empty name and no values.
ParsedEnvVar parse_env_line(const std::string& line);

// The comparison form of a value: trimmed, backslashes turned into slashes,
// runs of slashes collapsed, trailing slashes removed, A-Z lower-cased. Only
// characters of one byte are changed or read as separators: a two-byte
// character (`lead_bytes`) stays as it is, also where its trail byte is "\"
// or a letter. A lead byte at the very end has no trail byte and stands alone.
std::string normalize_path(const std::string& value, const LeadBytes& lead_bytes = LeadBytes());

// True when both values have the same comparison form.
bool paths_equal(const std::string& a, const std::string& b,
                 const LeadBytes& lead_bytes = LeadBytes());

// Writes a parsed line back: name, "=", the values joined with ";" (no ";"
// after the last). A record without values gives the empty string, which the
// rewrite drops.
std::string format_env_line(const ParsedEnvVar& var);

// Whether a trimmed line is the line of the variable `name`: it begins with
// `name` immediately followed by "=", or its text before the first "=", with
// trailing spaces and tabs removed, equals `name`; both byte for byte. A line
// without "=" never matches, and neither does a longer name that merely begins
// with `name`. A comment line ("#...") matches only a name that begins with "#".
bool is_variable_line(const std::string& line, const std::string& name);

}  // namespace trellisk
