// The program's entry point.
#include <windows.h>

#include "Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return corv::win32::RunApplication(instance);
}
