// Reading registry values of every supported type, and the application folder's two views.
#include <gtest/gtest.h>

#include "FakeDisk.h"
#include "FakeRegistry.h"
#include "config/Configuration.h"
#include "config/modRegistrty.h"

using namespace corv;
using fake::FakeRegistry;
using View = FakeRegistry::View;

namespace {

const std::wstring kKey = L"Software\\Quillomarte\\Corvanthelix";

RegistryValue Read(FakeRegistry& reg, const std::wstring& name,
                   std::optional<RegistryValue> def = std::nullopt) {
    return GetRegistryValue(reg, Registry::kLocalMachine, kKey, name, def);
}

int ErrorNumberOf(FakeRegistry& reg, const std::wstring& name) {
    try {
        Read(reg, name);
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Description(), "Unsupported value type");
        return e.Number();
    }
    return 0;
}

} // namespace

TEST(GetRegistryValue, ConvertsEveryValueType) {
    FakeRegistry reg;
    reg.SetText(View::Bits64, kKey, L"Folder", L"C:\\Апп\\");
    reg.SetText(View::Bits64, kKey, L"Expand", L"%TEMP%\\x", kRegExpandSz);
    reg.SetText(View::Bits64, kKey, L"Empty", L"");
    reg.SetDword(View::Bits64, kKey, L"One", 1);
    reg.SetDword(View::Bits64, kKey, L"Minus", 0xFFFFFFFEu);
    reg.SetRaw(View::Bits64, kKey, L"Blob", kRegBinary, {0, 0xFF, 7});
    reg.SetMultiText(View::Bits64, kKey, L"Multi", {L"ab", L"c"});

    EXPECT_EQ(std::get<std::wstring>(Read(reg, L"folder")), L"C:\\Апп\\");
    EXPECT_EQ(std::get<std::wstring>(Read(reg, L"Expand")), L"%TEMP%\\x");
    EXPECT_EQ(std::get<std::wstring>(Read(reg, L"Empty")), L"");
    EXPECT_EQ(std::get<std::int32_t>(Read(reg, L"One")), 1);
    EXPECT_EQ(std::get<std::int32_t>(Read(reg, L"Minus")), -2);
    EXPECT_EQ(std::get<std::vector<std::uint8_t>>(Read(reg, L"Blob")),
              (std::vector<std::uint8_t>{0, 0xFF, 7}));
    EXPECT_EQ(std::get<std::wstring>(Read(reg, L"Multi")), std::wstring(L"ab\0c", 4));
    EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST(GetRegistryValue, ReadsLongValuesWithASecondQuery) {
    FakeRegistry reg;
    const std::wstring longText(700, L'x'); // 1402 bytes with its terminator
    reg.SetText(View::Bits64, kKey, L"Long", longText);
    std::vector<std::uint8_t> blob(3000);
    for (std::size_t i = 0; i < blob.size(); ++i)
        blob[i] = static_cast<std::uint8_t>(i * 7);
    reg.SetRaw(View::Bits64, kKey, L"Blob", kRegBinary, blob);
    EXPECT_EQ(std::get<std::wstring>(Read(reg, L"Long")), longText);
    EXPECT_EQ(reg.queries, 2);
    EXPECT_EQ(std::get<std::vector<std::uint8_t>>(Read(reg, L"Blob")), blob);
    // A value that fits is read by one query, and the byte array is cut to its size.
    reg.queries = 0;
    reg.SetRaw(View::Bits64, kKey, L"Short", kRegBinary, std::vector<std::uint8_t>(1024, 9));
    EXPECT_EQ(std::get<std::vector<std::uint8_t>>(Read(reg, L"Short")).size(), 1024u);
    EXPECT_EQ(reg.queries, 1);
}

TEST(GetRegistryValue, DefaultOnlyWhenTheKeyCannotBeOpened) {
    FakeRegistry reg;
    EXPECT_EQ(std::get<std::wstring>(Read(reg, L"AppPAth", RegistryValue(L"dflt"))), L"dflt");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Read(reg, L"AppPAth")));
    reg.CreateKey(View::Bits64, kKey);
    reg.openError = 5;
    EXPECT_EQ(std::get<std::int32_t>(Read(reg, L"AppPAth", RegistryValue(7))), 7);
    reg.openError = 0;
    EXPECT_EQ(reg.openAccess.back() & Registry::kKeyRead, Registry::kKeyRead);

    // Key present: a missing value, an unknown type or a failed query is error 1001.
    EXPECT_EQ(ErrorNumberOf(reg, L"AppPAth"), 1001);
    reg.SetRaw(View::Bits64, kKey, L"Q", 11, std::vector<std::uint8_t>(8, 1));
    EXPECT_EQ(ErrorNumberOf(reg, L"Q"), 1001);
    reg.SetText(View::Bits64, kKey, L"T", L"x");
    reg.queryError = 5;
    EXPECT_EQ(ErrorNumberOf(reg, L"T"), 1001);
    EXPECT_EQ(reg.OpenHandles(), 0u); // closed on the error paths too
}

TEST(GetAppFolder, ThirtyTwoBitViewFirstThenSixtyFourThenDefaultThenProgramFolder) {
    fake::FakeDisk disk;
    fake::FakePrivateProfile ini(disk);
    fake::FakeFileSystem fs(disk, L"D:\\Portable");
    FakeRegistry reg;
    Configuration config(ini, fs, reg);

    // Without an installation and without the default folder: the program's own folder.
    EXPECT_EQ(config.GetAppFolder(), L"D:\\Portable\\");
    ASSERT_EQ(reg.openAccess.size(), 2u);
    EXPECT_EQ(reg.openAccess[0], Registry::kKeyRead | Registry::kView32);
    EXPECT_EQ(reg.openAccess[1], Registry::kKeyRead | Registry::kView64);
    disk.PutFolder(L"C:\\Program Files\\Quillomarte\\Corvanthelix");
    EXPECT_EQ(config.GetAppFolder(), L"C:\\Program Files\\Quillomarte\\Corvanthelix\\");

    reg.SetText(View::Bits64, kKey, L"AppPAth", L"D:\\Sixty\\");
    EXPECT_EQ(config.GetAppFolder(), L"D:\\Sixty\\");
    reg.SetText(View::Bits32, kKey, L"AppPAth", L"D:\\Thirty");
    EXPECT_EQ(config.GetAppFolder(), L"D:\\Thirty");

    // The key of the 32-bit view decides, even without the value.
    FakeRegistry bare;
    bare.CreateKey(View::Bits32, kKey);
    bare.SetText(View::Bits64, kKey, L"AppPAth", L"D:\\Sixty\\");
    Configuration bareConfig(ini, fs, bare);
    EXPECT_THROW(bareConfig.GetAppFolder(), RegistryError);

    // Numbers and bytes become text.
    reg.SetDword(View::Bits32, kKey, L"AppPAth", 1);
    EXPECT_EQ(config.GetAppFolder(), L"1");
    reg.SetRaw(View::Bits32, kKey, L"AppPAth", kRegBinary,
               BytesOfText(std::wstring(L"E:\\b\\\0z", 7)));
    EXPECT_EQ(config.GetAppFolder(), L"E:\\b\\");
}
