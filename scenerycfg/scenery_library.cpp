#include "scenerycfg/scenery_library.h"

#include <string_view>

#include "ini/ini_store.h"
#include "paths/path_text.h"
#include "platform/path_names.h"
#include "scenerycfg/area_path.h"

namespace {

// The key of the section spelt as wanted but for case, when the section
// holds no key spelt exactly so; empty otherwise.
std::string OtherCapitals(const CIniStore& store, int section, const std::string& wanted) {
    for (const std::string& key : store.KeyNames(section)) {
        if (key != wanted && platform::SameFileName(key, wanted)) {
            return key;
        }
    }
    return std::string();
}

// Why an area section reads differently from what its author may have
// meant; empty when it reads as meant. Only asked for an area without
// Local or not active, so that it costs nothing on a sound library.
std::string SpellingNote(CIniStore& store, int index, const std::string& section) {
    std::string note;
    auto add = [&](const std::string& text) { note += (note.empty() ? "" : "; ") + text; };
    const std::string local = OtherCapitals(store, index, "Local");
    if (!local.empty() && store.IndexOfKey(index, "Local") == -1) {
        add(local + "= is not read: only Local= names the folder");
    }
    const std::string active = OtherCapitals(store, index, "Active");
    if (!active.empty() && store.IndexOfKey(index, "Active") == -1) {
        add(active + "= is not read: only Active=TRUE makes an area active");
    }
    const std::string value = store.GetString(section, "Active");
    if (value != "TRUE" && (platform::SameFileName(value, "TRUE") || value == "1")) {
        add("Active=" + value + " counts as inactive: only Active=TRUE makes an area active");
    }
    return note;
}

// What makes a section a scenery area: its name holds it.
constexpr std::string_view kAreaMark = "Area.";

// The number after the area mark in a section's name: its digits up to the
// end of the name; -1 when there are none, or anything else, or too many.
int AreaNumber(const std::string& section) {
    const size_t start = section.find(kAreaMark) + kAreaMark.size();
    if (start >= section.size() || section.size() - start > 9) {
        return -1;
    }
    int number = 0;
    for (size_t i = start; i < section.size(); ++i) {
        if (section[i] < '0' || section[i] > '9') {
            return -1;
        }
        number = number * 10 + (section[i] - '0');
    }
    return number;
}

}  // namespace

std::string LibraryPath(const std::string& fsRoot, LibraryFile file) {
    return fsRoot + (file == LibraryFile::kCurrent ? "\\scenery.cfg" : "\\NewScenery.cfg");
}

LibraryRead ForEachSceneryArea(platform::FileSystem& fs, const std::string& fsRoot,
                               const std::function<void(const SceneryArea&)>& visit,
                               LibraryFile file) {
    LibraryRead read;
    read.path = LibraryPath(fsRoot, file);
    if (fs.Exists(read.path) == 0) {
        return read;
    }
    CIniStore store(fs, read.path);
    read.state = store.Load(&read.reason) ? LibraryState::kRead : LibraryState::kUnreadable;
    for (int i = 0; i < store.SectionCount(); ++i) {
        SceneryArea area;
        area.section = store.SectionName(i);
        if (area.section.find(kAreaMark) == std::string::npos) {
            if (platform::AsciiLower(area.section)
                    .find(platform::AsciiLower(std::string(kAreaMark))) != std::string::npos) {
                area.skipped = true;
                area.note = "[" + area.section + "] is not read: only sections named " +
                            std::string(kAreaMark) + " are";
                area.title = store.GetString(area.section, "Title");
                visit(area);
            }
            continue;
        }
        // Every trailing backslash goes and exactly one comes back: the
        // resolver expects a folder path that ends in one.
        const std::string local = store.GetString(area.section, "Local");
        area.title = store.GetString(area.section, "Title");
        const platform::CodePage& codePage = fs.AnsiCodePage();
        area.folder =
            ResolveAreaPath(fsRoot, WithoutTrailingBackslashes(local, codePage) + "\\", codePage);
        area.active = store.GetString(area.section, "Active") == "TRUE";
        if (local.empty() || !area.active) {
            area.note = SpellingNote(store, i, area.section);
        }
        area.number = AreaNumber(area.section);
        area.layer = store.GetInt(area.section, "Layer", area.number);
        area.required = platform::SameFileName(store.GetString(area.section, "Required"), "TRUE");
        area.headers = store.HeaderCount(i);
        visit(area);
    }
    return read;
}
