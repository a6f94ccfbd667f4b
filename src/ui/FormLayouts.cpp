#include "ui/FormLayouts.h"

#include "localization/Localization.h"

namespace corv {
namespace {

using K = ControlKind;

ControlLayout C(std::wstring name, K kind, std::wstring container, std::wstring caption, int left,
                int top, int width, int height, bool translated) {
    ControlLayout c;
    c.name = std::move(name);
    c.kind = kind;
    c.container = std::move(container);
    c.caption = std::move(caption);
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    c.translated = translated;
    return c;
}

// The reading timers of both windows tick every 50 ms.
ControlLayout Timer() {
    ControlLayout c = C(L"Timer1", K::Timer, {}, {}, 0, 0, 0, 0, false);
    c.interval = 50;
    return c;
}

// The identifier box shows a code rather than taking input.
ControlLayout ShownValue(ControlLayout c) {
    c.onBackColour = true;
    return c;
}

// Replaced at load by the languages the configuration and the language files name.
std::vector<std::wstring> KnownLanguageNames() {
    std::vector<std::wstring> names;
    for (const KnownLanguage& known : kKnownLanguages)
        names.push_back(known.name);
    return names;
}

ControlLayout FixedList(std::wstring name, std::wstring container, int left, int top, int width,
                        int height, std::vector<std::wstring> items, bool translated = false) {
    ControlLayout c =
        C(std::move(name), K::List, std::move(container), {}, left, top, width, height, translated);
    c.items = std::move(items);
    return c;
}

ControlLayout LookedUpList(std::wstring name, std::wstring container, int left, int top, int width,
                           int height, int count) {
    ControlLayout c =
        C(std::move(name), K::List, std::move(container), {}, left, top, width, height, true);
    c.lookedUpItems = count;
    return c;
}

std::vector<std::wstring> ComPorts() {
    std::vector<std::wstring> items;
    for (int i = 1; i <= 20; ++i)
        items.push_back(L"COM" + std::to_wstring(i));
    return items;
}

FormLayout MakeSettings() {
    const std::wstring other = L"frmOtherSettings";
    const std::wstring com = L"frmCom";
    FormLayout f;
    f.name = L"Settings";
    f.title = L"Quillomarte Corvanthelix";
    f.clientWidth = 5730;
    f.clientHeight = 6270;
    f.controls = {
        C(L"Flash2", K::Picture, {}, {}, 1050, 6510, 765, 765, false),
        Timer(),
        C(other, K::Frame, {}, L"Други", 90, 3210, 4125, 3015, true),
        FixedList(L"cbLanguage1", other, 1650, 2610, 2325, 315, KnownLanguageNames()),
        LookedUpList(L"cIsKeyBoard", other, 2490, 2130, 1485, 315, 2),
        LookedUpList(L"cPrefix", other, 1650, 1230, 2325, 315, 4),
        ShownValue(C(L"lbIdent", K::TextBox, other, {}, 1650, 1710, 2325, 285, false)),
        LookedUpList(L"cFilter", other, 2460, 750, 1515, 315, 2),
        LookedUpList(L"cSendTo", other, 1650, 270, 2325, 315, 2),
        C(L"lblLanguage", K::Label, other, L"Език", 180, 2670, 1455, 255, true),
        C(L"lbKeyBoardReader", K::Label, other, L"Клавиатурен четец", 180, 2190, 2175, 255, true),
        C(L"lbPrefix", K::Label, other, L"Разпознаване", 180, 1260, 1455, 255, true),
        C(L"lbFilter", K::Label, other, L"Добавяне на Enter в края", 180, 810, 2130, 195, true),
        C(L"lblIdent", K::Label, other, L"Идентификатор", 180, 1740, 1365, 255, true),
        C(L"lbSendTo", K::Label, other, L"Символи", 180, 330, 1305, 255, true),
        C(com, K::Frame, {}, L"Настройки на COM", 90, 60, 4125, 3135, true),
        FixedList(L"cFlowControl", com, 1650, 2670, 2325, 315, {L"Xon/Xoff", L"Hardware", L"None"}),
        FixedList(L"cStopBits", com, 1650, 2190, 2325, 315, {L"1", L"1.5", L"2"}),
        FixedList(L"cParity", com, 1650, 1710, 2325, 315,
                  {L"Even", L"Odd", L"None", L"Mark", L"Space"}),
        FixedList(L"cDataBits", com, 1650, 1230, 2325, 315, {L"4", L"5", L"6", L"7", L"8"}),
        FixedList(L"cBitsPerSecond", com, 1650, 750, 2325, 315,
                  {L"75", L"110", L"134", L"150", L"300", L"600", L"1200", L"1800", L"2400",
                   L"4800", L"7200", L"9600", L"14400", L"19200", L"38400", L"57600", L"115200",
                   L"128000"}),
        FixedList(L"cComPort", com, 1650, 300, 2325, 315, ComPorts()),
        C(L"lbFlowControl", K::Label, com, L"Контрол", 180, 2730, 1335, 255, true),
        C(L"lbStopBits", K::Label, com, L"Стоп битове", 180, 2250, 1365, 255, true),
        C(L"lbParity", K::Label, com, L"Четност", 180, 1770, 1215, 255, true),
        C(L"lbDataBits", K::Label, com, L"Дата битове", 180, 1290, 1395, 255, true),
        C(L"lbBitsPerSecond", K::Label, com, L"Скорост", 180, 810, 1215, 255, true),
        C(L"lbComPort", K::Label, com, L"Com порт", 180, 360, 1245, 255, true),
        C(L"Flash1", K::Picture, {}, {}, 120, 6510, 765, 765, false),
        C(L"bCancel", K::MyButton, {}, L"Скриване", 4320, 150, 1335, 375, true),
        C(L"bExit", K::MyButton, {}, L"Изход", 4320, 570, 1335, 375, true),
        C(L"bConnection", K::MyButton, {}, L"Включване", 4320, 990, 1335, 375, true),
        C(L"bTest", K::MyButton, {}, L"Тест", 4320, 1410, 1335, 375, true),
        // Shows the program's version, set at load; never translated.
        C(L"lblVersion", K::Label, {}, L"Version", 4650, 6000, 1005, 195, false),
        C(L"mnu_Poppup", K::Menu, {}, L"&PopupMenu", 0, 0, 0, 0, false),
        // The two entries take their captions from "Common.lng" (mnuSettings, mnuExit).
        C(L"mn_Settings", K::MenuEntry, L"mnu_Poppup", L"&Отвори", 0, 0, 0, 0, false),
        C(L"mnu_Line", K::MenuSeparator, L"mnu_Poppup", L"-", 0, 0, 0, 0, false),
        C(L"mnu_Exit", K::MenuEntry, L"mnu_Poppup", L"&Изход", 0, 0, 0, 0, false),
    };
    return f;
}

FormLayout MakeTestSerial() {
    FormLayout f;
    f.name = L"TestSerial";
    f.title = L"Тест";
    f.clientWidth = 3705;
    f.clientHeight = 2625;
    f.controls = {
        C(L"Frame2", K::Frame, {}, {}, 30, 60, 3585, 825, false),
        C(L"tNormal", K::TextBox, L"Frame2", {}, 90, 300, 3405, 345, false),
        C(L"Frame1", K::Frame, {}, {}, 30, 960, 3555, 1155, false),
        C(L"tRealCode", K::RichTextBox, L"Frame1", {}, 60, 240, 3435, 795, false),
        C(L"bNewCode", K::MyButton, {}, L"Нов код", 90, 2160, 855, 375, true),
        // The three view buttons keep their technical names in every language.
        C(L"bKeyCode", K::MyButton, {}, L"KeyCode", 960, 2160, 855, 375, false),
        C(L"bAscii", K::MyButton, {}, L"Ascii", 1830, 2160, 855, 375, false),
        C(L"bSerial", K::MyButton, {}, L"Serial", 2700, 2160, 855, 375, false),
        Timer(),
    };
    return f;
}

} // namespace

int FormLayout::PositionOf(const std::wstring& controlName) const {
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].name == controlName)
            return static_cast<int>(i);
    return -1;
}

const ControlLayout& FormLayout::At(const std::wstring& controlName) const {
    const int i = PositionOf(controlName);
    if (i < 0)
        throw WindowError(730, "Control not found");
    return controls[static_cast<std::size_t>(i)];
}

const FormLayout& SettingsLayout() {
    static const FormLayout layout = MakeSettings();
    return layout;
}

const FormLayout& TestSerialLayout() {
    static const FormLayout layout = MakeTestSerial();
    return layout;
}

} // namespace corv
