// A library named like the rich-edit library, planted beside a program by the library-search
// test: when loaded it leaves the file "planted-loaded" in its own folder.
#include <windows.h>

#include <cwchar>

#include "platform/win32/Handles.h"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    wchar_t path[MAX_PATH + 16] = {};
    if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameW(self, path, MAX_PATH) != 0) {
        std::wcscpy(std::wcsrchr(path, L'\\') + 1, L"planted-loaded");
        corv::win32::KernelHandle(
            CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    return TRUE;
}
