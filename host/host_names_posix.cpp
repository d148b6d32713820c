#include "host/host_names.h"
#include "host/host_paths.h"
#include "host/processes.h"
#include "paths/path_text.h"
#include "platform/path_names.h"

namespace host {

namespace {

class PosixHostNames : public HostNames {
  public:
    explicit PosixHostNames(HostPaths paths) : paths_(std::move(paths)) {}

    bool WindowsPathOf(const std::string& hostPath, std::string* windowsPath) override {
        // Text from the host (a command line) is in the host's encoding.
        std::string ansi;
        if (!InWindowsForm(hostPath)) {
            return paths_.ToWindows(hostPath, windowsPath);
        }
        return paths_.AnsiName(hostPath, &ansi) && paths_.FullWindowsPath(ansi, windowsPath);
    }

    std::string ShownPath(const std::string& windowsPath) override {
        std::string host;
        return paths_.Written(windowsPath, &host) ? host : paths_.Utf8Of(windowsPath);
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

}  // namespace host
