#pragma once

#include <string>
#include <string_view>

// The report of one apply: whole lines, each ending in "\n" in memory.
class ActivityLog {
  public:
    void Append(std::string_view line) { m_strText.append(line); }
    void Clear() { m_strText.clear(); }
    const std::string& Text() const { return m_strText; }

  private:
    std::string m_strText;
};

// Empties the log at the start of an apply.
void ClearActivityLog(ActivityLog& log);

// Replaces the file at logPath with the log, every line break stored as
// CR LF; an empty log leaves a file of 0 bytes. Nothing is reported.
void WriteActivityLog(const ActivityLog& log, const std::string& logPath);
