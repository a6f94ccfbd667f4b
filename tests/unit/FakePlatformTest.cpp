// The fakes stand in for the platform, so they must behave like it where the logic depends on it.
#include <gtest/gtest.h>

#include "FakeCodePage.h"
#include "FakeDisk.h"

using namespace corv::fake;

TEST(FakeProfile, MatchesNamesWithoutCaseAndCutsValues) {
    FakeDisk disk;
    FakePrivateProfile ini(disk);
    disk.Put(L"C:\\a.ini", L"[Sec]\r\nKey = some value \r\n[Другой]\r\nКлюч=Я\r\n");
    EXPECT_EQ(ini.GetString(L"sec", L"KEY", L"", 255, L"c:\\A.INI"), L"some value");
    EXPECT_EQ(ini.GetString(L"ДРУГОЙ", L"ключ", L"", 255, L"C:\\a.ini"), L"Я");
    EXPECT_EQ(ini.GetString(L"Sec", L"Key", L"", 5, L"C:\\a.ini"), L"some");
    EXPECT_EQ(ini.GetString(L"Sec", L"Missing", L"dflt", 255, L"C:\\a.ini"), L"dflt");
    EXPECT_EQ(ini.GetString(L"Sec", L"Key", L"", 255, L"C:\\none.ini"), L"");
}

TEST(FakeProfile, NewSectionsGoLastAndKeysAreReplacedInPlace) {
    FakeDisk disk;
    FakePrivateProfile ini(disk);
    ini.WriteString(L"B", L"Value", L"1", L"C:\\c.cfg");
    ini.WriteString(L"A", L"Value", L"2", L"C:\\c.cfg");
    ini.WriteString(L"b", L"value", L"3", L"C:\\c.cfg");
    ini.WriteString(L"B", L"Other", L"4", L"C:\\c.cfg");
    EXPECT_EQ(*disk.Text(L"C:\\c.cfg"), L"[B]\r\nvalue=3\r\nOther=4\r\n[A]\r\nValue=2\r\n");
    ini.failWrites = true;
    EXPECT_FALSE(ini.WriteString(L"A", L"Value", L"9", L"C:\\c.cfg"));
    EXPECT_EQ(ini.GetString(L"A", L"Value", L"", 255, L"C:\\c.cfg"), L"2");
}

TEST(FakeFileSystem, FindsOnlyOrdinaryFiles) {
    FakeDisk disk;
    FakeFileSystem fs(disk);
    disk.Put(L"C:\\dir\\hidden.lng", L"");
    disk.Find(L"C:\\dir\\hidden.lng")->hidden = true;
    disk.PutFolder(L"C:\\dir\\sub.lng");
    EXPECT_FALSE(fs.FindFirstOrdinaryFile(L"C:\\dir\\*.lng"));
    disk.Put(L"C:\\dir\\Forms.lng", L"");
    EXPECT_EQ(fs.FindFirstOrdinaryFile(L"c:\\DIR\\*.lng").value_or(L""), L"Forms.lng");
    EXPECT_TRUE(fs.RemoveFile(L"C:\\dir\\forms.lng"));
    EXPECT_FALSE(fs.RemoveFile(L"C:\\dir\\forms.lng"));
}

TEST(FakeCodePage, IsWindows1251) {
    Cp1251CodePage cp;
    EXPECT_EQ(cp.FromAnsi("\xA0\xC0\xFF\xA8\xB9"), L"\u00A0\u0410\u044F\u0401\u2116");
    EXPECT_EQ(cp.ToAnsi(L"\u00A0\u0410\u044F\u0401\u2116A"), "\xA0\xC0\xFF\xA8\xB9"
                                                             "A");
    EXPECT_EQ(cp.ToAnsi(L"\u0103"), "?"); // Romanian ă is not in the Cyrillic code page
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(cp.ToAnsi(cp.FromAnsi(all)), all);
}
