#include "paths/path_spec.h"

#include <algorithm>

#include "paths/path_text.h"
#include "platform/path_names.h"

namespace {

// The sizes of the fixed buffers the parser's contract is stated in,
// terminator excluded.
constexpr size_t kMaxPath = 259;
constexpr size_t kMaxPart = 255;

}  // namespace

void CPathSpec::Parse(const std::string& path) {
    m_strExt.clear();
    m_bRelative = 0;
    std::string work = UnquotePath(path);
    if (work.empty()) {
        return;
    }
    PathParts parts = SplitPath(work, m_codePage);
    if (path.size() > kMaxPath || parts.dir.size() > kMaxPart || parts.name.size() > kMaxPart ||
        parts.ext.size() > kMaxPart) {
        m_strDrive.clear();
        m_strDir.clear();
        m_strName.clear();
        return;
    }
    m_strDrive = parts.drive;
    m_strDir = parts.dir;
    std::replace(m_strDir.begin(), m_strDir.end(), '/', '\\');
    if (!m_strDir.empty()) {
        m_bRelative = m_strDir[0] != '\\' ? 1 : 0;
    }
    m_strName = parts.name;
    if (HasName() && !parts.ext.empty()) {
        m_strExt = parts.ext.substr(1);
    }
}

std::string CPathSpec::Rebuild() const {
    std::string path = m_strDrive + m_strDir + m_strName;
    if (!m_strExt.empty()) {
        path += '.';
        path += m_strExt;
    }
    return path;
}

std::string CPathSpec::MakeAbsolute(const std::string& base) const {
    if (m_bRelative == 0 || base.empty()) {
        return std::string();
    }
    std::string canonical;
    if (!CanonicalizePath(platform::JoinedPath(base, Rebuild(), m_codePage), kMaxPath, &canonical,
                          m_codePage)) {
        return std::string();
    }
    return canonical;
}
