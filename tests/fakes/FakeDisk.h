#pragma once
// An in-memory disk behind the private-profile and file-system fakes; paths and INI names match
// without regard to case. INI files are text with CRLF line ends, parsed on every call as the
// system does: values trimmed and unquoted, cut to size - 1, new sections last, keys replaced.
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"

namespace corv::fake {

// Lower-cases ASCII and Cyrillic letters, as the system's case-insensitive compare does.
inline std::wstring FoldCase(std::wstring s) {
    for (auto& c : s)
        c += (c >= L'A' && c <= L'Z') || (c >= 0x0410 && c <= 0x042F) ? 32
             : c >= 0x0400 && c <= 0x040F                             ? 80
                                                                      : 0;
    return s;
}

struct FakeDisk {
    struct File {
        std::wstring path, text; // the path as first written
        bool folder = false;
    };
    std::map<std::wstring, File> files; // by folded path

    void Put(const std::wstring& path, const std::wstring& text) {
        File& f = files[FoldCase(path)];
        f = {f.path.empty() ? path : f.path, text, false};
    }
    void PutFolder(const std::wstring& path) { files[FoldCase(path)] = {path, L"", true}; }
    std::optional<std::wstring> Text(const std::wstring& path) const {
        const auto it = files.find(FoldCase(path));
        return it == files.end() || it->second.folder ? std::nullopt
                                                      : std::optional(it->second.text);
    }
    bool Remove(const std::wstring& path) { return files.erase(FoldCase(path)) > 0; }
    std::size_t Count() const { return files.size(); }
};

// An INI text's lines; in the first section of the name its key lines, the key, and the end.
struct IniLines {
    static constexpr auto npos = std::wstring::npos;
    std::vector<std::wstring> lines;
    std::vector<std::size_t> keys;
    std::size_t key = npos, end = npos;

    IniLines(const std::wstring& text, const std::wstring& name, const std::wstring& keyName) {
        std::wistringstream in(text);
        bool inside = false;
        for (std::wstring raw; std::getline(in, raw);) {
            const std::wstring& line =
                lines.emplace_back(raw.ends_with(L'\r') ? raw.substr(0, raw.size() - 1) : raw);
            const std::wstring t = Trim(line);
            if (t.starts_with(L'[') && t.find(L']') != npos) {
                inside =
                    end == npos && FoldCase(Trim(t.substr(1, t.find(L']') - 1))) == FoldCase(name);
                end = inside ? lines.size() : end;
            } else if (inside && line.find(L'=') != npos) {
                keys.push_back(lines.size() - 1);
                end = lines.size();
                if (key == npos && FoldCase(Part(line, 0)) == FoldCase(keyName))
                    key = keys.back();
            }
        }
    }
    static std::wstring Trim(const std::wstring& s) {
        const auto first = s.find_first_not_of(L" \t");
        return first == npos ? L"" : s.substr(first, s.find_last_not_of(L" \t") + 1 - first);
    }
    // Part 0 of a key line is its name, part 1 its value.
    static std::wstring Part(const std::wstring& line, int part) {
        const auto eq = line.find(L'=');
        const std::wstring t = Trim(part == 0 ? line.substr(0, eq) : line.substr(eq + 1));
        const bool quoted = part == 1 && t.size() >= 2 && t.front() == L'"' && t.back() == L'"';
        return quoted ? t.substr(1, t.size() - 2) : t;
    }
};

struct FakePrivateProfile : PrivateProfile {
    explicit FakePrivateProfile(FakeDisk& d) : disk(d) {}
    std::wstring GetString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& defaultValue, int size,
                           const std::wstring& file) override {
        ++reads;
        const IniLines ini(disk.Text(file).value_or(L""), section, key);
        const std::wstring v = ini.key == ini.npos ? defaultValue : ini.Part(ini.lines[ini.key], 1);
        return v.substr(0, static_cast<std::size_t>(std::max(size - 1, 0)));
    }
    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value, const std::wstring& file) override {
        ++writes;
        const auto text = disk.Text(file);
        if (writeFails.contains(section) || file.empty() ||
            (!text && disk.files.count(FoldCase(file))))
            return false;
        IniLines ini(text.value_or(L""), section, key);
        if (ini.key != ini.npos)
            ini.lines[ini.key] = ini.Part(ini.lines[ini.key], 0) + L"=" + value;
        else if (ini.end != ini.npos)
            ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(ini.end),
                             key + L"=" + value);
        else
            ini.lines.insert(ini.lines.end(), {L"[" + section + L"]", key + L"=" + value});
        std::wstring out;
        for (const auto& line : ini.lines)
            out += line + L"\r\n";
        disk.Put(file, out);
        return true;
    }
    FakeDisk& disk;
    std::set<std::wstring> writeFails; // sections whose writes fail
    int reads = 0, writes = 0;
};

struct FakeFileSystem : FileSystem {
    explicit FakeFileSystem(FakeDisk& d, std::wstring program = L"C:\\Prog")
        : disk(d), programFolder(std::move(program)) {}
    std::optional<std::wstring> FindFirstOrdinaryFile(const std::wstring& pattern) override {
        for (const auto& [folded, file] : disk.files)
            if (!failSearches && !file.folder && Match(FoldCase(pattern).c_str(), folded.c_str()))
                return file.path.substr(file.path.find_last_of(L"\\/") + 1);
        return std::nullopt;
    }
    bool RemoveFile(const std::wstring& path) override {
        if (failDeletes || !disk.Text(path))
            return false;
        deleted.push_back(path);
        return disk.Remove(path);
    }
    bool FolderExists(const std::wstring& path) override {
        const std::wstring folder = FoldCase(path.substr(0, path.find_last_not_of(L"\\/") + 1));
        for (const auto& [folded, file] : disk.files)
            if (folded == folder ? file.folder : folded.starts_with(folder + L"\\"))
                return true;
        return false;
    }
    std::wstring ProgramFolder() override { return programFolder; }
    std::optional<std::wstring> ReadText(const std::wstring& path) override {
        ++textReads;
        return failReads ? std::nullopt : disk.Text(path);
    }
    std::optional<FileStamp> Stamp(const std::wstring& path) override {
        const auto text = disk.Text(path);
        return text ? std::optional(FileStamp{text->size(), std::hash<std::wstring>{}(*text)})
                    : std::nullopt;
    }
    static bool Match(const wchar_t* p, const wchar_t* s) { // '*' and '?' wildcards
        if (*p == L'*')
            return Match(p + 1, s) || (*s && Match(p, s + 1));
        return *p ? *s && (*p == L'?' || *p == *s) && Match(p + 1, s + 1) : !*s;
    }
    FakeDisk& disk;
    std::wstring programFolder;
    bool failDeletes = false, failSearches = false, failReads = false;
    int textReads = 0;
    std::vector<std::wstring> deleted;
};

} // namespace corv::fake
