#pragma once
// The few file operations the program needs: a directory search for an ordinary file, deleting
// a file, whether a folder exists, and the folder that holds the running program.
#include <optional>
#include <string>

namespace corv {

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
};

} // namespace corv
