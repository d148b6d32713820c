#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A small INI document held wholly in memory: ordered sections of ordered
// key/value pairs, found by exact byte-for-byte name. It only ever grows.
//
// Text format: a line whose first character is "[" and last is "]" is a
// header; any other non-empty line is split at its first "=" into key and
// value. Nothing is trimmed, folded, quoted or escaped. Lines end in CR LF
// when written; on reading a CR before the LF is dropped.
//
// Loading costs time in proportion to the file: the store keeps the file's
// bytes and refers to stretches of them, and finds sections (and the keys of
// large sections) through hash tables. Names are unique, so a lookup by
// table finds the same entry as a scan from the start would.
class CIniStore {
  public:
    // An empty store bound to path; the file is not touched.
    explicit CIniStore(std::string path);
    virtual ~CIniStore();
    CIniStore(const CIniStore&) = delete;
    CIniStore& operator=(const CIniStore&) = delete;
    CIniStore(CIniStore&&) = default;
    CIniStore& operator=(CIniStore&&) = default;

    // Adds the file's content to the store. False when there is no file or
    // folder at the path, or it cannot be read.
    bool Load();
    // Replaces the file with the store's content in one step; on failure the
    // old file stays whole. Reports nothing.
    void Save() const;

    int SectionCount() const;
    // The name at a 0-based index in store order; empty when out of range.
    std::string SectionName(int index) const;
    // The value, or empty text (with the last error set) when the section or
    // the key is missing.
    std::string GetString(const std::string& section, const std::string& key);
    // The value as atoi reads it, or defaultValue when there is no value text.
    int GetInt(const std::string& section, const std::string& key, int defaultValue);
    // Stores the value; with create, a missing section and key are added
    // first. False, changing nothing, when they are missing without create.
    bool SetString(const std::string& section, const std::string& key, const std::string& value,
                   bool create);
    bool SetInt(const std::string& section, const std::string& key, int value, bool create);

    // Index of the section of that name, or -1.
    int IndexOfSection(const std::string& section) const;
    // Index of the key within the section, or -1 (also for section -1).
    int IndexOfKey(int sectionIndex, const std::string& key) const;

    // The text of the most recent failure of Load or GetString.
    const std::string& LastError() const { return m_strLastError; }

    // The file's bytes for the store's content.
    std::string Serialize() const;

  private:
    // A stretch of the kept text: offsets stay valid while the text grows.
    struct Span {
        std::uint32_t offset;
        std::uint32_t length;
    };

    // One key/value pair; the pairs of a section are chained in order.
    struct Entry {
        Span key;
        Span value;
        std::int32_t next;
        std::int32_t position;  // within its section
    };

    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    using KeyIndex = std::unordered_map<std::string, int, NameHash, std::equal_to<>>;

    struct Section {
        Span name;
        std::int32_t first;
        std::int32_t last;
        std::int32_t count;
        std::int32_t keyIndex;  // into keyIndexes_ once the section is large, else -1
    };

    std::string_view View(Span span) const {
        return std::string_view(text_.data() + span.offset, span.length);
    }
    Span SpanOf(std::string_view piece) const;
    // Appends text that is not yet kept and returns where it lies.
    Span Keep(std::string_view text);

    void Parse(size_t begin);
    int FindSection(std::string_view name, size_t hash) const;
    int AddSection(Span name, size_t hash);
    void PlaceSection(int section, std::uint32_t tag);
    // Entry number of the key in the section, or -1.
    int FindEntry(int section, std::string_view key) const;
    void Put(int section, Span key, Span value);

    std::string m_strPath;
    std::string m_strLastError;
    std::string text_;  // every file loaded and every value stored, in one piece
    std::vector<Section> sections_;
    std::vector<Entry> entries_;
    // Open addressing over the sections, with part of each name's hash kept
    // in its slot so that most mismatches are settled without the name.
    struct Slot {
        std::int32_t section;  // section number + 1, or 0 for a free slot
        std::uint32_t hash;
    };
    std::vector<Slot> sectionSlots_;
    std::vector<std::unique_ptr<KeyIndex>> keyIndexes_;
};
