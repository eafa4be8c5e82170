// Editing an existing maya.env, and the file operations behind it.
#pragma once

#include <string>

namespace trellisk {

enum class Mode { ADD = 1, REMOVE = 2 };

const char* mode_name(Mode mode);

// Separator of the folders in the maya.env path built from USERPROFILE.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Writes one message as a line on standard output and flushes it at once, so
// that a caller reading the output sees every line even if the program dies.
void print_line(const std::string& text);

// Whether the file-status call succeeds on `path`; any failure counts as missing.
bool file_exists(const std::string& path);

// The file that a rewrite of `path` replaces: where `path` is a symbolic link,
// the file it leads to, so that the link stays and the file behind it changes.
std::string file_behind(const std::string& path);

enum class WriteStatus { ok, open_failed, write_failed };

// Creates (or empties) `path` in text mode ("w"), writes `content` and puts it
// on the disk (fsync, FlushFileBuffers on Windows) before closing. On a failed
// write, flush or close the half-written file is removed again.
WriteStatus write_new_file(const std::string& path, const std::string& content);

// Replaces the content of `path` without ever leaving it half-written, also
// after a power loss: the new content goes to a new temporary file in the same
// folder, which takes the original's owner and permissions before anything is
// written into it; every write and the close are checked, the content is put
// on the disk, and only then a rename puts the file in place. Where `path` is
// a symbolic link, the file behind it is replaced and the link stays. On
// failure the original is untouched and the temporary file is removed.
WriteStatus replace_file_contents(const std::string& path, const std::string& content);

// Adds `value` to, or removes it from, every line of the variable `name` in the
// existing file at `path`, then rewrites the file with its lines trimmed and
// its blank lines dropped. Returns the exit status, 0 or 1.
int edit_env_file(const std::string& path, Mode mode, const std::string& name,
                  const std::string& value);

}  // namespace trellisk
