#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include "host/system_files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir(const fs::path& base) {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = (base.empty() ? fs::temp_directory_path() : base) /
                ("tolvane-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        if (fs::create_directory(path_)) {
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    RemoveTree(path_);
}

void RemoveTree(const fs::path& folder) {
    std::error_code ec;
    // Read-only entries left by a test must not keep the folder alive.
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(folder, ec);
}

fs::path MemoryFolder() {
    std::error_code ec;
    return fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::path();
}

platform::FileSystem& HostFiles() {
    static const std::unique_ptr<platform::FileSystem> files = host::SystemFileSystem();
    return *files;
}

host::HostNames& HostNaming() {
    static const std::unique_ptr<host::HostNames> names = host::SystemHostNames();
    return *names;
}

std::string WinPath(const fs::path& hostPath) {
    std::string windowsPath;
    EXPECT_TRUE(HostNaming().WindowsPathOf(hostPath.string(), &windowsPath)) << hostPath;
    return windowsPath;
}

std::string Shown(const fs::path& hostPath) {
    return HostNaming().ShownPath(WinPath(hostPath));
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Listing ListTree(const fs::path& folder) {
    Listing listing;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            listing[fs::relative(entry.path(), folder).generic_string()] = ReadBytes(entry.path());
        }
    }
    return listing;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
