#include "env_lock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace trellisk {
namespace {

Path lock_file_name(const Path& file) { return file + to_path(".lock"); }

}  // namespace

#ifdef _WIN32

namespace {

// Reading is enough to lock; every run may open the file that another user's
// run created. A reparse point in its place is opened itself, not followed.
HANDLE open_lock_file(const Path& name) {
    HANDLE file = CreateFileW(
        name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    BY_HANDLE_FILE_INFORMATION info;
    const DWORD not_a_file = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & not_a_file) != 0) {
        CloseHandle(file);
        return nullptr;
    }
    return file;
}

// Byte 0 of the lock file stands for the whole maya.env.
bool lock_first_byte(HANDLE file) {
    OVERLAPPED at = {};
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at) != 0;
}

}  // namespace

EnvFileLock::EnvFileLock(const Path& file) : handle_(open_lock_file(lock_file_name(file))) {
    if (handle_ && !lock_first_byte(handle_)) {
        CloseHandle(handle_);
        handle_ = nullptr;
    }
}

EnvFileLock::~EnvFileLock() {
    if (!handle_) return;
    // Closing alone frees the lock only some time later: free it at once.
    OVERLAPPED at = {};
    UnlockFileEx(handle_, 0, 1, 0, &at);
    CloseHandle(handle_);
}

bool EnvFileLock::held() const { return handle_ != nullptr; }

#else

namespace {

// Keeps `fd` where it is a regular file.
int regular_file_only(int fd) {
    struct stat info;
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reading is enough to lock, so every run may open a lock file that another
// user's run created: a lock file that this run creates is readable by
// everyone, whatever the umask, and a run with root rights gives it to the
// owner of its folder (an installer started with sudo must not leave a lock
// file that the user's later runs cannot open, and then go on unlocked).
// Something other than a regular file of that name is not even opened
// (opening a device can act on it); O_NONBLOCK keeps a FIFO that takes its
// place meanwhile from blocking the open, and the check after the open sees
// it.
int open_lock_file(const Path& name) {
    struct stat info;
    if (::lstat(name.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return -1;
    constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    // Open the lock file, or create it where it is missing, so that the run
    // knows the file it made; where another run creates it in between, open
    // that one.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(name.c_str(), kFlags);
        if (fd >= 0 || errno != ENOENT) return regular_file_only(fd);
        const int created = ::open(name.c_str(), kFlags | O_CREAT | O_EXCL, 0644);
        if (created >= 0) {
            ::fchmod(created, 0644);  // the umask took its bits away
            give_to_folder_owner(created, name);
            return created;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

}  // namespace

EnvFileLock::EnvFileLock(const Path& file) : fd_(open_lock_file(lock_file_name(file))) {
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        ::close(fd_);  // no locks on this file system: go on without
        fd_ = -1;
        return;
    }
}

EnvFileLock::~EnvFileLock() {
    if (fd_ >= 0) ::close(fd_);  // frees the lock
}

bool EnvFileLock::held() const { return fd_ >= 0; }

#endif

}  // namespace trellisk
