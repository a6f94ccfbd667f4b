#pragma once
// Win32 implementations of the basic seams: code page, private-profile files, file system and
// the message pump.
#include "Handles.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/PrivateProfile.h"

namespace corv::win32 {

class AnsiCodePage : public CodePage {
  public:
    std::wstring FromAnsi(std::string_view bytes) const override;
    std::string ToAnsi(std::wstring_view text) const override;
};

class Win32PrivateProfile : public PrivateProfile {
  public:
    std::wstring GetString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& defaultValue, int size,
                           const std::wstring& file) override;
    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value, const std::wstring& file) override;
};

class Win32FileSystem : public FileSystem {
  public:
    std::optional<std::wstring> FindFirstOrdinaryFile(const std::wstring& pattern) override;
    bool RemoveFile(const std::wstring& path) override;
    bool FolderExists(const std::wstring& path) override;
    std::wstring ProgramFolder() override;
    std::optional<std::wstring> ReadText(const std::wstring& path) override;
    std::optional<FileStamp> Stamp(const std::wstring& path) override;
};

// Libraries load from the system folder only, never from the program's folder or the current
// folder, where anyone who can write there could plant one. Called first thing at start.
void RestrictLibrarySearch();
// Loads a system library from the system folder only; nothing when it cannot be loaded.
ModuleHandle LoadSystemLibrary(const wchar_t* name);

class Win32MessagePump : public MessagePump {
  public:
    void ProcessPendingMessages() override; // the messages already waiting, nothing more
};

} // namespace corv::win32
