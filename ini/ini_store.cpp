#include "ini/ini_store.h"

#include <algorithm>
#include <utility>

#include "fileops/file_exists.h"
#include "ini/text_number.h"
#include "platform/file_system.h"

namespace {

// Sections with more keys than this find them through a map.
constexpr size_t kLinearKeyLimit = 8;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A header is a line of at least two characters that starts with "[" and
// ends with "]"; its name is the line without every leading "[" and every
// trailing "]".
bool IsHeader(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

std::string_view HeaderName(std::string_view line) {
    line.remove_prefix(std::min(line.find_first_not_of('['), line.size()));
    size_t last = line.find_last_not_of(']');
    return line.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

}  // namespace

CIniStore::CIniStore(std::string path) : m_strPath(std::move(path)) {}

CIniStore::~CIniStore() = default;

bool CIniStore::Load() {
    if (FileExists(m_strPath) == 0) {
        return false;
    }
    std::string bytes;
    if (platform::ReadWholeFile(m_strPath, &bytes) == platform::ReadResult::kCannotOpen) {
        m_strLastError = "Unable to open ini file.";
        return false;
    }
    // A read that failed part-way still yields the lines read until then.
    Parse(bytes);
    return true;
}

void CIniStore::Parse(std::string_view text) {
    // Some editors start a file with a UTF-8 byte-order mark; without this
    // the first header would not start with "[" and be lost.
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::string_view sectionName;
    int section = -2;  // -2: not looked up yet since the last header
    while (!text.empty()) {
        // Lines are read whole, however long.
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            continue;
        }
        if (IsHeader(line)) {
            sectionName = HeaderName(line);
            section = -2;
            continue;
        }
        // A line that is neither a header nor holds "=" is not part of the
        // format and is skipped.
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        if (section == -2) {
            auto found = sectionIndex_.find(sectionName);
            section = found == sectionIndex_.end() ? -1 : found->second;
        }
        section = Put(section, sectionName, line.substr(0, equals), line.substr(equals + 1));
    }
}

int CIniStore::Put(int sectionIndex, std::string_view section, std::string_view key,
                   std::string_view value) {
    if (sectionIndex < 0) {
        sectionIndex = static_cast<int>(m_sections.size());
        m_sectionNames.emplace_back(section);
        m_sections.emplace_back();
        keyIndex_.emplace_back();
        sectionIndex_.emplace(m_sectionNames.back(), sectionIndex);
    }
    IniSection& target = m_sections[static_cast<size_t>(sectionIndex)];
    int k = FindKey(sectionIndex, key);
    if (k >= 0) {
        target.values[static_cast<size_t>(k)].assign(value);
        return sectionIndex;
    }
    target.keys.emplace_back(key);
    target.values.emplace_back(value);
    NameIndex& keys = keyIndex_[static_cast<size_t>(sectionIndex)];
    if (target.keys.size() > kLinearKeyLimit) {
        if (keys.empty()) {
            for (size_t i = 0; i < target.keys.size(); ++i) {
                keys.emplace(target.keys[i], static_cast<int>(i));
            }
        } else {
            keys.emplace(target.keys.back(), static_cast<int>(target.keys.size() - 1));
        }
    }
    return sectionIndex;
}

int CIniStore::FindKey(int sectionIndex, std::string_view key) const {
    if (sectionIndex < 0) {
        return -1;
    }
    const std::vector<std::string>& keys = m_sections[static_cast<size_t>(sectionIndex)].keys;
    if (keys.size() <= kLinearKeyLimit) {
        for (size_t i = 0; i < keys.size(); ++i) {
            if (keys[i] == key) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    const NameIndex& index = keyIndex_[static_cast<size_t>(sectionIndex)];
    auto found = index.find(key);
    return found == index.end() ? -1 : found->second;
}

std::string CIniStore::Serialize() const {
    std::string text;
    for (size_t s = 0; s < m_sections.size(); ++s) {
        text += '[';
        text += m_sectionNames[s];
        text += "]\r\n";
        const IniSection& section = m_sections[s];
        for (size_t k = 0; k < section.keys.size(); ++k) {
            text += section.keys[k];
            text += '=';
            text += section.values[k];
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

void CIniStore::Save() const {
    platform::ReplaceWholeFile(m_strPath, Serialize());
}

int CIniStore::SectionCount() const {
    return static_cast<int>(m_sections.size());
}

std::string CIniStore::SectionName(int index) const {
    if (index < 0 || index >= SectionCount()) {
        return std::string();
    }
    return m_sectionNames[static_cast<size_t>(index)];
}

int CIniStore::IndexOfSection(const std::string& section) const {
    auto found = sectionIndex_.find(section);
    return found == sectionIndex_.end() ? -1 : found->second;
}

int CIniStore::IndexOfKey(int sectionIndex, const std::string& key) const {
    return FindKey(sectionIndex, key);
}

std::string CIniStore::GetString(const std::string& section, const std::string& key) {
    int s = IndexOfSection(section);
    int k = IndexOfKey(s, key);
    if (s == -1) {
        m_strLastError = "Unable to locate specified key.";
        return std::string();
    }
    if (k == -1) {
        m_strLastError = "Unable to locate specified value.";
        return std::string();
    }
    return m_sections[static_cast<size_t>(s)].values[static_cast<size_t>(k)];
}

int CIniStore::GetInt(const std::string& section, const std::string& key, int defaultValue) {
    std::string value = GetString(section, key);
    return value.empty() ? defaultValue : TextToInt(value);
}

bool CIniStore::SetString(const std::string& section, const std::string& key,
                          const std::string& value, bool create) {
    int s = IndexOfSection(section);
    if (!create && (s == -1 || IndexOfKey(s, key) == -1)) {
        return false;
    }
    Put(s, section, key, value);
    return true;
}

bool CIniStore::SetInt(const std::string& section, const std::string& key, int value, bool create) {
    return SetString(section, key, std::to_string(value), create);
}
