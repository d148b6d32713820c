#include "scenerycfg/rename_failures.h"

#include "platform/path_names.h"

std::string ShortenedMiddle(const std::string& text, size_t width) {
    if (text.size() <= width) {
        return text;
    }
    // The end of a path says the most (area, folder, file), so it keeps the
    // larger part.
    const size_t head = (width - 3) / 3;
    const size_t tail = width - 3 - head;
    return text.substr(0, head) + "..." + text.substr(text.size() - tail);
}

void RenameFailures::Add(const std::string& path, const std::string& reason) {
    if (!seen_.insert(platform::AsciiLower(path)).second || listed_.size() == kListed) {
        return;
    }
    platform::PathSplit split = platform::SplitAtLastName(path, codePage_);
    std::string line = split.name + ": " + reason;
    if (line.size() > kWidth - 4) {
        line = line.substr(0, kWidth - 7) + "...";
    }
    listed_.push_back({std::move(split.folder), "    " + line});
}

std::string RenameFailures::Message() const {
    std::string text = "TolvaneConfig could not rename these files; they keep their names:\n";
    const std::string* folder = nullptr;
    for (const Listed& entry : listed_) {
        if (folder == nullptr || *folder != entry.folder) {
            folder = &entry.folder;
            text += "\n" + ShortenedMiddle(entry.folder, kWidth);
        }
        text += "\n" + entry.line;
    }
    const size_t more = seen_.size() - listed_.size();
    if (more == 1) {
        text += "\n\n1 more file could not be renamed.";
    } else if (more > 1) {
        text += "\n\n" + std::to_string(more) + " more files could not be renamed.";
    }
    return text;
}
