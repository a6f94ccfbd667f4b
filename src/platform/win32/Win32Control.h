#pragma once
// One control of a Win32 window, made from its row of the window's layout table: a standard
// Win32 control (group box, label, drop-down list, edit or rich edit box, push button, check
// box), a timer of the window, or a popup menu and its entries.
#include <windows.h>

#include <optional>
#include <string>

#include "Handles.h"
#include "platform/WindowLayer.h"
#include "ui/FormLayouts.h"

namespace corv::win32 {

// The first control ID; a control's ID is this plus its position in load order.
inline constexpr int kFirstControlId = 1000;

class Win32Form;

class Win32Control : public Control {
  public:
    // Throws WindowError when the control cannot be made.
    Win32Control(Win32Form& form, const ControlLayout& layout, int position);
    Win32Control(const Win32Control&) = delete;
    Win32Control& operator=(const Win32Control&) = delete;

    const std::wstring& Name() const override { return layout_.name; }
    ControlKind Kind() const override { return layout_.kind; }
    std::optional<int> ArrayIndex() const override { return std::nullopt; }
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

    HWND Handle() const { return hwnd_; } // nullptr for timers, menus and pictures
    HMENU Popup() const { return menu_; } // menus and menu entries: the popup menu
    const ControlLayout& Layout() const { return layout_; }
    bool IsButton() const;
    // A WM_TIMER of this control's number: runs its tick unless it is stopped or already running.
    void Tick();

  private:
    void RequireList() const;
    static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    LRESULT OnEditKeyDown(HWND hwnd, WPARAM wp, LPARAM lp);
    LRESULT OnEditChar(HWND hwnd, WPARAM wp, LPARAM lp);
    LRESULT OnEditDialogCode(HWND hwnd, WPARAM wp, LPARAM lp);

    Win32Form& form_;
    const ControlLayout& layout_;
    int id_;
    HWND hwnd_ = nullptr;     // a child window, destroyed with the form
    TimerHandle timer_;       // timers: running while held
    bool enabled_ = true;     // menu entries
    bool ticking_ = false;    // timers: a tick that lets messages run starts no tick inside
    bool packetDown_ = false; // a typed character went down; its key is known with the character
    std::wstring text_;       // menu entries and menus
    MenuHandle ownMenu_;      // menus: their popup
    HMENU menu_ = nullptr;    // menus: their popup; entries: the popup that holds them
};

} // namespace corv::win32
