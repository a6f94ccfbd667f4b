// The program's entry point.
#include <windows.h>

#include "Application.h"
#include "Win32Basics.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    corv::win32::RestrictLibrarySearch();
    return corv::win32::RunApplication(instance);
}
