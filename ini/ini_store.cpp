#include "ini/ini_store.h"

#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "ini/text_number.h"

namespace {

// Sections with more keys than this find them through an index.
constexpr int kLinearKeyLimit = 8;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

const char* const kCannotOpen = "Unable to open ini file.";
const char* const kNoMemory = "Not enough memory to read ini file.";

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

size_t HashOf(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

// Stretches are counted in 32 bits.
std::uint32_t Length32(size_t length) {
    if (length > std::numeric_limits<std::uint32_t>::max()) {
        throw std::bad_alloc();
    }
    return static_cast<std::uint32_t>(length);
}

}  // namespace

CIniStore::CIniStore(platform::FileSystem& fs, std::string path)
    : m_pFileSystem(&fs), m_strPath(std::move(path)) {}

CIniStore::~CIniStore() = default;

bool CIniStore::Load(std::string* reason) {
    if (!m_pFileSystem->Exists(m_strPath)) {
        return false;
    }
    const bool wasEmpty = m_sections.empty();
    try {
        ReadState state;
        bool outOfMemory = false;
        std::string why;
        platform::ReadResult result = platform::ReadInPieces(
            *m_pFileSystem, m_strPath,
            [&](std::string_view piece) {
                try {
                    ReadPiece(state, piece);
                    return true;
                } catch (const std::bad_alloc&) {
                    outOfMemory = true;
                    return false;
                }
            },
            &why);
        if (result == platform::ReadResult::kCannotOpen) {
            m_strLastError = kCannotOpen;
            if (reason != nullptr) {
                *reason = why;
            }
            return false;
        }
        if (outOfMemory) {
            throw std::bad_alloc();
        }
        // The last line needs no line break; a read that failed part-way
        // still yields the lines read until then.
        if (!state.partLine.empty()) {
            ReadLine(state, state.partLine);
        }
        return true;
    } catch (const std::bad_alloc&) {
        if (wasEmpty) {
            Clear();
        }
        m_strLastError = kNoMemory;
        if (reason != nullptr) {
            *reason = kNoMemory;
        }
        return false;
    }
}

void CIniStore::ReadPiece(ReadState& state, std::string_view piece) {
    while (!piece.empty()) {
        size_t end = piece.find('\n');
        if (end == std::string_view::npos) {
            state.partLine.append(piece);
            return;
        }
        std::string_view line = piece.substr(0, end);
        piece.remove_prefix(end + 1);
        if (!state.partLine.empty()) {
            state.partLine.append(line);
            line = state.partLine;
        }
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ReadLine(state, line);
        state.partLine.clear();
    }
}

void CIniStore::ReadLine(ReadState& state, std::string_view line) {
    if (state.firstLine) {
        state.firstLine = false;
        // Some editors start a file with a UTF-8 byte-order mark; without
        // this the first header would not start with "[" and be lost.
        if (line.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
            line.remove_prefix(kByteOrderMark.size());
        }
    }
    if (line.empty()) {
        return;
    }
    if (IsHeader(line)) {
        state.header.assign(HeaderName(line));
        state.section = -1;
        return;
    }
    // A line that is neither a header nor holds "=" is outside the format
    // and is skipped.
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    // A section comes into being with its first key line.
    if (state.section == -1) {
        const size_t hash = HashOf(state.header);
        state.section = FindSection(state.header, hash);
        if (state.section == -1) {
            state.section = AddSection(state.header, hash);
        } else {
            ++m_sections[static_cast<size_t>(state.section)].headers;
        }
    }
    Put(state.section, line.substr(0, equals), line.substr(equals + 1), line);
}

void CIniStore::Clear() {
    m_sections.clear();
    m_entries.clear();
    m_text.Clear();
    m_sectionIndex = NameIndex();
    m_keyIndexes.clear();
}

int CIniStore::FindSection(std::string_view name, size_t hash) const {
    return m_sectionIndex.Find(
        name, hash, [this](int number) { return NameOf(m_sections[static_cast<size_t>(number)]); });
}

int CIniStore::AddSection(std::string_view name, size_t hash) {
    const int number = static_cast<int>(m_sections.size());
    const std::uint32_t length = Length32(name.size());
    const std::uint32_t offset = m_text.Keep(name);
    m_sections.push_back(Section{offset, length, -1, -1, 0, -1, 1});
    try {
        m_sectionIndex.Add(number, hash);
    } catch (...) {
        m_sections.pop_back();
        throw;
    }
    return number;
}

int CIniStore::FindEntry(int section, std::string_view key) const {
    if (section < 0) {
        return -1;
    }
    const Section& s = m_sections[static_cast<size_t>(section)];
    if (s.keyIndex != -1) {
        return m_keyIndexes[static_cast<size_t>(s.keyIndex)].Find(
            key, HashOf(key),
            [this](int entry) { return KeyOf(m_entries[static_cast<size_t>(entry)]); });
    }
    for (int e = s.first; e != -1; e = m_entries[static_cast<size_t>(e)].next) {
        const Entry& entry = m_entries[static_cast<size_t>(e)];
        // The length settles most mismatches without reading the key.
        if (entry.keyLength == key.size() && KeyOf(entry) == key) {
            return e;
        }
    }
    return -1;
}

void CIniStore::Put(int section, std::string_view key, std::string_view value,
                    std::string_view line) {
    const std::uint32_t valueLength = Length32(value.size());
    const int found = FindEntry(section, key);
    if (found != -1) {
        // The key keeps its place; a value that fits is written over the
        // old one, a longer one gets a new line beside a copy of the key.
        Entry& entry = m_entries[static_cast<size_t>(found)];
        if (valueLength > entry.valueLength) {
            std::uint32_t offset = m_text.Allocate(size_t{entry.keyLength} + 1 + valueLength);
            std::memcpy(m_text.At(offset), m_text.At(entry.offset), entry.keyLength + 1);
            entry.offset = offset;
        }
        if (valueLength != 0) {
            std::memcpy(m_text.At(entry.offset) + entry.keyLength + 1, value.data(), valueLength);
        }
        entry.valueLength = valueLength;
        return;
    }
    const std::uint32_t keyLength = Length32(key.size());
    const std::uint32_t offset = m_text.Allocate(size_t{keyLength} + 1 + valueLength);
    char* kept = m_text.At(offset);
    if (!line.empty()) {
        std::memcpy(kept, line.data(), line.size());
    } else {
        // Empty views may carry no address at all: copy only what there is.
        if (keyLength != 0) {
            std::memcpy(kept, key.data(), keyLength);
        }
        kept[keyLength] = '=';
        if (valueLength != 0) {
            std::memcpy(kept + keyLength + 1, value.data(), valueLength);
        }
    }
    Section& s = m_sections[static_cast<size_t>(section)];
    const int number = static_cast<int>(m_entries.size());
    m_entries.push_back(Entry{offset, keyLength, valueLength, -1});
    if (s.keyIndex != -1) {
        try {
            m_keyIndexes[static_cast<size_t>(s.keyIndex)].Add(number, HashOf(key));
        } catch (...) {
            m_entries.pop_back();
            throw;
        }
    }
    if (s.last != -1) {
        m_entries[static_cast<size_t>(s.last)].next = number;
    } else {
        s.first = number;
    }
    s.last = number;
    ++s.count;
    if (s.keyIndex == -1 && s.count > kLinearKeyLimit) {
        IndexKeys(s);
    }
}

void CIniStore::IndexKeys(Section& section) {
    NameIndex keys;
    for (int e = section.first; e != -1; e = m_entries[static_cast<size_t>(e)].next) {
        keys.Add(e, HashOf(KeyOf(m_entries[static_cast<size_t>(e)])));
    }
    m_keyIndexes.push_back(std::move(keys));
    section.keyIndex = static_cast<std::int32_t>(m_keyIndexes.size() - 1);
}

std::string CIniStore::Serialize() const {
    std::string text;
    for (size_t i = 0; i < m_sections.size(); ++i) {
        const Section& section = m_sections[i];
        text += '[';
        text += NameOf(section);
        text += "]\r\n";
        for (int e = section.first; e != -1; e = m_entries[static_cast<size_t>(e)].next) {
            const Entry& entry = m_entries[static_cast<size_t>(e)];
            text += KeyOf(entry);
            text += '=';
            text += ValueOf(entry);
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

bool CIniStore::Save(std::string* reason) const {
    std::string why;
    try {
        if (m_pFileSystem->Write(m_strPath, Serialize(), platform::WriteMode::kReplace, &why)) {
            return true;
        }
    } catch (const std::bad_alloc&) {
        why = "Not enough memory to write ini file.";  // the old file stays as it was
    }
    if (reason != nullptr) {
        *reason = why;
    }
    return false;
}

int CIniStore::SectionCount() const {
    return static_cast<int>(m_sections.size());
}

int CIniStore::HeaderCount(int index) const {
    return index < 0 || index >= SectionCount() ? 0
                                                : m_sections[static_cast<size_t>(index)].headers;
}

std::string CIniStore::SectionName(int index) const {
    if (index < 0 || index >= SectionCount()) {
        return std::string();
    }
    return std::string(NameOf(m_sections[static_cast<size_t>(index)]));
}

int CIniStore::IndexOfSection(const std::string& section) const {
    return FindSection(section, HashOf(section));
}

int CIniStore::IndexOfKey(int sectionIndex, const std::string& key) const {
    const int found = FindEntry(sectionIndex, key);
    if (found == -1) {
        return -1;
    }
    int position = 0;
    for (int e = m_sections[static_cast<size_t>(sectionIndex)].first; e != found;
         e = m_entries[static_cast<size_t>(e)].next) {
        ++position;
    }
    return position;
}

std::vector<std::string> CIniStore::KeyNames(int sectionIndex) const {
    std::vector<std::string> keys;
    if (sectionIndex < 0 || sectionIndex >= SectionCount()) {
        return keys;
    }
    for (int e = m_sections[static_cast<size_t>(sectionIndex)].first; e != -1;
         e = m_entries[static_cast<size_t>(e)].next) {
        keys.emplace_back(KeyOf(m_entries[static_cast<size_t>(e)]));
    }
    return keys;
}

std::string CIniStore::GetString(const std::string& section, const std::string& key) {
    const int s = IndexOfSection(section);
    const int e = FindEntry(s, key);
    if (s == -1) {
        m_strLastError = "Unable to locate specified key.";
        return std::string();
    }
    if (e == -1) {
        m_strLastError = "Unable to locate specified value.";
        return std::string();
    }
    return std::string(ValueOf(m_entries[static_cast<size_t>(e)]));
}

int CIniStore::GetInt(const std::string& section, const std::string& key, int defaultValue) {
    const std::string value = GetString(section, key);
    return value.empty() ? defaultValue : TextToInt(value);
}

bool CIniStore::SetString(const std::string& section, const std::string& key,
                          const std::string& value, bool create) {
    int s = IndexOfSection(section);
    if (!create && FindEntry(s, key) == -1) {
        return false;
    }
    if (s == -1) {
        s = AddSection(section, HashOf(section));
    }
    Put(s, key, value);
    return true;
}

bool CIniStore::SetInt(const std::string& section, const std::string& key, int value, bool create) {
    return SetString(section, key, std::to_string(value), create);
}
