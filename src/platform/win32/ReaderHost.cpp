#include "ReaderHost.h"

#include <vector>

#include "ui/FormLayouts.h"

namespace corv::win32 {
namespace {

constexpr UINT_PTR kTimer1Id = 1;

// A control of the hidden stand-in window: its properties kept in memory, as nothing of it is
// ever shown. Timer1's enabled state starts and stops the real timer.
class HostControl : public Control {
  public:
    explicit HostControl(const ControlLayout& layout)
        : name_(layout.name), kind_(layout.kind), text_(layout.caption), items_(layout.items) {
        for (int i = 0; i < layout.lookedUpItems; ++i)
            items_.push_back(L"Settings|" + layout.name + L"|" + std::to_wstring(i));
    }
    const std::wstring& Name() const override { return name_; }
    ControlKind Kind() const override { return kind_; }
    std::optional<int> ArrayIndex() const override { return std::nullopt; }
    std::wstring Text() const override {
        if (kind_ == ControlKind::List)
            return selected_ >= 0 ? items_[static_cast<std::size_t>(selected_)] : std::wstring();
        return text_;
    }
    void SetText(const std::wstring& text) override {
        if (kind_ == ControlKind::List || kind_ == ControlKind::Timer)
            throw WindowError(438, "Object doesn't support this property or method");
        text_ = text;
    }
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override {
        enabled_ = enabled;
        if (onEnabled)
            onEnabled(enabled);
    }
    int ItemCount() const override {
        RequireList();
        return static_cast<int>(items_.size());
    }
    std::wstring Item(int index) const override {
        RequireIndex(index);
        return items_[static_cast<std::size_t>(index)];
    }
    void SetItem(int index, const std::wstring& text) override {
        RequireIndex(index);
        items_[static_cast<std::size_t>(index)] = text;
    }
    void AddItem(const std::wstring& text) override {
        RequireList();
        items_.push_back(text);
    }
    int SelectedIndex() const override {
        RequireList();
        return selected_;
    }
    void SetSelectedIndex(int index) override {
        RequireList();
        if (index < -1 || index >= ItemCount())
            throw WindowError(380, "Invalid property value");
        selected_ = index;
        if (OnClick)
            OnClick();
    }
    void Focus() override {}
    void Select(int, int) override {}

    std::function<void(bool)> onEnabled;

  private:
    void RequireList() const {
        if (kind_ != ControlKind::List)
            throw WindowError(438, "Object doesn't support this property or method");
    }
    void RequireIndex(int index) const {
        if (index < 0 || index >= ItemCount())
            throw WindowError(381, "Invalid property array index");
    }
    std::wstring name_;
    ControlKind kind_;
    std::wstring text_;
    std::vector<std::wstring> items_;
    int selected_ = -1;
    bool enabled_ = true;
};

class HostForm : public Form {
  public:
    explicit HostForm(const FormLayout& layout) : name_(layout.name), title_(layout.title) {
        for (const auto& c : layout.controls)
            controls_.push_back(std::make_unique<HostControl>(c));
    }
    const std::wstring& Name() const override { return name_; }
    std::wstring Title() const override { return title_; }
    void SetTitle(const std::wstring& title) override { title_ = title; }
    int ControlCount() const override { return static_cast<int>(controls_.size()); }
    Control& ControlAt(int position) override {
        return *controls_.at(static_cast<std::size_t>(position));
    }
    HostControl& Get(std::wstring_view name) { return static_cast<HostControl&>((*this)[name]); }

  private:
    std::wstring name_;
    std::wstring title_;
    std::vector<std::unique_ptr<HostControl>> controls_;
};

} // namespace

ReaderHost::ReaderHost(HINSTANCE instance, AppSettings& settings, AppState& state, TrayIcon& tray,
                       KeyboardHookControl& hook, ResStrings& strings)
    : instance_(instance), settings_(settings) {
    auto form = std::make_unique<HostForm>(SettingsLayout());
    HostForm& f = *form;
    f.Get(L"Timer1").SetEnabled(false);
    f.Get(L"Timer1").onEnabled = [this](bool enabled) { OnTimer1Enabled(enabled); };
    form_ = std::move(form);
    deliverer_ = std::make_unique<Deliverer>(settings, desktop_, f[L"lbIdent"],
                                             [] { return false; }); // never shown
    // The serial fields are those of a window that is never shown: enabling them changes
    // only their state.
    auto enableFields = [&f](bool enabled) {
        for (const wchar_t* name :
             {L"lbComPort", L"cComPort", L"lbBitsPerSecond", L"cBitsPerSecond", L"lbDataBits",
              L"cDataBits", L"lbFlowControl", L"cFlowControl", L"lbParity", L"cParity",
              L"lbStopBits", L"cStopBits"})
            f[name].SetEnabled(enabled);
    };
    loop_ = std::make_unique<ReadingLoop>(ReadingLoop::Parts{settings, state, serial_, pump_,
                                                             codePage_, *deliverer_, tray, hook,
                                                             strings, f, enableFields});
    f.Get(L"Timer1").OnTimer = [this] { loop_->Timer1Tick(); };
    f.Get(L"bConnection").OnClick = [this] { loop_->bConnectionClick(); };
}

ReaderHost::~ReaderHost() {
    if (hwnd_) {
        KillTimer(hwnd_, kTimer1Id);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    serial_.CloseComm();
}

bool ReaderHost::Create() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance_;
    wc.lpszClassName = kReaderHostClass;
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, kReaderHostClass, form_->Title().c_str(), WS_OVERLAPPEDWINDOW, 0, 0,
                            100, 100, nullptr, nullptr, instance_, nullptr);
    if (!hwnd_)
        return false;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return true;
}

void ReaderHost::Start(Configuration& configuration) {
    try {
        configuration.LoadSettings(settings_);
    } catch (...) {
        // Without the application folder the defaults stay.
    }
    try {
        const std::pair<const wchar_t*, std::int16_t> lists[] = {
            {L"cComPort", settings_.ComPort},   {L"cBitsPerSecond", settings_.BitsPerSecond},
            {L"cDataBits", settings_.DataBits}, {L"cFlowControl", settings_.FlowControl},
            {L"cParity", settings_.Parity},     {L"cStopBits", settings_.StopBits},
            {L"cSendTo", settings_.SendTo},     {L"cFilter", settings_.Filter},
            {L"cPrefix", settings_.Prefix},     {L"cIsKeyBoard", settings_.IsKeyBoard}};
        for (const auto& [name, index] : lists)
            (*form_)[name].SetSelectedIndex(index);
    } catch (const WindowError&) {
        return;
    }
    serial_.CloseComm();
    loop_->bConnectionClick();
}

void ReaderHost::OnTimer1Enabled(bool enabled) {
    if (!hwnd_)
        return;
    if (enabled)
        SetTimer(hwnd_, kTimer1Id, kTimer1IntervalMs, nullptr);
    else
        KillTimer(hwnd_, kTimer1Id);
}

LRESULT CALLBACK ReaderHost::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    auto* self = reinterpret_cast<ReaderHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    try {
        if (self && msg == WM_TIMER && wp == kTimer1Id) {
            Control& timer = (*self->form_)[L"Timer1"];
            if (timer.Enabled() && timer.OnTimer)
                timer.OnTimer();
            return 0;
        }
        if (self && msg == WM_COMMAND && LOWORD(wp) == kConnectionButtonId &&
            HIWORD(wp) == BN_CLICKED) {
            Control& button = (*self->form_)[L"bConnection"];
            if (button.Enabled() && button.OnClick)
                button.OnClick();
            return 0;
        }
    } catch (...) {
        // A failing tick or click leaves the program running.
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace corv::win32
