// trellisk: adds one value to, or removes one value from, a variable of the
// user's maya.env for a given Maya version.
//
//   trellisk -add|-remove <maya version> <variable name> <value>
//
// Every message goes to standard output as one flushed line; the exit status
// is 0 (done, or nothing to do) or 1 (any failure).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "env_file.h"
#include "env_lock.h"

namespace {

using trellisk::Mode;
using trellisk::print_line;

// A shell that passes the quotes through leaves them on the argument: drop
// exactly one enclosing pair. A lone quote counts as such a pair.
std::string strip_enclosing_quotes(const std::string& arg) {
    if (arg.empty() || arg.front() != '"' || arg.back() != '"') return arg;
    return arg.size() == 1 ? std::string() : arg.substr(1, arg.size() - 2);
}

struct Request {
    Mode mode = Mode::ADD;
    std::string version;
    std::string name;
    std::string value;
    std::string home;  // USERPROFILE
};

// Tests the arguments in their fixed order; prints the first failure.
bool parse_request(const std::vector<std::string>& args, Request& request) {
    const char* failure = nullptr;
    if (args.size() != 4) {
        failure = "Invalid number of arguments";
    } else if (args[0] != "-add" && args[0] != "-remove") {
        failure = "Invalid mode";
    } else if (args[1].size() != 4) {
        failure = "Invalid maya version";
    } else if (args[2].empty()) {
        failure = "Invalid env var name";
    } else if (args[3].empty()) {
        failure = "Invalid env var value";
    } else if (const char* home = std::getenv("USERPROFILE")) {
        request =
            Request{args[0] == "-add" ? Mode::ADD : Mode::REMOVE, args[1], args[2], args[3], home};
    } else {
        failure = "Failed to get user documents folder";
    }
    if (failure) print_line(failure);
    return failure == nullptr;
}

std::string maya_env_path(const Request& request) {
    const char sep = trellisk::kPathSeparator;
    return request.home + sep + "Documents" + sep + "maya" + sep + request.version + sep +
           "maya.env";
}

int handle_missing_file(const std::string& path, const Request& request) {
    if (request.mode == Mode::REMOVE) {
        print_line("Maya env file doesn't exist, nothing to remove");
        return 0;
    }
    print_line("Maya env file doesn't exist, creating it");
    // One line with a ";" after the value and no line end.
    switch (trellisk::write_new_file(path, request.name + "=" + request.value + ";")) {
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

int run(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(strip_enclosing_quotes(argv[i]));
    print_line(std::to_string(args.size()) + " arguments");

    Request request;
    if (!parse_request(args, request)) return 1;

    const std::string path = maya_env_path(request);
    print_line("Maya env file path: " + path);
    print_line(std::string("Mode: ") + trellisk::mode_name(request.mode));
    print_line("Env var name: " + request.name);
    print_line("Env var value: " + request.value);

    // Runs on the same file take turns, from before the file is read or found
    // missing until it has been replaced or created: no run loses another's value.
    const trellisk::EnvFileLock lock(path);
    if (trellisk::file_exists(path))
        return trellisk::edit_env_file(path, request.mode, request.name, request.value);
    return handle_missing_file(path, request);
}

}  // namespace

int main(int argc, char** argv) {
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
