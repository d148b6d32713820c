// A save that only Windows (and Wine) can refuse: the settings file is
// held open by another program.
#include <windows.h>

#include <gtest/gtest.h>

#include "ini/ini_store.h"
#include "platform/win32/handle.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

class IniStoreWin32Test : public ::testing::Test {
  protected:
    IniStoreWin32Test() { WriteBytes(file, "[UTCAN]\r\nUT=1\r\n\r\n"); }

    // Saves UT=0 while another handle with the given sharing holds the file.
    void SaveWhileHeld(DWORD sharing) {
        platform::AutoCloseHandle held(CreateFileA(WinPath(file).c_str(), GENERIC_READ, sharing,
                                                   nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.Valid());
        CIniStore store(HostFiles(), WinPath(file));
        store.SetInt("UTCAN", "UT", 0, true);
        store.Save();
    }

    std::vector<fs::path> Entries() const {
        return {fs::directory_iterator(temp.Path()), fs::directory_iterator()};
    }

    TempDir temp;
    const fs::path file = temp.Path() / "TolvaneConfig.ini";
};

// The file cannot be replaced while it is open without FILE_SHARE_DELETE;
// it is then written in place where the holder allows it.
TEST_F(IniStoreWin32Test, AFileHeldOpenIsWrittenInPlaceWhereTheHolderAllows) {
    SaveWhileHeld(FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_EQ(ReadBytes(file), "[UTCAN]\r\nUT=0\r\n\r\n");
    EXPECT_EQ(Entries(), std::vector<fs::path>{file});

    WriteBytes(file, "[UTCAN]\r\nUT=1\r\n\r\n");
    SaveWhileHeld(FILE_SHARE_READ);
    EXPECT_EQ(ReadBytes(file), "[UTCAN]\r\nUT=1\r\n\r\n");
    EXPECT_EQ(Entries(), std::vector<fs::path>{file});
}

}  // namespace
