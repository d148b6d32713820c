#include "ini/ini_store.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "fileops/file_exists.h"
#include "ini/text_number.h"
#include "platform/file_system.h"

namespace {

// Sections with more keys than this find them through a hash table.
constexpr int kLinearKeyLimit = 8;

// The kept text must stay below 4 GiB.
constexpr size_t kMaxText = 0xFFFFFFF0u;

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

size_t HashOf(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

}  // namespace

CIniStore::CIniStore(std::string path) : m_strPath(std::move(path)) {}

CIniStore::~CIniStore() = default;

bool CIniStore::Load() {
    if (FileExists(m_strPath) == 0) {
        return false;
    }
    std::string bytes;
    // Stretches of the kept text are counted in 32 bits.
    if (platform::ReadWholeFile(m_strPath, &bytes) == platform::ReadResult::kCannotOpen ||
        bytes.size() >= kMaxText - text_.size()) {
        m_strLastError = "Unable to open ini file.";
        return false;
    }
    // A read that failed part-way still yields the lines read until then.
    size_t begin = text_.size();
    if (text_.empty()) {
        text_ = std::move(bytes);
    } else {
        text_ += bytes;
    }
    Parse(begin);
    return true;
}

CIniStore::Span CIniStore::SpanOf(std::string_view piece) const {
    return Span{static_cast<std::uint32_t>(piece.data() - text_.data()),
                static_cast<std::uint32_t>(piece.size())};
}

CIniStore::Span CIniStore::Keep(std::string_view text) {
    Span span{static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(text.size())};
    text_ += text;
    return span;
}

void CIniStore::Parse(size_t begin) {
    std::string_view text = std::string_view(text_).substr(begin);
    // Some editors start a file with a UTF-8 byte-order mark; without this
    // the first header would not start with "[" and be lost.
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    // Room for the entries of a file of typical line length, so that the
    // table rarely grows; reserved memory that stays unused costs nothing.
    entries_.reserve(entries_.size() + text.size() / 12 + 16);
    Span sectionName{0, 0};
    int section = -2;  // -2: not looked up since the last header
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
            sectionName = SpanOf(HeaderName(line));
            section = -2;
            continue;
        }
        // A line that is neither a header nor holds "=" is outside the
        // format and is skipped.
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        // A section comes into being with its first key line.
        if (section < 0) {
            size_t hash = HashOf(View(sectionName));
            section = FindSection(View(sectionName), hash);
            if (section == -1) {
                section = AddSection(sectionName, hash);
            }
        }
        Put(section, SpanOf(line.substr(0, equals)), SpanOf(line.substr(equals + 1)));
    }
}

int CIniStore::FindSection(std::string_view name, size_t hash) const {
    if (sectionSlots_.empty()) {
        return -1;
    }
    const auto tag = static_cast<std::uint32_t>(hash);
    size_t mask = sectionSlots_.size() - 1;
    for (size_t slot = tag & mask; sectionSlots_[slot].section != 0; slot = (slot + 1) & mask) {
        const Slot& candidate = sectionSlots_[slot];
        if (candidate.hash == tag &&
            View(sections_[static_cast<size_t>(candidate.section - 1)].name) == name) {
            return candidate.section - 1;
        }
    }
    return -1;
}

void CIniStore::PlaceSection(int section, std::uint32_t tag) {
    size_t mask = sectionSlots_.size() - 1;
    size_t slot = tag & mask;
    while (sectionSlots_[slot].section != 0) {
        slot = (slot + 1) & mask;
    }
    sectionSlots_[slot] = Slot{section + 1, tag};
}

int CIniStore::AddSection(Span name, size_t hash) {
    int index = static_cast<int>(sections_.size());
    sections_.push_back(Section{name, -1, -1, 0, -1});
    if (sections_.size() * 2 > sectionSlots_.size()) {
        std::vector<Slot> old(std::max<size_t>(64, sectionSlots_.size() * 2), Slot{0, 0});
        old.swap(sectionSlots_);
        for (const Slot& slot : old) {
            if (slot.section != 0) {
                PlaceSection(slot.section - 1, slot.hash);
            }
        }
    }
    PlaceSection(index, static_cast<std::uint32_t>(hash));
    return index;
}

int CIniStore::FindEntry(int section, std::string_view key) const {
    if (section < 0) {
        return -1;
    }
    const Section& s = sections_[static_cast<size_t>(section)];
    if (s.keyIndex != -1) {
        const KeyIndex& keys = *keyIndexes_[static_cast<size_t>(s.keyIndex)];
        auto found = keys.find(key);
        return found == keys.end() ? -1 : found->second;
    }
    for (int e = s.first; e != -1; e = entries_[static_cast<size_t>(e)].next) {
        Span k = entries_[static_cast<size_t>(e)].key;
        // First and last byte settle most mismatches without a compare call.
        if (k.length == key.size() &&
            (key.empty() || (text_[k.offset] == key.front() &&
                             text_[k.offset + k.length - 1] == key.back() && View(k) == key))) {
            return e;
        }
    }
    return -1;
}

void CIniStore::Put(int section, Span key, Span value) {
    int found = FindEntry(section, View(key));
    if (found != -1) {
        entries_[static_cast<size_t>(found)].value = value;  // keeps its place
        return;
    }
    Section& s = sections_[static_cast<size_t>(section)];
    int entry = static_cast<int>(entries_.size());
    entries_.push_back(Entry{key, value, -1, s.count});
    if (s.last != -1) {
        entries_[static_cast<size_t>(s.last)].next = entry;
    } else {
        s.first = entry;
    }
    s.last = entry;
    ++s.count;
    if (s.keyIndex != -1) {
        keyIndexes_[static_cast<size_t>(s.keyIndex)]->emplace(View(key), entry);
    } else if (s.count > kLinearKeyLimit) {
        s.keyIndex = static_cast<std::int32_t>(keyIndexes_.size());
        KeyIndex& keys = *keyIndexes_.emplace_back(std::make_unique<KeyIndex>());
        for (int e = s.first; e != -1; e = entries_[static_cast<size_t>(e)].next) {
            keys.emplace(View(entries_[static_cast<size_t>(e)].key), e);
        }
    }
}

std::string CIniStore::Serialize() const {
    std::string text;
    for (const Section& section : sections_) {
        text += '[';
        text += View(section.name);
        text += "]\r\n";
        for (int e = section.first; e != -1; e = entries_[static_cast<size_t>(e)].next) {
            text += View(entries_[static_cast<size_t>(e)].key);
            text += '=';
            text += View(entries_[static_cast<size_t>(e)].value);
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
    return static_cast<int>(sections_.size());
}

std::string CIniStore::SectionName(int index) const {
    if (index < 0 || index >= SectionCount()) {
        return std::string();
    }
    return std::string(View(sections_[static_cast<size_t>(index)].name));
}

int CIniStore::IndexOfSection(const std::string& section) const {
    return FindSection(section, HashOf(section));
}

int CIniStore::IndexOfKey(int sectionIndex, const std::string& key) const {
    int entry = FindEntry(sectionIndex, key);
    return entry == -1 ? -1 : entries_[static_cast<size_t>(entry)].position;
}

std::string CIniStore::GetString(const std::string& section, const std::string& key) {
    int s = IndexOfSection(section);
    int e = FindEntry(s, key);
    if (s == -1) {
        m_strLastError = "Unable to locate specified key.";
        return std::string();
    }
    if (e == -1) {
        m_strLastError = "Unable to locate specified value.";
        return std::string();
    }
    return std::string(View(entries_[static_cast<size_t>(e)].value));
}

int CIniStore::GetInt(const std::string& section, const std::string& key, int defaultValue) {
    std::string value = GetString(section, key);
    return value.empty() ? defaultValue : TextToInt(value);
}

bool CIniStore::SetString(const std::string& section, const std::string& key,
                          const std::string& value, bool create) {
    int s = IndexOfSection(section);
    int e = FindEntry(s, key);
    if (!create && e == -1) {
        return false;
    }
    if (s == -1) {
        s = AddSection(Keep(section), HashOf(section));
    }
    Span keySpan = e == -1 ? Keep(key) : entries_[static_cast<size_t>(e)].key;
    Put(s, keySpan, Keep(value));
    return true;
}

bool CIniStore::SetInt(const std::string& section, const std::string& key, int value, bool create) {
    return SetString(section, key, std::to_string(value), create);
}
