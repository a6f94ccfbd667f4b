#include <gtest/gtest.h>

#include "FakeCodePage.h"
#include "core/ModMainReader.h"

using namespace corv;

TEST(PrefixRule, EachSettingGivesItsForm) {
    const std::wstring mark(1, L'\u00A0');
    EXPECT_EQ(ApplyPrefix(0, L"1234"), L"1234");
    EXPECT_EQ(ApplyPrefix(1, L"1234"), mark + L"1234");
    EXPECT_EQ(ApplyPrefix(2, L"1234"), mark + L"9691234");
    EXPECT_EQ(ApplyPrefix(3, L"1234"), mark + L"9711234");
    EXPECT_EQ(ApplyPrefix(1, L""), mark);
    EXPECT_FALSE(ApplyPrefix(4, L"1234"));
    EXPECT_FALSE(ApplyPrefix(-1, L"1234"));
    EXPECT_FALSE(ApplyPrefix(7, L""));
}

TEST(HexEncode, TwoUpperCaseDigitsPerByte) {
    fake::Cp1251CodePage cp;
    EXPECT_EQ(HexEncode(L"AZ", cp), L"415A");
    EXPECT_EQ(HexEncode(std::wstring{L'\x05', L'\u044F'}, cp), L"05FF");
    EXPECT_EQ(HexEncode(L"1A\r\n", cp), L"31410D0A");
    EXPECT_EQ(HexEncode(L"", cp), L"");
    EXPECT_EQ(HexEncode(std::wstring(1, L'\0'), cp), L"00");
}
