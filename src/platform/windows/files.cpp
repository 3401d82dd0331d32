#include "platform/files.h"

#include "platform/windows/wide.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <io.h>
#include <random>
#include <windows.h>

namespace tintwell::platform {

std::filesystem::path to_path(std::string_view utf8)
{
    return std::filesystem::path(widen(utf8));
}

std::string from_path(const std::filesystem::path& path)
{
    return narrow(path.native());
}

namespace {

// Names Windows keeps for devices in every folder, with or without an extension ("NUL.kmtf"),
// and paths into the device namespace.
bool is_device_path(const std::wstring& path)
{
    if (path.rfind(L"\\\\.\\", 0) == 0 || path.rfind(L"//./", 0) == 0
        || path.rfind(L"\\\\?\\GLOBALROOT", 0) == 0) {
        return true;
    }
    const std::size_t slash = path.find_last_of(L"\\/:");
    std::wstring name = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ') {
        name.pop_back();
    }
    for (wchar_t& c : name) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    static const wchar_t* const reserved[] = { L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$",
        L"CONOUT$", L"CLOCK$" };
    for (const wchar_t* device : reserved) {
        if (name == device) {
            return true;
        }
    }
    return name.size() == 4 && (name.rfind(L"COM", 0) == 0 || name.rfind(L"LPT", 0) == 0)
        && name[3] >= L'0' && name[3] <= L'9';
}

struct Handle
{
    HANDLE value = INVALID_HANDLE_VALUE;
    Handle() = default;
    explicit Handle(HANDLE h)
        : value(h)
    {
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    bool valid() const { return value != INVALID_HANDLE_VALUE && value != nullptr; }
    bool close()
    {
        const bool ok = !valid() || ::CloseHandle(value) != 0;
        value = INVALID_HANDLE_VALUE;
        return ok;
    }
};

// What a path names once links are followed: opened for its attributes alone, which works on
// files in use and needs no permission to read them.
FileKind kind_of(const std::wstring& path, std::uintmax_t* size = nullptr,
    DWORD* attributes = nullptr, DWORD* links = nullptr)
{
    if (path.empty()) {
        return FileKind::Missing;
    }
    if (is_device_path(path)) {
        return FileKind::Other;
    }
    Handle file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) {
        const DWORD plain = ::GetFileAttributesW(path.c_str());
        if (plain == INVALID_FILE_ATTRIBUTES) {
            return FileKind::Missing;
        }
        if (attributes != nullptr) {
            *attributes = plain;
        }
        return (plain & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::Folder : FileKind::Regular;
    }
    if (::GetFileType(file.value) != FILE_TYPE_DISK) {
        return FileKind::Other;
    }
    BY_HANDLE_FILE_INFORMATION info {};
    if (!::GetFileInformationByHandle(file.value, &info)) {
        return FileKind::Missing;
    }
    if (attributes != nullptr) {
        *attributes = info.dwFileAttributes;
    }
    if (links != nullptr) {
        *links = info.nNumberOfLinks;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileKind::Folder;
    }
    if (size != nullptr) {
        *size = (std::uintmax_t { info.nFileSizeHigh } << 32) | info.nFileSizeLow;
    }
    return FileKind::Regular;
}

} // namespace

FileKind file_kind(const std::string& path)
{
    return kind_of(widen(path));
}

std::optional<std::uintmax_t> regular_file_size(const std::string& path)
{
    std::uintmax_t size = 0;
    if (kind_of(widen(path), &size) != FileKind::Regular) {
        return std::nullopt;
    }
    return size;
}

std::FILE* open_for_reading(const std::string& path)
{
    const std::wstring wide = widen(path);
    if (wide.empty() || is_device_path(wide)) {
        errno = ENOENT;
        return nullptr;
    }
    return ::_wfopen(wide.c_str(), L"rb");
}

std::optional<std::string> read_regular_file(const std::string& path)
{
    const std::wstring wide = widen(path);
    if (kind_of(wide) != FileKind::Regular) {
        return std::nullopt;
    }
    Handle file(::CreateFileW(wide.c_str(), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
        nullptr));
    if (!file.valid()) {
        return std::nullopt;
    }
    std::string content;
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(file.value, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        content.append(buffer, n);
    }
    if (::GetLastError() != ERROR_SUCCESS && n != 0) {
        return std::nullopt;
    }
    return content;
}

long long write_descriptor(int fd, const char* data, std::size_t size)
{
    return ::_write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

namespace {

// The system's error as the C library names it, so that the messages read as they do on Linux;
// an error without such a name keeps the system's own text.
std::string system_error(const std::string& path, DWORD code)
{
    int number = 0;
    switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
        number = EACCES;
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        number = ENOENT;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        number = ENOSPC;
        break;
    case ERROR_WRITE_PROTECT:
        number = EROFS;
        break;
    case ERROR_DIRECTORY:
        number = EISDIR;
        break;
    case ERROR_FILENAME_EXCED_RANGE:
        number = ENAMETOOLONG;
        break;
    default:
        break;
    }
    std::string text = path + ": ";
    if (number != 0) {
        text += std::strerror(number);
    } else {
        char* message = nullptr;
        const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, code, 0, reinterpret_cast<LPSTR>(&message), 0, nullptr);
        std::string said =
            n > 0 && message != nullptr ? std::string(message, n) : "error " + std::to_string(code);
        ::LocalFree(message);
        while (
            !said.empty() && (said.back() == '\n' || said.back() == '\r' || said.back() == ' ')) {
            said.pop_back();
        }
        text += said;
    }
    if (number == EACCES) {
        text += " Check access permission";
    }
    return text;
}

bool write_all(HANDLE file, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
        DWORD n = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &n, nullptr) || n == 0) {
            return false;
        }
        done += n;
    }
    return true;
}

// Marks an open file to be deleted when its last handle closes, or takes the mark back. While
// marked, a process killed in the middle of a save leaves nothing behind.
bool mark_for_deletion(HANDLE file, bool deleted)
{
    FILE_DISPOSITION_INFO disposition {};
    disposition.DeleteFile = deleted ? TRUE : FALSE;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition)
        != 0;
}

// The links a path is reached through, followed so the file they name is written and the links
// stay.
bool follow_links(std::filesystem::path& target, DWORD& failure)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(target, ec)) {
            return true;
        }
        const std::filesystem::path next = std::filesystem::read_symlink(target, ec);
        if (ec) {
            failure = ERROR_CANT_RESOLVE_FILENAME;
            return false;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    failure = ERROR_CANT_RESOLVE_FILENAME;
    return false;
}

} // namespace

ReplaceResult replace_file(const std::string& path, const std::string& bytes, std::string& error)
{
    namespace fs = std::filesystem;
    fs::path target = to_path(path);
    DWORD failure = 0;
    if (!follow_links(target, failure)) {
        error = system_error(path, failure);
        return ReplaceResult::Failed;
    }
    DWORD attributes = 0;
    DWORD links = 1;
    const FileKind kind = kind_of(target.native(), nullptr, &attributes, &links);
    if (kind == FileKind::Folder) {
        error = system_error(path, ERROR_DIRECTORY);
        return ReplaceResult::Failed;
    }
    if (kind == FileKind::Other) {
        error = path + " is not a regular file";
        return ReplaceResult::Refused;
    }
    const bool had_file = kind == FileKind::Regular;
    if (had_file && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        error = path + " is read-only";
        return ReplaceResult::Refused;
    }

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(L".");
    std::random_device seed;
    std::mt19937_64 random(seed());
    Handle file;
    std::wstring name;
    for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
        wchar_t suffix[17];
        ::swprintf(suffix, 17, L"%016llx", static_cast<unsigned long long>(random()));
        name = (folder / (L"." + target.filename().native() + L"." + suffix)).native();
        file.value = ::CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (!file.valid() && ::GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (!file.valid()) {
        error = system_error(path, ::GetLastError());
        return ReplaceResult::Failed;
    }
    // Until the text is complete and flushed, the new file goes with the process.
    const bool marked = mark_for_deletion(file.value, true);
    bool ok = write_all(file.value, bytes) && ::FlushFileBuffers(file.value);
    failure = ok ? 0 : ::GetLastError();
    if (ok && marked && !mark_for_deletion(file.value, false)) {
        failure = ::GetLastError();
        ok = false;
    }
    if (!file.close() && ok) {
        failure = ::GetLastError();
        ok = false;
    }
    if (!ok) {
        ::DeleteFileW(name.c_str());
        error = system_error(path, failure);
        return ReplaceResult::Failed;
    }

    if (had_file && links > 1) {
        // Replacing would give the path a new file and leave the other names with the old text:
        // the text goes into the old file, while the complete copy beside it is kept until done.
        Handle old(::CreateFileW(
            target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!old.valid()) {
            failure = ::GetLastError();
            ::DeleteFileW(name.c_str());
            error = system_error(path, failure);
            return ReplaceResult::Failed;
        }
        const bool written = write_all(old.value, bytes) && ::SetEndOfFile(old.value)
            && ::FlushFileBuffers(old.value);
        failure = written ? 0 : ::GetLastError();
        if (!old.close() || !written) {
            error = system_error(path, failure != 0 ? failure : ::GetLastError())
                + "; the whole new text is kept in " + narrow(name);
            return ReplaceResult::Failed;
        }
        ::DeleteFileW(name.c_str());
        return ReplaceResult::Replaced;
    }

    const BOOL placed = had_file
        ? ::ReplaceFileW(target.c_str(), name.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
            nullptr, nullptr)
        : ::MoveFileExW(name.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!placed) {
        failure = ::GetLastError();
        ::DeleteFileW(name.c_str());
        error = system_error(path, failure);
        return ReplaceResult::Failed;
    }
    return ReplaceResult::Replaced;
}

} // namespace tintwell::platform
