#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/code_page.h"

// The files that a conflict pass could not rename, and the message that
// reports them. Each file counts once however often the library names its
// area. The message stays small enough for a 1024 x 768 screen: it lists
// the first kListed files, each under its folder (a folder shared by
// several is named once), no line longer than kWidth characters, then says
// how many more failed.
class RenameFailures {
  public:
    static constexpr size_t kListed = 10;
    static constexpr size_t kWidth = 60;

    // Paths in the code page given, which tells where each is split.
    explicit RenameFailures(const platform::CodePage& codePage) : codePage_(codePage) {}

    // Notes a file that kept its name, with the system's reason.
    void Add(const std::string& path, const std::string& reason);
    bool Empty() const { return seen_.empty(); }
    std::string Message() const;

  private:
    struct Listed {
        std::string folder;  // with its trailing backslash
        std::string line;    // the file's name and the reason
    };

    platform::CodePage codePage_;
    std::set<std::string> seen_;  // paths in ASCII lower case, as Windows compares them
    std::vector<Listed> listed_;
};

// text cut to width characters, its middle replaced by "...".
std::string ShortenedMiddle(const std::string& text, size_t width);
