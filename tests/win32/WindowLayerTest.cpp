// The Win32 window layer against the real controls: load order, placement in twips, list and
// button events as a user's pick and press send them, timers, the menu, focus order, the key
// handlers of a text box, and the notification-icon call.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/modSysTry.h"
#include "platform/win32/Win32Form.h"
#include "platform/win32/Win32NotifyIcon.h"
#include "ui/FormLayouts.h"
#include "ui/Settings.h"

using namespace corv;
using namespace corv::win32;

namespace {

ControlSpec Spec(std::wstring name, ControlKind kind, std::wstring container, std::wstring caption,
                 int left = 0, int top = 0, int width = 0, int height = 0) {
    return {std::move(name),
            kind,
            std::move(container),
            std::move(caption),
            left,
            top,
            width,
            height,
            {},
            0,
            std::nullopt,
            false};
}

FormSpec Sample() {
    FormSpec f;
    f.name = L"Sample";
    f.title = L"Sample window";
    f.clientWidth = 4320;
    f.clientHeight = 2880;
    f.controls = {
        Spec(L"frm", ControlKind::Frame, {}, L"Frame", 1440, 720, 2000, 1800),
        Spec(L"lbList", ControlKind::Label, L"frm", L"List", 100, 300, 600, 255),
        Spec(L"cList", ControlKind::List, L"frm", {}, 800, 270, 1000, 315),
        Spec(L"tBox", ControlKind::TextBox, L"frm", {}, 800, 900, 1000, 285),
        Spec(L"bOne", ControlKind::MyButton, {}, L"One", 60, 60, 1200, 375),
        Spec(L"bTwo", ControlKind::MyButton, {}, L"Two", 60, 500, 1200, 375),
        Spec(L"Timer1", ControlKind::Timer, {}, {}),
        Spec(L"mnu", ControlKind::Menu, {}, L"&Menu"),
        Spec(L"mnOpen", ControlKind::MenuEntry, L"mnu", L"&Open"),
        Spec(L"mnLine", ControlKind::MenuSeparator, L"mnu", L"-"),
        Spec(L"mnExit", ControlKind::MenuEntry, L"mnu", L"E&xit"),
    };
    f.focusOrder = {L"tBox", L"bTwo", L"cList", L"bOne"};
    return f;
}

class WindowLayer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InitWindowLayer(GetModuleHandleW(nullptr)); }
    void SetUp() override {
        form = std::make_unique<Win32Form>(GetModuleHandleW(nullptr), Sample());
    }

    HWND Child(const wchar_t* name) { return form->ControlAt(Position(name)).Handle(); }
    int Position(const wchar_t* name) {
        for (int i = 0; i < form->ControlCount(); ++i)
            if (form->ControlAt(i).Name() == name)
                return i;
        return -1;
    }
    static void Pump(int ms) {
        const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
        MSG msg;
        while (static_cast<int>(end - GetTickCount()) > 0) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            Sleep(5);
        }
    }

    std::unique_ptr<Win32Form> form;
};

TEST_F(WindowLayer, ControlsKeepTheTableOrderKindsAndCaptions) {
    ASSERT_EQ(form->ControlCount(), 11);
    EXPECT_EQ(form->ControlAt(2).Name(), L"cList");
    EXPECT_EQ(form->ControlAt(4).Text(), L"One");
    EXPECT_EQ(form->Title(), L"Sample window");
    EXPECT_EQ(form->ControlAt(9).Kind(), ControlKind::MenuSeparator);
    wchar_t cls[64];
    GetClassNameW(Child(L"cList"), cls, 64);
    EXPECT_STREQ(cls, L"ComboBox");
    EXPECT_TRUE(GetWindowLongPtrW(Child(L"cList"), GWL_STYLE) & CBS_DROPDOWNLIST);
    EXPECT_EQ(GetWindowLongPtrW(Child(L"frm"), GWL_STYLE) & 0xF, BS_GROUPBOX);
    EXPECT_EQ(GetDlgCtrlID(Child(L"bOne")), 1004);
    EXPECT_THROW(form->ControlAt(11), WindowError);
    EXPECT_THROW(form->ControlAt(6).SetText(L"x"), WindowError);
}

TEST_F(WindowLayer, TwipsBecomePixelsAtTheScreensDpiInsideTheirFrame) {
    const int dpi = form->Dpi();
    RECT client{};
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, MulDiv(4320, dpi, 1440));
    EXPECT_EQ(client.bottom, MulDiv(2880, dpi, 1440));
    RECT r{};
    GetWindowRect(Child(L"lbList"), &r);
    MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, MulDiv(1440 + 100, dpi, 1440));
    EXPECT_EQ(r.top, MulDiv(720 + 300, dpi, 1440));
    EXPECT_EQ(r.right - r.left, MulDiv(600, dpi, 1440));
}

TEST_F(WindowLayer, SelectingFromCodeRaisesTheClickInsideTheCall) {
    Win32Control& list = form->ControlAt(2);
    int clicks = 0, seen = -2;
    list.OnClick = [&] {
        ++clicks;
        seen = list.SelectedIndex();
    };
    list.AddItem(L"a");
    list.AddItem(L"b");
    list.AddItem(L"c");
    EXPECT_EQ(list.SelectedIndex(), -1);
    list.SetSelectedIndex(2);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(list.Text(), L"c");
    EXPECT_THROW(list.SetSelectedIndex(3), WindowError);
    EXPECT_THROW(list.SetSelectedIndex(-2), WindowError);
    EXPECT_EQ(list.SelectedIndex(), 2);
    EXPECT_EQ(clicks, 1);
    list.SetItem(2, L"C");
    EXPECT_EQ(list.Item(2), L"C");
    EXPECT_EQ(list.SelectedIndex(), 2);
    EXPECT_EQ(clicks, 1);
    EXPECT_THROW(list.Item(3), WindowError);
    list.SetSelectedIndex(-1);
    EXPECT_EQ(list.Text(), L"");
    EXPECT_EQ(list.ItemCount(), 3);
    EXPECT_THROW(form->ControlAt(4).ItemCount(), WindowError);
}

TEST_F(WindowLayer, UserPicksAndPressesRaiseClicks) {
    Win32Control& list = form->ControlAt(2);
    list.AddItem(L"a");
    list.AddItem(L"b");
    int listClicks = 0, buttonClicks = 0;
    list.OnClick = [&] { ++listClicks; };
    form->ControlAt(5).OnClick = [&] { ++buttonClicks; };
    // As a user's pick arrives: the selection, then the notification to the parent.
    SendMessageW(list.Handle(), CB_SETCURSEL, 1, 0);
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(1002, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list.Handle()));
    EXPECT_EQ(listClicks, 1);
    EXPECT_EQ(list.SelectedIndex(), 1);
    SendMessageW(Child(L"bTwo"), BM_CLICK, 0, 0);
    EXPECT_EQ(buttonClicks, 1);
    form->ControlAt(5).SetEnabled(false);
    EXPECT_FALSE(form->ControlAt(5).Enabled());
    EXPECT_FALSE(IsWindowEnabled(Child(L"bTwo")));
}

TEST_F(WindowLayer, TimerTicksOnlyWhileEnabled) {
    Win32Control& timer = form->ControlAt(6);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    EXPECT_FALSE(timer.Enabled());
    Pump(150);
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    Pump(400);
    EXPECT_GE(ticks, 2);
    timer.SetEnabled(false);
    const int stopped = ticks;
    Pump(200);
    EXPECT_EQ(ticks, stopped);
}

TEST_F(WindowLayer, MenuEntriesFollowCaptionAndEnabledState) {
    Win32Control& open = form->ControlAt(8);
    int clicks = 0;
    open.OnClick = [&] { ++clicks; };
    open.SetEnabled(false);
    open.SetText(L"&Show");
    EXPECT_FALSE(open.Enabled());
    EXPECT_EQ(open.Text(), L"&Show");
    // The entry's state lives in the real menu as well.
    const UINT state = GetMenuState(open.MenuHandle(), 1008, MF_BYCOMMAND);
    EXPECT_TRUE(state & MF_GRAYED);
    wchar_t caption[32] = {};
    GetMenuStringW(open.MenuHandle(), 1008, caption, 32, MF_BYCOMMAND);
    EXPECT_STREQ(caption, L"&Show");
    EXPECT_EQ(GetMenuItemCount(form->ControlAt(7).MenuHandle()), 3);
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(1008, 0), 0);
    EXPECT_EQ(clicks, 1);
}

TEST_F(WindowLayer, TabFollowsTheFocusOrder) {
    std::vector<HWND> seen;
    HWND h = GetNextDlgTabItem(form->Handle(), nullptr, FALSE);
    for (int i = 0; i < 5 && h; ++i) {
        seen.push_back(h);
        h = GetNextDlgTabItem(form->Handle(), h, FALSE);
    }
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen[0], Child(L"tBox"));
    EXPECT_EQ(seen[1], Child(L"bTwo"));
    EXPECT_EQ(seen[2], Child(L"cList"));
    EXPECT_EQ(seen[3], Child(L"bOne"));
    EXPECT_EQ(seen[4], Child(L"tBox"));
    // The label sits just before its list, where screen readers look for a name.
    EXPECT_EQ(GetWindow(Child(L"cList"), GW_HWNDPREV), Child(L"lbList"));
}

TEST_F(WindowLayer, TextBoxHandlersSeeKeysAndCanDiscardCharacters) {
    Win32Control& box = form->ControlAt(3);
    std::vector<int> downs;
    box.OnKeyDown = [&](int key, int) { downs.push_back(key); };
    box.OnKeyPress = [](int& c) {
        if (c == 'x')
            c = 0;
    };
    SendMessageW(box.Handle(), WM_KEYDOWN, 'X', 0);
    SendMessageW(box.Handle(), WM_CHAR, 'x', 0);
    SendMessageW(box.Handle(), WM_CHAR, 'y', 0);
    EXPECT_EQ(downs, std::vector<int>{'X'});
    EXPECT_EQ(box.Text(), L"y");
    // Enter goes to a box that watches keys instead of the window's default button.
    MSG enter{box.Handle(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(
        SendMessageW(box.Handle(), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) &
        DLGC_WANTMESSAGE);
}

TEST_F(WindowLayer, TrayCallbacksTaskbarRestartAndCloseReachTheirHandlers) {
    UINT mouse = 0;
    int restarts = 0;
    form->OnTrayCallback = [&](UINT m) { mouse = m; };
    form->OnTaskbarCreated = [&] { ++restarts; };
    SendMessageW(form->Handle(), kTrayCallbackMessage, 1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(mouse, static_cast<UINT>(WM_LBUTTONDBLCLK));
    SendMessageW(form->Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(restarts, 1);
    int closes = 0;
    form->OnCloseCommand = [&] { ++closes; };
    SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(form->Destroyed());
}

TEST_F(WindowLayer, LabelsAndFramesShareTheBackColour) {
    HDC dc = GetDC(form->Handle());
    const auto brush = SendMessageW(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(Child(L"lbList")));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(GetBkColor(dc), RGB(227, 229, 240));
    ReleaseDC(form->Handle(), dc);
}

TEST(NotifyIconTest, AddsModifiesAndDeletesAnIcon) {
    InitWindowLayer(GetModuleHandleW(nullptr));
    Win32Form owner(GetModuleHandleW(nullptr), Sample());
    Win32NotifyIcon shell;
    NotifyIconRecord r;
    r.window = reinterpret_cast<std::uintptr_t>(owner.Handle());
    r.id = 1;
    r.flags = 7;
    r.callbackMessage = kTrayCallbackMessage;
    r.icon = reinterpret_cast<std::uintptr_t>(LoadIconW(nullptr, IDI_APPLICATION));
    r.tip = std::wstring(L"Tip") + L'\0' + std::wstring(124, L' ');
    EXPECT_TRUE(shell.Notify(NotifyIcon::kAdd, r));
    EXPECT_TRUE(shell.Notify(NotifyIcon::kModify, r));
    EXPECT_TRUE(shell.Notify(NotifyIcon::kDelete, r));
    EXPECT_FALSE(shell.Notify(7, r));
}

} // namespace

TEST(SettingsWindowTable, BuiltInLoadOrderWithItsFocusOrderAndEmptyLists) {
    InitWindowLayer(GetModuleHandleW(nullptr));
    Win32Form form(GetModuleHandleW(nullptr),
                   SpecFromLayout(SettingsLayout(), SettingsFocusOrder(), 0));
    auto h = [&form](const wchar_t* name) {
        return static_cast<Win32Control&>(form[name]).Handle();
    };
    ASSERT_EQ(form.ControlCount(), static_cast<int>(SettingsLayout().controls.size()));
    EXPECT_EQ(form.ControlAt(31).Name(), L"bConnection");
    HWND connect = GetDlgItem(form.Handle(), kFirstControlId + 31);
    wchar_t caption[32] = {};
    GetWindowTextW(connect, caption, 32);
    EXPECT_STREQ(caption, L"Включване");
    EXPECT_EQ(form[L"cComPort"].ItemCount(), 0); // filled by the window's load
    RECT client{};
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, form.ToPixels(5730));
    EXPECT_EQ(client.bottom, form.ToPixels(6270));
    HWND first = GetNextDlgTabItem(form.Handle(), nullptr, FALSE);
    EXPECT_EQ(first, h(L"lbIdent"));
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), first, TRUE), h(L"cbLanguage1"));
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), h(L"cIsKeyBoard"), FALSE), h(L"bCancel"));
    EXPECT_EQ(GetWindow(h(L"cIsKeyBoard"), GW_HWNDPREV), h(L"lbKeyBoardReader"));
}
