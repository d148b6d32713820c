#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/shell.h"

// One request for the shell's file operation: lists of source and
// destination paths, the operation, its owner window and flags.
class CFileOpBatch {
  public:
    using PathList = std::vector<std::string>;
    using ShellOperation = std::function<int(platform::ShellFileOpRequest&)>;

    // shell carries the request out: a file system's ShellOperation, or in
    // tests a recorder of the exact request.
    explicit CFileOpBatch(ShellOperation shell);

    // Empties both lists, clears both flags, the title and the request.
    void Reset();
    // Sets the operation, owner (may be null) and flags; makes the batch ready.
    void SetOperation(unsigned operation, platform::WindowHandle owner, std::uint16_t flags);
    int AddSourceFile(const std::string& path);
    int AddDestFile(const std::string& path);
    // Validates and hands the request to the shell. 1 when the shell was
    // called and reported success, else 0. Each out-value may be null; on an
    // early refusal only *started is written.
    int Run(int* started = nullptr, int* shellResult = nullptr, int* aborted = nullptr);

    // Bytes of the double-NUL path buffer for a list.
    static int GetBufferSize(const PathList& list);
    // Writes each path and its NUL, then one more NUL.
    static void FillBuffer(char* buffer, const PathList& list);

    int m_bReady = 0;
    int m_bStarted = 0;
    PathList m_sourceFiles;
    PathList m_destFiles;
    platform::ShellFileOpRequest m_fileOp{};
    std::string m_strProgressTitle;

  private:
    bool Acceptable() const;

    ShellOperation m_shell;
};
