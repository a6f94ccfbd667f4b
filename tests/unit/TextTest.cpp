#include <gtest/gtest.h>

#include "FakeCodePage.h"
#include "common/Text.h"
#include "core/ModMainReader.h"

TEST(Text, Helpers) {
    using namespace corv;
    const fake::Cp1251CodePage cp;
    EXPECT_EQ(TrimSpaces(L"  \ta b\r\n  ") + TrimSpaces(L"   "), L"\ta b\r\n");
    EXPECT_EQ(ReplaceAll(L"aCARD:CARD:b", L"CARD:", L"") + ReplaceAll(L"aaa", L"aa", L"b"),
              L"abba");
    EXPECT_EQ(HexText(0) + L" " + HexText(0xABCDEF), L"0 ABCDEF");
    EXPECT_EQ(HexEncode(std::wstring{L'A', L'\x05', L'\u044F', L'\0'}, cp), L"4105FF00");
}
