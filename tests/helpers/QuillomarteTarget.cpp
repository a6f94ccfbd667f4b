// The application a reader's codes are typed into, for the end-to-end tests: a top-level window
// titled "Quillomarte" (or the title given second) with a focused edit box. Every character the
// edit box receives is appended to the record file as its UTF-16 code in decimal, one per line.
//
//   QuillomarteTarget.exe <record file> [title]
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::wstring g_record;
WNDPROC g_editProc = nullptr;
HWND g_edit = nullptr;

void Record(unsigned code) {
    FILE* f = _wfopen(g_record.c_str(), L"ab");
    if (!f)
        return;
    std::fprintf(f, "%u\n", code);
    std::fclose(f);
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR)
        Record(static_cast<unsigned>(wp));
    const LRESULT result = CallWindowProcW(g_editProc, hwnd, msg, wp, lp);
    // A box that keeps every code gets slower with each key it takes; like a real input field it
    // starts afresh after an Enter once it holds a few lines, so that long runs measure the
    // program and not the box.
    if (msg == WM_CHAR && wp == L'\r' && GetWindowTextLengthW(hwnd) > 1000)
        SetWindowTextW(hwnd, L"");
    return result;
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        g_edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_MULTILINE, 10, 10, 360,
                                 120, hwnd, reinterpret_cast<HMENU>(1), nullptr, nullptr);
        g_editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(g_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
        return 0;
    case WM_SETFOCUS:
    case WM_ACTIVATE:
        if (msg == WM_SETFOCUS || LOWORD(wp) != WA_INACTIVE)
            SetFocus(g_edit);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) {
        std::fprintf(stderr, "usage: QuillomarteTarget <record file> [title]\n");
        return 2;
    }
    g_record = argv[1];
    const std::wstring title = argc > 2 ? argv[2] : L"Quillomarte";
    // The record file exists from the moment the window is ready.
    WNDCLASSW wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuillomarteTargetWindow";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassW(&wc);
    HWND hwnd =
        CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                        40, 400, 180, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return 1;
    SetForegroundWindow(hwnd);
    SetFocus(g_edit);
    if (FILE* f = _wfopen(g_record.c_str(), L"ab"))
        std::fclose(f);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
