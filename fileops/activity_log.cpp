#include "fileops/activity_log.h"

#include <exception>

void ClearActivityLog(ActivityLog& log) {
    log.Clear();
}

std::string ActivityLogFileBytes(const ActivityLog& log) {
    std::string bytes;
    bytes.reserve(log.Text().size() + log.Text().size() / 32);
    for (char c : log.Text()) {
        if (c == '\n') {
            bytes += '\r';
        }
        bytes += c;
    }
    return bytes;
}

bool WriteActivityLog(platform::FileSystem& fs, const ActivityLog& log, const std::string& logPath,
                      std::string* reason) {
    try {
        return fs.Write(logPath, ActivityLogFileBytes(log), platform::WriteMode::kInPlace, reason);
    } catch (const std::exception&) {
        *reason = "Not enough memory to write the log.";  // log.txt is left as it was
        return false;
    }
}
