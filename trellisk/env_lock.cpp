#include "env_lock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "env_file.h"

namespace trellisk {

std::string lock_file_path(const std::string& path) { return file_behind(path) + ".lock"; }

#ifdef _WIN32

namespace {

// Byte 0 of the lock file stands for the whole maya.env.
bool lock_first_byte(HANDLE file) {
    OVERLAPPED at = {};
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at) != 0;
}

}  // namespace

EnvFileLock::EnvFileLock(const std::string& path) : handle_(nullptr) {
    // Reading is enough to lock; every run may open the file that another
    // user's run created.
    HANDLE file = CreateFileA(lock_file_path(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    if (lock_first_byte(file)) {
        handle_ = file;
    } else {
        CloseHandle(file);
    }
}

EnvFileLock::~EnvFileLock() {
    if (!handle_) return;
    // Closing alone frees the lock only some time later: free it at once.
    OVERLAPPED at = {};
    UnlockFileEx(handle_, 0, 1, 0, &at);
    CloseHandle(handle_);
}

#else

EnvFileLock::EnvFileLock(const std::string& path)
    // Reading is enough to lock; every run may open the file that another
    // user's run created.
    : fd_(::open(lock_file_path(path).c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666)) {
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

#endif

}  // namespace trellisk
