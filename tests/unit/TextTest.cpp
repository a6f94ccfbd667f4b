#include <gtest/gtest.h>

#include "common/Text.h"

using namespace corv;

TEST(Text, TrimsOnlySpaces) {
    EXPECT_EQ(TrimSpaces(L"  a b  "), L"a b");
    EXPECT_EQ(TrimSpaces(L"   "), L"");
    EXPECT_EQ(TrimSpaces(L"\tx\r\n"), L"\tx\r\n");
}

TEST(Text, ReplacesEveryOccurrence) {
    EXPECT_EQ(ReplaceAll(L"CARD:1CARD:2", L"CARD:", L""), L"12");
    EXPECT_EQ(ReplaceAll(L"a|vbNewLine|b", L"|vbNewLine|", L"\r\n"), L"a\r\nb");
    EXPECT_EQ(ReplaceAll(L"aaa", L"aa", L"b"), L"ba");
}

TEST(Text, FormatsNumbers) {
    EXPECT_EQ(DecimalText(-32768), L"-32768");
    EXPECT_EQ(HexText(0), L"0");
    EXPECT_EQ(HexText(0x12), L"12");
    EXPECT_EQ(HexText(0xABCDEF), L"ABCDEF");
}
