// system.h on POSIX: paths and arguments are the bytes that the system uses.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "system.h"

namespace trellisk {
namespace {

// As many links as Linux follows in one path look-up: a longer chain is a loop.
constexpr int kMaxLinks = 40;

// The text of the symbolic link `path`; false where `path` is no link (or
// nothing at all).
bool read_link(const std::string& path, std::string& text) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t size = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (size < 0) return false;
        if (static_cast<std::size_t>(size) < buffer.size()) {
            text.assign(buffer.data(), static_cast<std::size_t>(size));
            return true;
        }
        buffer.resize(buffer.size() * 2);  // the text may have been cut: read it again
    }
}

// Gives the new file `fd` the owner and the permissions of `original`, before
// anything is written into it: a private file's content is never readable by
// others, and a run with sudo must not leave a file that its user can no
// longer edit.
void take_owner_and_mode(int fd, const std::string& original) {
    struct stat info;
    if (::stat(original.c_str(), &info) != 0) return;
    if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
        // not allowed for an ordinary user: the file stays theirs
    }
    ::fchmod(fd, info.st_mode & 07777);
}

// Opens `path` with `flags` (O_RDONLY, O_RDWR) without waiting: a FIFO would
// wait for a writer, or for a reader, forever, and a terminal must not become
// the controlling one. Keeps the descriptor only where what was opened is a
// regular file; its reads and writes then wait as usual.
int open_regular_file(const Path& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::fcntl(fd, F_SETFL, flags) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The names in `folder` (empty: the working folder) that a run on the file
// named `file_name` gives its temporary files.
std::vector<std::string> temporary_names_in(DIR* folder, const std::string& file_name) {
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(folder)) {
        if (is_temporary_file_of(entry->d_name, file_name)) names.push_back(entry->d_name);
    }
    return names;
}

}  // namespace

NarrowText narrow(const Path& text) { return NarrowText{text, true}; }

std::bitset<256> text_lead_bytes() { return {}; }

bool get_environment(const char* name, Path& value) {
    const char* text = std::getenv(name);
    if (text) value = text;
    return text != nullptr;
}

Path resolve_links(const Path& path) {
    Path current = path;
    std::string text;
    for (int followed = 0; read_link(current, text); ++followed) {
        if (followed == kMaxLinks || text.empty()) return path;  // a loop, or leads nowhere
        current = text.front() == '/' ? text : folder_of(current) + text;
    }
    return current;
}

bool file_exists(const Path& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

FileKind kind_of(const Path& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return FileKind::none;
    return S_ISREG(info.st_mode) ? FileKind::regular : FileKind::other;
}

std::FILE* open_for_reading(const Path& path) {
    const int fd = open_regular_file(path, O_RDONLY);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) ::close(fd);
    return file;
}

std::size_t size_of(std::FILE* file) {
    struct stat info;
    return ::fstat(::fileno(file), &info) == 0 && info.st_size > 0
               ? static_cast<std::size_t>(info.st_size)
               : 0;
}

bool may_write(const Path& path) {
    const int fd = open_regular_file(path, O_RDWR);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

std::FILE* create_exclusive(const Path& name, const Path* like, bool& taken) {
    const int fd =
        ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, like ? 0600 : 0666);
    taken = fd < 0 && errno == EEXIST;
    if (fd < 0) return nullptr;
    if (like)
        take_owner_and_mode(fd, *like);
    else
        give_to_folder_owner(fd, name);
    std::FILE* file = ::fdopen(fd, "w");
    if (!file) {
        ::close(fd);
        ::unlink(name.c_str());
    }
    return file;
}

void give_to_folder_owner(int fd, const Path& name) {
    if (::geteuid() != 0) return;
    const Path folder = folder_of(name);
    struct stat info;
    if (::stat(folder.empty() ? "." : folder.c_str(), &info) != 0) return;
    if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
        // an owner that this system does not let the run name (a user
        // namespace): the file stays the run's
    }
}

bool flush_to_disk(std::FILE* file) {
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

bool replace_file(const Path& temp, const Path& target) {
    return std::rename(temp.c_str(), target.c_str()) == 0;
}

bool place_new_file(const Path& temp, const Path& target) {
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without that rename (NFS): a hard link, too, fails where
    // the name is taken.
    if (::link(temp.c_str(), target.c_str()) != 0) return false;
    ::unlink(temp.c_str());
    return true;
}

void remove_file(const Path& path) { ::unlink(path.c_str()); }

void remove_stale_temporary_files(const Path& file) {
    const Path folder_name = folder_of(file);
    DIR* folder = ::opendir(folder_name.empty() ? "." : folder_name.c_str());
    if (!folder) return;
    const int fd = ::dirfd(folder);
    for (const std::string& name : temporary_names_in(folder, file.substr(folder_name.size()))) {
        struct stat info;
        if (::fstatat(fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
            ::unlinkat(fd, name.c_str(), 0);  // removes the name itself, never what it leads to
    }
    ::closedir(folder);
}

}  // namespace trellisk
