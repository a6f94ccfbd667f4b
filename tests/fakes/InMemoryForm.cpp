#include "InMemoryForm.h"

namespace corv::fake {

std::wstring InMemoryControl::Text() const {
    if (kind_ == ControlKind::List)
        return selected_ >= 0 ? items_[static_cast<std::size_t>(selected_)] : std::wstring();
    return text_;
}

void InMemoryControl::SetText(const std::wstring& text) {
    if (kind_ == ControlKind::List || kind_ == ControlKind::Timer || kind_ == ControlKind::Picture)
        throw WindowError(438, "Object doesn't support this property or method");
    ++textWrites;
    text_ = text;
}

void InMemoryControl::RequireList() const {
    if (kind_ != ControlKind::List)
        throw WindowError(438, "Object doesn't support this property or method");
}

int InMemoryControl::ItemCount() const {
    RequireList();
    return static_cast<int>(items_.size());
}

std::wstring InMemoryControl::Item(int index) const {
    RequireList();
    if (index < 0 || index >= ItemCount())
        throw WindowError(381, "Invalid property array index");
    return items_[static_cast<std::size_t>(index)];
}

void InMemoryControl::SetItem(int index, const std::wstring& text) {
    RequireList();
    if (index < 0 || index >= ItemCount())
        throw WindowError(381, "Invalid property array index");
    items_[static_cast<std::size_t>(index)] = text;
}

void InMemoryControl::AddItem(const std::wstring& text) {
    RequireList();
    items_.push_back(text);
}

void InMemoryControl::ClearItems() {
    RequireList();
    items_.clear();
    selected_ = -1;
}

int InMemoryControl::SelectedIndex() const {
    RequireList();
    return selected_;
}

void InMemoryControl::SetSelectedIndex(int index) {
    RequireList();
    if (index < -1 || index >= ItemCount())
        throw WindowError(380, "Invalid property value");
    selected_ = index;
    if (OnClick)
        OnClick();
}

void InMemoryControl::Focus() {
    focused = true;
    if (OnFocus)
        OnFocus();
}

void InMemoryControl::Select(int start, int length) {
    selStart = start;
    selLength = length;
}

void InMemoryControl::Press() {
    if (enabled_ && OnClick)
        OnClick();
}

int InMemoryControl::Type(int keyCode, int charCode) {
    if (OnKeyDown)
        OnKeyDown(keyCode, 0);
    if (OnKeyPress)
        OnKeyPress(charCode);
    if (charCode != 0)
        text_.push_back(static_cast<wchar_t>(charCode));
    return charCode;
}

InMemoryControl& InMemoryForm::Add(std::wstring name, ControlKind kind, std::wstring text,
                                   std::optional<int> arrayIndex) {
    controls_.push_back(
        std::make_unique<InMemoryControl>(std::move(name), kind, std::move(text), arrayIndex));
    return *controls_.back();
}

InMemoryControl& InMemoryForm::ControlAt(int position) {
    if (position < 0 || position >= ControlCount())
        throw WindowError(9, "Subscript out of range");
    return *controls_[static_cast<std::size_t>(position)];
}

InMemoryControl& InMemoryForm::Get(std::wstring_view name) {
    return static_cast<InMemoryControl&>((*this)[name]);
}

} // namespace corv::fake
