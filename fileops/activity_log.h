#pragma once

#include <string>
#include <string_view>

// The report of one apply: whole lines, each ending in "\n" in memory.
class ActivityLog {
  public:
    void Append(std::string_view line) { text_.append(line); }
    void Clear() { text_.clear(); }
    const std::string& Text() const { return text_; }

  private:
    std::string text_;
};

// Empties the log at the start of an apply.
void ClearActivityLog(ActivityLog& log);

// Replaces the file at logPath with the log, every line break stored as
// CR LF; an empty log leaves a file of 0 bytes. Nothing is reported.
void WriteActivityLog(const ActivityLog& log, const std::string& logPath);
