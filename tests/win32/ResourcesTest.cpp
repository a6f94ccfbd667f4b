// The program file as Windows shows it: its version, manifest and tray images.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Version.h"
#include "platform/win32/Resources.h"
#include "platform/win32/Win32NotifyIcon.h"

TEST(ProgramResources, VersionAndManifest) {
    wchar_t self[MAX_PATH];
    std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    path = path.substr(0, path.find_last_of(L'\\')) + L"\\Corvanthelix.exe";
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    void* value = nullptr;
    UINT size = 0;
    ASSERT_TRUE(
        VerQueryValueW(info.data(), L"\\StringFileInfo\\040904b0\\ProductVersion", &value, &size));
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), CORV_VERSION_WTEXT);
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", &value, &size));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(CORV_VERSION_MINOR, CORV_VERSION_MAJOR));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(CORV_VERSION_PATCH, 0));

    HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                           SizeofResource(module, manifest));
    for (const char* wanted : {"Common-Controls\" version=\"6.0.0.0", "PerMonitorV2", "asInvoker"})
        EXPECT_NE(text.find(wanted), std::string::npos) << wanted;
    // Each tray image comes in the small-icon size of the DPI it is shown at.
    for (const auto& [dpi, side] : {std::pair<UINT, int>{96, 16}, {120, 20}, {144, 24}, {192, 32}})
        for (int id : {IDI_TRAY_CONNECTED, IDI_TRAY_NOT_CONNECTED}) {
            const HICON icon = corv::win32::LoadTrayIcon(module, id, dpi);
            ICONINFO parts{};
            BITMAP bitmap{};
            ASSERT_TRUE(icon && GetIconInfo(icon, &parts)) << dpi;
            GetObjectW(parts.hbmColor, sizeof bitmap, &bitmap);
            EXPECT_EQ(bitmap.bmWidth, side) << "DPI " << dpi << ", image " << id;
            DeleteObject(parts.hbmColor), DeleteObject(parts.hbmMask), DestroyIcon(icon);
        }
    FreeLibrary(module);
}
