// The configuration store's table over the in-memory disk and registry.
#include <gtest/gtest.h>

#include "ConfigTable.h"
#include "FakeDisk.h"
#include "FakeRegistry.h"

using namespace corv;

namespace {

struct FakeWorld : test::ConfigWorld {
    fake::FakeDisk disk;
    fake::FakePrivateProfile profile{disk};
    fake::FakeFileSystem fs{disk};
    fake::FakeRegistry reg;
    FakeWorld() : ConfigWorld(profile, fs, reg) {}
    void SetValue(bool view32, std::uint32_t type, const std::wstring& text) override {
        reg.SetText(view32 ? fake::FakeRegistry::View::Bits32 : fake::FakeRegistry::View::Bits64,
                    kAppFolderKey, type ? kAppFolderValue : L"", text, type);
    }
    void PutFile(const std::wstring& path, const std::optional<std::wstring>& text) override {
        if (text)
            disk.Put(path, *text);
    }
    std::optional<std::wstring> FileText(const std::wstring& path) override {
        return disk.Text(path);
    }
};

} // namespace

TEST(Configuration, LoadsAndSavesByTheTable) {
    for (const auto& row : test::kConfigRows) {
        FakeWorld world;
        test::RunConfigRow(world, row);
        EXPECT_EQ(world.reg.OpenHandles(), 0u) << row.what;
    }
}
