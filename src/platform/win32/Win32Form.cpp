#include "Win32Form.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdlib>

#include "Win32Basics.h"
#include "core/modSysTry.h"

namespace corv::win32 {
namespace {

constexpr int kFirstId = kFirstControlId;
constexpr UINT kDpiChanged = 0x02E0;
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

bool IsButton(ControlKind k) {
    return k == ControlKind::MyButton || k == ControlKind::CommandButton ||
           k == ControlKind::CheckBox;
}
bool TakesFocus(ControlKind k) {
    return IsButton(k) || k == ControlKind::List || k == ControlKind::TextBox ||
           k == ControlKind::RichTextBox;
}

UINT WindowDpi(HWND hwnd) {
    using Fn = UINT(WINAPI*)(HWND);
    static const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (fn && hwnd) {
        const UINT dpi = fn(hwnd);
        if (dpi != 0)
            return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

RECT OuterRect(int width, int height, UINT dpi) {
    RECT r{0, 0, width, height};
    using Fn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (!fn || !fn(&r, kFormStyle, FALSE, kFormExStyle, dpi))
        AdjustWindowRectEx(&r, kFormStyle, FALSE, kFormExStyle);
    return r;
}

} // namespace

void InitWindowLayer(HINSTANCE instance) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    LoadSystemLibrary(L"Msftedit.dll");
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Win32Form::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClassName;
    RegisterClassExW(&wc);
}

FormSpec SpecFromLayout(const FormLayout& layout, std::vector<std::wstring> focusOrder,
                        int iconId) {
    FormSpec spec;
    spec.name = layout.name;
    spec.title = layout.title;
    spec.clientWidth = layout.clientWidth;
    spec.clientHeight = layout.clientHeight;
    spec.focusOrder = std::move(focusOrder);
    spec.iconId = iconId;
    for (const ControlLayout& c : layout.controls) {
        ControlSpec s;
        s.name = c.name;
        s.kind = c.kind;
        s.container = c.container;
        s.caption = c.caption;
        s.left = c.left;
        s.top = c.top;
        s.width = c.width;
        s.height = c.height;
        s.interval = c.kind == ControlKind::Timer ? 50 : 0;
        // The identifier box shows a code rather than taking input: it sits on the back colour.
        s.backColoured = c.name == L"lbIdent";
        spec.controls.push_back(std::move(s));
    }
    return spec;
}

// --- Win32Control ---------------------------------------------------------------------------

Win32Control::Win32Control(Win32Form& form, const ControlSpec& spec, int position)
    : form_(form), spec_(spec), id_(kFirstId + position) {
    const HWND parent = form.hwnd_;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    const auto menuId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_));
    auto make = [&](DWORD exStyle, const wchar_t* cls, DWORD style) {
        hwnd_ = CreateWindowExW(exStyle, cls, spec.caption.c_str(), WS_CHILD | WS_VISIBLE | style,
                                0, 0, 0, 0, parent, menuId, instance, nullptr);
        if (!hwnd_)
            throw WindowError(static_cast<int>(GetLastError()), "Cannot create a control");
    };
    switch (spec.kind) {
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
    case ControlKind::List:
        make(0, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL);
        for (const auto& item : spec.items)
            SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        break;
    case ControlKind::MyButton:
    case ControlKind::CommandButton:
        make(0, L"BUTTON", BS_PUSHBUTTON);
        break;
    case ControlKind::CheckBox:
        make(0, L"BUTTON", BS_AUTOCHECKBOX);
        break;
    case ControlKind::Timer:
        enabled_ = false;
        if (spec_.interval <= 0)
            spec_.interval = 50;
        break;
    case ControlKind::Picture:
        break;
    case ControlKind::Menu:
        text_ = spec.caption;
        menu_ = CreatePopupMenu();
        break;
    case ControlKind::MenuEntry:
    case ControlKind::MenuSeparator: {
        text_ = spec.caption;
        Win32Control* holder = form.ByName(spec.container);
        if (!holder || !holder->menu_)
            throw WindowError(730, "Menu entry outside a menu");
        menu_ = holder->menu_;
        if (spec.kind == ControlKind::MenuSeparator)
            AppendMenuW(menu_, MF_SEPARATOR, static_cast<UINT_PTR>(id_), nullptr);
        else
            AppendMenuW(menu_, MF_STRING, static_cast<UINT_PTR>(id_), text_.c_str());
        break;
    }
    }
}

Win32Control::~Win32Control() {
    if (spec_.kind == ControlKind::Menu && menu_)
        DestroyMenu(menu_);
}

std::wstring Win32Control::Text() const {
    if (spec_.kind == ControlKind::List) {
        const int selected = SelectedIndex();
        return selected >= 0 ? Item(selected) : std::wstring();
    }
    if (!hwnd_)
        return text_;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Win32Control::SetText(const std::wstring& text) {
    switch (spec_.kind) {
    case ControlKind::List:
    case ControlKind::Timer:
    case ControlKind::Picture:
        throw WindowError(438, "Object doesn't support this property or method");
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
    return hwnd_ ? IsWindowEnabled(hwnd_) != FALSE : enabled_;
}

void Win32Control::SetEnabled(bool enabled) {
    if (hwnd_) {
        EnableWindow(hwnd_, enabled ? TRUE : FALSE);
        return;
    }
    enabled_ = enabled;
    if (spec_.kind == ControlKind::Timer && form_.hwnd_) {
        if (enabled)
            SetTimer(form_.hwnd_, static_cast<UINT_PTR>(id_), static_cast<UINT>(spec_.interval),
                     nullptr);
        else
            KillTimer(form_.hwnd_, static_cast<UINT_PTR>(id_));
    } else if (spec_.kind == ControlKind::MenuEntry) {
        EnableMenuItem(menu_, static_cast<UINT>(id_),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

void Win32Control::RequireList() const {
    if (spec_.kind != ControlKind::List)
        throw WindowError(438, "Object doesn't support this property or method");
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
    if (OnClick) {
        auto handler = OnClick;
        handler();
    }
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
        case WM_GETDLGCODE: {
            LRESULT code = DefSubclassProc(hwnd, msg, wp, lp);
            // Enter reaches a box that watches key presses instead of the window.
            const auto* m = reinterpret_cast<const MSG*>(lp);
            if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN && self->OnKeyDown)
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
            if (wp == VK_PACKET) {
                // A character typed as itself: its key is known once the character arrives.
                self->packetDown_ = true;
                break;
            }
            if (self->OnKeyDown) {
                const int shift = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) |
                                  (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                                  (GetKeyState(VK_MENU) < 0 ? 4 : 0);
                auto handler = self->OnKeyDown;
                handler(static_cast<int>(wp), shift);
            }
            break;
        case WM_CHAR:
            if (self->packetDown_) {
                self->packetDown_ = false;
                // The key a user presses for this character; a character without a key keeps
                // the packet's key code.
                const SHORT key = VkKeyScanW(static_cast<wchar_t>(wp));
                const int code = key == -1 ? VK_PACKET : LOBYTE(key);
                const int shift = key == -1 ? 0 : (HIBYTE(key) & 7);
                if (self->OnKeyDown) {
                    auto handler = self->OnKeyDown;
                    handler(code, shift);
                }
            }
            if (self->OnKeyPress) {
                int code = static_cast<int>(wp);
                auto handler = self->OnKeyPress;
                handler(code);
                if (code == 0)
                    return 0;
                wp = static_cast<WPARAM>(code);
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, EditProc, 1);
            break;
        }
    } catch (...) {
        // A failing handler leaves the key to the box.
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// --- Win32Form ------------------------------------------------------------------------------

Win32Form::Win32Form(HINSTANCE instance, const FormSpec& spec, HWND owner) : spec_(spec) {
    try {
        Create(instance, owner);
    } catch (...) {
        Release(); // a window half made leaves nothing behind
        throw;
    }
}

void Win32Form::Create(HINSTANCE instance, HWND owner) {
    backBrush_ = CreateSolidBrush(spec_.backColour);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    hwnd_ = CreateWindowExW(kFormExStyle, kFormClassName, spec_.title.c_str(), kFormStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner, nullptr, instance, this);
    if (!hwnd_)
        throw WindowError(static_cast<int>(GetLastError()), "Cannot create the window");
    dpi_ = static_cast<int>(WindowDpi(hwnd_));
    if (spec_.iconId != 0) {
        const int size = GetSystemMetrics(SM_CXSMICON);
        icon_ = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(spec_.iconId), IMAGE_ICON, size, size, 0));
        if (icon_)
            SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
        const int big = GetSystemMetrics(SM_CXICON);
        bigIcon_ = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(spec_.iconId), IMAGE_ICON, big, big, 0));
        if (bigIcon_)
            SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    }
    for (std::size_t i = 0; i < spec_.controls.size(); ++i)
        controls_.push_back(
            std::make_unique<Win32Control>(*this, spec_.controls[i], static_cast<int>(i)));
    ApplyFont();
    Layout();
    OrderForFocus();
}

Win32Form::~Win32Form() {
    Release();
}

void Win32Form::Release() noexcept {
    Destroy();
    controls_.clear();
    if (font_)
        DeleteObject(font_);
    if (backBrush_)
        DeleteObject(backBrush_);
    if (icon_)
        DestroyIcon(icon_);
    if (bigIcon_)
        DestroyIcon(bigIcon_);
}

void Win32Form::Destroy() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

std::wstring Win32Form::Title() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Win32Form::SetTitle(const std::wstring& title) {
    SetWindowTextW(hwnd_, title.c_str());
}

Win32Control& Win32Form::ControlAt(int position) {
    if (position < 0 || position >= ControlCount())
        throw WindowError(9, "Subscript out of range");
    return *controls_[static_cast<std::size_t>(position)];
}

Win32Control* Win32Form::ById(int id) {
    const int position = id - kFirstId;
    if (position < 0 || position >= ControlCount())
        return nullptr;
    return controls_[static_cast<std::size_t>(position)].get();
}

Win32Control* Win32Form::ByName(const std::wstring& name) {
    for (auto& c : controls_)
        if (c->Name() == name)
            return c.get();
    return nullptr;
}

void Win32Form::ApplyFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        font = metrics.lfMessageFont;
    else
        font.lfHeight = -11;
    // The system's message font, at this window's DPI.
    font.lfHeight = MulDiv(font.lfHeight, dpi_, static_cast<int>(SystemDpi()));
    HFONT created = CreateFontIndirectW(&font);
    if (!created)
        return;
    for (auto& c : controls_)
        if (c->hwnd_)
            SendMessageW(c->hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(created), FALSE);
    if (font_)
        DeleteObject(font_);
    font_ = created;
}

void Win32Form::Layout() {
    const int width = ToPixels(spec_.clientWidth);
    const int height = ToPixels(spec_.clientHeight);
    const RECT outer = OuterRect(width, height, static_cast<UINT>(dpi_));
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (auto& c : controls_) {
        if (!c->hwnd_)
            continue;
        const ControlSpec& s = c->spec_;
        int left = s.left, top = s.top;
        if (Win32Control* holder = s.container.empty() ? nullptr : ByName(s.container)) {
            left += holder->spec_.left;
            top += holder->spec_.top;
        }
        int h = ToPixels(s.height);
        if (s.kind == ControlKind::List)
            h += ToPixels(2400); // the dropped-down part
        MoveWindow(c->hwnd_, ToPixels(left), ToPixels(top), ToPixels(s.width), h, FALSE);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Form::OrderForFocus() {
    // Tab order is the order of the focus list; each control's label goes just before it, so
    // that screen readers name the control by it. Frames lie beneath everything.
    auto labelFor = [this](const Win32Control& c) -> Win32Control* {
        const int middle = c.spec_.top + c.spec_.height / 2;
        for (auto& l : controls_)
            if (l->spec_.kind == ControlKind::Label && l->spec_.container == c.spec_.container &&
                l->spec_.left < c.spec_.left &&
                std::abs(l->spec_.top + l->spec_.height / 2 - middle) <= 150)
                return l.get();
        return nullptr;
    };
    std::vector<Win32Control*> order;
    if (spec_.focusOrder.empty()) {
        for (auto& c : controls_)
            if (TakesFocus(c->spec_.kind))
                order.push_back(c.get());
    } else {
        for (const auto& name : spec_.focusOrder)
            if (Win32Control* c = ByName(name); c && c->hwnd_)
                order.push_back(c);
    }
    HWND after = HWND_TOP;
    auto place = [&after](HWND h) {
        SetWindowPos(h, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = h;
    };
    for (Win32Control* c : order) {
        if (Win32Control* label = labelFor(*c))
            place(label->hwnd_);
        place(c->hwnd_);
        SetWindowLongPtrW(c->hwnd_, GWL_STYLE, GetWindowLongPtrW(c->hwnd_, GWL_STYLE) | WS_TABSTOP);
    }
    for (auto& c : controls_)
        if (c->spec_.kind == ControlKind::Frame)
            SetWindowPos(c->hwnd_, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Form::Show() {
    if (IsIconic(hwnd_))
        ShowWindow(hwnd_, SW_RESTORE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    // A window that was already active while hidden (behind the tray menu) gets no new
    // activation; it is announced here, now that it is seen.
    if (GetActiveWindow() == hwnd_)
        Raise(OnActivate);
}

void Win32Form::Hide() {
    ShowWindow(hwnd_, SW_HIDE);
}

bool Win32Form::Visible() const {
    return IsWindowVisible(hwnd_) != FALSE;
}

void Win32Form::ShowPopupMenu(Control& menu) {
    auto* m = dynamic_cast<Win32Control*>(&menu);
    if (!m || m->Kind() != ControlKind::Menu || !m->menu_)
        throw WindowError(438, "Object doesn't support this property or method");
    POINT at{};
    GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if the window is in front.
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(m->menu_, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void Win32Form::ShowMessage(const std::wstring& text, const std::wstring& title) {
    const HWND owner = Visible() ? hwnd_ : nullptr;
    MessageBoxW(owner, text.c_str(), title.c_str(),
                MB_OK | (owner ? MB_APPLMODAL : MB_TASKMODAL | MB_SETFOREGROUND));
}

ScreenBox Win32Form::ScreenSize() const {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

ScreenBox Win32Form::Placement() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Form::MoveTo(long long left, long long top) {
    SetWindowPos(hwnd_, nullptr, static_cast<int>(left), static_cast<int>(top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Win32Form::PreTranslate(MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)))
        return false;
    return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

void Win32Form::Raise(const std::function<void()>& handler) {
    if (!handler)
        return;
    auto copy = handler; // the handler may replace itself
    try {
        copy();
    } catch (...) {
        // No failure leaves a window procedure.
    }
}

void Win32Form::AddMessageHandler(UINT msg, MessageHandler handler) {
    handlers_.emplace_back(msg, std::move(handler));
}

LRESULT CALLBACK Win32Form::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<Win32Form*>(create->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, msg, wp, lp);
    try {
        return self->OnWindowMessage(msg, wp, lp);
    } catch (...) {
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

LRESULT Win32Form::OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const HWND hwnd = hwnd_;
    for (std::size_t i = 0; i < handlers_.size(); ++i) {
        if (handlers_[i].first != msg)
            continue;
        LRESULT result = 0;
        auto handler = handlers_[i].second; // a handler may add others
        if (handler(wp, lp, result))
            return result;
    }
    if (msg == kTrayCallbackMessage) {
        if (OnTrayCallback) {
            auto handler = OnTrayCallback;
            handler(static_cast<UINT>(LOWORD(lp)));
        }
        return 0;
    }
    if (taskbarCreated_ != 0 && msg == taskbarCreated_) {
        Raise(OnTaskbarCreated);
        return 0;
    }
    switch (msg) {
    case WM_COMMAND: {
        if (lp == 0 && LOWORD(wp) == IDCANCEL) {
            Raise(OnEscape);
            return 0;
        }
        Win32Control* c = ById(LOWORD(wp));
        if (!c)
            return 0;
        const WORD code = HIWORD(wp);
        if (lp == 0) {
            // A menu entry, or a press sent as the button itself reports it.
            if (code == 0 && (c->spec_.kind == ControlKind::MenuEntry ||
                              (IsButton(c->spec_.kind) && IsWindowEnabled(c->hwnd_))))
                Raise(c->OnClick);
        } else if (IsButton(c->spec_.kind) && code == BN_CLICKED) {
            Raise(c->OnClick);
        } else if (c->spec_.kind == ControlKind::List && code == CBN_SELCHANGE) {
            Raise(c->OnClick);
        } else if (c->spec_.kind == ControlKind::TextBox && code == EN_SETFOCUS) {
            Raise(c->OnFocus);
        }
        return 0;
    }
    case WM_TIMER:
        if (Win32Control* c = ById(static_cast<int>(wp));
            c && c->spec_.kind == ControlKind::Timer && c->enabled_) {
            // A tick that lets messages run must not start the next tick inside itself.
            static thread_local std::vector<int> running;
            if (std::find(running.begin(), running.end(), c->id_) != running.end())
                return 0;
            running.push_back(c->id_);
            Raise(c->OnTimer);
            running.erase(std::find(running.begin(), running.end(), c->id_));
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(hwnd, focus))
                lastFocus_ = focus;
            return 0;
        }
        if (!lastFocus_ || !IsChild(hwnd, lastFocus_) || !IsWindowEnabled(lastFocus_)) {
            lastFocus_ = nullptr;
            for (const auto& name : spec_.focusOrder)
                if (Win32Control* c = ByName(name); c && c->hwnd_ && IsWindowEnabled(c->hwnd_)) {
                    lastFocus_ = c->hwnd_;
                    break;
                }
        }
        if (lastFocus_)
            SetFocus(lastFocus_);
        Raise(OnActivate);
        return 0;
    case WM_CLOSE:
        if (OnCloseCommand)
            Raise(OnCloseCommand);
        else
            DestroyWindow(hwnd);
        return 0;
    case WM_NCDESTROY: {
        hwnd_ = nullptr;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        Raise(OnDestroyed);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    case WM_ERASEBKGND: {
        RECT r{};
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, backBrush_);
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT: {
        const auto child = reinterpret_cast<HWND>(lp);
        Win32Control* c = ById(GetDlgCtrlID(child));
        if (msg == WM_CTLCOLOREDIT && !(c && c->spec_.backColoured))
            break;
        const auto dc = reinterpret_cast<HDC>(wp);
        SetBkColor(dc, spec_.backColour);
        SetTextColor(dc, IsWindowEnabled(child) ? GetSysColor(COLOR_WINDOWTEXT)
                                                : GetSysColor(COLOR_GRAYTEXT));
        return reinterpret_cast<LRESULT>(backBrush_);
    }
    case kDpiChanged: {
        dpi_ = HIWORD(wp);
        const auto* suggested = reinterpret_cast<const RECT*>(lp);
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        ApplyFont();
        Layout();
        return 0;
    }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace corv::win32
