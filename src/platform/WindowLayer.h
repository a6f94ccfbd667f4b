#pragma once
// The window layer: a window (form) and its controls in load order, as the window behaviour,
// the language procedures and the template generator see them. The Settings and Test windows
// implement it over real Win32 controls; the unit tests use an in-memory form.
//
// Events: the behaviour object assigns the handlers below. A list's OnClick runs both when the
// user picks an item and, inside the call, when SetSelectedIndex selects one from code. A
// button's OnClick runs when it is pressed.
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace corv {

enum class ControlKind {
    Picture,
    Timer,
    Frame,
    Label,
    TextBox,
    RichTextBox,
    List, // drop-down list that accepts no typed text
    MyButton,
    CommandButton,
    CheckBox,
    Menu,
    MenuEntry,
    MenuSeparator,
};

// A failure of the window layer (an index outside a list, a control that lacks the property).
class WindowError : public std::runtime_error {
  public:
    WindowError(int number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    int Number() const { return number_; }

  private:
    int number_;
};

class Control {
  public:
    virtual ~Control() = default;
    virtual const std::wstring& Name() const = 0;
    virtual ControlKind Kind() const = 0;
    // The index in a control array; nothing for a control outside any array.
    virtual std::optional<int> ArrayIndex() const = 0;

    // Caption (labels, frames, buttons, menu entries) or text (text boxes).
    virtual std::wstring Text() const = 0;
    virtual void SetText(const std::wstring& text) = 0;
    // For a timer, enabled means running.
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;

    // Drop-down lists. Every operation throws WindowError for a control that is not a list or
    // an item index outside the list (index -1 of SetSelectedIndex selects nothing).
    virtual int ItemCount() const = 0;
    virtual std::wstring Item(int index) const = 0;
    virtual void SetItem(int index, const std::wstring& text) = 0;
    virtual void AddItem(const std::wstring& text) = 0;
    // Removes every item. Windows whose lists can be emptied override it; by default the control
    // does not support it.
    virtual void ClearItems() {
        throw WindowError(438, "Object doesn't support this property or method");
    }
    virtual int SelectedIndex() const = 0;
    virtual void SetSelectedIndex(int index) = 0;

    // Text boxes: keyboard focus and selection.
    virtual void Focus() = 0;
    virtual void Select(int start, int length) = 0;

    std::function<void()> OnClick;                         // list pick, button press, menu entry
    std::function<void()> OnFocus;                         // text box got the focus
    std::function<void(int keyCode, int shift)> OnKeyDown; // text box key going down
    std::function<void(int& charCode)> OnKeyPress; // text box character; set to 0 to discard
    std::function<void()> OnTimer;                 // timer tick
};

class Form {
  public:
    virtual ~Form() = default;
    virtual const std::wstring& Name() const = 0; // design name: "Settings", "TestSerial"
    virtual std::wstring Title() const = 0;
    virtual void SetTitle(const std::wstring& title) = 0;
    virtual int ControlCount() const = 0;
    virtual Control& ControlAt(int position) = 0; // load order, from 0

    // The control with this name (the first, for a control array); throws WindowError if none.
    Control& operator[](std::wstring_view name) {
        for (int i = 0; i < ControlCount(); ++i)
            if (ControlAt(i).Name() == name)
                return ControlAt(i);
        throw WindowError(730, "Control not found");
    }
};

} // namespace corv
