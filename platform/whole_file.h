#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// How every system gives a file new content, above each system's calls.
namespace platform {

// A file opened for writing. Each call is false, with *reason, when the
// system refuses.
class OpenFileWriter {
  public:
    virtual ~OpenFileWriter() = default;
    virtual bool Size(std::uint64_t* size, std::string* reason) = 0;
    virtual bool WriteAt(std::uint64_t at, std::string_view bytes, std::string* reason) = 0;
    virtual bool SetLength(std::uint64_t length, std::string* reason) = 0;
    virtual bool Flush(std::string* reason) = 0;
};

// Gives the open file the bytes in its own place, so that a run stopped at
// any moment leaves it reading as the old content or the new, whatever
// their sizes. A reader of the program's files takes a key's last value
// and passes over empty lines: where the old content is longer, a copy of
// the new goes first at its end, after a line end, and wins from then on;
// then the new content goes to the start and the length is set.
bool WriteIntoOpenFile(OpenFileWriter& file, std::string_view bytes, std::string* reason);

// A new temporary sibling of a file, as each system makes it.
class NewSibling {
  public:
    virtual ~NewSibling() = default;
    // Creates a file at name that nothing else may take meanwhile, holding
    // the writers' lock; false with *taken when something stands there,
    // else with *reason.
    virtual bool Create(const std::string& name, bool* taken, std::string* reason) = 0;
    // Writes the new content into it, flushed to disk, and closes it.
    virtual bool Fill(std::string* reason) = 0;
    // Moves it over the file, replacing it.
    virtual bool MoveOver(const std::string& name, const std::string& path,
                          std::string* reason) = 0;
    virtual void Discard(const std::string& name) = 0;
};

// Replaces the file through the first of this process's temporary siblings
// (TemporarySiblingOf) that is free, so that a crash leaves the old file or
// the new one; whatever stands at a name already (a leftover, a folder, a
// link) is left alone. False, with *reason, when the disk refused the
// content (the old file stays whole). Where no sibling could be made or
// moved (no right to create files in the folder, a name too long, the file
// held open elsewhere), inPlace writes the file instead, when given.
bool ReplaceThroughSibling(NewSibling& sibling, const std::string& path, std::string* reason,
                           const std::function<bool()>& inPlace);

}  // namespace platform
