// The status's warnings of what the simulator will do next, each family
// built for real on the sample install and checked in the text, the JSON
// and the exit code; and the commands that act on the library change that
// is waiting.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/cli_fixture.h"

namespace fs = std::filesystem;

namespace {

class StatusWarningsTest : public CliFixture {
  protected:
    fs::path Library() const { return install.root / "scenery.cfg"; }

    // The library with one text of it replaced.
    void Edit(const fs::path& file, const std::string& from, const std::string& to) {
        std::string bytes = ReadBytes(file);
        const size_t at = bytes.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        WriteBytes(file, bytes.replace(at, from.size(), to));
    }

    // The keys of the status's findings, in order, and the status's text
    // and exit code, which must agree with its JSON.
    std::vector<std::string> FindingKeys(int expectedCode) {
        json = Json({"status"}, expectedCode);
        std::vector<std::string> keys;
        for (const nlohmann::json& finding : json["findings"]) {
            keys.push_back(finding["key"]);
        }
        text = Tolvane({"status"});
        EXPECT_EQ(text.code, expectedCode);
        for (const nlohmann::json& finding : json["findings"]) {
            const std::string summary = finding["summary"];
            if (summary.find('\\') == std::string::npos) {
                EXPECT_NE(text.out.find("  " + summary + "\n"), std::string::npos) << text.out;
            }
            EXPECT_NE(text.out.find("    What it means: " + finding["meaning"].get<std::string>()),
                      std::string::npos);
        }
        return keys;
    }

    nlohmann::json Finding(const std::string& key) const {
        for (const nlohmann::json& finding : json["findings"]) {
            if (finding["key"] == key) {
                return finding;
            }
        }
        ADD_FAILURE() << "no finding " << key;
        return nlohmann::json::object();
    }

    fs::path Drey(const char* ext) const {
        return install.root / "Addon Scenery" / "Drey Marrowby" / "scenery" /
               (std::string("Drey_Facility_CQP8") + ext);
    }

    bool TextHas(const std::string& line) const { return text.out.find(line) != std::string::npos; }

    nlohmann::json json;
    CliOutcome text;
};

using Keys = std::vector<std::string>;

TEST_F(StatusWarningsTest, NoWarningOnASoundInstallButTheRenames) {
    EXPECT_EQ(Tolvane({"apply"}).code, 0);
    EXPECT_EQ(FindingKeys(1), Keys{});  // a scan would rename
    EXPECT_TRUE(TextHas("\nWarnings: none\n"));

    ASSERT_EQ(Tolvane({"scan"}).code, 0);
    // An inactive area's .xxx counts too: a restore gives it back.
    const fs::path harbour = install.root / "Addon Scenery" / "Old Harbour" / "scenery";
    fs::rename(harbour / "Drey_Facility_CQP8.bgl", harbour / "Drey_Facility_CQP8.xxx");
    // An area listed twice holds its files once.
    WriteBytes(Library(), ReadBytes(Library()) +
                              "\r\n[Area.008]\r\nTitle=Again\r\nLocal=ADDON SCENERY\\drey "
                              "marrowby\r\nLayer=8\r\nActive=FALSE\r\n");
    EXPECT_EQ(FindingKeys(0), Keys{"renamedByThisPackage"});
    const nlohmann::json files = Finding("renamedByThisPackage")["details"]["files"];
    ASSERT_EQ(files.size(), 7u) << files;
    EXPECT_EQ(files[0], WinPath(Drey(".xxx")));
    EXPECT_EQ(files[3], WinPath(harbour / "Drey_Facility_CQP8.xxx"));
    EXPECT_FALSE(Finding("renamedByThisPackage")["needsAction"].get<bool>());
    EXPECT_TRUE(TextHas("  7 files renamed by this package\n    " + Shown(Drey(".xxx")) + "\n"));

    ASSERT_EQ(Tolvane({"restore"}).code, 0);
    EXPECT_EQ(FindingKeys(1), Keys{});
    // The area listed again says what the disk holds, not what the status's
    // simulated scan of its first listing made of it.
    const nlohmann::json again = json["library"]["conflicts"].back();
    ASSERT_EQ(again["title"], "Again");
    for (const nlohmann::json& file : again["files"]) {
        EXPECT_EQ(file["state"], ".bgl") << file;
    }
}

TEST_F(StatusWarningsTest, ALibraryChangeWaiting) {
    const fs::path next = install.root / "NewScenery.cfg";
    fs::copy_file(Library(), next);
    // Old Harbour comes on, Brenmoor goes, Drey Marrowby stays on; an area
    // listed for the first time but switched off changes nothing loaded.
    Edit(next, "Layer=6\r\nActive=FALSE", "Layer=6\r\nActive=TRUE");
    Edit(next, "[Area.007]", "[Other]");
    WriteBytes(next, ReadBytes(next) +
                         "\r\n[Area.008]\r\nTitle=Not yet\r\nLocal=Addon Scenery\\Not "
                         "yet\r\nLayer=8\r\nActive=FALSE\r\n");
    const std::chrono::sys_seconds written =
        std::chrono::sys_days{std::chrono::year{2026} / 12 / 1} + std::chrono::hours{10} +
        std::chrono::minutes{30};
    fs::last_write_time(next, fs::file_time_type::clock::from_sys(written));
    ASSERT_EQ(Tolvane({"apply"}).code, 0);

    EXPECT_EQ(FindingKeys(1), Keys{"libraryChangeWaiting"});
    nlohmann::json finding = Finding("libraryChangeWaiting");
    EXPECT_TRUE(finding["needsAction"].get<bool>());
    EXPECT_EQ(finding["details"]["path"], WinPath(next));
    EXPECT_EQ(finding["details"]["written"], "2026-12-01T10:30:00Z");
    const nlohmann::json changes = finding["details"]["activeChanges"];
    ASSERT_EQ(changes.size(), 2u) << changes;
    EXPECT_EQ(changes[0]["title"], "Old Harbour (switched off)");
    EXPECT_EQ(changes[0]["now"], "inactive");
    EXPECT_EQ(changes[0]["next"], "active");
    EXPECT_EQ(changes[1]["title"], "Brenmoor");
    EXPECT_EQ(changes[1]["now"], "active");
    EXPECT_EQ(changes[1]["next"], "not listed");
    // What the simulator would load from the new library: the conflicting
    // files of Drey Marrowby and Old Harbour, which is what a scan of the
    // new library renames.
    const fs::path harbour = install.root / "Addon Scenery" / "Old Harbour" / "scenery";
    const nlohmann::json left = finding["details"]["leftActive"];
    ASSERT_EQ(left.size(), 6u);
    EXPECT_EQ(left[0], WinPath(Drey(".bgl")));
    EXPECT_EQ(left[3], WinPath(harbour / "Drey_Facility_CQP8.bgl"));
    EXPECT_TRUE(TextHas("  A library change is waiting: " + Shown(next) +
                        ", written 2026-12-01 10:30:00 UTC\n"));
    EXPECT_TRUE(TextHas("    left loadable at the next start: " +
                        Shown(harbour / "Drey_Facility_CQP8.bgl") + "\n"));
    const nlohmann::json scan = Json({"scan", "--library", "new"}, 0);
    EXPECT_EQ(scan["library"], WinPath(next));
    ASSERT_EQ(scan["renames"].size(), left.size());
    for (size_t i = 0; i < left.size(); ++i) {
        EXPECT_EQ(scan["renames"][i]["from"], left[i]);
    }
    ASSERT_EQ(Tolvane({"scan"}).code, 0);
    EXPECT_EQ(FindingKeys(0), (Keys{"libraryChangeWaiting", "renamedByThisPackage"}));
    EXPECT_FALSE(Finding("libraryChangeWaiting")["needsAction"].get<bool>());

    // A restore of the new library leaves Brenmoor, which it does not list.
    const nlohmann::json restore = Json({"restore", "--library", "new"}, 0);
    EXPECT_EQ(restore["renames"].size(), 6u);
    EXPECT_TRUE(fs::exists(install.root / "Extra Scenery" / "Brenmoor" / "Scenery" /
                           "Drey_Facility_CQP8.xxx"));

    // One that cannot be read is waiting all the same, and said so; a
    // folder has no time of writing.
    fs::remove(next);
    fs::create_directory(next);
    // Brenmoor keeps its .xxx files; the restore left a scan to do.
    EXPECT_EQ(FindingKeys(1), (Keys{"libraryChangeWaiting", "renamedByThisPackage"}));
    EXPECT_FALSE(Finding("libraryChangeWaiting")["details"]["readable"].get<bool>());
    EXPECT_TRUE(Finding("libraryChangeWaiting")["details"]["written"].is_null());
    EXPECT_TRUE(TextHas("  A library change is waiting: " + Shown(next) + "\n"));
    EXPECT_TRUE(TextHas("    it cannot be read: "));
    const CliOutcome unreadable = Tolvane({"scan", "--library", "new"});
    EXPECT_EQ(unreadable.code, 2);
    EXPECT_EQ(unreadable.err.rfind("tolvane: cannot read " + Shown(next) + ": ", 0), 0u)
        << unreadable.err;

    fs::remove(next);
    const CliOutcome none = Tolvane({"scan", "--library", "new"});
    EXPECT_EQ(none.code, 2);
    EXPECT_EQ(none.err,
              "tolvane: no NewScenery.cfg at " + Shown(next) + ": no library change is waiting\n");
    EXPECT_EQ(Tolvane({"scan", "--library", "old"}).code, 2);
}

TEST_F(StatusWarningsTest, AreasTheSimulatorCannotLoad) {
    // Default Scenery loses its scenery folder, Drey Marrowby its whole
    // folder; Old Harbour is switched off and is no concern.
    RemoveTree(install.root / "Scenery" / "BASE" / "scenery");
    RemoveTree(install.root / "Addon Scenery" / "Drey Marrowby");
    RemoveTree(install.root / "Addon Scenery" / "Old Harbour");
    // Area 1 given again by the same header, area 5 by another spelling.
    WriteBytes(Library(), ReadBytes(Library()) +
                              "\r\n[Area.001]\r\nTitle=Again\r\nLocal=Scenery\\World\r\n"
                              "Active=FALSE\r\n\r\n[Area.5]\r\nTitle=Five\r\n"
                              "Local=Scenery\\World\r\nActive=FALSE\r\n");
    ASSERT_EQ(Tolvane({"apply"}).code, 0);

    EXPECT_EQ(FindingKeys(1), (Keys{"areaFoldersMissing", "duplicateAreaNumbers"}));
    const nlohmann::json missing = Finding("areaFoldersMissing")["details"]["areas"];
    ASSERT_EQ(missing.size(), 2u);
    EXPECT_EQ(missing[0],
              nlohmann::json::parse(
                  R"({"section": "Area.002",
        "title": "Default Scenery", "missing": "scenery folder", "folder": )" +
                  nlohmann::json(WinPath(install.root / "Scenery" / "BASE")).dump() + "}"));
    EXPECT_EQ(missing[1]["missing"], "folder");
    EXPECT_TRUE(
        TextHas("  2 active areas lack their folders\n"
                "    [Area.002] Default Scenery: " +
                Shown(install.root / "Scenery" / "BASE") +
                " (no scenery folder in it)\n"
                "    [Area.005] Drey Marrowby: " +
                Shown(install.root / "Addon Scenery" / "Drey Marrowby") + " (no folder)\n"));
    EXPECT_EQ(Finding("duplicateAreaNumbers")["details"]["numbers"],
              nlohmann::json::parse(R"([{"number": 1, "sections": ["Area.001", "Area.001"]},
                                        {"number": 5, "sections": ["Area.005", "Area.5"]}])"));
    EXPECT_TRUE(TextHas("    1: [Area.001] [Area.001]\n    5: [Area.005] [Area.5]\n"));
}

// A library of many active areas, the package's two among them, each area
// at the layer of its number (or all at layer 1: then the file's order
// counts).
std::string LargeLibrary(int active, int packageLayer, const char* required,
                         bool oneLayer = false) {
    std::string text = "[General]\r\nTitle=FS9 World Scenery\r\n";
    for (int n = 1; n <= active; ++n) {
        const bool higher = n == packageLayer + 1;
        const bool lower = n == packageLayer;
        const std::string local = higher  ? "Addon Scenery\\Tolvane\\Tolvane - Higher Priority"
                                  : lower ? "Addon Scenery\\Tolvane\\Tolvane - Lower Priority"
                                          : "Scenery\\World";
        text += "\r\n[Area." + std::to_string(n) + "]\r\nTitle=Area " + std::to_string(n) +
                "\r\nLocal=" + local + "\r\nLayer=" + std::to_string(oneLayer ? 1 : n) +
                "\r\nActive=TRUE\r\nRequired=" + (higher || lower ? required : "FALSE") + "\r\n";
    }
    return text;
}

TEST_F(StatusWarningsTest, MoreActiveAreasThanTheSimulatorLoads) {
    ASSERT_EQ(Tolvane({"apply"}).code, 0);
    WriteBytes(Library(), LargeLibrary(331, 1, "FALSE"));
    EXPECT_EQ(FindingKeys(0), Keys{});

    // 340 areas: the package's, at the bottom of the list, are 339th and
    // 340th of them.
    WriteBytes(Library(), LargeLibrary(340, 1, "FALSE"));
    EXPECT_EQ(FindingKeys(1), Keys{"tooManyActiveAreas"});
    EXPECT_EQ(Finding("tooManyActiveAreas")["details"],
              nlohmann::json::parse(R"({"activeAreas": 340, "limit": 331,
                                        "packageAreasBeyond": ["Higher", "Lower"]})"));
    EXPECT_TRUE(
        TextHas("  340 active areas: more than the 331 the simulator loads\n"
                "    Tolvane - Higher Priority is number 339 of the active areas: it "
                "may not load\n    Tolvane - Lower Priority is number 340"));

    // Near the top, or marked Required=TRUE, they load.
    WriteBytes(Library(), LargeLibrary(340, 300, "FALSE"));
    FindingKeys(1);
    EXPECT_EQ(Finding("tooManyActiveAreas")["details"]["packageAreasBeyond"].size(), 0u);
    WriteBytes(Library(), LargeLibrary(340, 1, "TRUE"));
    FindingKeys(1);
    EXPECT_EQ(Finding("tooManyActiveAreas")["details"]["packageAreasBeyond"].size(), 0u);
    // All of one layer, the package's first in the file: the first two.
    WriteBytes(Library(), LargeLibrary(340, 1, "FALSE", true));
    FindingKeys(1);
    EXPECT_EQ(Finding("tooManyActiveAreas")["details"]["packageAreasBeyond"].size(), 0u);
}

TEST_F(StatusWarningsTest, WhereThePackagesAreasStand) {
    ASSERT_EQ(Tolvane({"apply"}).code, 0);
    ASSERT_EQ(Tolvane({"scan"}).code, 0);
    const std::string sound = ReadBytes(Library());
    // Listed under another spelling of the same folder: still the package's.
    Edit(Library(), "Local=Addon Scenery\\Tolvane\\Tolvane - Higher Priority",
         "Local=" + WinPath(install.package) + "\\.\\TOLVANE - higher priority\\");
    EXPECT_EQ(FindingKeys(0), Keys{"renamedByThisPackage"});
    // With a trailing dot, which Windows leaves off a name.
    WriteBytes(Library(), sound);
    Edit(Library(), "Local=Addon Scenery\\Tolvane\\Tolvane - Higher Priority",
         "Local=Addon Scenery\\Tolvane\\Tolvane - Higher Priority.");
    EXPECT_EQ(FindingKeys(0), Keys{"renamedByThisPackage"});
    // Listed twice, switched off the first time: the simulator loads the
    // active listing, at its layer.
    WriteBytes(Library(), sound);
    Edit(Library(), "Tolvane - Higher Priority\r\nLayer=4\r\nActive=TRUE",
         "Tolvane - Higher Priority\r\nLayer=1\r\nActive=FALSE");
    WriteBytes(Library(),
               ReadBytes(Library()) +
                   "\r\n[Area.008]\r\nTitle=Again\r\nLocal=Addon "
                   "Scenery\\Tolvane\\Tolvane - Higher Priority\r\nLayer=4\r\nActive=TRUE\r\n");
    EXPECT_EQ(FindingKeys(0), Keys{"renamedByThisPackage"});

    // Swapped: the lower area at layer 4, above the higher one at 3.
    WriteBytes(Library(), sound);
    Edit(Library(), "Tolvane - Lower Priority\r\nLayer=3", "Tolvane - Lower Priority\r\nLayer=4");
    Edit(Library(), "Tolvane - Higher Priority\r\nLayer=4", "Tolvane - Higher Priority\r\nLayer=3");
    EXPECT_EQ(FindingKeys(1), (Keys{"packageAreasOutOfOrder", "renamedByThisPackage"}));
    EXPECT_EQ(Finding("packageAreasOutOfOrder")["details"],
              nlohmann::json::parse(R"({"higherLayer": 3, "lowerLayer": 4})"));
    EXPECT_TRUE(
        TextHas("  Tolvane - Lower Priority (layer 4) is not below Tolvane - Higher "
                "Priority (layer 3)\n"));

    // The lower one switched off, the higher one not listed.
    WriteBytes(Library(), sound);
    Edit(Library(), "Tolvane - Lower Priority\r\nLayer=3\r\nActive=TRUE",
         "Tolvane - Lower Priority\r\nLayer=3\r\nActive=FALSE");
    Edit(Library(), "Local=Addon Scenery\\Tolvane\\Tolvane - Higher Priority",
         "Local=Addon Scenery\\Tolvane\\Elsewhere");
    fs::create_directories(install.package / "Elsewhere" / "scenery");
    EXPECT_EQ(FindingKeys(1),
              (Keys{"packageAreaMissing", "packageAreaInactive", "renamedByThisPackage"}));
    EXPECT_EQ(Finding("packageAreaMissing")["details"]["areas"][0]["folder"],
              WinPath(install.package / "Tolvane - Higher Priority"));
    EXPECT_EQ(Finding("packageAreaInactive")["details"]["areas"][0]["section"], "Area.003");
    EXPECT_TRUE(TextHas("    Tolvane - Lower Priority: [Area.003] Tolvane - Lower Priority\n"));
}

}  // namespace
