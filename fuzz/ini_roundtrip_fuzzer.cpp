// Loads arbitrary bytes as an INI file, saves the store and loads the saved
// file again: the two stores must be equal and the saved bytes exactly the
// store's normal form. Loading the same file twice must equal loading it once.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/host_names.h"
#include "host/system_files.h"
#include "ini/ini_store.h"
#include "platform/file_system.h"
#include "tools/sample_install.h"

namespace {

platform::FileSystem& Files() {
    static const std::unique_ptr<platform::FileSystem> files = host::SystemFileSystem();
    return *files;
}

const std::string& WorkFile() {
    static const std::string path = [] {
        char folder[] = "/tmp/tolvane-ini-fuzz-XXXXXX";
        if (mkdtemp(folder) == nullptr) {
            std::abort();
        }
        return sample::WindowsPathOf(std::string(folder) + "/input.ini");
    }();
    return path;
}

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "round trip broken: %s\n", what);
        std::abort();
    }
}

bool SameSections(const CIniStore& a, const CIniStore& b) {
    if (a.SectionCount() != b.SectionCount()) {
        return false;
    }
    for (int i = 0; i < a.SectionCount(); ++i) {
        if (a.SectionName(i) != b.SectionName(i)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = WorkFile();
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string reason;
    Require(Files().Write(path, input, platform::WriteMode::kInPlace, &reason),
            "cannot write the input file");

    CIniStore loaded(Files(), path);
    Require(loaded.Load(), "load of an existing file failed");
    const std::string normal = loaded.Serialize();

    CIniStore twice(Files(), path);
    twice.Load();
    twice.Load();
    Require(twice.Serialize() == normal && SameSections(twice, loaded), "second load changed it");

    loaded.Save();
    std::string saved;
    Require(platform::ReadWhole(Files(), path, &saved, &reason) == platform::ReadResult::kComplete,
            "cannot read the saved file");
    Require(saved == normal, "saved bytes differ from the store");

    CIniStore reloaded(Files(), path);
    Require(reloaded.Load(), "reload failed");
    Require(SameSections(reloaded, loaded), "sections differ after reload");
    Require(reloaded.Serialize() == normal, "content differs after reload");
    return 0;
}
