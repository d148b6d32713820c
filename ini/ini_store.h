#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One section: its keys in the order they were added, one value per key.
struct IniSection {
    std::vector<std::string> values;
    std::vector<std::string> keys;
};

// A small INI document held wholly in memory: ordered sections of ordered
// key/value pairs, found by exact byte-for-byte name. It only ever grows.
//
// Text format: a line whose first character is "[" and last is "]" is a
// header; any other non-empty line is split at its first "=" into key and
// value. Nothing is trimmed, folded, quoted or escaped. Lines end in CR LF
// when written; on reading a CR before the LF is dropped.
class CIniStore {
  public:
    // An empty store bound to path; the file is not touched.
    explicit CIniStore(std::string path);
    virtual ~CIniStore();
    CIniStore(const CIniStore&) = default;
    CIniStore& operator=(const CIniStore&) = default;

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
    // Store the pair in the section at sectionIndex, or in a new section of
    // that name when sectionIndex is -1; returns the section's index.
    int Put(int sectionIndex, std::string_view section, std::string_view key,
            std::string_view value);
    void Parse(std::string_view text);

    std::string m_strPath;
    std::vector<IniSection> m_sections;
    std::vector<std::string> m_sectionNames;
    std::string m_strLastError;

    // Names are unique, so a map from name to position finds the same entry
    // as a scan from the start, without the scan. Keys of a section get a
    // map once the section grows beyond a few keys.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    using NameIndex = std::unordered_map<std::string, int, NameHash, std::equal_to<>>;

    int FindKey(int sectionIndex, std::string_view key) const;

    NameIndex sectionIndex_;
    std::vector<NameIndex> keyIndex_;
};
