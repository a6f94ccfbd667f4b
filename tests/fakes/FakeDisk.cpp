#include "FakeDisk.h"

#include <algorithm>
#include <sstream>

namespace corv::fake {
namespace {

constexpr auto npos = std::wstring::npos;

std::wstring Trim(const std::wstring& s) {
    const auto first = s.find_first_not_of(L" \t");
    return first == npos ? L"" : s.substr(first, s.find_last_not_of(L" \t") + 1 - first);
}

bool WildMatch(const wchar_t* p, const wchar_t* s) {
    if (*p == L'*')
        return WildMatch(p + 1, s) || (*s && WildMatch(p, s + 1));
    return *p ? *s && (*p == L'?' || *p == *s) && WildMatch(p + 1, s + 1) : !*s;
}

// An INI text's lines; the key lines of the first section of the name, the key's line, and
// where a new key of the section goes (npos: no such section).
struct Ini {
    std::vector<std::wstring> lines;
    std::vector<std::size_t> keys;
    std::size_t key = npos, end = npos;

    Ini(const std::wstring& text, const std::wstring& name, const std::wstring& keyName) {
        std::wistringstream in(text);
        bool inside = false;
        for (std::wstring line; std::getline(in, line);) {
            if (line.ends_with(L'\r'))
                line.pop_back();
            lines.push_back(line);
            const std::wstring t = Trim(line);
            if (t.starts_with(L'[') && t.find(L']') != npos) {
                inside =
                    end == npos && FoldCase(Trim(t.substr(1, t.find(L']') - 1))) == FoldCase(name);
                if (inside)
                    end = lines.size();
            } else if (inside && line.find(L'=') != npos) {
                keys.push_back(lines.size() - 1);
                end = lines.size();
                if (key == npos && FoldCase(Part(line, 0)) == FoldCase(keyName))
                    key = keys.back();
            }
        }
    }
    // Part 0 of a key line is its name, part 1 its value.
    static std::wstring Part(const std::wstring& line, int part) {
        const auto eq = line.find(L'=');
        const std::wstring t = Trim(part == 0 ? line.substr(0, eq) : line.substr(eq + 1));
        return part == 1 && t.size() >= 2 && t.front() == L'"' && t.back() == L'"'
                   ? t.substr(1, t.size() - 2)
                   : t;
    }
};

} // namespace

std::wstring FoldCase(std::wstring s) {
    for (auto& c : s)
        c += (c >= L'A' && c <= L'Z') || (c >= 0x0410 && c <= 0x042F) ? 32
             : c >= 0x0400 && c <= 0x040F                             ? 80
                                                                      : 0;
    return s;
}

void FakeDisk::Put(const std::wstring& path, const std::wstring& text) {
    File& f = files[FoldCase(path)];
    f = {f.path.empty() ? path : f.path, text, false};
}

std::optional<std::wstring> FakeDisk::Text(const std::wstring& path) const {
    const auto it = files.find(FoldCase(path));
    return it == files.end() || it->second.folder ? std::nullopt : std::optional(it->second.text);
}

std::wstring FakePrivateProfile::GetString(const std::wstring& section, const std::wstring& key,
                                           const std::wstring& defaultValue, int size,
                                           const std::wstring& file) {
    const Ini ini(disk.Text(file).value_or(L""), section, key);
    const std::wstring v = ini.key == npos ? defaultValue : Ini::Part(ini.lines[ini.key], 1);
    return v.substr(0, static_cast<std::size_t>(std::max(size - 1, 0)));
}

std::vector<std::wstring> FakePrivateProfile::KeyNames(const std::wstring& section,
                                                       const std::wstring& file) {
    const Ini ini(disk.Text(file).value_or(L""), section, L"");
    std::vector<std::wstring> names;
    for (std::size_t i : ini.keys)
        names.push_back(Ini::Part(ini.lines[i], 0));
    return names;
}

bool FakePrivateProfile::WriteString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& value, const std::wstring& file) {
    ++writes;
    const auto text = disk.Text(file);
    if (writeFails.contains(section) || file.empty() || (!text && disk.files.count(FoldCase(file))))
        return false;
    Ini ini(text.value_or(L""), section, key);
    if (ini.key != npos)
        ini.lines[ini.key] = Ini::Part(ini.lines[ini.key], 0) + L"=" + value;
    else if (ini.end != npos)
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

std::optional<std::wstring> FakeFileSystem::FindFirstOrdinaryFile(const std::wstring& pattern) {
    for (const auto& [folded, file] : disk.files)
        if (!file.folder && WildMatch(FoldCase(pattern).c_str(), folded.c_str()))
            return file.path.substr(file.path.find_last_of(L"\\/") + 1);
    return std::nullopt;
}

bool FakeFileSystem::FolderExists(const std::wstring& path) {
    const std::wstring folder = FoldCase(path.substr(0, path.find_last_not_of(L"\\/") + 1));
    for (const auto& [folded, file] : disk.files)
        if (folded == folder ? file.folder : folded.starts_with(folder + L"\\"))
            return true;
    return false;
}

bool FakeFileSystem::RemoveFile(const std::wstring& path) {
    if (failDeletes || !disk.Text(path))
        return false;
    deleted.push_back(path);
    return disk.Remove(path);
}

} // namespace corv::fake
