#pragma once
// The resource manager over the in-memory disk, with the program in C:\Prog and no installation.
#include <gtest/gtest.h>

#include "FakeDisk.h"
#include "FakeRegistry.h"
#include "config/Configuration.h"
#include "localization/ResManagerClass.h"

namespace corv::test {

class LanguageTest : public testing::Test {
  protected:
    static constexpr wchar_t kCommon[] = L"C:\\Prog\\Common.lng", kForms[] = L"C:\\Prog\\Forms.lng";
    std::wstring Read(const std::wstring& file, const std::wstring& section,
                      const std::wstring& key) {
        return ini.GetString(section, key, L"", 1024, file);
    }
    fake::FakeDisk disk;
    fake::FakePrivateProfile ini{disk};
    fake::FakeFileSystem files{disk, L"C:\\Prog"};
    fake::FakeRegistry registry;
    Configuration config{ini, files, registry};
    AppSettings settings;
    AppState state;
    ResManagerClass res{config, files, settings, state};
};

} // namespace corv::test
