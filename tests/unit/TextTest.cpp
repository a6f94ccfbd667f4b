#include <gtest/gtest.h>

#include "FakeCodePage.h"
#include "common/Text.h"
#include "core/ModMainReader.h"

using namespace corv;

TEST(Text, Helpers) {
    fake::Cp1251CodePage cp;
    const std::pair<std::wstring, std::wstring> rows[] = {
        {TrimSpaces(L"  a b  "), L"a b"},
        {TrimSpaces(L"   "), L""},
        {TrimSpaces(L"\tx\r\n"), L"\tx\r\n"},
        {ReplaceAll(L"CARD:1CARD:2", L"CARD:", L""), L"12"},
        {ReplaceAll(L"aaa", L"aa", L"b"), L"ba"},
        {HexText(0), L"0"},
        {HexText(0xABCDEF), L"ABCDEF"},
        {HexEncode(L"AZ", cp), L"415A"},
        {HexEncode(std::wstring{L'\x05', L'\u044F', L'\0'}, cp), L"05FF00"},
    };
    for (const auto& [got, expected] : rows)
        EXPECT_EQ(got, expected);
}
