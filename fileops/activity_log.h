#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"

// The report of one apply: whole lines, each ending in "\n" in memory.
class ActivityLog {
  public:
    void Append(std::string_view line) { m_strText.append(line); }
    void Clear() { m_strText.clear(); }
    const std::string& Text() const { return m_strText; }

  private:
    std::string m_strText;
};

void ClearActivityLog(ActivityLog& log);

// The bytes of log.txt for the log: every line break stored as CR LF.
std::string ActivityLogFileBytes(const ActivityLog& log);

// Replaces the file at logPath with the log (ActivityLogFileBytes); an empty
// log leaves a file of 0 bytes. False, with *reason, when it could not be
// written.
bool WriteActivityLog(platform::FileSystem& fs, const ActivityLog& log, const std::string& logPath,
                      std::string* reason);
