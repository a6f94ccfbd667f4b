#pragma once
// The few file operations the program needs: a directory search for an ordinary file, deleting
// a file, whether a folder exists, the folder that holds the running program, and reading a
// text file whole.
#include <cstdint>
#include <optional>
#include <string>

namespace corv {

// What changes whenever a file is written.
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;
    bool operator==(const FileStamp&) const = default;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // Name of the first file matching the pattern (wildcards honoured) that is neither hidden,
    // nor a system file, nor a folder, nor a volume label; nothing when there is none.
    virtual std::optional<std::wstring> FindFirstOrdinaryFile(const std::wstring& pattern) = 0;
    // Deletes the file; false when it could not be deleted.
    virtual bool RemoveFile(const std::wstring& path) = 0;
    // True when the path names an existing folder (a trailing backslash is allowed).
    virtual bool FolderExists(const std::wstring& path) = 0;
    // The folder of the running executable, without a trailing backslash.
    virtual std::wstring ProgramFolder() = 0;
    // The whole text of a file as the private-profile functions decode it: UTF-16 after a
    // UTF-16 byte-order mark, else 8-bit text in the ANSI code page. Nothing when unreadable.
    virtual std::optional<std::wstring> ReadText(const std::wstring& path) = 0;
    // Nothing when the file cannot be found.
    virtual std::optional<FileStamp> Stamp(const std::wstring& path) = 0;
};

} // namespace corv
