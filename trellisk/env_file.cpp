#include "env_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "env_line.h"

namespace trellisk {
namespace {

enum class ReadStatus { ok, open_failed, read_failed };

// Moves `temp` over `target`, replacing it in one step.
bool replace_file(const std::string& temp, const std::string& target) {
#ifdef _WIN32
    return MoveFileExA(temp.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(temp.c_str(), target.c_str()) == 0;
#endif
}

// Creates the file `name` for writing, failing with EEXIST where anything of
// that name exists already. On POSIX it starts readable by its creator alone;
// on Windows it is opened in text mode, as fopen "w" would.
int create_new_file(const std::string& name) {
#ifdef _WIN32
    return ::_open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT | _O_NOINHERIT,
                   _S_IREAD | _S_IWRITE);
#else
    return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
#endif
}

// Gives the new file `fd` the owner and the permissions of `original`, before
// anything is written into it: a private file's content is never readable by
// others, and a run with sudo must not leave a file that its user can no
// longer edit. Windows keeps neither.
void take_owner_and_mode(int fd, const std::string& original) {
#ifdef _WIN32
    (void)fd;
    (void)original;
#else
    struct stat info;
    if (::stat(original.c_str(), &info) != 0) return;
    if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
        // not allowed for an ordinary user: the file stays theirs
    }
    ::fchmod(fd, info.st_mode & 07777);
#endif
}

// Creates a file beside `target` under a name that nothing uses yet (e.g.
// maya.env.3fa2c01b.tmp; a name that is taken is never opened, another one is
// drawn), with the owner and permissions of `target`, and opens it for
// writing. Sets `name` to the file's name; null when no file could be created.
std::FILE* create_temp_file(const std::string& target, std::string& name) {
    constexpr int kAttempts = 100;
    std::mt19937 random(static_cast<std::mt19937::result_type>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08lx.tmp", static_cast<unsigned long>(random()));
        name = target + suffix;
        const int fd = create_new_file(name);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        take_owner_and_mode(fd, target);
#ifdef _WIN32
        std::FILE* file = ::_fdopen(fd, "w");
        if (!file) ::_close(fd);
#else
        std::FILE* file = ::fdopen(fd, "w");
        if (!file) ::close(fd);
#endif
        if (!file) std::remove(name.c_str());
        return file;
    }
    return nullptr;
}

// Opening for update changes nothing, but fails where writing is not allowed.
bool may_write(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "r+");
    if (!file) return false;
    std::fclose(file);
    return true;
}

// Hands what the stream holds to the system, and the system's cache of the
// file to the disk.
bool flush_to_disk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#ifdef _WIN32
    return FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)))) != 0;
#else
    return ::fsync(::fileno(file)) == 0;
#endif
}

// Writes `content`, puts it on the disk and closes the file; true when every
// step succeeded. A full disk shows at the write, the flush or the close.
bool write_durably_and_close(std::FILE* file, const std::string& content) {
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
                         flush_to_disk(file);
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

// Handles one trimmed line that is the variable's line: reports it, edits its
// values and returns the text to keep (empty when no value is left).
std::string edit_variable_line(const std::string& line, Mode mode, const std::string& value) {
    ParsedEnvVar var = parse_env_line(line);
    print_line("Parsed env var name: " + var.name);
    print_line("Parsed env var values: ");
    bool found = false;
    for (const std::string& v : var.values) {
        print_line(" [" + v + "]");
        found = found || paths_equal(v, value);
    }

    if (mode == Mode::ADD) {
        if (found) return line;
        var.values.push_back(value);
        return format_env_line(var);
    }
    if (!found) return line;
    std::vector<std::string> kept;
    for (std::string& v : var.values) {
        if (!paths_equal(v, value)) kept.push_back(std::move(v));
    }
    var.values = std::move(kept);
    return format_env_line(var);
}

// Collects the file to write back, one line at a time, as the lines are read.
class LineEditor {
  public:
    LineEditor(Mode mode, const std::string& name, const std::string& value, std::size_t size_hint)
        : mode_(mode), name_(name), value_(value) {
        content_.reserve(size_hint + name.size() + value.size() + 2);
    }

    // Takes one line as read, without its line feed.
    void take(const std::string& raw) {
        const std::string line = trim_line(raw);
        if (!is_variable_line(line, name_)) {
            keep(line);
            return;
        }
        if (mode_ == Mode::ADD) variable_seen_ = true;
        keep(edit_variable_line(line, mode_, value_));
    }

    // The new content: every kept line followed by a line feed.
    std::string finish() {
        if (mode_ == Mode::ADD && !variable_seen_) keep(name_ + "=" + value_ + ";");
        return std::move(content_);
    }

  private:
    void keep(const std::string& line) {
        if (line.empty()) return;  // blank and emptied lines are dropped
        content_ += line;
        content_ += '\n';
    }

    const Mode mode_;
    const std::string& name_;
    const std::string& value_;
    bool variable_seen_ = false;
    std::string content_;
};

std::size_t file_size_hint(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && info.st_size > 0
               ? static_cast<std::size_t>(info.st_size)
               : 0;
}

// Reads the file and hands every line to `take`, without its line feed,
// however long it is. A read error is reported as such, never taken for the end
// of the file. The file is read as bytes: a text-mode read on Windows would end
// at a Control-Z byte and the rewrite would drop the rest; the carriage return
// of a CR LF line end is left to the trim.
template <typename Take>
ReadStatus read_lines(const std::string& path, Take take) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return ReadStatus::open_failed;
    char chunk[1 << 16];
    std::string pending;  // a line that runs past the end of a chunk
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        const char* begin = chunk;
        const char* const end = chunk + got;
        while (const char* feed = static_cast<const char*>(std::memchr(begin, '\n', end - begin))) {
            pending.append(begin, feed);
            take(pending);
            pending.clear();
            begin = feed + 1;
        }
        pending.append(begin, end);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return ReadStatus::read_failed;
    if (!pending.empty()) take(pending);
    return ReadStatus::ok;
}

}  // namespace

std::string file_behind(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    const std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr),
                                                          std::free);
    return resolved ? std::string(resolved.get()) : path;
#endif
}

bool file_exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

const char* mode_name(Mode mode) { return mode == Mode::ADD ? "ADD" : "REMOVE"; }

void print_line(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

WriteStatus write_new_file(const std::string& path, const std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return WriteStatus::open_failed;
    if (write_durably_and_close(file, content)) return WriteStatus::ok;
    std::remove(path.c_str());
    return WriteStatus::write_failed;
}

WriteStatus replace_file_contents(const std::string& path, const std::string& content) {
    const std::string target = file_behind(path);
    // The rename would replace even a file that may not be written: ask first.
    if (!may_write(target)) return WriteStatus::open_failed;
    std::string temp;
    std::FILE* file = create_temp_file(target, temp);
    if (!file) return WriteStatus::open_failed;
    // Only a file that is whole on the disk may take the original's place.
    if (write_durably_and_close(file, content) && replace_file(temp, target))
        return WriteStatus::ok;
    std::remove(temp.c_str());
    return WriteStatus::write_failed;
}

int edit_env_file(const std::string& path, Mode mode, const std::string& name,
                  const std::string& value) {
    LineEditor editor(mode, name, value, file_size_hint(path));
    switch (read_lines(path, [&editor](const std::string& line) { editor.take(line); })) {
        case ReadStatus::open_failed:
            print_line("Failed to open maya env file");
            return 1;
        case ReadStatus::read_failed:
            print_line("Failed to read maya env file");
            return 1;
        case ReadStatus::ok:
            break;
    }

    switch (replace_file_contents(path, editor.finish())) {
        case WriteStatus::open_failed:
            print_line("Failed to open maya env file");
            return 1;
        case WriteStatus::write_failed:
            print_line("Failed to write maya env file");
            return 1;
        case WriteStatus::ok:
            break;
    }
    return 0;
}

}  // namespace trellisk
