// Presses a button of a running program the way the button itself reports a press: sends
// WM_COMMAND (BN_CLICKED) with the button's identifier to the top-level window of the given
// class, and returns once the press has been handled. For the end-to-end tests.
//
//   ClickCommand.exe <window class> <button identifier>
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc != 3) {
        std::fprintf(stderr, "usage: ClickCommand <window class> <button identifier>\n");
        return 2;
    }
    HWND window = FindWindowW(argv[1], nullptr);
    if (!window) {
        std::fprintf(stderr, "no window of that class\n");
        return 1;
    }
    const int id = std::stoi(argv[2]);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    return 0;
}
