#include "FakeDisk.h"

#include <algorithm>

namespace corv::fake {

std::wstring FoldCase(std::wstring s) {
    for (auto& c : s) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + 32);
        else if (c >= 0x0410 && c <= 0x042F)
            c = static_cast<wchar_t>(c + 32);
        else if (c >= 0x0400 && c <= 0x040F)
            c = static_cast<wchar_t>(c + 80);
    }
    return s;
}

namespace {

std::wstring Trim(const std::wstring& s) {
    const auto first = s.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return {};
    const auto last = s.find_last_not_of(L" \t");
    return s.substr(first, last - first + 1);
}

bool WildMatch(const wchar_t* p, const wchar_t* s) {
    for (; *p; ++p, ++s) {
        if (*p == L'*') {
            for (const wchar_t* t = s;; ++t) {
                if (WildMatch(p + 1, t))
                    return true;
                if (!*t)
                    return false;
            }
        }
        if (!*s || (*p != L'?' && *p != *s))
            return false;
    }
    return !*s;
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wstring cur;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
            lines.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(text[i]);
        }
    }
    if (!cur.empty())
        lines.push_back(cur);
    return lines;
}

std::wstring JoinLines(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const auto& l : lines)
        text += l + L"\r\n";
    return text;
}

bool IsSectionLine(const std::wstring& line, std::wstring* name) {
    const std::wstring t = Trim(line);
    if (t.size() < 2 || t.front() != L'[')
        return false;
    const auto close = t.find(L']');
    if (close == std::wstring::npos)
        return false;
    if (name)
        *name = Trim(t.substr(1, close - 1));
    return true;
}

bool SplitKey(const std::wstring& line, std::wstring* key, std::wstring* value) {
    const auto eq = line.find(L'=');
    if (eq == std::wstring::npos)
        return false;
    *key = Trim(line.substr(0, eq));
    *value = Trim(line.substr(eq + 1));
    return true;
}

} // namespace

void FakeDisk::Put(const std::wstring& path, const std::wstring& text) {
    auto& f = files_[FoldCase(path)];
    if (f.path.empty())
        f.path = path;
    f.text = text;
}

void FakeDisk::PutFolder(const std::wstring& path) {
    auto& f = files_[FoldCase(path)];
    f.path = path;
    f.directory = true;
}

FakeFile* FakeDisk::Find(const std::wstring& path) {
    auto it = files_.find(FoldCase(path));
    return it == files_.end() ? nullptr : &it->second;
}

std::optional<std::wstring> FakeDisk::Text(const std::wstring& path) const {
    auto it = files_.find(FoldCase(path));
    if (it == files_.end() || it->second.directory)
        return std::nullopt;
    return it->second.text;
}

bool FakeDisk::Remove(const std::wstring& path) {
    return files_.erase(FoldCase(path)) > 0;
}

bool FakeDisk::Exists(const std::wstring& path) const {
    return files_.count(FoldCase(path)) > 0;
}

std::vector<const FakeFile*> FakeDisk::Match(const std::wstring& pattern) const {
    std::vector<const FakeFile*> out;
    const std::wstring p = FoldCase(pattern);
    for (const auto& [key, file] : files_)
        if (WildMatch(p.c_str(), key.c_str()))
            out.push_back(&file);
    return out;
}

std::wstring FakePrivateProfile::GetString(const std::wstring& section, const std::wstring& key,
                                           const std::wstring& defaultValue, int size,
                                           const std::wstring& file) {
    ++reads;
    auto cut = [size](std::wstring v) {
        if (size <= 0)
            return std::wstring();
        if (v.size() > static_cast<std::size_t>(size - 1))
            v.resize(static_cast<std::size_t>(size - 1));
        return v;
    };
    const auto text = disk_.Text(file);
    if (failReads || !text)
        return cut(defaultValue);
    const std::wstring wantSection = FoldCase(section);
    const std::wstring wantKey = FoldCase(key);
    bool inSection = false;
    for (const auto& line : SplitLines(*text)) {
        std::wstring name;
        if (IsSectionLine(line, &name)) {
            inSection = FoldCase(name) == wantSection;
            continue;
        }
        std::wstring k, v;
        if (inSection && SplitKey(line, &k, &v) && FoldCase(k) == wantKey) {
            if (v.size() >= 2 && v.front() == L'"' && v.back() == L'"')
                v = v.substr(1, v.size() - 2);
            return cut(v);
        }
    }
    return cut(defaultValue);
}

std::vector<std::wstring> FakePrivateProfile::KeyNames(const std::wstring& section,
                                                       const std::wstring& file) {
    ++reads;
    const auto text = disk_.Text(file);
    std::vector<std::wstring> keys;
    if (failReads || !text)
        return keys;
    bool inSection = false;
    for (const auto& line : SplitLines(*text)) {
        std::wstring name, k, v;
        if (IsSectionLine(line, &name))
            inSection = FoldCase(name) == FoldCase(section);
        else if (inSection && SplitKey(line, &k, &v))
            keys.push_back(k);
    }
    return keys;
}

bool FakePrivateProfile::WriteString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& value, const std::wstring& file) {
    ++writes;
    writtenSections.push_back(section);
    if (failWrites || file.empty())
        return false;
    if (const FakeFile* f = disk_.Find(file); f && f->directory)
        return false;
    std::vector<std::wstring> lines = SplitLines(disk_.Text(file).value_or(L""));
    const std::wstring wantSection = FoldCase(section);
    const std::wstring wantKey = FoldCase(key);
    const std::wstring newLine = key + L"=" + value;
    std::size_t sectionLine = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::wstring name;
        if (IsSectionLine(lines[i], &name) && FoldCase(name) == wantSection) {
            sectionLine = i;
            break;
        }
    }
    if (sectionLine == lines.size()) {
        lines.push_back(L"[" + section + L"]");
        lines.push_back(newLine);
        disk_.Put(file, JoinLines(lines));
        return true;
    }
    std::size_t lastKey = sectionLine;
    for (std::size_t i = sectionLine + 1; i < lines.size(); ++i) {
        if (IsSectionLine(lines[i], nullptr))
            break;
        std::wstring k, v;
        if (SplitKey(lines[i], &k, &v)) {
            if (FoldCase(k) == wantKey) {
                lines[i] = newLine;
                disk_.Put(file, JoinLines(lines));
                return true;
            }
            lastKey = i;
        }
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastKey + 1), newLine);
    disk_.Put(file, JoinLines(lines));
    return true;
}

std::optional<std::wstring> FakeFileSystem::FindFirstOrdinaryFile(const std::wstring& pattern) {
    if (failSearches)
        return std::nullopt;
    for (const FakeFile* f : disk_.Match(pattern)) {
        if (f->hidden || f->system || f->directory)
            continue;
        const auto slash = f->path.find_last_of(L"\\/");
        return slash == std::wstring::npos ? f->path : f->path.substr(slash + 1);
    }
    return std::nullopt;
}

std::optional<std::wstring> FakeFileSystem::ReadText(const std::wstring& path) {
    ++textReads;
    return failReads ? std::nullopt : disk_.Text(path);
}

std::optional<FileStamp> FakeFileSystem::Stamp(const std::wstring& path) {
    const auto text = disk_.Text(path);
    if (!text)
        return std::nullopt;
    return FileStamp{text->size(), std::hash<std::wstring>{}(*text)};
}

bool FakeFileSystem::FolderExists(const std::wstring& path) {
    std::wstring folder = path;
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    // A folder holding a file exists too.
    const FakeFile* f = disk_.Find(folder);
    return (f && f->directory) || !disk_.Match(folder + L"\\*").empty();
}

bool FakeFileSystem::RemoveFile(const std::wstring& path) {
    if (failDeletes || !disk_.Exists(path))
        return false;
    if (const FakeFile* f = disk_.Find(path); f && f->directory)
        return false;
    deleted.push_back(path);
    return disk_.Remove(path);
}

} // namespace corv::fake
