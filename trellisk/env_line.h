// The line format of maya.env and the comparison of values as paths.
//
// A variable line reads NAME=value;value;... . These operations keep no state,
// touch no file and print nothing; all text is handled as raw bytes.
#pragma once

#include <string>
#include <vector>

namespace trellisk {

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
// runs of slashes collapsed, trailing slashes removed, A-Z lower-cased.
std::string normalize_path(const std::string& value);

// True when both values have the same comparison form.
bool paths_equal(const std::string& a, const std::string& b);

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
