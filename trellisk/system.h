// What trellisk asks of the operating system: paths and the text of the
// command line, and the file calls behind an edit. system_posix.cpp holds the
// POSIX calls; system_windows.cpp the Windows ones, which take every path and
// argument as wide characters, so that a profile folder of any name works.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdio>
#include <string>

namespace trellisk {

#ifdef _WIN32
using PathChar = wchar_t;
constexpr PathChar kPathSeparator = L'\\';
#else
using PathChar = char;
constexpr PathChar kPathSeparator = '/';
#endif
// A path, or an argument as the system hands it over.
using Path = std::basic_string<PathChar>;

// An ASCII text as a path.
Path to_path(const std::string& ascii);

// Text in the form that maya.env and the messages use. On Windows: the bytes of
// the ANSI code page, without best-fit look-alikes; a character that the code
// page cannot hold reads "?" and `whole` is false. On POSIX: the same bytes.
struct NarrowText {
    std::string bytes;
    bool whole = true;
};
NarrowText narrow(const Path& text);

// The bytes that begin a two-byte character in that text (see LeadBytes in
// env_line.h): on Windows those of a double-byte ANSI code page (932, 936, 949,
// 950: IsDBCSLeadByteEx); none for any other code page, UTF-8 included, and
// on POSIX.
std::bitset<256> text_lead_bytes();

// The value of the environment variable `name`; false when it is not set.
bool get_environment(const char* name, Path& value);

// The file that `path` stands for: the end of the chain where `path` is a
// symbolic link, the same whether that file exists yet or not; else `path`.
// On POSIX each link is read in turn, a relative one taken from the folder of
// the link; after 40 links (as many as Linux follows) the chain counts as a
// loop and `path` itself is the answer, on which every later call fails as the
// system fails it (ELOOP). On Windows the final path of an existing file
// (GetFinalPathNameByHandleW); `path` where nothing can be opened.
Path resolve_links(const Path& path);

// Whether the file-status call succeeds on `path`.
bool file_exists(const Path& path);

// What `path` is, as far as the system tells without opening it for reading
// or writing: `none` where it cannot tell (nothing there, a loop, no right to
// look), `other` for anything that is not a regular file of a disk (a folder,
// a FIFO, a device, a socket; on Windows a pipe, a console, a character device).
enum class FileKind { none, regular, other };
FileKind kind_of(const Path& path);

// Opens `path` for reading bytes; null where it cannot be opened or what it
// opened is no regular file. Opening never blocks (a FIFO, which would wait
// for a writer, is opened without waiting) and never makes a terminal the
// controlling one.
std::FILE* open_for_reading(const Path& path);

// The size of an open file, 0 where unknown.
std::size_t size_of(std::FILE* file);

// Opening for update changes nothing, but fails where writing is not allowed;
// false, too, where `path` is no regular file. Opening never blocks.
bool may_write(const Path& path);

// Creates the file `name` for writing, never opening anything that has that
// name already (then `taken` is set). With `like`, the new file starts
// readable by its creator alone and takes the owner (where allowed) and the
// permissions of the file `like` before anything is written into it; without,
// it gets the permissions of any new file and, in a run with root rights, the
// owner and group of its folder (give_to_folder_owner). Windows keeps neither
// and opens the file in text mode.
std::FILE* create_exclusive(const Path& name, const Path* like, bool& taken);

#ifndef _WIN32
// In a run with root rights (an installer started with sudo, in a user's
// folder), gives the new file `fd`, named `name`, the owner and group of its
// folder, so that the user, and Maya, can read and edit it. An ordinary run
// never changes owners: its file stays as the system made it.
void give_to_folder_owner(int fd, const Path& name);
#endif

// Hands what the stream holds to the system, and the system's cache of the
// file to the disk (fsync, FlushFileBuffers on Windows).
bool flush_to_disk(std::FILE* file);

// Moves `temp` over `target`, replacing it in one step.
bool replace_file(const Path& temp, const Path& target);

// Moves `temp` to `target` in one step, only where nothing has that name: a
// file that appeared meanwhile is never replaced.
bool place_new_file(const Path& temp, const Path& target);

void remove_file(const Path& path);

// Removes the temporary files that runs on `file` made and left behind (a run
// killed during its write): exactly the names of temporary_file_name(), and
// only regular files, never a link of that name or what it leads to.
// Call it only while holding the lock of `file`, so that no run that takes
// turns is writing one of them.
void remove_stale_temporary_files(const Path& file);

// The folder part of `path` with its trailing separator; empty for a bare name.
Path folder_of(const Path& path);

// The name of a temporary file beside `file`: its name, a dot, `number` as 8
// lower-case hexadecimal digits and ".tmp" (e.g. maya.env.3fa2c01b.tmp).
Path temporary_file_name(const Path& file, unsigned long number);

// Whether `entry` (a name in a folder) is such a name for the file named
// `file_name`.
bool is_temporary_file_of(const Path& entry, const Path& file_name);

}  // namespace trellisk
