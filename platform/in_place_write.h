#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// A file opened for writing, as the in-place write needs it. Each call is
// false when the system refuses; its error is then the system's last one.
class OpenFileWriter {
  public:
    virtual ~OpenFileWriter() = default;
    virtual bool Size(std::uint64_t* size) = 0;
    virtual bool WriteAt(std::uint64_t at, std::string_view bytes) = 0;
    virtual bool SetLength(std::uint64_t length) = 0;
    virtual bool Flush() = 0;
};

// Gives the open file the bytes in its own place, so that a run stopped at
// any moment leaves it reading as the old content or the new, whatever
// their sizes. A reader of the program's files takes a key's last value
// and passes over empty lines: where the old content is longer, a copy of
// the new goes first at its end, after a line end, and wins from then on;
// then the new content goes to the start and the length is set.
bool WriteIntoOpenFile(OpenFileWriter& file, std::string_view bytes);

}  // namespace platform
