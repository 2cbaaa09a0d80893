// The frame controller: pushes by property name under each notification
// bit, pulls through the client interface, held pushes, the colour moving
// the focus colour along, links that end with either side; the settings-file
// component's INI and registry reads.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "RzEdit.h"
#include "RzLabel.h"
#include "RzPanel.h"
#include "WineUi.h"

using namespace wineui;

namespace {
// A panel that counts the controller's notices.
class TCountingPanel : public TRzPanel {
public:
    using TRzPanel::TRzPanel;
    const char* ClassName() const override { return "TRzPanel"; }
    void FrameControllerChanged() override {
        ++Notices;
        TRzPanel::FrameControllerChanged();
    }
    int Notices = 0;
};
}  // namespace

TEST(FrameController, PushesByNameUnderEachBit) {
    auto fc = std::make_unique<TRzFrameController>(nullptr);
    auto edit = std::make_unique<TRzEdit>(nullptr);
    auto keep = std::make_unique<TRzEdit>(nullptr);
    keep->SetFrameControllerNotifications(fcpAllNotifications & ~(1u << fcpColor));
    keep->SetColor(0x123456);
    fc->SetFrameStyle(fsGroove);
    edit->SetFrameController(fc.get());
    keep->SetFrameController(fc.get());
    EXPECT_EQ(fc->LinkCount(), 2);
    // Linking pushes everything at once.
    EXPECT_EQ(edit->FrameStyle(), fsGroove);
    EXPECT_EQ(keep->FrameStyle(), fsGroove);

    fc->SetColor(0x00E0E0);
    EXPECT_EQ(edit->Color(), TColor(0x00E0E0));
    EXPECT_EQ(keep->Color(), TColor(0x123456));  // no fcpColor bit, own colour stays
    // The controller's focus colour followed its colour, and was pushed.
    EXPECT_EQ(fc->FocusColor(), TColor(0x00E0E0));
    EXPECT_EQ(edit->FocusColor(), TColor(0x00E0E0));
    fc->SetFocusColor(clYellow);
    fc->SetColor(clWhite);
    EXPECT_EQ(fc->FocusColor(), clYellow);

    fc->SetFrameSides(SideBit(sdTop) | SideBit(sdBottom));
    EXPECT_EQ(edit->FrameSides(), SideBit(sdTop) | SideBit(sdBottom));
    fc->SetFramingPreference(fpCustomFraming);
    EXPECT_EQ(edit->FramingPreference(), fpCustomFraming);
    fc->SetReadOnlyColorOnFocus(true);
    EXPECT_TRUE(edit->ReadOnlyColorOnFocus());
    fc->SetFrameHotTrack(true);
    EXPECT_TRUE(fc->FrameVisible());
    EXPECT_TRUE(edit->FrameHotTrack());
    EXPECT_TRUE(edit->FrameVisible());

    // Leaving: the destructor unlinks; the last link frees the list.
    keep.reset();
    EXPECT_EQ(fc->LinkCount(), 1);
    edit->SetFrameController(nullptr);
    EXPECT_EQ(fc->LinkCount(), 0);
    EXPECT_FALSE(fc->HasLinkList());
    // The controller going clears the links of its controls.
    edit->SetFrameController(fc.get());
    fc.reset();
    EXPECT_EQ(edit->FrameController(), nullptr);
    edit->SetColor(clRed);  // nothing left to reach
}

TEST(FrameController, ClientsPullOncePerRelease) {
    auto fc = std::make_unique<TRzFrameController>(nullptr);
    auto panel = std::make_unique<TCountingPanel>(nullptr);
    panel->SetFrameController(fc.get());
    EXPECT_EQ(panel->Notices, 1);
    // FrameVisible False: the panel hears but changes nothing.
    fc->SetFrameStyle(fsGroove);
    EXPECT_EQ(panel->Notices, 2);
    EXPECT_EQ(panel->BorderOuter(), fsRaised);

    fc->HoldPushes();
    fc->SetFrameVisible(true);
    fc->SetFrameStyle(fsFlatBold);
    fc->SetFrameColor(0x0000FF);
    fc->SetColor(0xFFFFFF);
    fc->SetFrameSides(SideBit(sdLeft));
    EXPECT_EQ(panel->Notices, 2);  // nothing while held
    fc->ReleasePushes();
    EXPECT_EQ(panel->Notices, 3);  // one push for the five changes
    EXPECT_EQ(panel->BorderOuter(), fsFlatBold);
    EXPECT_EQ(panel->FlatColor(), TColor(0x0000FF));
    EXPECT_EQ(panel->FlatColorAdjustment(), 0);
    EXPECT_EQ(panel->BorderSides(), SideBit(sdLeft));
    EXPECT_EQ(panel->Color(), TColor(0xFFFFFF));
    EXPECT_EQ(panel->BorderHighlight(), LightenColor(0xFFFFFF, 100));
    EXPECT_EQ(panel->BorderShadow(), DarkenColor(0xFFFFFF, 50));
    // Holding twice needs two releases; an extra release does not go below 0.
    fc->HoldPushes();
    fc->HoldPushes();
    fc->ReleasePushes();
    EXPECT_EQ(panel->Notices, 3);
    fc->ReleasePushes();
    EXPECT_EQ(panel->Notices, 4);
    fc->ReleasePushes();
    EXPECT_EQ(panel->Notices, 5);
    fc->SetFrameColor(0x00FF00);
    EXPECT_EQ(panel->Notices, 6);
    // The settings-file component it names may go first.
    auto* ini = new TRzRegIniFile(nullptr);
    fc->SetRegIniFile(ini);
    EXPECT_EQ(fc->RegIniFile(), ini);
    delete ini;
    EXPECT_EQ(fc->RegIniFile(), nullptr);

    // Assign copies all settings inside one hold.
    TRzFrameController other(nullptr);
    other.SetFrameStyle(fsGroove);
    other.SetFrameVisible(true);
    fc->Assign(&other);
    EXPECT_EQ(panel->Notices, 7);
    EXPECT_EQ(panel->BorderOuter(), fsGroove);
    panel.reset();
    EXPECT_EQ(fc->LinkCount(), 0);

    // A label pulls the same way, and ignores a controller without frames.
    auto label = std::make_unique<TRzLabel>(nullptr);
    fc->SetFrameVisible(false);
    label->SetFrameController(fc.get());
    fc->SetFrameStyle(fsBump);
    EXPECT_EQ(label->BorderOuter(), fsNone);
    label->SetFrameControllerNotifications(1u << fcpFrameStyle);
    fc->SetFrameVisible(true);
    EXPECT_EQ(label->BorderOuter(), fsBump);
    fc->SetFrameColor(clRed);
    EXPECT_NE(label->FlatColor(), clRed);  // not among its notifications
    fc.reset();
    EXPECT_EQ(label->FrameController(), nullptr);
}

TEST(RegIniFile, ReadsIniAndRegistryWithoutCreating) {
    TRzRegIniFile ini(nullptr);
    EXPECT_TRUE(ini.RefreshPending());
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "tuvreli_regini_test.ini";
    std::string longValue(3000, 'x');
    {
        std::ofstream out(path);
        out << "[Look]\nFrame=Groove\nLong=" << longValue << "\n";
    }
    ini.SetPath(path.c_str());
    EXPECT_EQ(ini.ReadString("Look", "Frame", "none"), "Groove");
    EXPECT_FALSE(ini.RefreshPending());
    EXPECT_EQ(ini.ReadString("Look", "Long", "").size(), longValue.size());
    EXPECT_EQ(ini.ReadString("Look", "Missing", "def"), "def");
    ini.SetPathType(ptRegistry);
    EXPECT_TRUE(ini.RefreshPending());
    DeleteFileA(path.c_str());

    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\TuvreliRegIniTest\\Look", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr), ERROR_SUCCESS);
    std::wstring big(5000, L'\x0410');  // longer than any fixed buffer; Cyrillic A
    RegSetValueExW(key, L"Big", 0, REG_SZ, reinterpret_cast<const BYTE*>(big.c_str()),
                   DWORD((big.size() + 1) * sizeof(wchar_t)));
    DWORD number = 7;
    RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    ini.SetPath("\\Software\\TuvreliRegIniTest");  // a leading backslash is dropped
    AnsiString got = ini.ReadString("Look", "Big", "");
    ASSERT_EQ(got.size(), big.size());
    EXPECT_EQ(static_cast<unsigned char>(got[0]), 0xC0);
    EXPECT_EQ(ini.ReadString("Look", "Number", "def"), "def");  // not a string
    EXPECT_EQ(ini.ReadString("Nowhere", "Big", "def"), "def");
    HKEY probe = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TuvreliRegIniTest\\Nowhere", 0, KEY_READ, &probe),
              ERROR_SUCCESS);
    EXPECT_EQ(RzReadRegistryString(HKEY_CURRENT_USER, L"Software\\TuvreliRegIniTest\\Look", L"Big", "").size(),
              big.size());
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TuvreliRegIniTest");
}
