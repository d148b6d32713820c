#pragma once

#include <string>

#include "platform/code_page.h"

// Splits one path into drive, directory, name and extension, tells whether
// it is relative, and makes a relative path absolute against a base folder.
//
// Limits: a path longer than 259 characters, or one whose directory, name
// or extension (with its dot) is longer than 255, is refused: every part
// stays empty and the path is not relative. A result longer than 259
// characters is refused as well.
class CPathSpec {
  public:
    // Paths in the code page given (Windows-1252 when none is).
    explicit CPathSpec(const platform::CodePage& codePage = platform::CodePage())
        : m_codePage(codePage) {}
    virtual ~CPathSpec() = default;

    // Fills the parts from path (enclosing double quotes removed first).
    void Parse(const std::string& path);
    // True when the directory part is not empty and does not begin with a
    // backslash; the drive plays no part.
    bool IsRelative() const { return m_bRelative != 0; }
    bool HasName() const { return !m_strName.empty(); }
    // Drive, directory, name and dotted extension joined again.
    std::string Rebuild() const;
    // base, one separator, then this path, canonicalised; empty text when the
    // path is not relative, base is empty or the result is refused.
    std::string MakeAbsolute(const std::string& base) const;

    const std::string& Drive() const { return m_strDrive; }
    const std::string& Dir() const { return m_strDir; }
    const std::string& Name() const { return m_strName; }
    const std::string& Ext() const { return m_strExt; }

  private:
    std::string m_strDrive;
    std::string m_strDir;
    std::string m_strName;
    std::string m_strExt;
    int m_bRelative = 0;
    platform::CodePage m_codePage;
};
