#include "ui/Settings.h"

#include <cwchar>
#include <utility>

#include "core/ModMainReader.h"
#include "ui/FormLayouts.h"

namespace corv {
namespace {

constexpr wchar_t kLanguageList[] = L"cbLanguage1";

// The lists in the order they are filled, with the index each starts at: the settings' lists,
// then the language list.
std::vector<std::pair<const wchar_t*, int>> Lists() {
    std::vector<std::pair<const wchar_t*, int>> lists;
    for (const SettingRow& row : kSettingRows)
        lists.emplace_back(row.list, row.defaultValue);
    lists.emplace_back(kLanguageList, 0);
    return lists;
}

// The serial settings that are locked while the reader is connected.
constexpr const wchar_t* kSerialFields[] = {L"lbComPort",      L"cComPort",     L"lbBitsPerSecond",
                                            L"cBitsPerSecond", L"lbDataBits",   L"cDataBits",
                                            L"lbFlowControl",  L"cFlowControl", L"lbParity",
                                            L"cParity",        L"lbStopBits",   L"cStopBits"};

} // namespace

const std::vector<std::wstring>& SettingsFocusOrder() {
    static const std::vector<std::wstring> order = {
        L"lbIdent", L"cComPort",    L"cBitsPerSecond", L"cDataBits",
        L"cParity", L"cStopBits",   L"cFlowControl",   L"cSendTo",
        L"cFilter", L"cPrefix",     L"cIsKeyBoard",    L"bCancel",
        L"bExit",   L"bConnection", L"bTest",          L"cbLanguage1"};
    return order;
}

void SelectAllText(Control& box) {
    box.Select(0, static_cast<int>(box.Text().size()));
}

void CenterForm(FormHost& window) noexcept {
    try {
        const ScreenBox screen = window.ScreenSize();
        const ScreenBox box = window.Placement();
        window.MoveTo((screen.width - box.width) / 2, (screen.height - box.height) / 2);
    } catch (...) {
        // The window stays where it is.
    }
}

Settings::Settings(Form& form, FormHost& window, Parts parts)
    : form_(form), window_(window), p_(std::move(parts)) {
    for (const auto& [name, index] : Lists()) {
        (void)index;
        const std::wstring list = name;
        C(name).OnClick = [this, list] { ListPicked(list); };
    }
    C(L"bCancel").OnClick = [this] {
        C(L"mn_Settings").SetEnabled(true);
        window_.Hide();
    };
    C(L"bExit").OnClick = [this] { Unload(); };
    C(L"mnu_Exit").OnClick = [this] { Unload(); };
    C(L"bTest").OnClick = [this] {
        RunReading(false);
        if (p_.showTestWindow)
            p_.showTestWindow();
    };
    C(L"mn_Settings").OnClick = [this] { OpenFromTray(); };
    Control& ident = C(L"lbIdent");
    ident.OnFocus = [&ident] { SelectAllText(ident); };
    ident.OnKeyPress = [](int& code) { code = 0; };
    ident.OnKeyDown = [](int, int) {};
}

void Settings::FillCombos() {
    const FormLayout& layout = SettingsLayout();
    for (const auto& [name, index] : Lists()) {
        Control& list = C(name);
        const ControlLayout& design = layout.At(name);
        for (const auto& item : design.items)
            list.AddItem(item);
        for (int i = 0; i < design.lookedUpItems; ++i)
            list.AddItem(
                p_.res.GetResString(form_.Name() + L"|" + name + L"|" + std::to_wstring(i)));
        list.SetSelectedIndex(index);
    }
}

bool Settings::Load() {
    const AppSettings& s = p_.settings;
    // Phase 1: the first failure is reported and ends the program.
    try {
        C(L"lblVersion").SetText(kVersionText);
        FillCombos();
        p_.config.LoadSettings(p_.settings);
        for (const SettingRow* row : kSaveOrder) {
            const wchar_t* name = row->list;
            const std::int16_t index = s.*row->field;
            try {
                C(name).SetSelectedIndex(index);
            } catch (const WindowError& e) {
                throw WindowError(e.Number(), std::string(e.what()) + " (" +
                                                  std::string(name, name + std::wcslen(name)) +
                                                  " = " + std::to_string(index) + ")");
            }
        }
    } catch (const std::exception& e) {
        const std::string what = e.what();
        std::wstring text(what.begin(), what.end());
        if (!s.ConfigFile.empty())
            text += L"\n\n" + s.ConfigFile;
        try {
            window_.ShowMessage(text, kProgramTitle);
        } catch (...) {
        }
        // Without its settings shown the program has no tray icon and no way to be reached:
        // it ends, and the next start can begin afresh.
        if (p_.endProgram)
            p_.endProgram();
        return false;
    }

    // Phase 2: a failing step is skipped.
    auto step = [](auto&& action) {
        try {
            action();
        } catch (...) {
        }
    };
    step([&] { p_.res.SetLanguage(form_, L""); });
    step([&] { p_.res.GetLanguages(s.ConfigFile); });
    // The language list shows the known languages by name; item i stands for entry i.
    step([&] { p_.res.FillLanguageCombo(C(kLanguageList)); });
    step([&] { SetMenuLanguage(); });
    step([&] { C(kLanguageList).SetSelectedIndex(p_.res.GetAbrvIndex(s.Language)); });
    step([&] {
        if (C(L"cIsKeyBoard").SelectedIndex() == 1)
            C(L"bTest").SetEnabled(false);
    });
    step([&] {
        if (p_.closeComm)
            p_.closeComm();
    });
    step([&] { PressConnection(); });
    CenterForm(window_);
    return true;
}

void Settings::Validation() {
    AppSettings& s = p_.settings;
    auto index = [this](const wchar_t* name) {
        return static_cast<std::int16_t>(C(name).SelectedIndex());
    };
    for (const SettingRow* row : kSaveOrder)
        s.*row->field = index(row->list);
    s.Language = p_.res.GetLanguageAbbreviation(index(kLanguageList));
}

void Settings::ListPicked(const std::wstring& list) {
    if (p_.state.IsStarting)
        return;
    Validation();
    p_.config.SaveSettings(p_.settings);
    if (list == L"cIsKeyBoard") {
        C(L"bTest").SetEnabled(p_.settings.IsKeyBoard != 1);
        // The reader that runs is the one the icon and the fields show: a connected reader is
        // disconnected and the newly chosen one connected; nothing runs while disconnected.
        if (p_.state.Connected) {
            PressConnection();
            PressConnection();
        }
    } else if (list == kLanguageList) {
        p_.res.SetLanguage(form_, L"");
        SetMenuLanguage();
    }
}

void Settings::PressConnection() {
    Control& connect = C(L"bConnection");
    if (connect.OnClick) {
        auto press = connect.OnClick;
        press();
    }
}

void Settings::ShowCode(const std::wstring& code) {
    Control& ident = C(L"lbIdent");
    ident.SetText(code);
    // The tray menu's entry is off while the window is shown.
    if (!C(L"mn_Settings").Enabled()) {
        ident.Focus();
        SelectAllText(ident);
    }
}

void Settings::AttachReadingLoop(std::function<void()> press, std::function<void()> tick,
                                 std::function<void()> languagePicked) {
    C(L"bConnection").OnClick = std::move(press);
    C(L"Timer1").OnTimer = std::move(tick);
    Control& language = C(kLanguageList);
    language.OnClick = [picked = language.OnClick, then = std::move(languagePicked)] {
        if (picked)
            picked();
        if (then)
            then();
    };
}

void Settings::EscapePressed() {
    Control& hide = C(L"bCancel");
    if (hide.Enabled() && hide.OnClick)
        hide.OnClick();
}

void Settings::ShowConnectionCaption(const std::wstring& caption) {
    C(L"bConnection").SetText(caption);
}

void Settings::ShowConnected(bool connected) {
    for (const wchar_t* name : kSerialFields)
        C(name).SetEnabled(!connected);
}

std::wstring Settings::ShownSpeed() {
    return C(L"cBitsPerSecond").Text();
}

void Settings::PickAllCharacters() {
    C(L"cSendTo").SetSelectedIndex(0);
}

void Settings::RunReading(bool run) {
    C(L"Timer1").SetEnabled(run);
}

void Settings::SetMenuLanguage() {
    const std::wstring language = p_.settings.Language;
    // A language file without the entry leaves the caption as it is rather than blank.
    for (const auto& [entry, key] :
         {std::pair{L"mn_Settings", L"mnuSettings"}, std::pair{L"mnu_Exit", L"mnuExit"}}) {
        const std::wstring text = p_.res.ResStringComm(key, language);
        if (!text.empty())
            C(entry).SetText(text);
    }
}

void Settings::OpenFromTray() {
    C(L"mn_Settings").SetEnabled(false);
    window_.Show();
}

void Settings::ShowTrayMenu() {
    window_.ShowPopupMenu(C(L"mnu_Poppup"));
}

void Settings::Activate() {
    p_.state.IsStarting = false;
}

void Settings::Unload() noexcept {
    // Whatever the way out, the icon goes first: an icon left behind answers no click.
    try {
        p_.tray.UpdateTrayIcon(TrayIcon::kDelete, TrayIcon::kNotConnectedImage);
    } catch (...) {
    }
    try {
        p_.hook.RemoveKeyboardHook();
    } catch (...) {
    }
    try {
        if (p_.closeComm)
            p_.closeComm();
    } catch (...) {
    }
    if (p_.endProgram)
        p_.endProgram();
}

} // namespace corv
