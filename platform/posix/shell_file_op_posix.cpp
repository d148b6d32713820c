// Stands in for the Windows shell's file operation on posix hosts. It takes
// the same request and behaves as the program relies on: a copy replaces an
// existing destination silently, creates missing destination folders, is
// complete before the call returns, and a failure leaves the destination as
// it was.
#include "platform/shell_file_op.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/posix/case_path.h"
#include "platform/posix/file_copy.h"

namespace platform {

namespace {

// Error codes in the shell's own numbering.
constexpr int kErrorFileNotFound = 1026;
constexpr int kErrorInvalidRequest = 0x402;
constexpr int kErrorManyDestinations = 0x72;

std::vector<std::string> SplitPathBuffer(const char* buffer) {
    std::vector<std::string> paths;
    if (buffer == nullptr) {
        return paths;
    }
    while (*buffer != '\0') {
        std::string path(buffer);
        buffer += path.size() + 1;
        paths.push_back(ResolveHostPath(path));
    }
    return paths;
}

bool IsDirectory(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return std::string();
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Creates the folder and every missing folder above it.
bool MakeFolders(const std::string& folder) {
    if (folder.empty() || IsDirectory(folder)) {
        return true;
    }
    if (!MakeFolders(ParentOf(folder))) {
        return false;
    }
    return mkdir(folder.c_str(), 0755) == 0 || (errno == EEXIST && IsDirectory(folder));
}

// Where one source goes: into the destination when it is a folder (or must
// become one because several sources share it), else to the name given.
std::string TargetFor(const std::string& source, const std::string& destination,
                      bool destinationIsFolder) {
    if (destinationIsFolder || IsDirectory(destination)) {
        return destination + "/" + BaseName(source);
    }
    return destination;
}

int TransferOne(unsigned operation, const std::string& source, const std::string& target) {
    struct stat status;
    if (source.empty() || lstat(source.c_str(), &status) != 0) {
        return kErrorFileNotFound;
    }
    if (target.empty() || !MakeFolders(ParentOf(target))) {
        return kErrorInvalidRequest;
    }
    if (operation == kFoCopy) {
        return CopyFileReplacing(source, target) ? 0 : kErrorInvalidRequest;
    }
    return rename(source.c_str(), target.c_str()) == 0 ? 0 : kErrorInvalidRequest;
}

int Delete(const std::vector<std::string>& sources) {
    for (const std::string& source : sources) {
        if (source.empty() || unlink(source.c_str()) != 0) {
            return errno == ENOENT ? kErrorFileNotFound : kErrorInvalidRequest;
        }
    }
    return 0;
}

}  // namespace

int ShellFileOperation(ShellFileOpRequest& request) {
    std::vector<std::string> sources = SplitPathBuffer(request.pFrom);
    if (sources.empty()) {
        return kErrorInvalidRequest;
    }
    if (request.wFunc == kFoDelete) {
        return Delete(sources);
    }
    if (request.wFunc != kFoCopy && request.wFunc != kFoMove && request.wFunc != kFoRename) {
        return kErrorInvalidRequest;
    }
    std::vector<std::string> destinations = SplitPathBuffer(request.pTo);
    bool pairwise = (request.fFlags & kFofMultiDestFiles) != 0 && destinations.size() > 1;
    if (destinations.empty() || (pairwise && destinations.size() != sources.size()) ||
        (!pairwise && destinations.size() != 1)) {
        return kErrorManyDestinations;
    }
    bool intoFolder = !pairwise && sources.size() > 1;
    for (size_t i = 0; i < sources.size(); ++i) {
        const std::string& destination = destinations[pairwise ? i : 0];
        int result =
            TransferOne(request.wFunc, sources[i], TargetFor(sources[i], destination, intoFolder));
        if (result != 0) {
            return result;
        }
    }
    return 0;
}

}  // namespace platform
