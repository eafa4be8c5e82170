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

std::string normalize_path(const std::string& value) {
    const std::string trimmed = trim_line(value);
    std::string form;
    form.reserve(trimmed.size());
    for (char c : trimmed) {
        if (c == '\\') c = '/';
        if (c == '/' && !form.empty() && form.back() == '/') continue;
        form.push_back(ascii_lower(c));
    }
    while (!form.empty() && form.back() == '/') form.pop_back();
    return form;
}

bool paths_equal(const std::string& a, const std::string& b) {
    return normalize_path(a) == normalize_path(b);
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
