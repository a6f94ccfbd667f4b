#include "localization/ResManagerClass.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/Text.h"
#include "localization/Localization.h"

namespace corv {
namespace {

constexpr wchar_t kCommonFile[] = L"\\Common.lng";
constexpr wchar_t kRelatedCommonFile[] = L"\\Related Documents\\Common.lng";
constexpr wchar_t kFormsFile[] = L"\\Forms.lng";
constexpr wchar_t kNewLineEscape[] = L"|vbNewLine|";
constexpr std::int16_t kCommonBuffer = 1024;
constexpr std::int16_t kFormsBuffer = 255;

// Upper case of the letters a language code or name may hold: ASCII, Latin-1 and Cyrillic.
std::wstring UpperCase(std::wstring s) {
    for (auto& c : s) {
        if ((c >= L'a' && c <= L'z') || (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7) ||
            (c >= 0x0430 && c <= 0x044F))
            c = static_cast<wchar_t>(c - 32);
        else if (c >= 0x0450 && c <= 0x045F)
            c = static_cast<wchar_t>(c - 80);
    }
    return s;
}

// The leading decimal number of a text (spaces before it allowed), rounded to the nearest whole
// number, halves to the even one; 0 when the text starts with no number or the number does not
// fit 16 bits.
int LeadingNumber(const std::wstring& text) {
    std::size_t i = text.find_first_not_of(L" \t");
    if (i == std::wstring::npos)
        return 0;
    bool negative = false;
    if (text[i] == L'+' || text[i] == L'-')
        negative = text[i++] == L'-';
    double value = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, digits = true)
        value = value * 10 + (text[i] - L'0');
    if (i < text.size() && text[i] == L'.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, digits = true) {
            value += (text[i] - L'0') * scale;
            scale /= 10;
        }
    }
    if (!digits)
        return 0;
    const double rounded = std::nearbyint(negative ? -value : value); // ties to even
    if (rounded < -32768 || rounded > 32767)
        return 0;
    return static_cast<int>(rounded);
}

std::wstring Numbered(const wchar_t* stem, long long n) {
    return stem + DecimalText(n);
}

} // namespace

ResManagerClass::ResManagerClass(Configuration& config, FileSystem& files, AppSettings& settings,
                                 const AppState& state)
    : config_(config), files_(files), settings_(settings), state_(state) {
    DefaultCommonRes();
    DefaultFormRes();
    currentLanguage_ = L"BG";
}

void ResManagerClass::CurrentLanguage(const std::wstring& language) {
    currentLanguage_ = language.size() > 2 ? language.substr(0, 2) : language;
}

std::wstring ResManagerClass::SetStartUpLanguage() {
    static constexpr struct {
        const wchar_t* file;
        const wchar_t* code;
    } kMarkers[] = {{L"/StartUp.bg", L"BG"},
                    {L"/StartUp.en", L"EN"},
                    {L"/StartUp.ru", L"RU"},
                    {L"/StartUp.sr", L"SR"},
                    {L"/StartUp.ro", L"RO"}};
    std::wstring result = L"BG";
    try {
        const std::wstring folder = files_.ProgramFolder();
        for (const auto& marker : kMarkers) {
            const std::wstring path = folder + marker.file;
            if (!config_.FileExists(path))
                continue;
            result = marker.code;
            // A marker that cannot be deleted still decides, and acts again at the next start.
            files_.RemoveFile(path);
            break;
        }
    } catch (...) {
    }
    return result;
}

void ResManagerClass::GetLanguages(const std::wstring& configFile) {
    languageList_.clear();
    bool bulgarianOnly = false;
    try {
        bulgarianOnly = !config_.FileExists(configFile);
    } catch (...) {
    }
    if (!bulgarianOnly) {
        int counter = 0;
        try {
            counter = LeadingNumber(
                config_.ReadIniValue(L"Languages", L"Counter", configFile, kFormsBuffer));
        } catch (...) {
        }
        if (counter == 0)
            bulgarianOnly = true;
        for (int n = 1; n <= counter; ++n) {
            try {
                const std::wstring code =
                    config_.ReadIniValue(L"Languages", Numbered(L"lng", n), configFile, 255)
                        .substr(0, 2);
                if (TrimSpaces(code).empty())
                    continue;
                LanguageEntry entry{UpperCase(code), UpperCase(code)};
                const std::wstring caption =
                    config_.ReadIniValue(L"Languages", Numbered(L"cap", n), configFile, 255);
                if (!TrimSpaces(caption).empty())
                    entry.Caption = caption;
                languageList_.push_back(std::move(entry));
            } catch (...) {
            }
        }
    }
    if (bulgarianOnly)
        languageList_ = {LanguageEntry{L"BG", L"Български"}};

    // The languages that "Common.lng" names, then the stored language, join those of the
    // configuration: every language with texts can be picked, and a stored one stays stored.
    std::vector<std::wstring> more;
    try {
        const std::wstring common = CommonLngPath();
        if (config_.FileExists(common))
            if (const auto file = Load(common))
                more = file->Keys(L"strLanguage");
    } catch (...) {
    }
    more.push_back(settings_.Language);
    for (const std::wstring& key : more) {
        const std::wstring code = UpperCase(TrimSpaces(key));
        const auto listed = [&](const LanguageEntry& e) { return e.Abbreviation == code; };
        if (code.size() == 2 && std::none_of(languageList_.begin(), languageList_.end(), listed))
            languageList_.push_back(LanguageEntry{code, code});
    }
    // Each is shown by its name in the language files, else by the configuration's caption,
    // else by the built-in name of a known language, else by its code.
    for (LanguageEntry& entry : languageList_) {
        const std::wstring name = ResStringComm(L"strLanguage", entry.Abbreviation);
        if (!TrimSpaces(name).empty()) {
            entry.Caption = name;
            continue;
        }
        for (const KnownLanguage& known : kKnownLanguages)
            if (entry.Caption == entry.Abbreviation && entry.Abbreviation == known.code)
                entry.Caption = known.name;
    }
}

std::int16_t ResManagerClass::GetAbrvIndex(const std::wstring& language) const {
    const std::wstring wanted = UpperCase(language);
    for (std::size_t i = 1; i < languageList_.size(); ++i)
        if (languageList_[i].Abbreviation == wanted)
            return static_cast<std::int16_t>(i);
    return 0;
}

void ResManagerClass::SaveLanguages(const std::wstring& configFile) {
    for (std::size_t i = 0; i < languageList_.size(); ++i) {
        const LanguageEntry& entry = languageList_[i];
        if (entry.Abbreviation.empty())
            break;
        const long long n = static_cast<long long>(i) + 1;
        try {
            config_.WriteIniValue(L"Languages", Numbered(L"lng", n), entry.Abbreviation,
                                  configFile);
        } catch (...) {
        }
        try {
            config_.WriteIniValue(L"Languages", Numbered(L"cap", n), entry.Caption, configFile);
        } catch (...) {
        }
    }
    try {
        config_.WriteIniValue(L"Languages", L"Counter",
                              static_cast<long long>(languageList_.size()), configFile);
    } catch (...) {
    }
}

namespace {

// The number of the window's controls; a window that cannot tell is walked as empty.
int ControlCountOrZero(Form& form) {
    try {
        return form.ControlCount();
    } catch (...) {
        return 0;
    }
}

} // namespace

void ResManagerClass::GenerateLanguageFile(Form& form) {
    std::wstring path;
    try {
        path = files_.ProgramFolder() + L"\\" + form.Name() + L".lng";
        config_.WriteIniValue(L"ME", L"BG", form.Title(), path);
    } catch (...) {
    }
    const int count = ControlCountOrZero(form);
    for (int i = 0; i < count; ++i) {
        try {
            Control& control = form.ControlAt(i);
            switch (control.Kind()) {
            case ControlKind::CommandButton:
            case ControlKind::CheckBox:
            case ControlKind::TextBox:
            case ControlKind::Label:
                config_.WriteIniValue(control.Name(), L"BG", control.Text(), path);
                break;
            case ControlKind::List: {
                const int items = control.ItemCount();
                for (int j = 0; j < items; ++j) {
                    try {
                        config_.WriteIniValue(control.Name(), Numbered(L"BG", j), control.Item(j),
                                              path);
                    } catch (...) {
                    }
                }
                break;
            }
            default:
                break;
            }
        } catch (...) {
        }
    }
}

void ResManagerClass::SetLanguage(Form& form, const std::wstring& language) {
    std::wstring file;
    try {
        file = files_.ProgramFolder() + kFormsFile;
        if (!config_.FileExists(file))
            return;
    } catch (...) {
        return;
    }
    const std::wstring lang = language.empty() ? settings_.Language : language;
    std::shared_ptr<const LanguageFile> forms;
    try {
        forms = Load(file);
    } catch (...) {
    }
    if (!forms)
        return; // every text would be missing
    // The value of a section in the wanted language; nothing when missing or blank.
    auto found = [&](const std::wstring& section) -> std::optional<std::wstring> {
        std::wstring value = forms->Value(section, lang, kFormsBuffer);
        if (TrimSpaces(value).empty())
            return std::nullopt;
        return value;
    };
    std::wstring formName;
    try {
        formName = form.Name();
        if (auto title = found(formName + L"|ME"))
            form.SetTitle(*title);
    } catch (...) {
    }
    const int count = ControlCountOrZero(form);
    for (int i = 0; i < count; ++i) {
        try {
            Control& control = form.ControlAt(i);
            const std::wstring section = formName + L"|" + control.Name();
            switch (control.Kind()) {
            case ControlKind::TextBox:
            case ControlKind::RichTextBox:
            case ControlKind::CommandButton:
            case ControlKind::CheckBox:
            case ControlKind::Label:
            case ControlKind::Frame:
                if (auto text = found(section))
                    control.SetText(*text);
                break;
            case ControlKind::MyButton: {
                const std::optional<int> index = control.ArrayIndex();
                const auto text = found(index ? section + L"|" + DecimalText(*index) : section);
                if (!text)
                    break;
                try {
                    control.SetText(*text);
                } catch (...) {
                }
                // The connect button tells what pressing it will do.
                if (i == 31)
                    control.SetText(
                        ResStringComm(state_.Connected ? L"strDisconnect" : L"strConnect", lang));
                break;
            }
            case ControlKind::List: {
                const int items = control.ItemCount();
                for (int j = 0; j < items; ++j) {
                    try {
                        if (auto text = found(section + L"|" + DecimalText(j)))
                            control.SetItem(j, *text);
                    } catch (...) {
                    }
                }
                break;
            }
            default:
                break;
            }
        } catch (...) {
        }
    }
}

void ResManagerClass::DefaultFormRes() {
    static constexpr struct {
        const wchar_t* key;
        const wchar_t* text;
    } kTexts[] = {
        {L"frmCom", L"Настройки на Com"},
        {L"frmOtherSettings", L"Други"},
        {L"bCancel", L"Скриване"},
        {L"bExit", L"Изход"},
        {L"bTest", L"Тест"},
        {L"lbComPort", L"Com порт"},
        {L"lbBitsPerSecond", L"Скорост"},
        {L"lbDataBits", L"Дата битове"},
        {L"lbParity", L"Четност"},
        {L"lbStopBits", L"Стоп битове"},
        {L"lbFlowControl", L"Контрол"},
        {L"lbSendTo", L"Символи"},
        {L"lbFilter", L"Добавяне на Enter в края"},
        {L"lbPrefix", L"Разпознаване"},
        {L"lblIdent", L"Идентификатор"},
        {L"lbKeyBoardReader", L"Клавиатурен четец"},
        {L"cSendTo|0", L"Всички"},
        {L"cSendTo|1", L"Само цифри"},
        {L"cFilter|0", L"Неактивно"},
        {L"cFilter|1", L"Активно"},
        {L"cPrefix|0", L"Без префикс"},
        {L"cPrefix|1", L"Префикс"},
        {L"cPrefix|2", L"Префикс + код клиент"},
        {L"cPrefix|3", L"Префикс + код оператор"},
        {L"cIsKeyBoard|0", L"Изключен"},
        {L"cIsKeyBoard|1", L"Включен"},
        {L"lblLanguage", L"Избор на език"},
    };
    for (const auto& t : kTexts)
        AddFormRes(L"Settings", t.key, t.text);
}

std::wstring ResManagerClass::CommonLngPath() {
    const std::wstring folder = files_.ProgramFolder();
    const std::wstring path = folder + kCommonFile;
    return config_.FileExists(path) ? path : folder + kRelatedCommonFile;
}

std::wstring ResManagerClass::GetResString(const std::wstring& key) {
    std::wstring text;
    try {
        const std::wstring path = CommonLngPath();
        if (config_.FileExists(path)) {
            text = LngValue(path, key, currentLanguage_, kCommonBuffer);
            if (TrimSpaces(text).empty())
                text = FindFormRes(key);
        } else {
            text = FindFormRes(key);
        }
    } catch (...) {
        text = FindFormRes(key);
    }
    return ReplaceAll(text, kNewLineEscape, L"\r\n");
}

std::wstring ResManagerClass::ResStringForm(const std::wstring& key, const std::wstring& language) {
    try {
        const std::wstring text = ReadLngString(files_.ProgramFolder() + kFormsFile, key,
                                                language.empty() ? L"BG" : language);
        if (!TrimSpaces(text).empty())
            return text;
    } catch (...) {
    }
    return FindFormRes(key);
}

std::wstring ResManagerClass::ResStringComm(const std::wstring& key, const std::wstring& language) {
    try {
        const std::wstring text =
            ReadLngString(CommonLngPath(), key, language.empty() ? L"BG" : language);
        if (!TrimSpaces(text).empty())
            return text;
    } catch (...) {
    }
    return FindCommonRes(key);
}

std::wstring ResManagerClass::GetLanguageAbbreviation(std::int16_t index) const {
    if (index >= 0 && static_cast<std::size_t>(index) < languageList_.size())
        return languageList_[static_cast<std::size_t>(index)].Abbreviation;
    return L"BG";
}

void ResManagerClass::FillLanguageCombo(Control& list) {
    try {
        list.ClearItems();
        int selected = 0;
        for (std::size_t i = 0; i < languageList_.size(); ++i) {
            list.AddItem(languageList_[i].Caption);
            if (languageList_[i].Abbreviation == currentLanguage_)
                selected = static_cast<int>(i);
        }
        if (!languageList_.empty())
            list.SetSelectedIndex(selected);
    } catch (...) {
    }
}

std::int16_t ResManagerClass::CountFormRes() const {
    return static_cast<std::int16_t>(formRes_.size());
}

std::int16_t ResManagerClass::CountCommonRes() const {
    return static_cast<std::int16_t>(commonRes_.size());
}

std::wstring ResManagerClass::GetFormKey(std::int16_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= formRes_.size())
        return {};
    return formRes_[static_cast<std::size_t>(index)].Key;
}

std::wstring ResManagerClass::GetCommonKey(std::int16_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= commonRes_.size())
        return {};
    return commonRes_[static_cast<std::size_t>(index)].Key;
}

void ResManagerClass::AddCommonRes(const std::wstring& key, const std::wstring& text) {
    commonRes_.push_back(ResEntry{key, text});
}

void ResManagerClass::AddFormRes(const std::wstring& formName, const std::wstring& controlKey,
                                 const std::wstring& text) {
    formRes_.push_back(ResEntry{formName + L"|" + controlKey, text});
}

void ResManagerClass::DefaultCommonRes() {
    AddCommonRes(L"strConnect", L"Включване");
    AddCommonRes(L"strDisconnect", L"Изключване");
    // The reader's state in the tray tip.
    AddCommonRes(L"strTipPort", L"Свързан: %1, %2 бода");
    AddCommonRes(L"strTipKeyboard", L"Клавиатурен четец");
    AddCommonRes(L"strTipNotConnected", L"Няма връзка");
    AddCommonRes(L"strTipRetrying", L"%1 не е свързан, нов опит");
    AddCommonRes(L"strTipDropped", L"Отхвърлени кодове над 1024 знака: %1");
}

std::wstring ResManagerClass::ReadLngString(const std::wstring& path, const std::wstring& section,
                                            const std::wstring& language) {
    const std::wstring folder = files_.ProgramFolder();
    const bool common = path == folder + kCommonFile || path == folder + kRelatedCommonFile;
    return LngValue(path, section, language, common ? kCommonBuffer : kFormsBuffer);
}

std::shared_ptr<const LanguageFile> ResManagerClass::Load(const std::wstring& path) {
    const std::optional<FileStamp> stamp = files_.Stamp(path);
    if (!stamp) {
        loaded_.erase(path);
        return nullptr;
    }
    const auto known = loaded_.find(path);
    if (known != loaded_.end() && known->second.stamp == *stamp)
        return known->second.file;
    const std::optional<std::wstring> text = files_.ReadText(path);
    if (!text)
        return nullptr;
    auto file = std::make_shared<const LanguageFile>(*text);
    loaded_[path] = LoadedFile{*stamp, file};
    return file;
}

std::wstring ResManagerClass::LngValue(const std::wstring& path, const std::wstring& section,
                                       const std::wstring& key, int size) {
    const auto file = Load(path);
    return file ? file->Value(section, key, size) : std::wstring();
}

std::wstring ResManagerClass::FindCommonRes(const std::wstring& key) const {
    for (const ResEntry& e : commonRes_)
        if (e.Key == key)
            return e.Text;
    return {};
}

std::wstring ResManagerClass::FindFormRes(const std::wstring& key) const {
    for (const ResEntry& e : formRes_)
        if (e.Key == key)
            return e.Text;
    return {};
}

} // namespace corv
