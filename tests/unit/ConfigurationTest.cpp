// The configuration store's table over the in-memory disk and registry.
#include <gtest/gtest.h>

#include "ConfigTable.h"
#include "LanguageWorld.h"

using namespace corv;

namespace {

struct FakeWorld : test::ConfigWorld {
    fake::LanguageWorld w;
    FakeWorld() : ConfigWorld(w.ini, w.files, w.registry) {}
    void SetValue(bool view32, std::uint32_t type, const std::wstring& text) override {
        w.registry.SetText(view32 ? fake::FakeRegistry::View::Bits32
                                  : fake::FakeRegistry::View::Bits64,
                           kAppFolderKey, type ? kAppFolderValue : L"", text, type);
    }
    void PutFile(const std::wstring& path, const std::optional<std::wstring>& text) override {
        if (text)
            w.disk.Put(path, *text);
    }
    std::optional<std::wstring> FileText(const std::wstring& path) override {
        return w.disk.Text(path);
    }
};

} // namespace

TEST(Configuration, LoadsAndSavesByTheTable) {
    for (const auto& row : test::kConfigRows) {
        FakeWorld world;
        test::RunConfigRow(world, row);
        EXPECT_EQ(world.w.registry.OpenHandles(), 0u) << row.what;
    }
}
