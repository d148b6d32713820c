#include "fileops/activity_log.h"

#include <exception>

#include "platform/files.h"

void ClearActivityLog(ActivityLog& log) {
    log.Clear();
}

void WriteActivityLog(const ActivityLog& log, const std::string& logPath) {
    try {
        std::string bytes;
        bytes.reserve(log.Text().size() + log.Text().size() / 32);
        for (char c : log.Text()) {
            if (c == '\n') {
                bytes += '\r';
            }
            bytes += c;
        }
        platform::WriteWholeFile(logPath, bytes);
    } catch (const std::exception&) {
        // Out of memory: log.txt is left as it was.
    }
}
