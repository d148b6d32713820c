#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace preview {

// A file system that refuses what Windows refuses (file_rules.h), in the
// system's words, before another one acts: the posix stand-ins act through
// one, and so does every preview, so that a preview refuses what its real
// run refuses.
class RuledFileSystem : public platform::FileSystem {
  public:
    explicit RuledFileSystem(platform::FileSystem& acting)
        : FileSystem(acting.AnsiCodePage()), acting_(acting) {}

    platform::Entry Stat(const std::string& path) override { return acting_.Stat(path); }
    std::unique_ptr<platform::FileReader> OpenForReading(const std::string& path,
                                                         std::string* reason) override {
        return acting_.OpenForReading(path, reason);
    }
    bool Write(const std::string& path, std::string_view bytes, platform::WriteMode mode,
               std::string* reason) override;
    bool Rename(const std::string& from, const std::string& to, std::string* reason) override;
    bool Delete(const std::string& path, platform::DeleteMode mode, std::string* reason) override;
    int ShellOperation(platform::ShellFileOpRequest& request, std::string* reason) override;
    bool ListFolder(const std::string& folder, std::vector<std::string>* names,
                    std::string* key = nullptr,
                    const std::vector<std::string>* only = nullptr) override {
        return acting_.ListFolder(folder, names, key, only);
    }
    std::string FolderKey(const std::string& folder) override { return acting_.FolderKey(folder); }

  private:
    platform::FileSystem& acting_;
};

// A RuledFileSystem over the file system, which it keeps.
std::unique_ptr<platform::FileSystem> RuledOver(std::unique_ptr<platform::FileSystem> acting);

}  // namespace preview
