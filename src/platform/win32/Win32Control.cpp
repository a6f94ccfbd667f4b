#include "Win32Control.h"

#include <commctrl.h>
#include <richedit.h>

#include "Win32Form.h"
#include "common/ScopeGuard.h"

namespace corv::win32 {
namespace {

[[noreturn]] void Unsupported() {
    throw WindowError(438, "Object doesn't support this property or method");
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Runs an event handler; a copy, as the handler may replace itself.
template <typename Handler, typename... Args> void Run(const Handler& handler, Args&... args) {
    if (handler) {
        auto copy = handler;
        copy(args...);
    }
}

} // namespace

Win32Control::Win32Control(Win32Form& form, const ControlLayout& layout, int position)
    : form_(form), layout_(layout), id_(kFirstControlId + position) {
    const HWND parent = form.Handle();
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    const auto childId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_));
    auto make = [&](DWORD exStyle, const wchar_t* cls, DWORD style) {
        hwnd_ = CreateWindowExW(exStyle, cls, layout.caption.c_str(), WS_CHILD | WS_VISIBLE | style,
                                0, 0, 0, 0, parent, childId, instance, nullptr);
        if (!hwnd_)
            throw WindowError(static_cast<int>(GetLastError()), "Cannot create a control");
    };
    switch (layout.kind) {
    case ControlKind::Frame:
        make(0, L"BUTTON", BS_GROUPBOX);
        break;
    case ControlKind::Label:
        make(0, L"STATIC", SS_LEFT | SS_NOPREFIX);
        break;
    case ControlKind::TextBox:
        make(WS_EX_CLIENTEDGE, L"EDIT", ES_AUTOHSCROLL);
        SetWindowSubclass(hwnd_, EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
        break;
    case ControlKind::RichTextBox:
        make(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS,
             ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL);
        break;
    case ControlKind::List: // its items come with the window's load
        make(0, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL);
        break;
    case ControlKind::MyButton:
    case ControlKind::CommandButton:
        make(0, L"BUTTON", BS_PUSHBUTTON);
        break;
    case ControlKind::CheckBox:
        make(0, L"BUTTON", BS_AUTOCHECKBOX);
        break;
    case ControlKind::Timer:
    case ControlKind::Picture:
        break;
    case ControlKind::Menu:
        text_ = layout.caption;
        ownMenu_.reset(CreatePopupMenu());
        menu_ = ownMenu_.get();
        break;
    case ControlKind::MenuEntry:
    case ControlKind::MenuSeparator: {
        text_ = layout.caption;
        const int holder = form.Layout().PositionOf(layout.container);
        if (holder < 0 || holder >= position || !form.ControlAt(holder).menu_)
            throw WindowError(730, "Menu entry outside a menu");
        menu_ = form.ControlAt(holder).menu_;
        if (layout.kind == ControlKind::MenuSeparator)
            AppendMenuW(menu_, MF_SEPARATOR, static_cast<UINT_PTR>(id_), nullptr);
        else
            AppendMenuW(menu_, MF_STRING, static_cast<UINT_PTR>(id_), text_.c_str());
        break;
    }
    }
}

bool Win32Control::IsButton() const {
    const ControlKind k = layout_.kind;
    return k == ControlKind::MyButton || k == ControlKind::CommandButton ||
           k == ControlKind::CheckBox;
}

std::wstring Win32Control::Text() const {
    if (layout_.kind == ControlKind::List) {
        const int selected = SelectedIndex();
        return selected >= 0 ? Item(selected) : std::wstring();
    }
    return hwnd_ ? WindowText(hwnd_) : text_;
}

void Win32Control::SetText(const std::wstring& text) {
    switch (layout_.kind) {
    case ControlKind::List:
    case ControlKind::Timer:
    case ControlKind::Picture:
        Unsupported();
    case ControlKind::MenuEntry:
        text_ = text;
        ModifyMenuW(menu_, static_cast<UINT>(id_),
                    MF_BYCOMMAND | MF_STRING | (enabled_ ? MF_ENABLED : MF_GRAYED),
                    static_cast<UINT_PTR>(id_), text_.c_str());
        return;
    case ControlKind::Menu:
    case ControlKind::MenuSeparator:
        text_ = text;
        return;
    default:
        SetWindowTextW(hwnd_, text.c_str());
    }
}

bool Win32Control::Enabled() const {
    if (hwnd_)
        return IsWindowEnabled(hwnd_) != FALSE;
    return layout_.kind == ControlKind::Timer ? static_cast<bool>(timer_) : enabled_;
}

void Win32Control::SetEnabled(bool enabled) {
    if (hwnd_) {
        EnableWindow(hwnd_, enabled ? TRUE : FALSE);
    } else if (layout_.kind == ControlKind::Timer) {
        // A timer of a window that is gone would be a timer of the thread: none is started.
        timer_ = enabled && form_.Handle() ? StartTimer(form_.Handle(), static_cast<UINT_PTR>(id_),
                                                        static_cast<UINT>(layout_.interval))
                                           : TimerHandle();
    } else {
        enabled_ = enabled;
        if (layout_.kind == ControlKind::MenuEntry)
            EnableMenuItem(menu_, static_cast<UINT>(id_),
                           MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

void Win32Control::Tick() {
    if (!timer_ || ticking_)
        return;
    ticking_ = true;
    const ScopeGuard done([this] { ticking_ = false; });
    Run(OnTimer);
}

void Win32Control::RequireList() const {
    if (layout_.kind != ControlKind::List)
        Unsupported();
}

int Win32Control::ItemCount() const {
    RequireList();
    return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
}

std::wstring Win32Control::Item(int index) const {
    RequireList();
    if (index < 0 || index >= ItemCount())
        throw WindowError(381, "Invalid property array index");
    const auto length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto got = SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                  reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

void Win32Control::SetItem(int index, const std::wstring& text) {
    RequireList();
    if (index < 0 || index >= ItemCount())
        throw WindowError(381, "Invalid property array index");
    // Replacing an item keeps the selection where it was, without a pick.
    const int selected = SelectedIndex();
    SendMessageW(hwnd_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void Win32Control::AddItem(const std::wstring& text) {
    RequireList();
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Win32Control::ClearItems() {
    RequireList();
    SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
}

int Win32Control::SelectedIndex() const {
    RequireList();
    return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
}

void Win32Control::SetSelectedIndex(int index) {
    RequireList();
    if (index < -1 || index >= ItemCount())
        throw WindowError(380, "Invalid property value");
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // A selection from code counts as a pick: the click event runs inside this call.
    Run(OnClick);
}

void Win32Control::Focus() {
    if (hwnd_)
        SetFocus(hwnd_);
}

void Win32Control::Select(int start, int length) {
    if (hwnd_)
        SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(start),
                     static_cast<LPARAM>(length < 0 ? -1 : start + length));
}

LRESULT CALLBACK Win32Control::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                        DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<Win32Control*>(data);
    try {
        switch (msg) {
        case WM_GETDLGCODE:
            return self->OnEditDialogCode(hwnd, wp, lp);
        case WM_KEYDOWN:
            return self->OnEditKeyDown(hwnd, wp, lp);
        case WM_CHAR:
            return self->OnEditChar(hwnd, wp, lp);
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, EditProc, 1);
            break;
        }
    } catch (...) {
        // A failing handler leaves the key to the box.
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT Win32Control::OnEditDialogCode(HWND hwnd, WPARAM wp, LPARAM lp) {
    LRESULT code = DefSubclassProc(hwnd, WM_GETDLGCODE, wp, lp);
    // Enter reaches a box that watches key presses instead of the window.
    const auto* m = reinterpret_cast<const MSG*>(lp);
    if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN && OnKeyDown)
        code |= DLGC_WANTMESSAGE;
    return code;
}

LRESULT Win32Control::OnEditKeyDown(HWND hwnd, WPARAM wp, LPARAM lp) {
    if (wp == VK_PACKET) {
        // A character typed as itself: its key is known once the character arrives.
        packetDown_ = true;
    } else {
        int key = static_cast<int>(wp);
        int shift = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                    (GetKeyState(VK_MENU) < 0 ? 4 : 0);
        Run(OnKeyDown, key, shift);
    }
    return DefSubclassProc(hwnd, WM_KEYDOWN, wp, lp);
}

LRESULT Win32Control::OnEditChar(HWND hwnd, WPARAM wp, LPARAM lp) {
    if (packetDown_) {
        packetDown_ = false;
        // The key a user presses for this character; a character without a key keeps the
        // packet's key code.
        const SHORT key = VkKeyScanW(static_cast<wchar_t>(wp));
        int code = key == -1 ? VK_PACKET : LOBYTE(key);
        int shift = key == -1 ? 0 : (HIBYTE(key) & 7);
        Run(OnKeyDown, code, shift);
    }
    if (OnKeyPress) {
        int code = static_cast<int>(wp);
        Run(OnKeyPress, code);
        if (code == 0)
            return 0;
        wp = static_cast<WPARAM>(code);
    }
    return DefSubclassProc(hwnd, WM_CHAR, wp, lp);
}

} // namespace corv::win32
