#pragma once
// An in-memory window for the unit tests: controls in load order with their properties, and
// the user's actions (pick, press, focus, type) raising the same events as the real windows.
#include <memory>
#include <vector>

#include "platform/WindowLayer.h"
#include "ui/FormLayouts.h"

namespace corv::fake {

class InMemoryControl : public Control {
  public:
    InMemoryControl(std::wstring name, ControlKind kind, std::wstring text = {},
                    std::optional<int> arrayIndex = std::nullopt)
        : name_(std::move(name)), text_(std::move(text)), kind_(kind), arrayIndex_(arrayIndex) {}

    const std::wstring& Name() const override { return name_; }
    ControlKind Kind() const override { return kind_; }
    std::optional<int> ArrayIndex() const override { return arrayIndex_; }
    std::wstring Text() const override { return kind_ != ControlKind::List ? text_ : Selected(); }
    void SetText(const std::wstring& text) override { ++textWrites, text_ = text; }
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    int ItemCount() const override { return static_cast<int>(items_.size()); }
    std::wstring Item(int index) const override { return items_.at(At(index)); }
    void SetItem(int index, const std::wstring& text) override { items_.at(At(index)) = text; }
    void AddItem(const std::wstring& text) override { items_.push_back(text); }
    void ClearItems() override { items_.clear(), selected_ = -1; }
    int SelectedIndex() const override { return selected_; }
    void SetSelectedIndex(int index) override {
        if (index < -1 || index >= ItemCount())
            throw WindowError(380, "Invalid property value");
        selected_ = index;
        Raise(OnClick);
    }
    void Focus() override { focused = true, Raise(OnFocus); }
    void Select(int start, int length) override { selStart = start, selLength = length; }

    void Pick(int index) { SetSelectedIndex(index); } // the user's, raising the click event
    void Press() { enabled_ ? Raise(OnClick) : void(); }
    // Types one character: key down, then key press; returns the character the box kept (0: none).
    int Type(int keyCode, int charCode) {
        Raise(OnKeyDown, keyCode, 0), Raise(OnKeyPress, charCode);
        return charCode != 0 ? text_.push_back(static_cast<wchar_t>(charCode)), charCode : 0;
    }

    int selStart = 0, selLength = 0, textWrites = 0;
    bool focused = false;

  private:
    static std::size_t At(int index) { return static_cast<std::size_t>(index); } // at() checks
    std::wstring Selected() const { return selected_ < 0 ? L"" : Item(selected_); }
    template <typename Event, typename... Args> static void Raise(Event& e, Args&&... args) {
        if (e)
            e(args...);
    }
    std::wstring name_, text_;
    ControlKind kind_;
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
                         std::optional<int> arrayIndex = std::nullopt) {
        return *controls_.emplace_back(
            std::make_unique<InMemoryControl>(std::move(name), kind, std::move(text), arrayIndex));
    }
    const std::wstring& Name() const override { return name_; }
    std::wstring Title() const override { return title_; }
    void SetTitle(const std::wstring& title) override { title_ = title; }
    int ControlCount() const override { return static_cast<int>(controls_.size()); }
    InMemoryControl& ControlAt(int i) override {
        return *controls_.at(static_cast<std::size_t>(i));
    }
    InMemoryControl& Get(std::wstring_view name) {
        return static_cast<InMemoryControl&>((*this)[name]);
    }

  private:
    std::wstring name_, title_;
    std::vector<std::unique_ptr<InMemoryControl>> controls_;
};

// The window of a design, in load order, with its captions and list items (an item looked up
// by key holds the key "window|list|i").
inline std::unique_ptr<InMemoryForm> BuildInMemoryForm(const FormLayout& layout) {
    auto form = std::make_unique<InMemoryForm>(layout.name, layout.title);
    for (const ControlLayout& c : layout.controls) {
        InMemoryControl& control = form->Add(c.name, c.kind, c.caption);
        for (const auto& item : c.items)
            control.AddItem(item);
        for (int i = 0; i < c.lookedUpItems; ++i)
            control.AddItem(layout.name + L"|" + c.name + L"|" + std::to_wstring(i));
    }
    return form;
}

} // namespace corv::fake
