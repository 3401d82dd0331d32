#include "platform/process.h"

#include "platform/windows/wide.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <windows.h>

// After windows.h, which it needs.
#include <shellapi.h>

namespace tintwell::platform {

void prepare_process()
{
    // The C library would otherwise turn each LF written into CR LF.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    // No "insert a disk" box for a path on an empty drive: the call fails and says why.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

std::vector<std::string> arguments(int argc, char** argv)
{
    // The arguments as typed, in UTF-16; argv holds them in the ANSI code page, which cannot
    // spell every file name.
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return argc > 0 && argv != nullptr ? std::vector<std::string>(argv + 1, argv + argc)
                                           : std::vector<std::string>();
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        args.push_back(narrow(wide[i]));
    }
    ::LocalFree(wide);
    return args;
}

std::string own_program(const char* argv0)
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) {
            return argv0 != nullptr ? argv0 : "";
        }
        if (n < name.size()) {
            name.resize(n);
            return narrow(name);
        }
        name.resize(name.size() * 2);
    }
}

std::string window_program(const char* argv0)
{
    const std::filesystem::path self(widen(own_program(argv0)));
    return narrow((self.parent_path() / L"tintwell-window.exe").wstring());
}

namespace {

// One argument as the C runtime's parser reads it back: quoted when it holds a blank or a quote,
// with the backslashes before a quote doubled.
void append_argument(std::wstring& line, const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += arg;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

std::string last_error_text()
{
    char* text = nullptr;
    const DWORD n = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, ::GetLastError(), 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string out = n > 0 && text != nullptr ? std::string(text, n) : "unknown error";
    ::LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) {
        out.pop_back();
    }
    return out;
}

} // namespace

int start_window_program(
    const std::string& program, const std::vector<std::string>& args, bool wait, std::string& error)
{
    const std::wstring wide_program = widen(program);
    std::wstring line;
    append_argument(line, wide_program);
    for (const std::string& arg : args) {
        line += L' ';
        append_argument(line, widen(arg));
    }
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process {};
    if (!::CreateProcessW(wide_program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
            nullptr, &startup, &process)) {
        error = last_error_text();
        return -1;
    }
    error.clear();
    DWORD code = 0;
    if (wait) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::GetExitCodeProcess(process.hProcess, &code);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::string settings_folder()
{
    const wchar_t* roaming = ::_wgetenv(L"APPDATA");
    if (roaming == nullptr || roaming[0] == L'\0') {
        return {};
    }
    return narrow((std::filesystem::path(roaming) / L"tintwell" / L"system").wstring());
}

} // namespace tintwell::platform
