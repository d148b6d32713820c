// A settings file that another program holds open (without letting others
// delete it) cannot be replaced: the save fails and the old file stays.
#include <windows.h>

#include <gtest/gtest.h>

#include "ini/ini_store.h"
#include "platform/win32/handle.h"
#include "tests/test_support.h"

namespace fs = std::filesystem;

namespace {

TEST(IniStoreWin32Test, SaveOverAFileHeldOpenKeepsTheOldContent) {
    testing_support::TempDir temp;
    const fs::path file = temp.Path() / "TolvaneConfig.ini";
    testing_support::WriteBytes(file, "[UTCAN]\r\nUT=1\r\n\r\n");
    const std::string path = testing_support::WinPath(file);
    {
        platform::AutoCloseHandle held(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                   nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.Valid());
        CIniStore store(path);
        store.SetInt("UTCAN", "UT", 0, true);
        store.Save();
    }
    EXPECT_EQ(testing_support::ReadBytes(file), "[UTCAN]\r\nUT=1\r\n\r\n");
    std::vector<fs::path> entries(fs::directory_iterator(temp.Path()), fs::directory_iterator());
    EXPECT_EQ(entries, std::vector<fs::path>{file});
}

}  // namespace
