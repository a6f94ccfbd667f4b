#include "Win32Basics.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "MessageLoop.h"

namespace corv::win32 {

void RestrictLibrarySearch() {
    // Looked up, as systems without the search-path update lack the function.
    using Fn = BOOL(WINAPI*)(DWORD);
    const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (fn)
        fn(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L""); // takes the current folder out of the search as well
}

ModuleHandle LoadSystemLibrary(const wchar_t* name) {
    if (HMODULE m = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return ModuleHandle(m);
    // Without the search-path update the flag is refused: name the system folder in full.
    wchar_t system[MAX_PATH];
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    const std::wstring path = std::wstring(system, n) + L"\\" + name;
    return ModuleHandle(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

std::wstring AnsiCodePage::FromAnsi(std::string_view bytes) const {
    std::wstring out;
    out.reserve(bytes.size());
    // One byte at a time: every received byte stands for one character.
    for (char b : bytes) {
        wchar_t c = 0;
        if (MultiByteToWideChar(CP_ACP, 0, &b, 1, &c, 1) != 1)
            c = static_cast<unsigned char>(b);
        out.push_back(c);
    }
    return out;
}

std::string AnsiCodePage::ToAnsi(std::wstring_view text) const {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        char b = '?';
        BOOL usedDefault = FALSE;
        if (WideCharToMultiByte(CP_ACP, 0, &c, 1, &b, 1, "?", &usedDefault) != 1)
            b = '?';
        out.push_back(b);
    }
    return out;
}

std::wstring Win32PrivateProfile::GetString(const std::wstring& section, const std::wstring& key,
                                            const std::wstring& defaultValue, int size,
                                            const std::wstring& file) {
    if (size <= 0)
        return {};
    auto cut = [size](std::wstring v) {
        if (v.size() > static_cast<std::size_t>(size - 1))
            v.resize(static_cast<std::size_t>(size - 1));
        return v;
    };
    // An empty file name would make the system read WIN.INI.
    if (file.empty())
        return cut(defaultValue);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(size), L'\0');
    const DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(),
                                             buffer.data(), static_cast<DWORD>(size), file.c_str());
    return std::wstring(buffer.data(), std::min<std::size_t>(n, buffer.size()));
}

bool Win32PrivateProfile::WriteString(const std::wstring& section, const std::wstring& key,
                                      const std::wstring& value, const std::wstring& file) {
    // An empty file name would make the system write WIN.INI.
    if (file.empty())
        return false;
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
           FALSE;
}

std::optional<std::wstring> Win32FileSystem::FindFirstOrdinaryFile(const std::wstring& pattern) {
    WIN32_FIND_DATAW data{};
    const HANDLE first = FindFirstFileW(pattern.c_str(), &data);
    if (first == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const FindHandle search(first);
    std::optional<std::wstring> found;
    constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                   FILE_ATTRIBUTE_DIRECTORY | 0x8 /* volume label */;
    do {
        if ((data.dwFileAttributes & kNotOrdinary) == 0) {
            found = data.cFileName;
            break;
        }
    } while (FindNextFileW(search.get(), &data));
    return found;
}

bool Win32FileSystem::RemoveFile(const std::wstring& path) {
    return DeleteFileW(path.c_str()) != 0;
}

bool Win32FileSystem::FolderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring Win32FileSystem::ProgramFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size()) {
            std::wstring path(buffer.data(), n);
            const auto slash = path.find_last_of(L'\\');
            return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::wstring> Win32FileSystem::ReadText(const std::wstring& path) {
    // Larger files are not language or settings files; they are not read at all.
    constexpr LONGLONG kLargest = 16 << 20;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const KernelHandle file(h);
    LARGE_INTEGER size{};
    std::string bytes;
    DWORD got = 0;
    const bool read = GetFileSizeEx(h, &size) && size.QuadPart <= kLargest &&
                      (bytes.resize(static_cast<std::size_t>(size.QuadPart)), true) &&
                      ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    if (!read)
        return std::nullopt;
    bytes.resize(got);
    std::wstring text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text.resize((bytes.size() - 2) / 2);
        std::memcpy(text.data(), bytes.data() + 2, text.size() * sizeof(wchar_t));
        return text;
    }
    if (bytes.empty())
        return text;
    const int n =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    text.resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

std::optional<FileStamp> Win32FileSystem::Stamp(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return FileStamp{(std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                     (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                         data.ftLastWriteTime.dwLowDateTime};
}

void Win32MessagePump::ProcessPendingMessages() {
    RunMessages(nullptr, nullptr, 0);
}

} // namespace corv::win32
