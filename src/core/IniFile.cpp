#include "core/IniFile.h"

#include "core/AppPaths.h"
#include "core/AtomicFile.h"
#include "core/TextEncoding.h"

#include <charconv>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>

namespace harvexa {

namespace {

// One lock and one parsed copy per file path, shared by every IniFile on that path.
struct SharedFile {
    std::mutex mutex;
    bool cached = false;
    struct timespec mtime {};
    off_t size = -1;
    ino_t inode = 0;
    std::vector<std::string> lines;
    bool crlf = false;
};

SharedFile& SharedFor(const std::string& path) {
    static std::mutex registryMutex;
    static std::map<std::string, std::unique_ptr<SharedFile>> registry;
    std::lock_guard lock(registryMutex);
    auto& slot = registry[path];
    if (!slot)
        slot = std::make_unique<SharedFile>();
    return *slot;
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

// Returns the section name when the line is a section header.
std::optional<std::string> SectionOf(const std::string& line) {
    const std::string trimmed = Trim(line);
    if (trimmed.size() < 2 || trimmed.front() != '[')
        return std::nullopt;
    const auto close = trimmed.find(']');
    if (close == std::string::npos)
        return std::nullopt;
    return Trim(std::string_view(trimmed).substr(1, close - 1));
}

bool IsComment(const std::string& line) {
    const auto first = line.find_first_not_of(" \t");
    return first != std::string::npos && (line[first] == ';' || line[first] == '#');
}

// Splits a key=value line; nothing for comments and lines without "=".
std::optional<std::pair<std::string, std::string>> EntryOf(const std::string& line) {
    if (IsComment(line))
        return std::nullopt;
    const auto equals = line.find('=');
    if (equals == std::string::npos)
        return std::nullopt;
    std::string key = Trim(std::string_view(line).substr(0, equals));
    if (key.empty())
        return std::nullopt;
    return std::make_pair(std::move(key), Trim(std::string_view(line).substr(equals + 1)));
}

// Loads the lines under the shared lock; reuses the parsed copy while the file is unchanged.
void Refresh(SharedFile& shared, const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        shared.cached = true;
        shared.size = -1;
        shared.lines.clear();
        return;
    }
    if (shared.cached && shared.size == info.st_size && shared.inode == info.st_ino &&
        shared.mtime.tv_sec == info.st_mtim.tv_sec && shared.mtime.tv_nsec == info.st_mtim.tv_nsec)
        return;
    std::string raw;
    shared.lines.clear();
    if (ReadWholeFile(path, raw)) {
        const std::string text = FileTextToUtf8(raw);
        shared.crlf = text.find("\r\n") != std::string::npos;
        std::size_t start = 0;
        while (start < text.size()) {
            auto end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            shared.lines.push_back(std::move(line));
            start = end + 1;
        }
    }
    shared.cached = true;
    shared.size = info.st_size;
    shared.inode = info.st_ino;
    shared.mtime = info.st_mtim;
}

bool Save(SharedFile& shared, const std::string& path) {
    std::string text;
    const char* newline = shared.crlf ? "\r\n" : "\n";
    for (const auto& line : shared.lines) {
        text += line;
        text += newline;
    }
    shared.cached = false;
    return WriteFileAtomically(path, text);
}

// Index range [begin, end) of a section's body, or nothing when absent.
std::optional<std::pair<std::size_t, std::size_t>> FindSection(const std::vector<std::string>& lines,
                                                               const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionOf(lines[i]);
        if (!name || !EqualsIgnoreCase(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !SectionOf(lines[end]))
            ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<std::string>& lines, std::pair<std::size_t, std::size_t> body,
                                   const std::string& key) {
    for (std::size_t i = body.first; i < body.second; ++i) {
        const auto entry = EntryOf(lines[i]);
        if (entry && EqualsIgnoreCase(entry->first, key))
            return i;
    }
    return std::nullopt;
}

} // namespace

IniFile::IniFile(std::string path) : m_path(std::move(path)) {}

std::optional<std::string> IniFile::Find(const std::string& section, const std::string& key) const {
    SharedFile& shared = SharedFor(m_path);
    std::lock_guard lock(shared.mutex);
    Refresh(shared, m_path);
    const auto body = FindSection(shared.lines, section);
    if (!body)
        return std::nullopt;
    const auto index = FindKey(shared.lines, *body, key);
    if (!index)
        return std::nullopt;
    return EntryOf(shared.lines[*index])->second;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    return Find(section, key).value_or(defaultValue);
}

long long IniFile::ReadInteger(const std::string& section, const std::string& key, long long defaultValue) const {
    const auto text = Find(section, key);
    if (!text || text->empty())
        return defaultValue;
    long long value = 0;
    const char* first = text->data();
    const char* last = first + text->size();
    if (*first == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return defaultValue;
    return value;
}

std::vector<std::string> IniFile::ReadSections() const {
    SharedFile& shared = SharedFor(m_path);
    std::lock_guard lock(shared.mutex);
    Refresh(shared, m_path);
    std::vector<std::string> sections;
    for (const auto& line : shared.lines)
        if (auto name = SectionOf(line))
            sections.push_back(std::move(*name));
    return sections;
}

std::vector<std::pair<std::string, std::string>> IniFile::ReadSection(const std::string& section) const {
    SharedFile& shared = SharedFor(m_path);
    std::lock_guard lock(shared.mutex);
    Refresh(shared, m_path);
    std::vector<std::pair<std::string, std::string>> entries;
    if (const auto body = FindSection(shared.lines, section))
        for (std::size_t i = body->first; i < body->second; ++i)
            if (auto entry = EntryOf(shared.lines[i]))
                entries.push_back(std::move(*entry));
    return entries;
}

bool IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    if (section.empty() || key.empty() || key.find_first_of("=\r\n") != std::string::npos ||
        value.find_first_of("\r\n") != std::string::npos)
        return false;
    SharedFile& shared = SharedFor(m_path);
    std::lock_guard lock(shared.mutex);
    Refresh(shared, m_path);
    auto& lines = shared.lines;
    const std::string entry = key + "=" + value;
    if (const auto body = FindSection(lines, section)) {
        if (const auto index = FindKey(lines, *body, key)) {
            lines[*index] = EntryOf(lines[*index])->first + "=" + value; // keeps the key's spelling
        } else {
            // Append after the section's last non-blank line so blank separators stay in place.
            std::size_t insertAt = body->second;
            while (insertAt > body->first && Trim(lines[insertAt - 1]).empty())
                --insertAt;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
        }
    } else {
        if (!lines.empty() && !Trim(lines.back()).empty())
            lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    }
    return Save(shared, m_path);
}

bool IniFile::DeleteKey(const std::string& section, const std::string& key) {
    SharedFile& shared = SharedFor(m_path);
    std::lock_guard lock(shared.mutex);
    Refresh(shared, m_path);
    const auto body = FindSection(shared.lines, section);
    if (!body)
        return true;
    const auto index = FindKey(shared.lines, *body, key);
    if (!index)
        return true;
    shared.lines.erase(shared.lines.begin() + static_cast<std::ptrdiff_t>(*index));
    return Save(shared, m_path);
}

} // namespace harvexa
