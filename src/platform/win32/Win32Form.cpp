#include "Win32Form.h"

#include <commctrl.h>

#include <cstdlib>

#include "Win32Basics.h"
#include "core/modSysTry.h"

namespace corv::win32 {
namespace {

constexpr UINT kDpiChanged = 0x02E0;
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;
constexpr COLORREF kBackColour = RGB(227, 229, 240);

bool TakesFocus(ControlKind k) {
    return k == ControlKind::MyButton || k == ControlKind::CommandButton ||
           k == ControlKind::CheckBox || k == ControlKind::List || k == ControlKind::TextBox ||
           k == ControlKind::RichTextBox;
}

int ScreenDpi(int axis) {
    const ScreenDc screen(GetDC(nullptr));
    const int dpi = GetDeviceCaps(screen.get(), axis);
    return dpi > 0 ? dpi : 96;
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
    return static_cast<UINT>(ScreenDpi(LOGPIXELSX));
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

// Runs a window's event handler; no failure leaves a window procedure.
template <typename Handler, typename... Args> void Raise(const Handler& handler, Args... args) {
    if (!handler)
        return;
    auto copy = handler; // the handler may replace itself
    try {
        copy(args...);
    } catch (...) {
    }
}

} // namespace

void InitWindowLayer(HINSTANCE instance) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    // Kept for the life of the process: its window class serves every rich edit box.
    LoadSystemLibrary(L"Msftedit.dll").release();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Win32Form::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClassName;
    RegisterClassExW(&wc);
}

Win32Form::Win32Form(HINSTANCE instance, const FormLayout& layout,
                     std::vector<std::wstring> focusOrder, int iconId, HWND owner)
    : layout_(layout), focusOrder_(std::move(focusOrder)),
      backBrush_(CreateSolidBrush(kBackColour)) {
    // A window half made leaves nothing behind: the members let go of what was made.
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    // The window procedure takes the handle at WM_NCCREATE.
    CreateWindowExW(kFormExStyle, kFormClassName, layout.title.c_str(), kFormStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, 100, 100, owner, nullptr, instance, this);
    if (!hwnd_)
        throw WindowError(static_cast<int>(GetLastError()), "Cannot create the window");
    dpi_ = static_cast<int>(WindowDpi(Handle()));
    LoadIcons(instance, iconId);
    for (std::size_t i = 0; i < layout.controls.size(); ++i)
        controls_.push_back(
            std::make_unique<Win32Control>(*this, layout.controls[i], static_cast<int>(i)));
    ApplyFont();
    PlaceControls();
    OrderForFocus();
}

Win32Form::~Win32Form() {
    Destroy();
}

void Win32Form::LoadIcons(HINSTANCE instance, int iconId) {
    if (iconId == 0)
        return;
    auto load = [&](IconHandle& icon, int metric, WPARAM kind) {
        const int side = GetSystemMetrics(metric);
        icon.reset(static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, side, side, 0)));
        if (icon)
            SendMessageW(Handle(), WM_SETICON, kind, reinterpret_cast<LPARAM>(icon.get()));
    };
    load(icon_, SM_CXSMICON, ICON_SMALL);
    load(bigIcon_, SM_CXICON, ICON_BIG);
}

std::wstring Win32Form::Title() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Handle())) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()))));
    return text;
}

void Win32Form::SetTitle(const std::wstring& title) {
    SetWindowTextW(Handle(), title.c_str());
}

Win32Control& Win32Form::ControlAt(int position) {
    if (position < 0 || position >= ControlCount())
        throw WindowError(9, "Subscript out of range");
    return *controls_[static_cast<std::size_t>(position)];
}

Win32Control* Win32Form::ById(int id) {
    const int position = id - kFirstControlId;
    if (position < 0 || position >= ControlCount())
        return nullptr;
    return controls_[static_cast<std::size_t>(position)].get();
}

Win32Control* Win32Form::ByName(const std::wstring& name) {
    const int position = layout_.PositionOf(name);
    return position < 0 ? nullptr : ById(kFirstControlId + position);
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
    font.lfHeight = MulDiv(font.lfHeight, dpi_, ScreenDpi(LOGPIXELSY));
    FontHandle created(CreateFontIndirectW(&font));
    if (!created)
        return;
    for (auto& c : controls_)
        if (c->Handle())
            SendMessageW(c->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(created.get()), FALSE);
    font_ = std::move(created);
}

void Win32Form::PlaceControls() {
    const RECT outer = OuterRect(ToPixels(layout_.clientWidth), ToPixels(layout_.clientHeight),
                                 static_cast<UINT>(dpi_));
    SetWindowPos(Handle(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (auto& c : controls_) {
        if (!c->Handle())
            continue;
        const ControlLayout& s = c->Layout();
        int left = s.left, top = s.top;
        if (Win32Control* holder = s.container.empty() ? nullptr : ByName(s.container)) {
            left += holder->Layout().left;
            top += holder->Layout().top;
        }
        int h = ToPixels(s.height);
        if (s.kind == ControlKind::List)
            h += ToPixels(2400); // the dropped-down part
        MoveWindow(c->Handle(), ToPixels(left), ToPixels(top), ToPixels(s.width), h, FALSE);
    }
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Win32Form::OrderForFocus() {
    // Tab order is the order of the focus list; each control's label goes just before it, so
    // that screen readers name the control by it. Frames lie beneath everything.
    auto labelFor = [this](const ControlLayout& c) -> Win32Control* {
        const int middle = c.top + c.height / 2;
        for (auto& l : controls_) {
            const ControlLayout& s = l->Layout();
            if (s.kind == ControlKind::Label && s.container == c.container && s.left < c.left &&
                std::abs(s.top + s.height / 2 - middle) <= 150)
                return l.get();
        }
        return nullptr;
    };
    std::vector<Win32Control*> order;
    if (focusOrder_.empty()) {
        for (auto& c : controls_)
            if (TakesFocus(c->Kind()))
                order.push_back(c.get());
    } else {
        for (const auto& name : focusOrder_)
            if (Win32Control* c = ByName(name); c && c->Handle())
                order.push_back(c);
    }
    HWND after = HWND_TOP;
    auto place = [&after](HWND h) {
        SetWindowPos(h, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = h;
    };
    for (Win32Control* c : order) {
        if (Win32Control* label = labelFor(c->Layout()))
            place(label->Handle());
        place(c->Handle());
        SetWindowLongPtrW(c->Handle(), GWL_STYLE,
                          GetWindowLongPtrW(c->Handle(), GWL_STYLE) | WS_TABSTOP);
    }
    for (auto& c : controls_)
        if (c->Kind() == ControlKind::Frame)
            SetWindowPos(c->Handle(), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Form::Show() {
    if (IsIconic(Handle()))
        ShowWindow(Handle(), SW_RESTORE);
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    // A window that was already active while hidden (behind the tray menu) gets no new
    // activation; it is announced here, now that it is seen.
    if (GetActiveWindow() == Handle())
        Raise(OnActivate);
}

void Win32Form::Hide() {
    ShowWindow(Handle(), SW_HIDE);
}

bool Win32Form::Visible() const {
    return IsWindowVisible(Handle()) != FALSE;
}

void Win32Form::ShowPopupMenu(Control& menu) {
    auto* m = dynamic_cast<Win32Control*>(&menu);
    if (!m || m->Kind() != ControlKind::Menu || !m->Popup())
        throw WindowError(438, "Object doesn't support this property or method");
    POINT at{};
    GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if the window is in front.
    SetForegroundWindow(Handle());
    TrackPopupMenu(m->Popup(), TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y, 0, Handle(), nullptr);
    PostMessageW(Handle(), WM_NULL, 0, 0);
}

void Win32Form::ShowMessage(const std::wstring& text, const std::wstring& title) {
    const HWND owner = Visible() ? Handle() : nullptr;
    MessageBoxW(owner, text.c_str(), title.c_str(),
                MB_OK | (owner ? MB_APPLMODAL : MB_TASKMODAL | MB_SETFOREGROUND));
}

ScreenBox Win32Form::ScreenSize() const {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

ScreenBox Win32Form::Placement() const {
    RECT r{};
    GetWindowRect(Handle(), &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Form::MoveTo(long long left, long long top) {
    SetWindowPos(Handle(), nullptr, static_cast<int>(left), static_cast<int>(top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Win32Form::PreTranslate(MSG& msg) {
    const HWND hwnd = Handle();
    if (!hwnd || (msg.hwnd != hwnd && !IsChild(hwnd, msg.hwnd)))
        return false;
    return IsDialogMessageW(hwnd, &msg) != FALSE;
}

void Win32Form::AddMessageHandler(UINT msg, MessageHandler handler) {
    handlers_.emplace_back(msg, std::move(handler));
}

// --- The window procedure: one handler per message --------------------------------------------

LRESULT CALLBACK Win32Form::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<Win32Form*>(create->lpCreateParams)->hwnd_.reset(hwnd);
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    try {
        if (self)
            return self->OnWindowMessage(hwnd, msg, wp, lp);
    } catch (...) {
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT Win32Form::OnWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (LRESULT result = 0; OnAddedHandlers(msg, wp, lp, result))
        return result;
    if (msg == kTrayCallbackMessage)
        return OnTrayMessage(lp);
    if (taskbarCreated_ != 0 && msg == taskbarCreated_)
        return OnTaskbarCreatedMessage();
    switch (msg) {
    case WM_COMMAND:
        return OnCommand(wp, lp);
    case WM_TIMER:
        return OnTimer(wp);
    case WM_ACTIVATE:
        return OnActivateMessage(hwnd, wp);
    case WM_CLOSE:
        return OnClose();
    case WM_NCDESTROY:
        return OnNcDestroy(hwnd, wp, lp);
    case WM_ERASEBKGND:
        return OnEraseBackground(hwnd, wp);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        return OnControlColour(hwnd, msg, wp, lp);
    case kDpiChanged:
        return OnDpiChanged(hwnd, wp, lp);
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

bool Win32Form::OnAddedHandlers(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    for (std::size_t i = 0; i < handlers_.size(); ++i) {
        if (handlers_[i].first != msg)
            continue;
        auto handler = handlers_[i].second; // a handler may add others
        if (handler(wp, lp, result))
            return true;
    }
    return false;
}

LRESULT Win32Form::OnTrayMessage(LPARAM lp) {
    Raise(OnTrayCallback, static_cast<UINT>(LOWORD(lp)));
    return 0;
}

LRESULT Win32Form::OnTaskbarCreatedMessage() {
    Raise(OnTaskbarCreated);
    return 0;
}

LRESULT Win32Form::OnCommand(WPARAM wp, LPARAM lp) {
    if (lp == 0 && LOWORD(wp) == IDCANCEL) {
        Raise(OnEscape);
        return 0;
    }
    Win32Control* c = ById(LOWORD(wp));
    if (!c)
        return 0;
    const WORD code = HIWORD(wp);
    const ControlKind kind = c->Kind();
    if (lp == 0) {
        // A menu entry, or a press sent as the button itself reports it.
        if (code == 0 &&
            (kind == ControlKind::MenuEntry || (c->IsButton() && IsWindowEnabled(c->Handle()))))
            Raise(c->OnClick);
    } else if ((c->IsButton() && code == BN_CLICKED) ||
               (kind == ControlKind::List && code == CBN_SELCHANGE)) {
        Raise(c->OnClick);
    } else if (kind == ControlKind::TextBox && code == EN_SETFOCUS) {
        Raise(c->OnFocus);
    }
    return 0;
}

LRESULT Win32Form::OnTimer(WPARAM id) {
    if (Win32Control* c = ById(static_cast<int>(id)); c && c->Kind() == ControlKind::Timer) {
        try {
            c->Tick();
        } catch (...) {
        }
    }
    return 0;
}

LRESULT Win32Form::OnActivateMessage(HWND hwnd, WPARAM wp) {
    if (LOWORD(wp) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus))
            lastFocus_ = focus;
        return 0;
    }
    if (!lastFocus_ || !IsChild(hwnd, lastFocus_) || !IsWindowEnabled(lastFocus_)) {
        lastFocus_ = nullptr;
        for (const auto& name : focusOrder_)
            if (Win32Control* c = ByName(name); c && c->Handle() && IsWindowEnabled(c->Handle())) {
                lastFocus_ = c->Handle();
                break;
            }
    }
    if (lastFocus_)
        SetFocus(lastFocus_);
    Raise(OnActivate);
    return 0;
}

LRESULT Win32Form::OnClose() {
    if (OnCloseCommand)
        Raise(OnCloseCommand);
    else
        Destroy();
    return 0;
}

LRESULT Win32Form::OnNcDestroy(HWND hwnd, WPARAM wp, LPARAM lp) {
    hwnd_.release();
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, WM_NCDESTROY, wp, lp);
}

LRESULT Win32Form::OnEraseBackground(HWND hwnd, WPARAM dc) {
    RECT r{};
    GetClientRect(hwnd, &r);
    FillRect(reinterpret_cast<HDC>(dc), &r, backBrush_.get());
    return 1;
}

LRESULT Win32Form::OnControlColour(HWND hwnd, UINT msg, WPARAM dc, LPARAM child) {
    const auto control = reinterpret_cast<HWND>(child);
    if (msg == WM_CTLCOLOREDIT) {
        const Win32Control* c = ById(GetDlgCtrlID(control));
        if (!c || !c->Layout().onBackColour)
            return DefWindowProcW(hwnd, msg, dc, child);
    }
    const auto hdc = reinterpret_cast<HDC>(dc);
    SetBkColor(hdc, kBackColour);
    SetTextColor(hdc, GetSysColor(IsWindowEnabled(control) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    return reinterpret_cast<LRESULT>(backBrush_.get());
}

LRESULT Win32Form::OnDpiChanged(HWND hwnd, WPARAM wp, LPARAM suggested) {
    dpi_ = HIWORD(wp);
    const auto* r = reinterpret_cast<const RECT*>(suggested);
    SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyFont();
    PlaceControls();
    return 0;
}

} // namespace corv::win32
