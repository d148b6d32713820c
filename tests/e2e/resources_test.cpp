// The program's resources as compiled into TolvaneConfig.exe: what each
// dialog's controls are and say (where they stand, the screenshots show),
// the About entry's text, the icon, the picture, the version block and the
// manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tools/program_driver.h"

namespace {

constexpr DWORD kChildVisible = WS_CHILD | WS_VISIBLE;
constexpr DWORD kNoId = 0xFFFFFFFF;
// The system's own class numbers, as the resource compiler stores them.
const char* const kButton = "#128";
const char* const kStatic = "#130";

struct Control {
    DWORD id;
    std::string windowClass;
    DWORD style;
    std::string text;  // "#129" for a resource number
    bool operator==(const Control&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Control& c) {
    return out << "{" << c.id << ", class " << c.windowClass << ", style 0x" << std::hex << c.style
               << std::dec << ", \"" << c.text << "\"}";
}

// Reads a resource's words in order.
class Reader {
  public:
    Reader(const BYTE* data, size_t size) : data_(data), size_(size) {}
    WORD Word() { return Get<WORD>(); }
    DWORD Dword() { return Get<DWORD>(); }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return Get<BYTE>(); }
    // A name or number: empty, 0xFFFF and a number, or a string.
    std::string NameOrNumber() {
        WORD first = Word();
        if (first == 0) {
            return "";
        }
        if (first == 0xFFFF) {
            return "#" + std::to_string(Word());
        }
        std::string text(1, static_cast<char>(first));
        return text + String();
    }
    std::string String() {
        std::string text;
        for (WORD c = Word(); c != 0; c = Word()) {
            text += static_cast<char>(c);  // the program's texts are ASCII
        }
        return text;
    }
    void AlignDword() { offset_ = (offset_ + 3) & ~size_t{3}; }
    bool Overrun() const { return offset_ > size_; }

  private:
    template <typename T>
    T Get() {
        T value{};
        if (offset_ + sizeof(T) <= size_) {
            std::memcpy(&value, data_ + offset_, sizeof(T));
        }
        offset_ += sizeof(T);
        return value;
    }
    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
};

// One control of a template: the extended form has a help id first and a
// 32-bit id; the classic one has its extended style after the style.
Control ReadControl(Reader& r, bool extended) {
    r.AlignDword();
    Control c{};
    if (extended) {
        EXPECT_EQ(r.Dword(), 0u) << "help id";
        EXPECT_EQ(r.Dword(), 0u) << "extended style";
        c.style = r.Dword();
    } else {
        c.style = r.Dword();
        EXPECT_EQ(r.Dword(), 0u) << "extended style";
    }
    r.Dword();  // x, y
    r.Dword();  // width, height
    c.id = extended ? r.Dword() : r.Word();
    c.windowClass = r.NameOrNumber();
    c.text = r.NameOrNumber();
    EXPECT_EQ(r.Word(), 0) << "creation data";
    return c;
}

class ResourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        module = LoadLibraryExA(driver::ProgramUnderTest().string().c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << "cannot open the program";
    }
    void TearDown() override { FreeLibrary(module); }

    Reader Resource(LPCSTR type, int id) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
        EXPECT_NE(found, nullptr) << "no resource " << id;
        if (found == nullptr) {
            return Reader(nullptr, 0);
        }
        const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
        return Reader(data, SizeofResource(module, found));
    }

    HMODULE module = nullptr;
};

TEST_F(ResourcesTest, MainDialogTemplate) {
    Reader r = Resource(MAKEINTRESOURCEA(5), IDD_TOLVANECONFIG_DIALOG);  // RT_DIALOG
    EXPECT_EQ(r.Word(), 1);                                              // DIALOGEX
    EXPECT_EQ(r.Word(), 0xFFFF);                                         // signature
    EXPECT_EQ(r.Dword(), 0u);                                            // help id
    EXPECT_EQ(r.Dword(), static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(r.Dword(), static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                                            DS_MODALFRAME | DS_SETFONT));
    WORD count = r.Word();
    EXPECT_EQ(count, 17);
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 476);
    EXPECT_EQ(r.Short(), 231);
    EXPECT_EQ(r.NameOrNumber(), "");  // no menu
    EXPECT_EQ(r.NameOrNumber(), "");  // the default dialog class
    EXPECT_EQ(r.String(), "TolvaneConfig");
    EXPECT_EQ(r.Word(), 8);  // points
    EXPECT_EQ(r.Word(), 0);  // weight
    EXPECT_EQ(r.Byte(), 0);  // not italic
    EXPECT_EQ(r.Byte(), 1);  // DEFAULT_CHARSET
    EXPECT_EQ(r.String(), "MS Sans Serif");

    const DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP | kChildVisible;
    const std::vector<Control> expected = {
        {IDOK, kButton, BS_DEFPUSHBUTTON | WS_TABSTOP | kChildVisible, "Apply settings and exit"},
        {IDCANCEL, kButton, BS_PUSHBUTTON | WS_TABSTOP | kChildVisible,
         "Exit without applying settings"},
        {kNoId, kButton, BS_GROUPBOX | kChildVisible, ""},
        {1000, kButton, check, "Golf Courses"},
        {1001, kButton, check, "Parks"},
        {1002, kButton, check, "Minor roads"},
        {1003, kButton, check, "Major roads"},
        {1007, kButton, check, "Cemetaries"},
        {kNoId, kStatic, SS_LEFT | WS_GROUP | kChildVisible,
         "Note: Enabling UT cemetaries, golf courses or parks will override custom Marrowby+ "
         "scenery. "},
        {1005, kButton, check, "Ultimate Terrain Canada/Alaska"},
        {kNoId, kButton, BS_GROUPBOX | kChildVisible, "AI Traffic"},
        {1006, kButton, check, "Float planes"},
        {1008, kButton, check, "Helicopters (CQXH and CQZ4)"},
        {1009, kButton, check, "Cruise Ship/Pilot Boat/Heli"},
        {kNoId, kStatic, SS_BITMAP | kChildVisible, "#129"},
        {1010, kButton, check, "Marrowby boat traffic"},
        {1011, kButton, check, "Railroads"},
    };
    for (size_t i = 0; i < count && i < expected.size(); ++i) {
        EXPECT_EQ(ReadControl(r, true), expected[i]) << "control " << i + 1;
    }
    EXPECT_FALSE(r.Overrun());
}

TEST_F(ResourcesTest, AboutBoxTemplate) {
    Reader r = Resource(MAKEINTRESOURCEA(5), IDD_ABOUTBOX);
    EXPECT_EQ(r.Dword(),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(r.Dword(), 0u);
    WORD count = r.Word();
    EXPECT_EQ(count, 4);
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 235);
    EXPECT_EQ(r.Short(), 55);
    EXPECT_EQ(r.NameOrNumber(), "");
    EXPECT_EQ(r.NameOrNumber(), "");
    EXPECT_EQ(r.String(), "About TolvaneConfig");
    EXPECT_EQ(r.Word(), 8);
    EXPECT_EQ(r.String(), "MS Sans Serif");
    const std::vector<Control> expected = {
        {0xFFFF, kStatic, SS_ICON | kChildVisible, "#128"},
        {0xFFFF, kStatic, SS_LEFT | SS_NOPREFIX | WS_GROUP | kChildVisible,
         "TolvaneConfig Version 6.07"},
        {0xFFFF, kStatic, SS_LEFT | WS_GROUP | kChildVisible, "Tolvane scenery layers"},
        {IDOK, kButton, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP | kChildVisible, "OK"},
    };
    for (size_t i = 0; i < count && i < expected.size(); ++i) {
        EXPECT_EQ(ReadControl(r, false), expected[i]) << "control " << i + 1;
    }
}

TEST_F(ResourcesTest, StringIconPictureAndManifest) {
    char text[64] = "";
    LoadStringA(module, IDS_ABOUTBOX, text, sizeof text);
    EXPECT_STREQ(text, "&About TolvaneConfig...");

    Reader group = Resource(MAKEINTRESOURCEA(14), IDR_MAINFRAME);  // RT_GROUP_ICON
    EXPECT_EQ(group.Word(), 0);
    EXPECT_EQ(group.Word(), 1);
    ASSERT_EQ(group.Word(), 2);
    for (int size : {32, 16}) {
        EXPECT_EQ(group.Byte(), size);
        EXPECT_EQ(group.Byte(), size);
        EXPECT_EQ(group.Byte(), 16);  // colours
        group.Byte();
        EXPECT_EQ(group.Word(), 1);  // planes
        EXPECT_EQ(group.Word(), 4);  // bits per pixel
        group.Dword();
        group.Word();
    }

    Reader picture = Resource(MAKEINTRESOURCEA(2), IDB_PICTURE);  // RT_BITMAP
    EXPECT_EQ(picture.Dword(), 40u);
    EXPECT_EQ(picture.Dword(), 376u);
    EXPECT_EQ(picture.Dword(), 372u);
    EXPECT_EQ(picture.Word(), 1);
    EXPECT_EQ(picture.Word(), 24);
    EXPECT_EQ(picture.Dword(), static_cast<DWORD>(BI_RGB));

    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                         SizeofResource(module, found));
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(manifest.find("type=\"win32\""), std::string::npos);
}

TEST_F(ResourcesTest, VersionBlock) {
    const std::string path = driver::ProgramUnderTest().string();
    DWORD handle = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), &handle));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(
        GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00060000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00090000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00060000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00090000u);
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &size));
    ASSERT_EQ(size, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04b0);
    const std::pair<const char*, const char*> strings[] = {
        {"FileDescription", "TolvaneConfig MFC Application"},
        {"FileVersion", "6, 0, 9, 0"},
        {"InternalName", "TolvaneConfig"},
        {"OriginalFilename", "TolvaneConfig.EXE"},
        {"ProductName", "TolvaneConfig Application"},
        {"ProductVersion", "6, 0, 9, 0"},
        {"Comments", ""},
        {"CompanyName", ""},
        {"LegalTrademarks", ""},
        {"PrivateBuild", ""},
        {"SpecialBuild", ""},
    };
    for (const auto& [name, value] : strings) {
        char* text = nullptr;
        std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
        EXPECT_TRUE(
            VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &size))
            << name;
        EXPECT_EQ(std::string(text != nullptr ? text : ""), value) << name;
    }
}

}  // namespace
