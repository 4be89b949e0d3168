// The shipped 32-bit program as a file: its headers, its imports, its templates and strings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <cstdint>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "e2e.h"
#include "pe_image.h"
#include "picture_layout.h"
#include "resource_ids.h"

namespace {

class ShippedProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(image_.Load(e2e::Win32Dir() + "\\setup.exe")) << image_.Error();
    }
    PeImage image_;
};

TEST_F(ShippedProgram, IsAPe32GuiProgramForI386AndWindows4) {
    EXPECT_EQ(0x14C, image_.Machine()) << "IMAGE_FILE_MACHINE_I386";
    EXPECT_TRUE(image_.Is32Bit());
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, image_.Subsystem());
    EXPECT_EQ(4, image_.MajorOsVersion());
    EXPECT_EQ(0, image_.MinorOsVersion());
    EXPECT_EQ(4, image_.MajorSubsystemVersion());
    EXPECT_EQ(0, image_.MinorSubsystemVersion());
    EXPECT_EQ(0u, image_.TimeDateStamp()) << "no time stamp, so builds are reproducible";
    EXPECT_EQ(0x1000u, image_.FileAlignment()) << "page-aligned sections are mapped, not read in";
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return toupper(c); });
    return text;
}

TEST_F(ShippedProgram, ImportsOnlyWhatWindows95AndNt4BothExport) {
    std::set<std::string> allowed;
    std::ifstream list(e2e::SourceRoot() + "\\cmake\\win95-nt4-imports.txt");
    ASSERT_TRUE(list.good());
    std::string line;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string dll, function;
        fields >> dll >> function;
        allowed.insert(Upper(dll) + ".DLL " + function);
    }
    const std::vector<PeImport> imports = image_.Imports();
    ASSERT_FALSE(imports.empty());
    std::set<std::string> dlls;
    for (const PeImport& import : imports) {
        EXPECT_EQ(1u, allowed.count(Upper(import.dll) + " " + import.function))
            << import.dll << " " << import.function << " is not in the allowed list";
        dlls.insert(Upper(import.dll));
    }
    // Any other library the systems would take from the program's own folder first, where whoever
    // can write there could put one: NT 4's known DLLs.
    const std::set<std::string> known = {"ADVAPI32.DLL", "COMDLG32.DLL", "CRTDLL.DLL",   "GDI32.DLL",
                                         "KERNEL32.DLL", "LZ32.DLL",     "OLECLI32.DLL", "OLESVR32.DLL",
                                         "RPCRT4.DLL",   "SHELL32.DLL",  "USER32.DLL",   "VERSION.DLL"};
    for (const std::string& dll : dlls) EXPECT_EQ(1u, known.count(dll)) << dll << " is no known DLL of NT 4";
}

// The extended dialog template, read field by field.
struct Control {
    uint32_t helpId, exStyle, style;
    int16_t x, y, cx, cy;
    uint32_t id;
    std::string className, text;
    uint16_t extraCount;
};
struct Template {
    uint16_t version, signature;
    uint32_t helpId, exStyle, style;
    int16_t x, y, cx, cy;
    std::string menu, className, caption, font;
    uint16_t pointSize, weight;
    uint8_t italic, charset;
    std::vector<Control> controls;
};

class TemplateReader {
  public:
    explicit TemplateReader(const std::vector<uint8_t>& data) : data_(data) {}
    uint16_t U16() { uint16_t v = data_[at_] | (data_[at_ + 1] << 8); at_ += 2; return v; }
    uint32_t U32() { uint32_t lo = U16(); return lo | (uint32_t{U16()} << 16); }
    uint8_t U8() { return data_[at_++]; }
    std::string Text() {
        std::string text;
        for (uint16_t c = U16(); c != 0; c = U16()) text.push_back(static_cast<char>(c));
        return text;
    }
    // A name or an ordinal: 0xFFFF then the number; class ordinals name the predefined classes.
    std::string NameOrOrdinal(uint32_t* ordinal = nullptr) {
        if (data_[at_] == 0xFF && data_[at_ + 1] == 0xFF) {
            U16();
            const uint16_t value = U16();
            if (ordinal != nullptr) *ordinal = value;
            switch (value) {
                case 0x80: return "BUTTON";
                case 0x81: return "EDIT";
                case 0x82: return "STATIC";
                default: return "#" + std::to_string(value);
            }
        }
        return Text();
    }
    void Align() { at_ = (at_ + 3) & ~size_t{3}; }

    Template Read() {
        Template t{};
        t.version = U16(); t.signature = U16(); t.helpId = U32(); t.exStyle = U32(); t.style = U32();
        const uint16_t count = U16();
        t.x = U16(); t.y = U16(); t.cx = U16(); t.cy = U16();
        t.menu = NameOrOrdinal(); t.className = NameOrOrdinal(); t.caption = Text();
        t.pointSize = U16(); t.weight = U16(); t.italic = U8(); t.charset = U8(); t.font = Text();
        for (uint16_t i = 0; i < count; ++i) {
            Align();
            Control c{};
            c.helpId = U32(); c.exStyle = U32(); c.style = U32();
            c.x = U16(); c.y = U16(); c.cx = U16(); c.cy = U16(); c.id = U32();
            c.className = NameOrOrdinal();
            c.text = NameOrOrdinal();
            c.extraCount = U16();
            at_ += c.extraCount;
            t.controls.push_back(c);
        }
        return t;
    }

  private:
    const std::vector<uint8_t>& data_;
    size_t at_ = 0;
};

struct ExpectedControl {
    uint32_t id;
    const char* className;
    const char* text;
    uint32_t style, exStyle;
    int16_t x, y, cx, cy;
};

constexpr uint32_t kChild = WS_CHILD, kVisible = WS_VISIBLE, kGroup = WS_GROUP, kTab = WS_TABSTOP,
                   kBorder = WS_BORDER, kTransparent = WS_EX_TRANSPARENT;

const ExpectedControl kMasterControls[] = {
    {1002, "STATIC", "QUORVANE", kChild | kVisible | SS_BITMAP | SS_REALSIZEIMAGE, 0, 0, 0, 15, 13},
    {1, "BUTTON", "Next >", kChild | kGroup | kTab | BS_PUSHBUTTON, 0, 212, 268, 50, 14},
    {2, "BUTTON", "Cancel", kChild | kTab | BS_PUSHBUTTON, 0, 368, 270, 50, 14},
    {1008, "BUTTON", "< &Back", kChild | kTab | BS_PUSHBUTTON, 0, 162, 268, 50, 14},
    {1005, "STATIC", "Setup will now install Quorvane", kChild | kBorder | kGroup | SS_LEFT, kTransparent, 162, 212, 200, 13},
    {1006, "STATIC", "Modify or accept the destination directory below.", kChild | kBorder | kGroup | SS_LEFT, kTransparent, 162, 228, 200, 11},
    {1001, "STATIC", "Game Directory:", kChild | kBorder | kGroup | SS_LEFT, kTransparent, 162, 244, 56, 12},
    {1000, "EDIT", "", kChild | kBorder | kTab | ES_LEFT | ES_AUTOHSCROLL | ES_OEMCONVERT, kTransparent, 220, 244, 142, 12},
    {1011, "BUTTON", "Browse...", kChild | kTab | BS_PUSHBUTTON, 0, 378, 244, 40, 14},
    {1009, "STATIC", "", kChild | kBorder | kGroup | SS_LEFT, kTransparent, 162, 182, 200, 26},
    {1003, "STATIC",
     "In order to complete the installation of the game it will be necessary to restart your system. "
     "Press the Reboot button to restart Windows 95 now.",
     kChild | kGroup | SS_LEFT, kTransparent, 1, 2, 175, 38},
    {1004, "STATIC",
     "If you do not restart Windows 95 now, the drivers required to make DirectX(tm) work will not be "
     "available until the next restart.",
     kChild | kBorder | kGroup | SS_LEFT, kTransparent, 162, 204, 200, 30},
    {1010, "STATIC", "Quorvane Installed Succesfully.", kChild | kBorder | kGroup | SS_LEFT, kTransparent, 162, 204, 111, 12},
    {1012, "BUTTON", "", kChild | kVisible | kTab | BS_PUSHBUTTON | BS_BITMAP, 0, 175, 46, 24, 24},
    {1013, "BUTTON", "", kChild | kVisible | kTab | BS_PUSHBUTTON | BS_BITMAP, 0, 175, 77, 24, 24},
    {1015, "BUTTON", "", kChild | kVisible | kTab | BS_PUSHBUTTON | BS_BITMAP, 0, 175, 139, 24, 24},
    {1018, "BUTTON", "", kChild | kVisible | kTab | BS_PUSHBUTTON | BS_BITMAP, 0, 66, 251, 24, 24},
    {1050, "BUTTON", "", kChild | kTab | BS_PUSHBUTTON | BS_BITMAP, 0, 175, 15, 24, 24},
    {1051, "BUTTON", "", kChild | kTab | BS_PUSHBUTTON | BS_BITMAP, 0, 175, 108, 24, 24},
};

const ExpectedControl kRemoveControls[] = {
    {1053, "BUTTON", "OK", kChild | kVisible | kTab | BS_DEFPUSHBUTTON, 0, 67, 74, 50, 14},
    {1054, "BUTTON", "Cancel", kChild | kVisible | kTab | BS_PUSHBUTTON, 0, 129, 74, 50, 14},
    {1052, "STATIC", "", kChild | kBorder | kGroup | SS_LEFT, kTransparent, 7, 7, 172, 61},
};

template <size_t N>
void ExpectControls(const Template& t, const ExpectedControl (&expected)[N]) {
    ASSERT_EQ(N, t.controls.size());
    for (size_t i = 0; i < N; ++i) {
        const Control& c = t.controls[i];
        const ExpectedControl& e = expected[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + ", id " + std::to_string(e.id));
        EXPECT_EQ(e.id, c.id);
        EXPECT_EQ(e.className, c.className);
        EXPECT_EQ(e.text, c.text);
        EXPECT_EQ(e.style, c.style);
        EXPECT_EQ(e.exStyle, c.exStyle);
        EXPECT_EQ(e.x, c.x); EXPECT_EQ(e.y, c.y); EXPECT_EQ(e.cx, c.cx); EXPECT_EQ(e.cy, c.cy);
        EXPECT_EQ(0u, c.helpId);
        EXPECT_EQ(0u, c.extraCount) << "no creation data";
    }
}

TEST_F(ShippedProgram, TheWizardTemplateIsAsDesigned) {
    const PeResource* r = image_.FindEntry(ResourceKey::Id(5), ResourceKey::Name(DLG_MASTER_NAME));
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(1033u, r->language);
    const Template t = TemplateReader(r->data).Read();
    EXPECT_EQ(1, t.version);
    EXPECT_EQ(0xFFFF, t.signature);
    EXPECT_EQ(0u, t.helpId);
    EXPECT_EQ(0u, t.exStyle);
    EXPECT_EQ(static_cast<uint32_t>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), t.style);
    EXPECT_EQ(5, t.x); EXPECT_EQ(50, t.y); EXPECT_EQ(427, t.cx); EXPECT_EQ(293, t.cy);
    EXPECT_EQ("", t.menu);
    EXPECT_EQ("", t.className);
    EXPECT_EQ("Microsoft Windows 95 Game SDK", t.caption);
    EXPECT_EQ("Helv", t.font);
    EXPECT_EQ(8, t.pointSize); EXPECT_EQ(0, t.weight); EXPECT_EQ(0, t.italic); EXPECT_EQ(1, t.charset);
    ExpectControls(t, kMasterControls);
}

// The background picture keeps its size while the controls follow the dialog font's base units,
// under each pair that the program counts as tolerated, the pairs common where it runs. Under each,
// every menu label must stay beside its own button, no nearer to another, inside the window, and
// the wizard's fields on the picture's calm area. Wine's pairs follow from its measured client
// areas for the template's 427 x 293 units: only 6 x 12 gives 641 x 440, only 7 x 13 gives 747 x 476.
constexpr uint32_t kMenuButtonIds[] = {IDC_PLAY, IDC_INSTALL, IDC_DIRECTX, IDC_UNINSTALL, IDC_README, IDC_EXIT};
constexpr uint32_t kWizardFieldIds[] = {IDC_NEXT, IDC_CANCEL, IDC_BACK, IDC_WILL_INSTALL, IDC_MODIFY_NOTE,
                                        IDC_DIR_LABEL, IDC_DIRECTORY, IDC_BROWSE, IDC_STATUS, IDC_SUCCESS};
constexpr int kMaxLabelGap = 60;  // the widest font moves the buttons right, away from the labels

// As the dialog manager places a control: position and size each scaled on their own.
PictureBox PixelsOf(const Control& c, const BaseUnits& u) {
    const int left = MulDiv(c.x, u.x, 4), top = MulDiv(c.y, u.y, 8);
    return {left, top, left + MulDiv(c.cx, u.x, 4), top + MulDiv(c.cy, u.y, 8)};
}
double Distance(const PictureBox& a, const PictureBox& b) {
    const int dx = std::max({0, b.left - a.right, a.left - b.right});
    const int dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
    return std::hypot(dx, dy);
}

TEST_F(ShippedProgram, TheMenuLabelsStayBesideTheirButtonsUnderEveryCommonFont) {
    const PeResource* r = image_.FindEntry(ResourceKey::Id(5), ResourceKey::Name(DLG_MASTER_NAME));
    ASSERT_NE(nullptr, r);
    const Template t = TemplateReader(r->data).Read();
    for (const BaseUnits& u : kToleratedBaseUnits) {
        SCOPED_TRACE("base units " + std::to_string(u.x) + " x " + std::to_string(u.y));
        const int shownWidth = std::min(640, MulDiv(t.cx, u.x, 4)), shownHeight = std::min(480, MulDiv(t.cy, u.y, 8));
        std::map<uint32_t, PictureBox> buttons;
        for (const Control& c : t.controls) {
            if (std::count(std::begin(kMenuButtonIds), std::end(kMenuButtonIds), c.id)) buttons[c.id] = PixelsOf(c, u);
            if (!std::count(std::begin(kWizardFieldIds), std::end(kWizardFieldIds), c.id)) continue;
            const PictureBox f = PixelsOf(c, u);
            EXPECT_TRUE(f.left >= kCalmArea.left && f.top >= kCalmArea.top && std::min(f.right, 640) <= kCalmArea.right &&
                        f.bottom <= kCalmArea.bottom)
                << "control " << c.id << " at " << f.left << "," << f.top << "-" << f.right << "," << f.bottom
                << " leaves the calm area";
        }
        ASSERT_EQ(std::size(kMenuButtonIds), buttons.size());
        for (const MenuLabel& m : kMenuLabels) {
            const PictureBox& l = m.box;
            const PictureBox& own = buttons.at(m.button);
            EXPECT_TRUE(l.right <= shownWidth && l.bottom <= shownHeight) << m.text << " outside the shown picture";
            EXPECT_TRUE(l.top + l.bottom >= 2 * own.top && l.top + l.bottom < 2 * own.bottom)
                << m.text << ": middle row " << (l.top + l.bottom) / 2 << ", button rows " << own.top << "-" << own.bottom;
            EXPECT_TRUE(l.right <= own.left && own.left - l.right <= kMaxLabelGap)
                << m.text << " ends at x " << l.right << ", its button starts at " << own.left;
            for (const auto& [id, other] : buttons) {
                if (id != uint32_t(m.button)) EXPECT_LT(Distance(l, own), Distance(l, other)) << m.text << " nearer to " << id;
            }
            EXPECT_GT(Distance(l, kCalmArea), 0.0) << m.text << " reaches into the calm area";
        }
    }
}

TEST_F(ShippedProgram, TheUninstallTemplateIsAsDesigned) {
    const PeResource* r = image_.FindEntry(ResourceKey::Id(5), ResourceKey::Name(DLG_REMOVE_NAME));
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(1033u, r->language);
    const Template t = TemplateReader(r->data).Read();
    EXPECT_EQ(1, t.version);
    EXPECT_EQ(0xFFFF, t.signature);
    EXPECT_EQ(static_cast<uint32_t>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT), t.style);
    EXPECT_EQ(0u, t.exStyle);
    EXPECT_EQ(0, t.x); EXPECT_EQ(0, t.y); EXPECT_EQ(186, t.cx); EXPECT_EQ(95, t.cy);
    EXPECT_EQ("Uninstall Quorvane", t.caption);
    EXPECT_EQ("MS Sans Serif", t.font);
    EXPECT_EQ(8, t.pointSize); EXPECT_EQ(0, t.weight); EXPECT_EQ(0, t.italic); EXPECT_EQ(1, t.charset);
    ExpectControls(t, kRemoveControls);
}

struct ExpectedString { uint32_t id; const char* text; };
const ExpectedString kStrings[] = {
    {100, "C:\\Quorvane"}, {101, "Quorvane Setup"}, {102, "Vexelworks"}, {103, "Quorvane"},
    {104, "Decompressing MP3 files..."}, {116, "&Finish"}, {117, "&Reboot"}, {118, "QUORVANE"},
    {119, "reboot"}, {120, "Creating directory.."}, {121, "Checking disk space."},
    {122, "Installing DirectX."}, {123, "DirectX failed to install. The game was not installed."},
    {124, "Copying files."}, {125, "Copying %s"}, {126, "Setup Failure: %s could not be copied."},
    {127, "Creating StartMenu shortcut"}, {129, "VEXELBUTTON"}, {1019, "setup.wav"},
    {1020, "VEXELBUTTON"}, {1021, "VEXELBUTTON"}, {1022, "run.wav"}, {1023, "Quorvane"},
    {1024, "Quorvane Movie"}, {1025, "Uninstall Quorvane"},
    {1026, "This will completely remove Quorvane demo 4 from your system.  Click OK to proceed..."},
    {1027, "Removing File %s"}, {1028, "Removing Registry Entry %s"},
    {1029, "Removal complete!  Thanks for playing!"}, {1030, "Removing Shortcuts..."},
    {1031, "Please wait...  Decompressing Audio..."},
};

TEST_F(ShippedProgram, HoldsAllThirtyTwoStringsExactlyInLanguage9) {
    for (const ExpectedString& e : kStrings) {
        std::string text;
        uint32_t language = 0;
        ASSERT_TRUE(image_.String(e.id, &text, &language)) << "string " << e.id;
        EXPECT_EQ(e.text, text) << "string " << e.id;
        EXPECT_EQ(9u, language) << "string " << e.id;
    }
    std::string dxText;
    ASSERT_TRUE(image_.String(128, &dxText));
    const std::string start =
        "Install failed.  The DirectX version which is preinstalled with your copy of Windows NT is lower "
        "than the version required by this game.  To get updated DirectX Windows NT components, check out: ";
    EXPECT_EQ(start, dxText.substr(0, start.size()));
    EXPECT_EQ("ftp://", dxText.substr(start.size(), 6)) << "ends with a location of the vendor's fixes";
    // No other string: every id of the table's blocks is one of the 32.
    int present = 0;
    for (uint32_t id = 0; id < 2048; ++id) {
        std::string text;
        if (image_.String(id, &text)) ++present;
    }
    EXPECT_EQ(32, present);
}

}  // namespace
