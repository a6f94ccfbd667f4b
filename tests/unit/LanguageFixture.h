#pragma once
// The world of fakes as a test fixture.
#include <gtest/gtest.h>

#include "LanguageWorld.h"

namespace corv::test {

class LanguageTest : public testing::Test, public fake::LanguageWorld {
  protected:
    static constexpr wchar_t kCommon[] = L"C:\\Prog\\Common.lng", kForms[] = L"C:\\Prog\\Forms.lng";
};

} // namespace corv::test
