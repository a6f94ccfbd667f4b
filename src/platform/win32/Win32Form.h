#pragma once
// A real top-level window built from a control table: standard Win32 controls (group boxes,
// labels, drop-down lists, edit and rich edit boxes, push buttons), timers and a popup menu,
// placed in twips converted with the screen's DPI, in the table's load order.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/FormHost.h"
#include "platform/WindowLayer.h"
#include "ui/FormLayouts.h"

namespace corv::win32 {

struct ControlSpec {
    std::wstring name;
    ControlKind kind = ControlKind::Label;
    std::wstring container; // the frame or menu that holds it; empty: the window
    std::wstring caption;
    int left = 0, top = 0, width = 0, height = 0; // twips, relative to the container
    std::vector<std::wstring> items;
    int interval = 0; // timers, milliseconds
    std::optional<int> arrayIndex;
    bool backColoured = false; // text boxes: on the window's back colour instead of white
};

struct FormSpec {
    std::wstring name;
    std::wstring title;
    int clientWidth = 0, clientHeight = 0; // twips
    std::vector<ControlSpec> controls;     // load order
    std::vector<std::wstring> focusOrder;  // names of the controls reached by Tab, in order
    COLORREF backColour = RGB(227, 229, 240);
    int iconId = 0; // resource id of the window's icon; 0 for none
};

// A window's design as the Win32 window takes it. Lists start empty: the window's load fills
// them. Timers tick every 50 ms.
FormSpec SpecFromLayout(const FormLayout& layout, std::vector<std::wstring> focusOrder, int iconId);

// The window class of the program's windows.
inline constexpr wchar_t kFormClassName[] = L"CorvanthelixForm";

// The first control ID; a control's ID is this plus its position in load order.
inline constexpr int kFirstControlId = 1000;

class Win32Form;

class Win32Control : public Control {
  public:
    Win32Control(Win32Form& form, const ControlSpec& spec, int position);
    ~Win32Control() override;
    Win32Control(const Win32Control&) = delete;
    Win32Control& operator=(const Win32Control&) = delete;

    const std::wstring& Name() const override { return spec_.name; }
    ControlKind Kind() const override { return spec_.kind; }
    std::optional<int> ArrayIndex() const override { return spec_.arrayIndex; }
    std::wstring Text() const override;
    void SetText(const std::wstring& text) override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    int ItemCount() const override;
    std::wstring Item(int index) const override;
    void SetItem(int index, const std::wstring& text) override;
    void AddItem(const std::wstring& text) override;
    void ClearItems() override;
    int SelectedIndex() const override;
    void SetSelectedIndex(int index) override;
    void Focus() override;
    void Select(int start, int length) override;

    HWND Handle() const { return hwnd_; }
    HMENU MenuHandle() const { return menu_; } // menus and menu entries
    int Id() const { return id_; }
    const ControlSpec& Spec() const { return spec_; }

  private:
    friend class Win32Form;
    void RequireList() const;
    static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;

    Win32Form& form_;
    ControlSpec spec_;
    int id_;
    HWND hwnd_ = nullptr;
    bool enabled_ = true;     // timers and menu entries
    bool packetDown_ = false; // a typed character went down; its key is known with the character
    std::wstring text_;       // menu entries, timers, pictures
    HMENU menu_ = nullptr;    // menus: their popup; entries: the popup that holds them
};

class Win32Form : public Form, public FormHost {
  public:
    // Creates the window hidden, with its controls; throws WindowError when it cannot.
    Win32Form(HINSTANCE instance, const FormSpec& spec, HWND owner = nullptr);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // Form
    const std::wstring& Name() const override { return spec_.name; }
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

    HWND Handle() const { return hwnd_; }
    int Dpi() const { return dpi_; }
    int ToPixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
    // True when the message was for this window and has been handled (Tab, arrows, Enter).
    bool PreTranslate(MSG& msg);
    // Destroys the window now; later calls do nothing.
    void Destroy();
    bool Destroyed() const { return hwnd_ == nullptr; }

    std::function<void()> OnActivate;     // the window became the active window
    std::function<void()> OnCloseCommand; // the system's close command; default: destroy
    std::function<void()> OnEscape;       // the Escape key
    std::function<void()> OnDestroyed;
    std::function<void(UINT mouseMessage)> OnTrayCallback;
    std::function<void()> OnTaskbarCreated;
    // A handler of one more message; true when it handled the message, with the result in the
    // last argument. Several parts may watch the same message (a resume from sleep, say): each
    // handler runs in the order added until one answers true.
    using MessageHandler = std::function<bool(WPARAM, LPARAM, LRESULT&)>;
    void AddMessageHandler(UINT msg, MessageHandler handler);

    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;

  private:
    friend class Win32Control;
    LRESULT OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Create(HINSTANCE instance, HWND owner);
    void Release() noexcept;
    void Layout();
    void ApplyFont();
    void OrderForFocus();
    Win32Control* ById(int id);
    Win32Control* ByName(const std::wstring& name);
    void Raise(const std::function<void()>& handler);

    FormSpec spec_;
    HWND hwnd_ = nullptr;
    HWND lastFocus_ = nullptr;
    int dpi_ = 96;
    HBRUSH backBrush_ = nullptr;
    HFONT font_ = nullptr;
    HICON icon_ = nullptr;
    HICON bigIcon_ = nullptr;
    UINT taskbarCreated_ = 0;
    std::vector<std::unique_ptr<Win32Control>> controls_;
    std::vector<std::pair<UINT, MessageHandler>> handlers_;
};

// Registers the window class and loads the rich edit library; call once before any form.
void InitWindowLayer(HINSTANCE instance);

} // namespace corv::win32
