// The program file carries its version, manifest and icon, as Windows shows them to the user.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/Resources.h"
#include "platform/win32/Win32NotifyIcon.h"

namespace {

std::wstring ProgramPath() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\')) + L"\\Corvanthelix.exe";
}

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
    struct Translation {
        WORD language;
        WORD codePage;
    }* tr = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr),
                        &len) ||
        len < sizeof(Translation))
        return {};
    wchar_t query[128];
    swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", tr->language, tr->codePage, name);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(info.data(), query, reinterpret_cast<void**>(&value), &len))
        return {};
    return std::wstring(value);
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

} // namespace

TEST(ProgramResources, TrayImagesHaveTheSmallIconSizeOfTheDpiInUse) {
    HMODULE module = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    const HDC screen = GetDC(nullptr);
    const auto systemDpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    const std::pair<UINT, int> sizes[] = {
        {systemDpi, GetSystemMetrics(SM_CXSMICON)}, {96, 16}, {120, 20}, {144, 24}, {192, 32}};
    for (const auto& [dpi, side] : sizes) {
        for (int id : {IDI_TRAY_CONNECTED, IDI_TRAY_NOT_CONNECTED}) {
            const HICON icon = corv::win32::LoadTrayIcon(module, id, dpi);
            EXPECT_EQ(IconWidth(icon), side) << "DPI " << dpi << ", icon " << id;
            DestroyIcon(icon);
        }
    }
    FreeLibrary(module);
}

TEST(ProgramResources, VersionIs1_00_008) {
    const std::wstring path = ProgramPath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"1.00.008");
    EXPECT_EQ(VersionString(info, L"FileVersion"), L"1.00.008");
    EXPECT_EQ(VersionString(info, L"ProductName"), L"Corvanthelix");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(8, 0));
}

TEST(ProgramResources, ManifestAndIcon) {
    HMODULE module = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(res, nullptr) << "no application manifest";
    const char* text = static_cast<const char*>(LockResource(LoadResource(module, res)));
    const std::string manifest(text, SizeofResource(module, res));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("6.0.0.0"), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(manifest.find("asInvoker"), std::string::npos);
    // The first icon group is the one Explorer shows for the program file.
    bool hasIcon = false;
    EnumResourceNamesW(
        module, MAKEINTRESOURCEW(14),
        [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR found) -> BOOL {
            *reinterpret_cast<bool*>(found) = true;
            return FALSE;
        },
        reinterpret_cast<LONG_PTR>(&hasIcon));
    EXPECT_TRUE(hasIcon);
    FreeLibrary(module);
}
