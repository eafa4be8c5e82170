// system.h on Windows: every path and argument is a wide-character string,
// handed to the wide ("W") calls as it is, so that a profile folder of any
// name works; the ANSI form of a text serves only the file's content and the
// messages.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "system.h"

namespace trellisk {
namespace {

// A handle that only asks about the file: it neither reads nor writes, and
// lets every other opener share the file.
HANDLE open_to_ask(const Path& path) {
    return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The path of the file behind `file`, every link and junction on the way
// followed (\\?\C:\... or \\?\UNC\...); empty on failure.
Path final_path_of(HANDLE file) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size =
            GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (size == 0) return Path();
        if (size < buffer.size()) return Path(buffer.data(), size);
        buffer.resize(size);  // the size needed, its terminating null included
    }
}

bool is_plain_file(DWORD attributes) {
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// Whether `file` is a file of a disk, not a folder: not a pipe, a console or a
// character device (GetFileType), where a read may wait forever or never end.
bool is_disk_file(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info;
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Opens `path` for `access` (GENERIC_READ, GENERIC_READ | GENERIC_WRITE) as a
// C runtime stream in binary mode with `mode` ("rb", "r+b"), sharing it as
// _wfopen does and letting it be renamed meanwhile; null where it cannot be
// opened or what it opened is no disk file.
std::FILE* open_disk_file(const Path& path, DWORD access, int flags, const char* mode) {
    HANDLE file =
        CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    if (!is_disk_file(file)) {
        CloseHandle(file);
        return nullptr;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), flags | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        return nullptr;
    }
    std::FILE* stream = ::_fdopen(fd, mode);
    if (!stream) ::_close(fd);  // closes the handle, too
    return stream;
}

}  // namespace

NarrowText narrow(const Path& text) {
    if (text.empty()) return NarrowText{};
    const int length = static_cast<int>(text.size());
    // A code page of UTF-8 holds every character; it takes neither the flag
    // nor the question about the default character, and refuses what is no
    // character at all (a lone surrogate).
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL used_default = FALSE;
    BOOL* ask_default = utf8 ? nullptr : &used_default;
    const int size =
        WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, ask_default);
    if (size <= 0) return NarrowText{std::string(text.size(), '?'), false};
    NarrowText result{std::string(static_cast<std::size_t>(size), '\0'), true};
    WideCharToMultiByte(CP_ACP, flags, text.data(), length, &result.bytes[0], size, nullptr,
                        ask_default);
    result.whole = !used_default;
    return result;
}

std::bitset<256> text_lead_bytes() {
    std::bitset<256> lead;
    const UINT code_page = GetACP();
    if (code_page == CP_UTF8) return lead;  // no ASCII byte inside a character
    for (int byte = 0x80; byte < 0x100; ++byte) {
        if (IsDBCSLeadByteEx(code_page, static_cast<BYTE>(byte))) lead.set(byte);
    }
    return lead;
}

bool get_environment(const char* name, Path& value) {
    const wchar_t* text = ::_wgetenv(to_path(name).c_str());
    if (text) value = text;
    return text != nullptr;
}

Path resolve_links(const Path& path) {
    HANDLE file = open_to_ask(path);
    if (file == INVALID_HANDLE_VALUE) return path;
    const Path final_path = final_path_of(file);
    CloseHandle(file);
    return final_path.empty() ? path : final_path;
}

bool file_exists(const Path& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileKind kind_of(const Path& path) {
    HANDLE file = open_to_ask(path);
    if (file == INVALID_HANDLE_VALUE) return FileKind::none;
    const FileKind kind = is_disk_file(file) ? FileKind::regular : FileKind::other;
    CloseHandle(file);
    return kind;
}

std::FILE* open_for_reading(const Path& path) {
    return open_disk_file(path, GENERIC_READ, _O_RDONLY, "rb");
}

std::size_t size_of(std::FILE* file) {
    const long long size = ::_filelengthi64(::_fileno(file));
    return size > 0 ? static_cast<std::size_t>(size) : 0;
}

bool may_write(const Path& path) {
    std::FILE* file = open_disk_file(path, GENERIC_READ | GENERIC_WRITE, _O_RDWR, "r+b");
    if (!file) return false;
    std::fclose(file);
    return true;
}

std::FILE* create_exclusive(const Path& name, const Path* /*like*/, bool& taken) {
    const int fd = ::_wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT | _O_NOINHERIT,
                            _S_IREAD | _S_IWRITE);
    taken = fd < 0 && errno == EEXIST;
    if (fd < 0) return nullptr;
    std::FILE* file = ::_fdopen(fd, "w");
    if (!file) {
        ::_close(fd);
        DeleteFileW(name.c_str());
    }
    return file;
}

bool flush_to_disk(std::FILE* file) {
    return std::fflush(file) == 0 &&
           FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)))) != 0;
}

bool replace_file(const Path& temp, const Path& target) {
    // A file that another program has open cannot be replaced: a run that is
    // finding the file behind its path holds it for a moment, and so do virus
    // scanners and the search indexer. Try again for about two seconds.
    constexpr int kAttempts = 11;
    DWORD wait_ms = 2;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(temp.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
            return true;
        const DWORD error = GetLastError();
        if (attempt == kAttempts ||
            (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
            return false;
        Sleep(wait_ms);
        wait_ms *= 2;
    }
}

bool place_new_file(const Path& temp, const Path& target) {
    return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

void remove_file(const Path& path) { DeleteFileW(path.c_str()); }

void remove_stale_temporary_files(const Path& file) {
    const Path folder = folder_of(file);
    const Path name = file.substr(folder.size());
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileExW((file + L".*.tmp").c_str(), FindExInfoBasic, &entry,
                                     FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<Path> stale;
    do {
        if (is_temporary_file_of(entry.cFileName, name) && is_plain_file(entry.dwFileAttributes))
            stale.push_back(folder + entry.cFileName);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    for (const Path& temp : stale) DeleteFileW(temp.c_str());
}

}  // namespace trellisk
