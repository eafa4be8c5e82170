// The lock that makes runs on one maya.env take turns.
#pragma once

#include <string>

namespace trellisk {

// The lock file of a maya.env: the file that a rewrite of `path` replaces (the
// file behind a symbolic link) with ".lock" added, e.g. maya.env.lock beside
// maya.env. It is never removed.
std::string lock_file_path(const std::string& path);

// An exclusive advisory lock on the lock file of `path` (flock on POSIX,
// LockFileEx on Windows), held from construction to destruction. The
// constructor creates the lock file where it is missing and waits for the lock
// as long as another run holds it. Where the lock file can be neither opened
// nor created (a read-only folder, or a symbolic link in its place, which is
// never followed) no lock is held and the run goes on without it.
class EnvFileLock {
  public:
    explicit EnvFileLock(const std::string& path);
    ~EnvFileLock();
    EnvFileLock(const EnvFileLock&) = delete;
    EnvFileLock& operator=(const EnvFileLock&) = delete;

  private:
#ifdef _WIN32
    void* handle_;  // a HANDLE; null when no lock is held
#else
    int fd_;  // -1 when no lock is held
#endif
};

}  // namespace trellisk
