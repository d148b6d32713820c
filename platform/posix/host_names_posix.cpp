#include "platform/host_names.h"
#include "platform/process.h"

#include "platform/posix/host_paths.h"

namespace platform {

namespace {

class PosixHostNames : public HostNames {
  public:
    explicit PosixHostNames(HostPaths paths) : paths_(std::move(paths)) {}

    std::string WindowsPathOf(const std::string& hostPath) override {
        const bool windowsForm = (hostPath.size() >= 2 && hostPath[1] == ':') ||
                                 (!hostPath.empty() && hostPath[0] == '\\');
        // Text from the host (a command line) is in the host's encoding.
        std::string ansi;
        if (windowsForm && !paths_.AnsiName(hostPath, &ansi)) {
            return std::string();
        }
        return windowsForm ? paths_.FullWindowsPath(ansi) : paths_.ToWindows(hostPath);
    }

    std::string ShownPath(const std::string& windowsPath) override {
        const std::string host = paths_.Written(windowsPath);
        return host.empty() ? paths_.Utf8Of(windowsPath) : host;
    }

    std::string Utf8Of(const std::string& text) override { return paths_.Utf8Of(text); }

    std::string LocalAppData() override {
        if (paths_.Prefix().empty()) {
            return std::string();
        }
        return WineRegistryValue(
            paths_.Prefix() + "/user.reg",
            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
            "Local AppData");
    }

    std::vector<unsigned long> ProcessesRunning(const std::string& imageName) override {
        return ProcessesNamed(imageName, paths_.Prefix());
    }

  private:
    HostPaths paths_;
};

}  // namespace

std::unique_ptr<HostNames> SystemHostNames() {
    return std::make_unique<PosixHostNames>(HostPaths());
}

std::unique_ptr<HostNames> WinePrefixHostNames(const std::string& hostPrefix, std::string* error) {
    HostPaths paths;
    if (!HostPaths::ForPrefix(hostPrefix, &paths, error)) {
        return nullptr;
    }
    return std::make_unique<PosixHostNames>(std::move(paths));
}

}  // namespace platform
