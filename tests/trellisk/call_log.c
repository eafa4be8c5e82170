/* Records, in call order, the file calls of a process that it is preloaded
 * into (LD_PRELOAD): one line per call appended to the file CALL_LOG_FILE.
 *
 *   open <path> <flags, hex> <fd>      also openat, fopen (flags: the mode text)
 *   stat <path> <result>
 *   fchmod <fd> <mode, octal> <size of the file at that moment>
 *   fsync <fd> <size> <result>         also fdatasync
 *   flock <fd> <operation> <result>     once the call has returned
 *   rename <from> <to> <result>
 *   renameat2 <from> <to> <flags> <result>
 *   link <from> <to> <result>
 *
 * With CALL_LOG_TAKEN=n, the first n exclusive creations (O_CREAT | O_EXCL)
 * fail with EEXIST, as if another file had that name already.
 *
 * With CALL_LOG_FSYNC=fail, fsync and fdatasync fail with ENOSPC, as on a full
 * disk; with CALL_LOG_FSYNC=kill the process is killed there (SIGKILL), as by
 * kill -9 or a power loss in the middle of a write.
 *
 * With CALL_LOG_FLOCK_FIFO set, the process writes one line into that FIFO
 * before each flock, so that a test learns, without waiting on a clock, that
 * the process has come to its lock. Each call goes on to the next definition
 * of the function (the C library's, or a sanitizer's). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#define EXPORT __attribute__((visibility("default")))

static void* next(const char* name) { return dlsym(RTLD_NEXT, name); }

/* Keeps errno as the recorded call left it. */
static void record(const char* format, ...) {
    const int saved = errno;
    static int log_fd = -2;
    if (log_fd == -2) {
        const char* path = getenv("CALL_LOG_FILE");
        int (*real_open)(const char*, int, ...) = next("open");
        log_fd = path ? real_open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
    }
    char line[8192];
    va_list args;
    va_start(args, format);
    const int n = vsnprintf(line, sizeof line - 1, format, args);
    va_end(args);
    if (log_fd >= 0 && n >= 0 && n < (int)sizeof line - 1) {
        line[n] = '\n';
        if (write(log_fd, line, (size_t)n + 1) < 0) {
            /* the test sees the call missing and fails on its own */
        }
    }
    errno = saved;
}

static long long size_of(int fd) {
    struct stat info;
    return fstat(fd, &info) == 0 ? (long long)info.st_size : -1;
}

/* Whether this creation is one of the first CALL_LOG_TAKEN exclusive ones. */
static int name_taken(int flags) {
    static long remaining = -1;
    if (remaining < 0) {
        const char* taken = getenv("CALL_LOG_TAKEN");
        remaining = taken ? atol(taken) : 0;
    }
    if ((flags & (O_CREAT | O_EXCL)) != (O_CREAT | O_EXCL) || remaining == 0) return 0;
    --remaining;
    errno = EEXIST;
    return 1;
}

static mode_t mode_argument(int flags, va_list args) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, mode_t) : 0;
}

#define OPEN_LIKE(fn)                                                    \
    EXPORT int fn(const char* path, int flags, ...) {                    \
        va_list args;                                                    \
        va_start(args, flags);                                           \
        const mode_t mode = mode_argument(flags, args);                  \
        va_end(args);                                                    \
        int (*real)(const char*, int, ...) = next(#fn);                  \
        const int fd = name_taken(flags) ? -1 : real(path, flags, mode); \
        record("open %s %x %d", path, (unsigned)flags, fd);              \
        return fd;                                                       \
    }
OPEN_LIKE(open)
OPEN_LIKE(open64)

#define OPENAT_LIKE(fn)                                                       \
    EXPORT int fn(int dir, const char* path, int flags, ...) {                \
        va_list args;                                                         \
        va_start(args, flags);                                                \
        const mode_t mode = mode_argument(flags, args);                       \
        va_end(args);                                                         \
        int (*real)(int, const char*, int, ...) = next(#fn);                  \
        const int fd = name_taken(flags) ? -1 : real(dir, path, flags, mode); \
        record("open %s %x %d", path, (unsigned)flags, fd);                   \
        return fd;                                                            \
    }
OPENAT_LIKE(openat)
OPENAT_LIKE(openat64)

#define FOPEN_LIKE(fn)                                                 \
    EXPORT FILE* fn(const char* path, const char* mode) {              \
        FILE* (*real)(const char*, const char*) = next(#fn);           \
        FILE* file = real(path, mode);                                 \
        record("open %s %s %d", path, mode, file ? fileno(file) : -1); \
        return file;                                                   \
    }
FOPEN_LIKE(fopen)
FOPEN_LIKE(fopen64)

#define STAT_LIKE(fn, type)                          \
    EXPORT int fn(const char* path, type* info) {    \
        int (*real)(const char*, type*) = next(#fn); \
        const int result = real(path, info);         \
        record("stat %s %d", path, result);          \
        return result;                               \
    }
STAT_LIKE(stat, struct stat)
STAT_LIKE(stat64, struct stat64)

EXPORT int fchmod(int fd, mode_t mode) {
    record("fchmod %d %o %lld", fd, (unsigned)mode, size_of(fd));
    int (*real)(int, mode_t) = next("fchmod");
    return real(fd, mode);
}

/* Whether CALL_LOG_FSYNC asks this flush to fail; kills the process where it
 * asks for that. */
static int sync_fails(void) {
    const char* fault = getenv("CALL_LOG_FSYNC");
    if (fault && strcmp(fault, "kill") == 0) raise(SIGKILL);
    if (!fault || strcmp(fault, "fail") != 0) return 0;
    errno = ENOSPC;
    return 1;
}

#define SYNC_LIKE(fn)                                       \
    EXPORT int fn(int fd) {                                 \
        int (*real)(int) = next(#fn);                       \
        const int result = sync_fails() ? -1 : real(fd);    \
        record(#fn " %d %lld %d", fd, size_of(fd), result); \
        return result;                                      \
    }
SYNC_LIKE(fsync)
SYNC_LIKE(fdatasync)

EXPORT int flock(int fd, int operation) {
    const char* fifo = getenv("CALL_LOG_FLOCK_FIFO");
    if (fifo) {
        int (*real_open)(const char*, int, ...) = next("open");
        const int out = real_open(fifo, O_WRONLY | O_CLOEXEC);
        if (out >= 0) {
            if (write(out, "flock\n", 6) < 0) {
                /* the test sees no line and fails on its own */
            }
            close(out);
        }
    }
    int (*real)(int, int) = next("flock");
    const int result = real(fd, operation);
    record("flock %d %d %d", fd, operation, result);
    return result;
}

EXPORT int rename(const char* from, const char* to) {
    int (*real)(const char*, const char*) = next("rename");
    const int result = real(from, to);
    record("rename %s %s %d", from, to, result);
    return result;
}

EXPORT int renameat2(int from_dir, const char* from, int to_dir, const char* to, unsigned flags) {
    int (*real)(int, const char*, int, const char*, unsigned) = next("renameat2");
    const int result = real(from_dir, from, to_dir, to, flags);
    record("renameat2 %s %s %u %d", from, to, flags, result);
    return result;
}

EXPORT int link(const char* from, const char* to) {
    int (*real)(const char*, const char*) = next("link");
    const int result = real(from, to);
    record("link %s %s %d", from, to, result);
    return result;
}
