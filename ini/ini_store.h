#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ini/chunked_vector.h"
#include "ini/name_index.h"
#include "ini/text_arena.h"
#include "platform/file_system.h"

// A small INI document held wholly in memory: ordered sections of ordered
// key/value pairs, found by exact byte-for-byte name. It only ever grows.
//
// Text format: a line whose first character is "[" and last is "]" is a
// header; any other non-empty line is split at its first "=" into key and
// value. Nothing is trimmed, folded, quoted or escaped. Lines end in CR LF
// when written; on reading a CR before the LF is dropped.
//
// The file is read in pieces and only what the store keeps is kept: the
// names of sections that have keys, and each key with its value. Memory
// therefore stays within the file's size plus the tables that find them,
// and no C++ exception leaves Load or Save. Names are unique, so a lookup by
// table finds the same entry as a scan from the start would.
class CIniStore {
  public:
    // An empty store bound to path on the file system; the file is not
    // touched.
    CIniStore(platform::FileSystem& fs, std::string path);
    virtual ~CIniStore();
    CIniStore(const CIniStore&) = delete;
    CIniStore& operator=(const CIniStore&) = delete;
    CIniStore(CIniStore&&) = default;
    CIniStore& operator=(CIniStore&&) = default;

    // Adds the file's content to the store. False when there is no file or
    // folder at the path, when it cannot be read (with the system's reason
    // in *reason when given), or when memory runs out (a store that was
    // empty is then left empty).
    bool Load(std::string* reason = nullptr);
    // Replaces the file with the store's content (FileSystem::ReplaceWhole).
    // False, with the reason in *reason when given, when the file does not
    // hold it afterwards.
    bool Save(std::string* reason = nullptr) const;

    int SectionCount() const;
    // The name at a 0-based index in store order; empty when out of range.
    std::string SectionName(int index) const;
    // How many headers of the file gave the section at a 0-based index its
    // keys: more than 1 when its header stands there more than once (the
    // keys below each are read into the one section); 0 when out of range.
    int HeaderCount(int index) const;
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
    // The keys of the section at a 0-based index, in order; none when out
    // of range.
    std::vector<std::string> KeyNames(int sectionIndex) const;

    // The text of the most recent failure of Load or GetString.
    const std::string& LastError() const { return m_strLastError; }

    // The file's bytes for the store's content.
    std::string Serialize() const;

  private:
    // One key line, kept whole in the arena: the key, "=", the value. The
    // pairs of a section are chained in order.
    struct Entry {
        std::uint32_t offset;
        std::uint32_t keyLength;
        std::uint32_t valueLength;
        std::int32_t next;
    };

    struct Section {
        std::uint32_t nameOffset;
        std::uint32_t nameLength;
        std::int32_t first;
        std::int32_t last;
        std::int32_t count;
        std::int32_t keyIndex;  // into m_keyIndexes once the section is large, else -1
        std::int32_t headers;   // file headers that gave it keys
    };

    // Where reading a file has got to.
    struct ReadState {
        std::string partLine;  // a line that the last piece ended inside
        std::string header;    // the name of the last header
        int section = -1;      // the last header's section, once it has a key
        bool firstLine = true;
    };

    std::string_view NameOf(const Section& section) const {
        return m_text.View(section.nameOffset, section.nameLength);
    }
    std::string_view KeyOf(const Entry& entry) const {
        return m_text.View(entry.offset, entry.keyLength);
    }
    std::string_view ValueOf(const Entry& entry) const {
        return std::string_view(m_text.At(entry.offset) + entry.keyLength + 1, entry.valueLength);
    }

    void ReadPiece(ReadState& state, std::string_view piece);
    void ReadLine(ReadState& state, std::string_view line);
    void Clear();

    int FindSection(std::string_view name, size_t hash) const;
    int AddSection(std::string_view name, size_t hash);
    // Entry number of the key in the section, or -1.
    int FindEntry(int section, std::string_view key) const;
    // Sets the key's value in the section, adding the key when it is new.
    // line is the whole key line when there is one, else empty.
    void Put(int section, std::string_view key, std::string_view value,
             std::string_view line = std::string_view());
    void IndexKeys(Section& section);

    platform::FileSystem* m_pFileSystem;
    std::string m_strPath;
    std::string m_strLastError;
    TextArena m_text;
    ChunkedVector<Section> m_sections;
    ChunkedVector<Entry> m_entries;
    NameIndex m_sectionIndex;
    std::vector<NameIndex> m_keyIndexes;
};
