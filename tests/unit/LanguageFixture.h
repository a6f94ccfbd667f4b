#pragma once
// A resource manager over the in-memory disk, with the program in C:\Prog.
#include <gtest/gtest.h>

#include "FakeDisk.h"
#include "FakeRegistry.h"
#include "config/Configuration.h"
#include "localization/ResManagerClass.h"

namespace corv::test {

class LanguageTest : public testing::Test {
  protected:
    static constexpr wchar_t kCommon[] = L"C:\\Prog\\Common.lng";
    static constexpr wchar_t kRelated[] = L"C:\\Prog\\Related Documents\\Common.lng";
    static constexpr wchar_t kForms[] = L"C:\\Prog\\Forms.lng";

    fake::FakeDisk disk;
    fake::FakePrivateProfile ini{disk};
    fake::FakeFileSystem files{disk, L"C:\\Prog"};
    fake::FakeRegistry registry; // no key and no default folder: the program's folder
    Configuration config{ini, files, registry};
    AppSettings settings;
    AppState state;
    ResManagerClass res{config, files, settings, state};

    std::wstring Read(const std::wstring& file, const std::wstring& section,
                      const std::wstring& key) {
        return ini.GetString(section, key, L"", 1024, file);
    }
};

} // namespace corv::test
