#include "env_file.h"

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "env_line.h"

namespace trellisk {
namespace {

// Creates a file beside `file` under a name that nothing uses yet (e.g.
// maya.env.3fa2c01b.tmp; a name that is taken is never opened, another one is
// drawn), and opens it for writing; with `like`, as create_exclusive says. Sets
// `name` to the file's name; null when no file could be created.
std::FILE* create_temp_file(const Path& file, const Path* like, Path& name) {
    constexpr int kAttempts = 100;
    std::mt19937 random(static_cast<std::mt19937::result_type>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        name = temporary_file_name(file, random());
        bool taken = false;
        if (std::FILE* stream = create_exclusive(name, like, taken)) return stream;
        if (!taken) return nullptr;
    }
    return nullptr;
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
std::string edit_variable_line(const std::string& line, Mode mode, const std::string& value,
                               const LeadBytes& lead_bytes) {
    ParsedEnvVar var = parse_env_line(line);
    print_line("Parsed env var name: " + var.name);
    print_line("Parsed env var values: ");
    bool found = false;
    for (const std::string& v : var.values) {
        print_line(" [" + v + "]");
        found = found || paths_equal(v, value, lead_bytes);
    }

    if (mode == Mode::ADD) {
        if (found) return line;
        var.values.push_back(value);
        return format_env_line(var);
    }
    if (!found) return line;
    std::vector<std::string> kept;
    for (std::string& v : var.values) {
        if (!paths_equal(v, value, lead_bytes)) kept.push_back(std::move(v));
    }
    var.values = std::move(kept);
    return format_env_line(var);
}

// Collects the file to write back, one line at a time, as the lines are read.
class LineEditor {
  public:
    LineEditor(Mode mode, const std::string& name, const std::string& value,
               const LeadBytes& lead_bytes, std::size_t size_hint)
        : mode_(mode), name_(name), value_(value), lead_bytes_(lead_bytes) {
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
        keep(edit_variable_line(line, mode_, value_, lead_bytes_));
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
    const LeadBytes& lead_bytes_;
    bool variable_seen_ = false;
    std::string content_;
};

// Reads the open file to its end, hands every line to `take`, without its line
// feed, however long it is, and closes the file; false on a read error, which
// is never taken for the end of the file. The file is read as bytes: a
// text-mode read on Windows would end at a Control-Z byte and the rewrite
// would drop the rest; the carriage return of a CR LF line end is left to the
// trim.
template <typename Take>
bool read_lines(std::FILE* file, Take take) {
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
    if (failed) return false;
    if (!pending.empty()) take(pending);
    return true;
}

// Writes `content` into a new temporary file beside `file` (with the owner and
// permissions of `like`, where given) and puts that file in the place of
// `file` with `place`.
template <typename Place>
WriteStatus write_through_temp_file(const Path& file, const Path* like, const std::string& content,
                                    Place place) {
    Path temp;
    std::FILE* stream = create_temp_file(file, like, temp);
    if (!stream) return WriteStatus::open_failed;
    // Only a file that is whole on the disk may take the name.
    WriteStatus status = WriteStatus::write_failed;
    if (write_durably_and_close(stream, content)) status = place(temp, file);
    if (status != WriteStatus::ok) remove_file(temp);
    return status;
}

}  // namespace

const char* mode_name(Mode mode) { return mode == Mode::ADD ? "ADD" : "REMOVE"; }

void print_line(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

WriteStatus write_new_file(const Path& file, const std::string& content) {
    return write_through_temp_file(file, nullptr, content, [](const Path& temp, const Path& to) {
        return place_new_file(temp, to) ? WriteStatus::ok : WriteStatus::open_failed;
    });
}

WriteStatus replace_file_contents(const Path& file, const std::string& content) {
    // The rename would replace even a file that may not be written: ask first.
    if (!may_write(file)) return WriteStatus::open_failed;
    return write_through_temp_file(file, &file, content, [](const Path& temp, const Path& to) {
        return replace_file(temp, to) ? WriteStatus::ok : WriteStatus::write_failed;
    });
}

int edit_env_file(const Path& file, Mode mode, const std::string& name, const std::string& value,
                  const LeadBytes& lead_bytes) {
    std::FILE* stream = open_for_reading(file);
    if (!stream) {
        print_line("Failed to open maya env file");
        return 1;
    }
    LineEditor editor(mode, name, value, lead_bytes, size_of(stream));
    if (!read_lines(stream, [&editor](const std::string& line) { editor.take(line); })) {
        print_line("Failed to read maya env file");
        return 1;
    }

    switch (replace_file_contents(file, editor.finish())) {
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
