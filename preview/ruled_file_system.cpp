#include "preview/ruled_file_system.h"

#include "preview/file_rules.h"

namespace preview {

bool RuledFileSystem::Write(const std::string& path, std::string_view bytes,
                            platform::WriteMode mode, std::string* reason) {
    const platform::Entry entry = Stat(path);
    return (mode == platform::WriteMode::kReplace ? MayReplaceWhole(*this, path, entry, reason)
                                                  : MayWriteInPlace(*this, path, entry, reason)) &&
           acting_.Write(path, bytes, mode, reason);
}

bool RuledFileSystem::Rename(const std::string& from, const std::string& to, std::string* reason) {
    return MayRename(*this, from, to, reason) && acting_.Rename(from, to, reason);
}

bool RuledFileSystem::Delete(const std::string& path, platform::DeleteMode mode,
                             std::string* reason) {
    return MayRemove(*this, path, reason) && acting_.Delete(path, mode, reason);
}

int RuledFileSystem::ShellOperation(platform::ShellFileOpRequest& request, std::string* reason) {
    std::string source, destination;
    if (!platform::OneFileCopyOf(request, &source, &destination)) {
        return platform::kShellErrorUnknown;
    }
    const int refusal = ShellCopyRefusal(*this, source, destination, reason);
    return refusal != 0 ? refusal : acting_.ShellOperation(request, reason);
}

namespace {

class OwningRuledFileSystem : public RuledFileSystem {
  public:
    explicit OwningRuledFileSystem(std::unique_ptr<platform::FileSystem> acting)
        : RuledFileSystem(*acting), acting_(std::move(acting)) {}

  private:
    std::unique_ptr<platform::FileSystem> acting_;
};

}  // namespace

std::unique_ptr<platform::FileSystem> RuledOver(std::unique_ptr<platform::FileSystem> acting) {
    return std::make_unique<OwningRuledFileSystem>(std::move(acting));
}

}  // namespace preview
