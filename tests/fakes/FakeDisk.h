#pragma once
// An in-memory disk behind the private-profile and file-system fakes. Paths and INI names match
// without regard to case; INI files are kept as text with CRLF line ends and parsed on every
// call, as the system does: values trimmed and unquoted, cut to size - 1, a new section at the
// end, a key replaced in place.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"

namespace corv::fake {

// Lower-cases ASCII and Cyrillic letters, as the system's case-insensitive compare does.
std::wstring FoldCase(std::wstring s);

struct FakeDisk {
    struct File {
        std::wstring path, text; // the path as first written
        bool folder = false;
    };
    std::map<std::wstring, File> files; // by folded path

    void Put(const std::wstring& path, const std::wstring& text);
    void PutFolder(const std::wstring& path) { files[FoldCase(path)] = {path, L"", true}; }
    std::optional<std::wstring> Text(const std::wstring& path) const;
    bool Remove(const std::wstring& path) { return files.erase(FoldCase(path)) > 0; }
    std::size_t Count() const { return files.size(); }
};

struct FakePrivateProfile : PrivateProfile {
    explicit FakePrivateProfile(FakeDisk& d) : disk(d) {}
    std::wstring GetString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& defaultValue, int size,
                           const std::wstring& file) override;
    std::vector<std::wstring> KeyNames(const std::wstring& section,
                                       const std::wstring& file) override;
    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value, const std::wstring& file) override;
    FakeDisk& disk;
    std::set<std::wstring> writeFails; // sections whose writes fail
    int writes = 0;
};

struct FakeFileSystem : FileSystem {
    explicit FakeFileSystem(FakeDisk& d, std::wstring program = L"C:\\Prog")
        : disk(d), programFolder(std::move(program)) {}
    std::optional<std::wstring> FindFirstOrdinaryFile(const std::wstring& pattern) override;
    bool RemoveFile(const std::wstring& path) override;
    bool FolderExists(const std::wstring& path) override;
    std::wstring ProgramFolder() override { return programFolder; }
    FakeDisk& disk;
    std::wstring programFolder;
    bool failDeletes = false;
    std::vector<std::wstring> deleted;
};

} // namespace corv::fake
