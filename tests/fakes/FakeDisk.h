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

class FakeDisk {
  public:
    void Put(const std::wstring& path, const std::wstring& text);
    void PutFolder(const std::wstring& path) { files_[FoldCase(path)] = {path, L"", true}; }
    std::optional<std::wstring> Text(const std::wstring& path) const;
    bool Remove(const std::wstring& path) { return files_.erase(FoldCase(path)) > 0; }
    std::size_t Count() const { return files_.size(); }

  private:
    friend class FakePrivateProfile;
    friend class FakeFileSystem;
    struct File {
        std::wstring path, text; // the path as first written
        bool folder;
    };
    std::map<std::wstring, File> files_; // by folded path
};

class FakePrivateProfile : public PrivateProfile {
  public:
    explicit FakePrivateProfile(FakeDisk& disk) : disk_(disk) {}
    std::wstring GetString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& defaultValue, int size,
                           const std::wstring& file) override;
    std::vector<std::wstring> KeyNames(const std::wstring& section,
                                       const std::wstring& file) override;
    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value, const std::wstring& file) override;

    std::set<std::wstring> readFails, writeFails; // sections whose reads or writes fail
    int reads = 0, writes = 0;

  private:
    FakeDisk& disk_;
};

class FakeFileSystem : public FileSystem {
  public:
    explicit FakeFileSystem(FakeDisk& disk, std::wstring programFolder = L"C:\\Prog")
        : disk_(disk), programFolder_(std::move(programFolder)) {}
    std::optional<std::wstring> FindFirstOrdinaryFile(const std::wstring& pattern) override;
    bool RemoveFile(const std::wstring& path) override;
    bool FolderExists(const std::wstring& path) override;
    std::wstring ProgramFolder() override { return programFolder_; }
    std::optional<std::wstring> ReadText(const std::wstring& path) override;
    std::optional<FileStamp> Stamp(const std::wstring& path) override;

    bool failDeletes = false, failSearches = false, failReads = false;
    int textReads = 0;
    std::vector<std::wstring> deleted;

  private:
    FakeDisk& disk_;
    std::wstring programFolder_;
};

} // namespace corv::fake
