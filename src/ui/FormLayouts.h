#pragma once
// The designs of the Settings and Test windows: every control in load order with its kind,
// container, design caption, list contents and position (twips, relative to its container).
// The Win32 windows and the in-memory test windows are both built from these tables, so the
// load order (the connect button at position 31 of the Settings window) is the same everywhere.
#include <string>
#include <vector>

#include "platform/WindowLayer.h"

namespace corv {

struct ControlLayout {
    std::wstring name;
    ControlKind kind;
    std::wstring container; // empty: the window itself; else the frame or menu holding it
    std::wstring caption;   // design caption (text for text boxes); empty when none
    int left = 0, top = 0, width = 0, height = 0; // twips; all 0 for timers and menus
    // Lists: items fixed at design time, added in this order.
    std::vector<std::wstring> items;
    // Lists: number of items whose texts are looked up by key (window|name|i) at load; the
    // built-in texts are the resource manager's.
    int lookedUpItems = 0;
    // True when the shipped language files translate this control's caption (or items).
    bool translated = false;
    // Text boxes that show a value rather than take one: on the window's colour, not white.
    bool onBackColour = false;
    // Timers: milliseconds between ticks.
    int interval = 0;
};

struct FormLayout {
    std::wstring name;                     // design name
    std::wstring title;                    // design title
    int clientWidth = 0, clientHeight = 0; // twips
    std::vector<ControlLayout> controls;   // load order

    // Position of the named control in load order; -1 when there is none.
    int PositionOf(const std::wstring& controlName) const;
    const ControlLayout& At(const std::wstring& controlName) const; // throws WindowError
};

const FormLayout& SettingsLayout();
const FormLayout& TestSerialLayout();

} // namespace corv
