// The parts of system.h that are the same on every system.
#include "system.h"

#include <cstdio>

namespace trellisk {
namespace {

#ifdef _WIN32
const PathChar kSeparators[] = L"\\/";
#else
const PathChar kSeparators[] = "/";
#endif

constexpr std::size_t kHexDigits = 8;

bool is_lower_hex(PathChar c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

}  // namespace

Path to_path(const std::string& ascii) { return Path(ascii.begin(), ascii.end()); }

Path folder_of(const Path& path) {
    const std::size_t separator = path.find_last_of(kSeparators);
    return separator == Path::npos ? Path() : path.substr(0, separator + 1);
}

Path temporary_file_name(const Path& file, unsigned long number) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08lx.tmp", number & 0xffffffffUL);
    return file + to_path(suffix);
}

bool is_temporary_file_of(const Path& entry, const Path& file_name) {
    const Path tmp = to_path(".tmp");
    const std::size_t digits = file_name.size() + 1;
    if (entry.size() != digits + kHexDigits + tmp.size() ||
        entry.compare(0, file_name.size(), file_name) != 0 || entry[file_name.size()] != '.' ||
        entry.compare(digits + kHexDigits, tmp.size(), tmp) != 0)
        return false;
    for (std::size_t i = digits; i < digits + kHexDigits; ++i) {
        if (!is_lower_hex(entry[i])) return false;
    }
    return true;
}

}  // namespace trellisk
