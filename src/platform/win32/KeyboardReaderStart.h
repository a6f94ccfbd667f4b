#pragma once
// The keyboard reader of a program started with it selected in the configuration file: loads
// the settings, and installs the hook when IsKeyBoard is 1. It owns what the hook's deliveries
// need: the settings, the desktop, the real delivery and an identifier box kept in memory.
#include <optional>

#include "KeyboardHook.h"
#include "Win32Basics.h"
#include "Win32Desktop.h"
#include "Win32Registry.h"
#include "config/AppSettings.h"
#include "core/ModMainReader.h"
#include "platform/WindowLayer.h"

namespace corv::win32 {

// A text box that only keeps its text (the identifier box, while no window shows it).
class MemoryTextBox : public Control {
  public:
    explicit MemoryTextBox(std::wstring name) : name_(std::move(name)) {}
    const std::wstring& Name() const override { return name_; }
    ControlKind Kind() const override { return ControlKind::TextBox; }
    std::optional<int> ArrayIndex() const override { return std::nullopt; }
    std::wstring Text() const override { return text_; }
    void SetText(const std::wstring& text) override { text_ = text; }
    bool Enabled() const override { return true; }
    void SetEnabled(bool) override {}
    int ItemCount() const override { throw NotAList(); }
    std::wstring Item(int) const override { throw NotAList(); }
    void SetItem(int, const std::wstring&) override { throw NotAList(); }
    void AddItem(const std::wstring&) override { throw NotAList(); }
    int SelectedIndex() const override { throw NotAList(); }
    void SetSelectedIndex(int) override { throw NotAList(); }
    void Focus() override {}
    void Select(int, int) override {}

  private:
    static WindowError NotAList() { return WindowError(438, "Not a list"); }
    std::wstring name_;
    std::wstring text_;
};

class KeyboardReaderStart {
  public:
    // Any failure leaves the reader off.
    KeyboardReaderStart() noexcept;
    bool Installed() const { return hook_ && hook_->IsInstalled(); }

  private:
    AppSettings settings_;
    Win32PrivateProfile profile_;
    Win32FileSystem files_;
    Win32Registry registry_;
    AnsiCodePage codePage_;
    Win32Desktop desktop_;
    MemoryTextBox ident_{L"lbIdent"};
    Deliverer deliverer_{settings_, desktop_, ident_, [] { return false; }};
    std::optional<KeyboardHook> hook_;
};

} // namespace corv::win32
