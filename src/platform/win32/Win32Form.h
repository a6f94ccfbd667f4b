#pragma once
// A real top-level window built from its layout table: its controls (Win32Control) in the
// table's load order, placed in twips converted with the screen's DPI.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Handles.h"
#include "Win32Control.h"
#include "platform/FormHost.h"
#include "platform/WindowLayer.h"
#include "ui/FormLayouts.h"

namespace corv::win32 {

// The window class of the program's windows.
inline constexpr wchar_t kFormClassName[] = L"CorvanthelixForm";

class Win32Form : public Form, public FormHost {
  public:
    // Creates the window hidden, with its controls; throws WindowError when it cannot. The
    // layout outlives the window; focusOrder names the controls Tab reaches, in order (empty:
    // every control that takes the focus, in load order); iconId is the resource id of the
    // window's icon, 0 for none.
    Win32Form(HINSTANCE instance, const FormLayout& layout, std::vector<std::wstring> focusOrder,
              int iconId, HWND owner = nullptr);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // Form
    const std::wstring& Name() const override { return layout_.name; }
    std::wstring Title() const override;
    void SetTitle(const std::wstring& title) override;
    int ControlCount() const override { return static_cast<int>(controls_.size()); }
    Win32Control& ControlAt(int position) override;

    // FormHost
    void Show() override;
    void Hide() override;
    bool Visible() const override;
    void ShowPopupMenu(Control& menu) override;
    void ShowMessage(const std::wstring& text, const std::wstring& title) override;
    ScreenBox ScreenSize() const override;
    ScreenBox Placement() const override;
    void MoveTo(long long left, long long top) override;

    HWND Handle() const { return hwnd_.get(); }
    const FormLayout& Layout() const { return layout_; }
    int Dpi() const { return dpi_; }
    int ToPixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
    // True when the message was for this window and has been handled (Tab, arrows, Enter).
    bool PreTranslate(MSG& msg);
    // Destroys the window now; later calls do nothing.
    void Destroy() { hwnd_.reset(); }

    std::function<void()> OnActivate;     // the window became the active window
    std::function<void()> OnCloseCommand; // the system's close command; default: destroy
    std::function<void()> OnEscape;       // the Escape key
    std::function<void(UINT mouseMessage)> OnTrayCallback;
    std::function<void()> OnTaskbarCreated;
    // A handler of one more message; true when it handled the message, with the result in the
    // last argument. Several parts may watch the same message (a resume from sleep, say): each
    // handler runs in the order added until one answers true.
    using MessageHandler = std::function<bool(WPARAM, LPARAM, LRESULT&)>;
    void AddMessageHandler(UINT msg, MessageHandler handler);

    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;

  private:
    LRESULT OnWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    bool OnAddedHandlers(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    LRESULT OnCommand(WPARAM wp, LPARAM lp);
    LRESULT OnTimer(WPARAM id);
    LRESULT OnActivateMessage(HWND hwnd, WPARAM wp);
    LRESULT OnClose();
    LRESULT OnNcDestroy(HWND hwnd, WPARAM wp, LPARAM lp);
    LRESULT OnEraseBackground(HWND hwnd, WPARAM dc);
    LRESULT OnControlColour(HWND hwnd, UINT msg, WPARAM dc, LPARAM child);
    LRESULT OnDpiChanged(HWND hwnd, WPARAM wp, LPARAM suggested);
    LRESULT OnTrayMessage(LPARAM lp);
    LRESULT OnTaskbarCreatedMessage();

    void LoadIcons(HINSTANCE instance, int iconId);
    void PlaceControls();
    void ApplyFont();
    void OrderForFocus();
    Win32Control* ById(int id);
    Win32Control* ByName(const std::wstring& name);

    const FormLayout& layout_;
    std::vector<std::wstring> focusOrder_;
    HWND lastFocus_ = nullptr;
    int dpi_ = 96;
    UINT taskbarCreated_ = 0;
    BrushHandle backBrush_;
    FontHandle font_;
    IconHandle icon_, bigIcon_;
    std::vector<std::unique_ptr<Win32Control>> controls_;
    std::vector<std::pair<UINT, MessageHandler>> handlers_;
    WindowHandle hwnd_; // last: the window goes first, while the rest still stands
};

// Registers the window class and loads the rich edit library; call once before any form.
void InitWindowLayer(HINSTANCE instance);

} // namespace corv::win32
