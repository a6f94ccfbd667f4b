#pragma once
// The resource manager: the built-in Bulgarian texts, look-ups in the language files, the list of
// known languages, the start-up language, translating a window and writing a template file.
// The program holds one instance (ResManager) for its whole run.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/AppState.h"
#include "config/AppSettings.h"
#include "config/Configuration.h"
#include "localization/LanguageFile.h"
#include "localization/ResStrings.h"
#include "platform/FileSystem.h"
#include "platform/WindowLayer.h"

namespace corv {

struct ResEntry {
    std::wstring Key;
    std::wstring Text;
};

struct LanguageEntry {
    std::wstring Abbreviation;
    std::wstring Caption;
};

class ResManagerClass : public ResStrings {
  public:
    ResManagerClass(Configuration& config, FileSystem& files, AppSettings& settings,
                    const AppState& state);

    const std::wstring& CurrentLanguage() const { return currentLanguage_; }
    // Keeps at most the first two characters, letter case unchanged.
    void CurrentLanguage(const std::wstring& language);

    // Consumes the first start-up marker found in the program folder; "BG" when there is none.
    std::wstring SetStartUpLanguage();
    // The known languages: those of the configuration's "Languages" section, then those that
    // "Common.lng" names and the stored language, each with its name from the language files.
    void GetLanguages(const std::wstring& configFile);
    std::int16_t GetAbrvIndex(const std::wstring& language) const;
    void SaveLanguages(const std::wstring& configFile);
    void GenerateLanguageFile(Form& form);
    void SetLanguage(Form& form, const std::wstring& language);
    void DefaultFormRes();
    std::wstring GetResString(const std::wstring& key);
    std::wstring ResStringForm(const std::wstring& key, const std::wstring& language);
    std::wstring ResStringComm(const std::wstring& key, const std::wstring& language) override;
    std::wstring GetLanguageAbbreviation(std::int16_t index) const;
    void FillLanguageCombo(Control& list);
    std::int16_t CountFormRes() const;
    std::int16_t CountCommonRes() const;
    std::wstring GetFormKey(std::int16_t index) const;
    std::wstring GetCommonKey(std::int16_t index) const;

  private:
    void AddCommonRes(const std::wstring& key, const std::wstring& text);
    void AddFormRes(const std::wstring& formName, const std::wstring& controlKey,
                    const std::wstring& text);
    void DefaultCommonRes();
    std::wstring ReadLngString(const std::wstring& path, const std::wstring& section,
                               const std::wstring& language);
    std::wstring FindCommonRes(const std::wstring& key) const;
    std::wstring FindFormRes(const std::wstring& key) const;

    std::wstring CommonLngPath();
    // A language file as it is now: read once, and again only after it has been written.
    // Nothing when it cannot be read.
    std::shared_ptr<const LanguageFile> Load(const std::wstring& path);
    std::wstring LngValue(const std::wstring& path, const std::wstring& section,
                          const std::wstring& key, int size);

    Configuration& config_;
    FileSystem& files_;
    AppSettings& settings_;
    const AppState& state_;

    std::wstring currentLanguage_;
    std::vector<ResEntry> commonRes_;
    std::vector<ResEntry> formRes_;
    std::vector<LanguageEntry> languageList_;

    struct LoadedFile {
        FileStamp stamp;
        std::shared_ptr<const LanguageFile> file;
    };
    std::map<std::wstring, LoadedFile> loaded_; // by path
};

} // namespace corv
