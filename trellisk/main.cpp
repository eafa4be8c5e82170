// trellisk: adds one value to, or removes one value from, a variable of the
// user's maya.env for a given Maya version.
//
//   trellisk -add|-remove <maya version> <variable name> <value>
//
// Every message goes to standard output as one flushed line; the exit status
// is 0 (done, or nothing to do) or 1 (any failure). On Windows the arguments
// and USERPROFILE are taken as wide characters (wmain): the path is built from
// them as they are, and the text written into maya.env and printed is that of
// the ANSI code page.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "env_file.h"
#include "env_lock.h"
#include "system.h"

namespace {

using trellisk::Mode;
using trellisk::NarrowText;
using trellisk::Path;
using trellisk::print_line;

// One argument: as the system handed it over, for the path, and as text for
// the file and the messages.
struct Argument {
    Path native;
    NarrowText text;
};

// A shell that passes the quotes through leaves them on the argument: drop
// exactly one enclosing pair. A lone quote counts as such a pair.
Path strip_enclosing_quotes(const Path& arg) {
    if (arg.empty() || arg.front() != '"' || arg.back() != '"') return arg;
    return arg.size() == 1 ? Path() : arg.substr(1, arg.size() - 2);
}

std::vector<Argument> take_arguments(int argc, trellisk::PathChar** argv) {
    std::vector<Argument> args;
    for (int i = 1; i < argc; ++i) {
        const Path arg = strip_enclosing_quotes(argv[i]);
        args.push_back(Argument{arg, trellisk::narrow(arg)});
    }
    return args;
}

// A name must be found again as the text before the first "=" of its own
// line, which is read trimmed: it holds no "=" and no line break, and does not
// begin with a blank or a tab (a blank at its end is found again). A value
// must stay on its line.
bool valid_name(const NarrowText& name) {
    return name.whole && !name.bytes.empty() && name.bytes.front() != ' ' &&
           name.bytes.front() != '\t' && name.bytes.find_first_of("=\n\r") == std::string::npos;
}

bool valid_value(const NarrowText& value) {
    return value.whole && !value.bytes.empty() &&
           value.bytes.find_first_of("\n\r") == std::string::npos;
}

bool valid_mode(const NarrowText& mode) {
    return mode.whole && (mode.bytes == "-add" || mode.bytes == "-remove");
}

// Four bytes that name one folder below maya, on every system: no "/", "\"
// or ":" (Windows' separators, and its drives and streams), and not made of
// dots only (with "/../" or "./.." the path would lead to Documents\maya.env).
// They are looked for in the text as the system takes it for the path: on
// Windows the wide characters, since the second byte of a two-byte character
// of the ANSI code page may be a "\" byte (ソ is 83 5C in code page 932).
bool valid_version(const Argument& version) {
    const Path& folder = version.native;
    return version.text.whole && version.text.bytes.size() == 4 &&
           folder.find_first_of(trellisk::to_path("/\\:")) == Path::npos &&
           folder.find_first_not_of(trellisk::PathChar('.')) != Path::npos;
}

struct Request {
    Mode mode = Mode::ADD;
    Path version;
    std::string name;
    std::string value;
    Path home;  // USERPROFILE
};

// Tests the arguments in their fixed order; prints the first failure.
bool parse_request(const std::vector<Argument>& args, Request& request) {
    const char* failure = nullptr;
    Path home;
    if (args.size() != 4) {
        failure = "Invalid number of arguments";
    } else if (!valid_mode(args[0].text)) {
        failure = "Invalid mode";
    } else if (!valid_version(args[1])) {
        failure = "Invalid maya version";
    } else if (!valid_name(args[2].text)) {
        failure = "Invalid env var name";
    } else if (!valid_value(args[3].text)) {
        failure = "Invalid env var value";
    } else if (!trellisk::get_environment("USERPROFILE", home)) {
        failure = "Failed to get user documents folder";
    } else {
        request = Request{args[0].text.bytes == "-add" ? Mode::ADD : Mode::REMOVE, args[1].native,
                          args[2].text.bytes, args[3].text.bytes, home};
    }
    if (failure) print_line(failure);
    return failure == nullptr;
}

Path maya_env_path(const Request& request) {
    const Path sep(1, trellisk::kPathSeparator);
    return request.home + sep + trellisk::to_path("Documents") + sep + trellisk::to_path("maya") +
           sep + request.version + sep + trellisk::to_path("maya.env");
}

int handle_missing_file(const Path& file, const Request& request) {
    if (request.mode == Mode::REMOVE) {
        print_line("Maya env file doesn't exist, nothing to remove");
        return 0;
    }
    print_line("Maya env file doesn't exist, creating it");
    // One line with a ";" after the value and no line end.
    switch (trellisk::write_new_file(file, request.name + "=" + request.value + ";")) {
        case trellisk::WriteStatus::open_failed:
            print_line("Failed to create maya env file");
            return 1;
        case trellisk::WriteStatus::write_failed:
            print_line("Failed to write maya env file");
            return 1;
        case trellisk::WriteStatus::ok:
            break;
    }
    return 0;
}

int run(int argc, trellisk::PathChar** argv) {
    const std::vector<Argument> args = take_arguments(argc, argv);
    print_line(std::to_string(args.size()) + " arguments");

    Request request;
    if (!parse_request(args, request)) return 1;

    const Path path = maya_env_path(request);
    // A character that the code page cannot hold prints as "?".
    print_line("Maya env file path: " + trellisk::narrow(path).bytes);
    print_line(std::string("Mode: ") + trellisk::mode_name(request.mode));
    print_line("Env var name: " + request.name);
    print_line("Env var value: " + request.value);

    // Every step works on the file itself, where maya.env is a link the file
    // at its end, whether it exists yet or not.
    const Path file = trellisk::resolve_links(path);
    // Only a regular file is edited. Anything else is refused before the lock
    // is taken and before anything is made beside it: a FIFO would hold the
    // read, and the lock, forever, a device would be read without end or
    // replaced by a file. The read checks what it really opened once more.
    if (trellisk::kind_of(file) == trellisk::FileKind::other) {
        print_line("Failed to open maya env file");
        return 1;
    }
    // Runs on that file take turns, from before it is read or found missing
    // until it has been replaced or created: no run loses another's value.
    const trellisk::EnvFileLock lock(file);
    if (lock.held()) trellisk::remove_stale_temporary_files(file);
    if (trellisk::file_exists(file))
        return trellisk::edit_env_file(file, request.mode, request.name, request.value,
                                       trellisk::text_lead_bytes());
    return handle_missing_file(file, request);
}

int guarded_run(int argc, trellisk::PathChar** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Error: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "Error: unknown exception\n");
    }
    std::fflush(stderr);
    return 1;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return guarded_run(argc, argv); }
#else
int main(int argc, char** argv) { return guarded_run(argc, argv); }
#endif
