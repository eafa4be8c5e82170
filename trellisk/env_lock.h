// The lock that makes runs on one maya.env take turns.
#pragma once

#include "system.h"

namespace trellisk {

// An exclusive advisory lock on the lock file of `file`, its name with ".lock"
// added (flock on POSIX, LockFileEx on Windows), held from construction to
// destruction. `file` is the file itself, where maya.env is a link the file at
// the end of it (resolve_links), so that every run on one file takes the same
// lock, also through different links and before the file exists. The
// constructor creates the lock file where it is missing (on POSIX readable by
// everyone, whatever the umask, and in a run with root rights the owner's of
// its folder: give_to_folder_owner) and waits for the lock as long as another
// run holds it. The lock file is used only when it is a
// regular file: where it can be neither opened nor created (a read-only
// folder), or something else has its name (a symbolic link, which is never
// followed, a FIFO, a device, a folder), no lock is held and the run goes on
// without it; opening it never blocks. The lock file is never removed.
class EnvFileLock {
  public:
    explicit EnvFileLock(const Path& file);
    ~EnvFileLock();
    EnvFileLock(const EnvFileLock&) = delete;
    EnvFileLock& operator=(const EnvFileLock&) = delete;

    bool held() const;

  private:
#ifdef _WIN32
    void* handle_;  // a HANDLE; null when no lock is held
#else
    int fd_;  // -1 when no lock is held
#endif
};

}  // namespace trellisk
