#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "host/host_names.h"
#include "platform/file_system.h"

// A fresh folder below the system's temporary folder (or below base),
// removed with its content when the object dies.
class TempDir {
  public:
    explicit TempDir(const std::filesystem::path& base = std::filesystem::path());
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A folder held in memory where the host has one (/dev/shm), for tests that
// write many files; else empty (the system's temporary folder).
std::filesystem::path MemoryFolder();

// The system's files as the program reaches them (drive Z: only on posix).
platform::FileSystem& HostFiles();

// The host's names for paths, as the program names them to people.
host::HostNames& HostNaming();

// The Windows form of a host path, as the program's core takes it.
std::string WinPath(const std::filesystem::path& hostPath);

// A host path as the command line names it to a person.
std::string Shown(const std::filesystem::path& hostPath);

// Removes the folder and everything in it, read-only entries too.
void RemoveTree(const std::filesystem::path& folder);

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// The text's lines, split at each "\n" (a last line without one included).
std::vector<std::string> SplitLines(const std::string& text);

// Every file below a folder, by its path relative to the folder (with
// forward slashes), with its content.
using Listing = std::map<std::string, std::string>;
Listing ListTree(const std::filesystem::path& folder);
