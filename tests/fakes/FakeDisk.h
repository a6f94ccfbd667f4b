#pragma once
// An in-memory disk shared by the private-profile and file-system fakes. Paths match without
// regard to case, as on Windows. INI files are kept as their text, with CRLF line ends, and
// parsed again on every call, as the system does.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"

namespace corv::fake {

struct FakeFile {
    std::wstring path; // as first written
    std::wstring text;
    bool hidden = false;
    bool system = false;
    bool directory = false;
};

class FakeDisk {
  public:
    void Put(const std::wstring& path, const std::wstring& text);
    void PutFolder(const std::wstring& path);
    FakeFile* Find(const std::wstring& path);
    std::optional<std::wstring> Text(const std::wstring& path) const;
    bool Remove(const std::wstring& path);
    bool Exists(const std::wstring& path) const;
    // Every file whose whole path matches the pattern ('*' and '?' in its last component).
    std::vector<const FakeFile*> Match(const std::wstring& pattern) const;
    std::size_t Count() const { return files_.size(); }

  private:
    std::map<std::wstring, FakeFile> files_; // keyed by the lower-cased path
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

    bool failReads = false;  // every read answers as for a missing key
    bool failWrites = false; // every write fails and changes nothing
    int reads = 0;
    int writes = 0;
    std::vector<std::wstring> writtenSections; // in call order

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

    bool failDeletes = false;
    bool failSearches = false;
    bool failReads = false;
    int textReads = 0;
    std::vector<std::wstring> deleted;

  private:
    FakeDisk& disk_;
    std::wstring programFolder_;
};

// Lower-cases ASCII and Cyrillic letters, as the system's case-insensitive compare does.
std::wstring FoldCase(std::wstring s);

} // namespace corv::fake
