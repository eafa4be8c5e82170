#include "env_line.h"

#include <cstddef>

namespace trellisk {
namespace {

bool is_leading_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool is_trailing_blank(char c) { return is_leading_blank(c) || c == '\n'; }

// Locale-independent, so the comparison form is the same on every system.
char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string trim_line(const std::string& line) {
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && is_leading_blank(line[begin])) ++begin;
    while (end > begin && is_trailing_blank(line[end - 1])) --end;
    return line.substr(begin, end - begin);
}

ParsedEnvVar parse_env_line(const std::string& line) {
    ParsedEnvVar var;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return var;
    var.name = line.substr(0, equals);
    std::size_t start = equals + 1;
    for (std::size_t semicolon = line.find(';', start); semicolon != std::string::npos;
         semicolon = line.find(';', start)) {
        var.values.push_back(line.substr(start, semicolon - start));
        start = semicolon + 1;
    }
    if (start < line.size()) var.values.push_back(line.substr(start));
    return var;
}

std::string normalize_path(const std::string& value, const LeadBytes& lead_bytes) {
    const std::string trimmed = trim_line(value);
    std::string form;
    form.reserve(trimmed.size());
    bool after_separator = false;  // the form ends in a separator
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        const char c = trimmed[i];
        if (lead_bytes.test(static_cast<unsigned char>(c)) && i + 1 < trimmed.size()) {
            form.append(trimmed, i++, 2);  // a two-byte character, as it is
            after_separator = false;
        } else if (c == '/' || c == '\\') {
            if (!after_separator) form.push_back('/');
            after_separator = true;
        } else {
            form.push_back(ascii_lower(c));
            after_separator = false;
        }
    }
    if (after_separator) form.pop_back();  // runs are collapsed: one separator at most
    return form;
}

bool paths_equal(const std::string& a, const std::string& b, const LeadBytes& lead_bytes) {
    return normalize_path(a, lead_bytes) == normalize_path(b, lead_bytes);
}

std::string format_env_line(const ParsedEnvVar& var) {
    if (var.values.empty()) return std::string();
    std::string line = var.name;
    line += '=';
    for (std::size_t i = 0; i < var.values.size(); ++i) {
        if (i > 0) line += ';';
        line += var.values[i];
    }
    return line;
}

bool is_variable_line(const std::string& line, const std::string& name) {
    if (line.size() > name.size() && line.compare(0, name.size(), name) == 0 &&
        line[name.size()] == '=')
        return true;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return false;
    std::size_t end = equals;
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
    return line.compare(0, end, name) == 0;
}

}  // namespace trellisk
