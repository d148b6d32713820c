#include "platform/whole_file.h"

#include "platform/file_system.h"

namespace platform {

bool WriteIntoOpenFile(OpenFileWriter& file, std::string_view bytes, std::string* reason) {
    std::uint64_t old = 0;
    if (!file.Size(&old, reason)) {
        return false;
    }
    const std::string tail = "\r\n" + std::string(bytes);
    std::string head(bytes);
    if (old >= tail.size()) {
        if (!file.WriteAt(old - tail.size(), tail, reason) || !file.Flush(reason)) {
            return false;
        }
    } else if (old > head.size()) {
        head.append(static_cast<size_t>(old - head.size()), '\n');
    }
    return file.WriteAt(0, head, reason) && file.SetLength(bytes.size(), reason) &&
           file.Flush(reason);
}

bool ReplaceThroughSibling(NewSibling& sibling, const std::string& path, std::string* reason,
                           const std::function<bool()>& inPlace) {
    constexpr int kAttempts = 8;
    std::string name;
    bool created = false;
    bool taken = true;
    for (int attempt = 0; attempt < kAttempts && !created && taken; ++attempt) {
        name = TemporarySiblingOf(path, attempt);
        taken = false;
        created = sibling.Create(name, &taken, reason);
    }
    if (!created && taken) {
        Refuse(Failure::kExists, reason);
    }
    if (created && !sibling.Fill(reason)) {
        sibling.Discard(name);
        return false;
    }
    if (created && sibling.MoveOver(name, path, reason)) {
        return true;
    }
    if (created) {
        sibling.Discard(name);
    }
    return inPlace ? inPlace() : false;
}

}  // namespace platform
