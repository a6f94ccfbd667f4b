// A library named like the rich-edit library, planted beside a program by the library-search
// test: when loaded it leaves the file "planted-loaded" in its own folder.
#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH];
        std::wstring marker(path, GetModuleFileNameW(self, path, MAX_PATH));
        marker = marker.substr(0, marker.find_last_of(L'\\') + 1) + L"planted-loaded";
        const corv::win32::KernelHandle file(
            CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    return TRUE;
}
