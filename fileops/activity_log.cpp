#include "fileops/activity_log.h"

#include "platform/file_system.h"

void ClearActivityLog(ActivityLog& log) {
    log.Clear();
}

void WriteActivityLog(const ActivityLog& log, const std::string& logPath) {
    std::string bytes;
    bytes.reserve(log.Text().size() + log.Text().size() / 32);
    for (char c : log.Text()) {
        if (c == '\n') {
            bytes += '\r';
        }
        bytes += c;
    }
    platform::WriteWholeFile(logPath, bytes);
}
