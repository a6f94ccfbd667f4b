// Delivers one code the way the program does, for the end-to-end tests: the prefix rule, then
// the real delivery (target window brought forward, filter, identifier box, typing). Prints what
// the identifier box shows, as UTF-16 codes in decimal, then the time the delivery took, then the
// balloon's text keys when the code was not delivered.
//
//   DeliverTool.exe <SendTo> <Prefix> <Filter> <code>
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

#include "core/ModMainReader.h"
#include "platform/win32/Win32Desktop.h"

namespace {

// The balloon of a code that was not delivered, by its text keys.
struct Notices : corv::ResStrings, corv::TrayBalloon {
    std::wstring ResStringComm(const std::wstring& key, const std::wstring&) override {
        return key;
    }
    void ShowBalloon(const std::wstring& title, const std::wstring& text) override {
        shown = title + L" " + text.substr(0, text.find(L'\n'));
    }
    std::wstring shown;
};

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc != 5) {
        std::fprintf(stderr, "usage: DeliverTool <SendTo> <Prefix> <Filter> <code>\n");
        return 2;
    }
    corv::AppSettings settings;
    settings.SendTo = static_cast<std::int16_t>(std::stoi(argv[1]));
    settings.Prefix = static_cast<std::int16_t>(std::stoi(argv[2]));
    settings.Filter = static_cast<std::int16_t>(std::stoi(argv[3]));
    const auto code = corv::ApplyPrefix(settings.Prefix, argv[4]);
    if (!code)
        return 0; // nothing is delivered for an unknown prefix rule

    corv::win32::Win32Desktop desktop;
    std::wstring ident; // this tool has no Settings window to show the code in
    Notices notices;
    corv::Deliverer deliverer({settings, desktop,
                               [&ident](const std::wstring& shown) { ident = shown; }, notices,
                               notices});
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    deliverer.DeliverCode(*code);
    QueryPerformanceCounter(&end);

    for (wchar_t c : ident)
        std::printf("%u ", static_cast<unsigned>(c));
    std::printf("\ndelivered in %.1f ms\n", 1000.0 *
                                                static_cast<double>(end.QuadPart - start.QuadPart) /
                                                static_cast<double>(frequency.QuadPart));
    if (!notices.shown.empty())
        std::printf("%ls\n", notices.shown.c_str());
    return 0;
}
