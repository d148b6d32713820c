#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// A fresh folder below the system's temporary folder, removed with its
// content when the object dies.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// The Windows form of a host path, as the program's core takes it.
std::string WinPath(const std::filesystem::path& hostPath);

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// The text's lines, split at each "\n" (a last line without one included).
std::vector<std::string> SplitLines(const std::string& text);

// Every file below a folder, by its path relative to the folder (with
// forward slashes), with its content.
using Listing = std::map<std::string, std::string>;
Listing ListTree(const std::filesystem::path& folder);
