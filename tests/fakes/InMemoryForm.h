#pragma once
// An in-memory window for the unit tests: controls in load order with their properties, and
// the user's actions (pick, press, focus, type) raising the same events as the real windows.
#include <memory>
#include <vector>

#include "platform/WindowLayer.h"

namespace corv::fake {

class InMemoryControl : public Control {
  public:
    InMemoryControl(std::wstring name, ControlKind kind, std::wstring text = {},
                    std::optional<int> arrayIndex = std::nullopt)
        : name_(std::move(name)), kind_(kind), text_(std::move(text)), arrayIndex_(arrayIndex) {}

    const std::wstring& Name() const override { return name_; }
    ControlKind Kind() const override { return kind_; }
    std::optional<int> ArrayIndex() const override { return arrayIndex_; }
    std::wstring Text() const override;
    void SetText(const std::wstring& text) override;
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    int ItemCount() const override;
    std::wstring Item(int index) const override;
    void SetItem(int index, const std::wstring& text) override;
    void AddItem(const std::wstring& text) override;
    void ClearItems() override;
    int SelectedIndex() const override;
    void SetSelectedIndex(int index) override;
    void Focus() override;
    void Select(int start, int length) override;

    // The user's actions.
    void Pick(int index) { SetSelectedIndex(index); } // a pick raises the click event too
    void Press();
    // Types one character: key down, then key press; returns the character the box kept (0: none).
    int Type(int keyCode, int charCode);

    int selStart = 0;
    int selLength = 0;
    bool focused = false;
    int textWrites = 0;

  private:
    void RequireList() const;
    std::wstring name_;
    ControlKind kind_;
    std::wstring text_;
    std::optional<int> arrayIndex_;
    bool enabled_ = true;
    std::vector<std::wstring> items_;
    int selected_ = -1;
};

class InMemoryForm : public Form {
  public:
    explicit InMemoryForm(std::wstring name, std::wstring title = {})
        : name_(std::move(name)), title_(std::move(title)) {}
    InMemoryControl& Add(std::wstring name, ControlKind kind, std::wstring text = {},
                         std::optional<int> arrayIndex = std::nullopt);

    const std::wstring& Name() const override { return name_; }
    std::wstring Title() const override { return title_; }
    void SetTitle(const std::wstring& title) override { title_ = title; }
    int ControlCount() const override { return static_cast<int>(controls_.size()); }
    InMemoryControl& ControlAt(int position) override;
    InMemoryControl& Get(std::wstring_view name);

  private:
    std::wstring name_;
    std::wstring title_;
    std::vector<std::unique_ptr<InMemoryControl>> controls_;
};

} // namespace corv::fake
