// The configuration store's table over the in-memory disk and registry, with every fault they
// can inject.
#include <gtest/gtest.h>

#include "ConfigTable.h"
#include "FakeDisk.h"
#include "FakeRegistry.h"

using namespace corv;
using fake::FakeRegistry;

namespace {

struct FakeWorld : test::ConfigWorld {
    fake::FakeDisk disk;
    fake::FakePrivateProfile profile{disk};
    fake::FakeFileSystem fs{disk};
    FakeRegistry reg;
    FakeWorld() : ConfigWorld(profile, fs, reg) {}

    void SetValue(bool view32, std::uint32_t type, const std::vector<std::uint8_t>& b) override {
        const auto view = view32 ? FakeRegistry::View::Bits32 : FakeRegistry::View::Bits64;
        if (type == 0)
            reg.CreateKey(view, kAppFolderKey);
        else
            reg.SetRaw(view, kAppFolderKey, kAppFolderValue, type, b);
    }
    bool Inject(const std::wstring& faults) override {
        std::wistringstream in(faults);
        std::wstring kind;
        in >> kind;
        auto& sections = kind == L"read" ? profile.readFails : profile.writeFails;
        for (std::wstring section; in >> section;)
            sections.insert(section);
        fs.failSearches = kind == L"search";
        reg.openError = kind == L"denied" ? 5 : 0;
        return true;
    }
    void PutFile(const std::wstring& path, const std::optional<std::wstring>& text) override {
        if (text)
            disk.Put(path, *text);
        else
            disk.PutFolder(path.substr(0, path.rfind(L'\\')));
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
