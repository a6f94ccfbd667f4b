// A library named like the rich-edit library, planted beside a program by the library-search
// test: when loaded it leaves the file "planted-loaded" in its own folder.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring marker(path, n);
    marker = marker.substr(0, marker.find_last_of(L'\\') + 1) + L"planted-loaded";
    HANDLE f = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE)
        CloseHandle(f);
    return TRUE;
}
