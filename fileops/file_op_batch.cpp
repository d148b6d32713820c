#include "fileops/file_op_batch.h"

#include <cstring>
#include <utility>

using platform::kFoCopy;
using platform::kFoDelete;
using platform::kFoMove;
using platform::kFoRename;

CFileOpBatch::CFileOpBatch(ShellOperation shell) : m_shell(std::move(shell)) {
    Reset();
}

void CFileOpBatch::Reset() {
    m_sourceFiles.clear();
    m_destFiles.clear();
    m_bReady = 0;
    m_bStarted = 0;
    m_strProgressTitle.clear();
    m_fileOp = platform::ShellFileOpRequest{};
}

void CFileOpBatch::SetOperation(unsigned operation, platform::WindowHandle owner,
                                std::uint16_t flags) {
    m_fileOp.wFunc = operation;
    m_fileOp.hwnd = owner;
    m_fileOp.fFlags = flags;
    m_bReady = 1;
}

int CFileOpBatch::AddSourceFile(const std::string& path) {
    m_sourceFiles.push_back(path);
    return 1;
}

int CFileOpBatch::AddDestFile(const std::string& path) {
    m_destFiles.push_back(path);
    return 1;
}

// The checks in the order the shell request needs them: ready, a known
// operation, sources, and unless deleting one destination or one per source.
bool CFileOpBatch::Acceptable() const {
    unsigned op = m_fileOp.wFunc;
    if (m_bReady == 0 || (op != kFoMove && op != kFoCopy && op != kFoDelete && op != kFoRename)) {
        return false;
    }
    if (m_sourceFiles.empty()) {
        return false;
    }
    if (op == kFoDelete) {
        return true;
    }
    return m_destFiles.size() == 1 ||
           (!m_destFiles.empty() && m_destFiles.size() == m_sourceFiles.size());
}

int CFileOpBatch::Run(int* started, int* shellResult, int* aborted) {
    m_bStarted = 0;
    if (started != nullptr) {
        *started = 0;
    }
    if (!Acceptable()) {
        return 0;
    }
    bool deleting = m_fileOp.wFunc == kFoDelete;
    std::vector<char> from(static_cast<size_t>(GetBufferSize(m_sourceFiles)));
    std::vector<char> to(deleting ? 0 : static_cast<size_t>(GetBufferSize(m_destFiles)));
    FillBuffer(from.data(), m_sourceFiles);
    if (!deleting) {
        FillBuffer(to.data(), m_destFiles);
    }
    m_fileOp.pFrom = from.data();
    m_fileOp.pTo = deleting ? nullptr : to.data();
    m_fileOp.lpszProgressTitle = m_strProgressTitle.c_str();
    if (m_destFiles.size() > 1) {
        m_fileOp.fFlags |= platform::kFofMultiDestFiles;
    }
    m_bStarted = 1;
    if (started != nullptr) {
        *started = 1;
    }
    int result = m_shell(m_fileOp);
    if (shellResult != nullptr) {
        *shellResult = result;
    }
    if (aborted != nullptr) {
        *aborted = m_fileOp.fAnyOperationsAborted;
    }
    // The buffers die with this call; leave no dangling pointers behind.
    m_fileOp.pFrom = nullptr;
    m_fileOp.pTo = nullptr;
    m_fileOp.lpszProgressTitle = nullptr;
    return result == 0 ? 1 : 0;
}

int CFileOpBatch::GetBufferSize(const PathList& list) {
    size_t total = 0;
    for (const std::string& path : list) {
        total += path.size() + 1;
    }
    return static_cast<int>(total + 1);
}

void CFileOpBatch::FillBuffer(char* buffer, const PathList& list) {
    for (const std::string& path : list) {
        std::memcpy(buffer, path.data(), path.size());
        buffer += path.size();
        *buffer++ = '\0';
    }
    *buffer = '\0';
}
