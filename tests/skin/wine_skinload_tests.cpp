// Skins loaded for real under Wine, from skins the tests make: a folder, a
// packed file and a stored skin's "Data" give the same tables; skin name
// changes reach real forms; the warning for data that is no container is a
// message box answered with the mouse; bad data leaves the tables as they were.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>

#include "Forms.h"
#include "PictureUnits.h"
#include "SkinCraft.h"
#include "SkinDump.h"
#include "TestSkins.h"
#include "TestSupport.h"
#include "WinTestSupport.h"
#include "TypeInfo.h"
#include "sCommonData.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

using namespace skincraft;

namespace {

const char* const kOptions =
    "[GLOBALINFO]\r\nVERSION=6.10\r\nMASTERBITMAP=MASTER.BMP\r\nSHADOW1COLOR=0x0000FF\r\nBORDERCOLOR=0x00FF00\r\n"
    "BOXCHECKED=@   0    0   60   20 3 0\r\n"
    "[PANEL]\r\nCOLOR=0x0000C0\r\nFONTCOLOR=0xFFFFFF\r\n"
    "BORDERSMASK=^   0   20   90   60    5    5    5    5 3 1 2 0\r\n"
    "PATTERN=BIG.JPG\r\nHOTPATTERN=SMALL.JPG\r\n"
    "[BUTTON]\r\nPARENTCLASS=PANEL\r\nCOLOR=-1\r\nTRANSPARENCY=20\r\n"
    "BORDERSMASK=!BTN.PNG!3!1!0\r\nGLYPHMASK=!BTN24.BMP!3!1!2!2!2!2!2\r\n"
    "PATTERN=~   0    0   30   20 12 1\r\nFRAME=frame.bmp\r\nPART=#(0,0,90,60)(3,1,0,1)\r\n"
    "OUTSIDE=#(0,0,500,60)(3,1)\r\nLOWER=!btn.bmp!3!1!0\r\nMISSING=!NONE.BMP!3!1!0\r\n";

Files ProbeSkin() {
    return {{"Options.dat", Text(kOptions)},
            {"MASTER.BMP", Bmp(120, 80, [](int x, int) { return x < 60 ? 0xFF0000u : 0x00FF00u; })},
            {"BTN.PNG", Png(90, 40, [](int x, int) { return x < 10 ? 0xFFFFFFFFu : 0x800000FFu; })},
            {"BTN24.BMP", Bmp(90, 60, [](int, int) { return 0x0000FFu; })},
            {"FRAME.BMP", Bmp(30, 30, [](int, int) { return 0x808080u; })},
            {"BIG.JPG", Jpeg(300, 300, 0x2040C0)},
            {"SMALL.JPG", Jpeg(299, 300, 0xC04020)}};
}

// Counts the engine commands a form hears.
class TCountForm : public TForm {
public:
    using TForm::TForm;
    int Heard(uint16_t Command) const { return Counts[Command]; }
    int Counts[64] = {};

protected:
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD && SkinCommandOf(M.WParam) < 64) ++Counts[SkinCommandOf(M.WParam)];
        TForm::WndProc(M);
    }
};

class SkinLoad : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Dir = TempDir("skinload_tests");
        const Files f = ProbeSkin();
        WriteFolder(Dir, "Probe", f);
        WriteFile(Dir + "Packed.asz", Pack(f));
        Bytes wrong = Pack(f);
        wrong[3] = 'F';
        WriteFile(Dir + "Wrong.asz", wrong);
        Bytes cut = Pack(f);
        cut.resize(cut.size() - 40);
        WriteFile(Dir + "Cut.asz", cut);
    }
    void SetUp() override {
        M = MakeSkinManager(nullptr, Dir, "Probe");
    }
    void TearDown() override { delete M; }
    static std::string Dir;
    TsSkinManager* M = nullptr;
};
std::string SkinLoad::Dir;

TEST_F(SkinLoad, EveryImageFormFromAFolder) {
    ASSERT_TRUE(M->Active());
    EXPECT_TRUE(M->SkinData()->Values.SkinLoaded);
    EXPECT_EQ(M->SkinInfo(), "6.1");
    ASSERT_NE(M->MasterBitmap(), nullptr);
    EXPECT_EQ(M->MasterBitmap()->Width(), 120);
    ASSERT_EQ(M->gd().size(), 3u);
    const TsGeneralData& button = M->gd()[2];
    EXPECT_EQ(button.Color, 0x0000C0);  // COLOR=-1 takes the parent's
    EXPECT_EQ(button.Transparency, 20);
    EXPECT_EQ(button.FontColor[0], 0xFFFFFF);
    // Table order: the skin text's values, then the small JPEG as a texture.
    const std::string dump = DumpSkinTables(*M);
    const char* const expected =
        "M\tGLOBALINFO\tBOXCHECKED\titisaGlyph\t0,0,60,20\t3\t0\t0\t0\t0\t0\t0\t0\t0\n"
        "M\tPANEL\tBORDERSMASK\titisaBorder\t0,20,90,60\t3\t1\t5\t5\t5\t5\t2\t0\t0\n"
        "M\tBUTTON\tBORDERSMASK\titisaBorder\t0,0,90,40\t3\t1\t10\t6\t10\t6\t4\t0\t90x40\n"
        "M\tBUTTON\tGLYPHMASK\titisaGlyph\t0,0,90,60\t3\t1\t2\t2\t2\t2\t4\t0\t90x60\n"
        "M\tBUTTON\tPATTERN\titisaTexture\t0,0,30,20\t1\t1\t10\t3\t10\t3\t12\t0\t0\n"
        "M\tBUTTON\tFRAME\titisaBorder\t0,0,30,30\t3\t1\t3\t5\t3\t5\t0\t0\t30x30\n"
        "M\tBUTTON\tPART\titisaBorder\t0,0,90,60\t3\t1\t10\t10\t10\t10\t1\t0\t0\n"
        "M\tPANEL\tHOTPATTERN\titisaTexture\t0,0,0,0\t1\t0\t0\t0\t0\t0\t0\t0\t299x300\n"
        "P\tPANEL\tPATTERN\t300x300\n";
    EXPECT_NE(dump.find(expected), std::string::npos) << dump;
    EXPECT_EQ(dump.substr(0, 2), "S\t");
    // The PNG keeps its alpha; its pure white pixels are cleared.
    TBitmap* png = M->ma()[2].Image;
    ASSERT_EQ(png->PixelFormat(), pf32bit);
    EXPECT_EQ(static_cast<uint8_t*>(png->ScanLine(0))[3], 0);
    EXPECT_EQ(static_cast<uint8_t*>(png->ScanLine(0))[4 * 20 + 3], 0x80);
    EXPECT_EQ(M->ma()[3].Image->PixelFormat(), pf24bit);
    EXPECT_EQ(M->ConstData().CheckBoxChecked, 0);
}

TEST_F(SkinLoad, FolderPackedFileAndStoredDataGiveTheSameTables) {
    const std::string folder = DumpSkinTables(*M);
    M->SetSkinName("Packed");
    EXPECT_TRUE(M->PackedSkinLoaded());
    EXPECT_EQ(DumpSkinTables(*M), folder);
    TsStoredSkin* stored = M->InternalSkins()->Add();
    stored->SetName("Stored");
    stored->SetData(Pack(ProbeSkin()));
    M->SetSkinName("Stored");
    EXPECT_TRUE(M->PackedSkinLoaded());
    EXPECT_EQ(DumpSkinTables(*M), folder);
    EXPECT_EQ(M->SkinData()->Values.SkinFolderPath, "");
    TStringList names;
    EXPECT_EQ(M->ListSkinNames(&names, 2), "Stored");
    EXPECT_EQ(names.Count(), 5);  // Cut, Packed, Probe, Stored, Wrong
}

TEST_F(SkinLoad, StoredCollectionsBuildTablesOfTheirOwn) {
    TsStoredSkin* s = M->InternalSkins()->Add();
    s->SetName("Kept");
    s->MasterBitmap()->SetSize(40, 40);
    TsSkinGeneral* g = s->GeneralData()->Add();
    g->SectionName = "FORM", g->Color = 0x123456, g->FontColor = "1 -1 2 3 4", g->HotFontColor = "bad";
    TsSkinImage* part = s->Images()->Add();
    part->SectionName = "form", part->PropertyName = "bordersmask", part->Right = 30, part->Bottom = 30;
    TsSkinImage* outside = s->Images()->Add();
    outside->SectionName = "FORM", outside->PropertyName = "X", outside->Right = 41, outside->Bottom = 30;
    M->SetSkinName("Kept");
    // A skin without GLOBALINFO gets a plain one after its own sections.
    ASSERT_EQ(M->gd().size(), 2u);
    EXPECT_EQ(M->gd()[1].SectionName, "GLOBALINFO");
    EXPECT_EQ(M->gd()[0].Color, 0x123456);
    EXPECT_EQ(M->gd()[0].FontColor[3], 3);
    EXPECT_EQ(M->gd()[0].HotFontColor[1], -1);
    ASSERT_EQ(M->ma().size(), 1u);  // the part outside the master is skipped
    EXPECT_EQ(M->ma()[0].SectionName, "FORM");
    EXPECT_EQ(M->ma()[0].ImageCount, 3);  // 0 becomes 3 with a mask row
    EXPECT_EQ(M->ma()[0].MaskType, 1);
    EXPECT_EQ(M->ma()[0].WL, 3);
    // An unknown name takes the first stored skin.
    M->SetSkinName("Nobody");
    EXPECT_EQ(M->SkinName(), "Kept");
}

TEST_F(SkinLoad, SkinNameChangesReachRealFormsAndTheEvents) {
    auto* a = new TCountForm(Application);
    auto* b = new TCountForm(Application);
    a->Show(), b->Show();
    int before = 0, after = 0;
    struct Events {
        int* B;
        int* A;
        void Before(TObject*) { ++*B; }
        void After(TObject*) { ++*A; }
    } ev{&before, &after};
    M->OnBeforeChange = TNotifyEvent::Of<&Events::Before>(&ev);
    M->OnAfterChange = TNotifyEvent::Of<&Events::After>(&ev);
    M->SetSkinName("Packed");
    for (TCountForm* f : {a, b}) {
        EXPECT_EQ(f->Heard(scNewSkin), 1);
        EXPECT_EQ(f->Heard(scRemoveSkin), 0);
    }
    M->SetSkinName("Missing");  // no folder, file or stored skin: off
    EXPECT_FALSE(M->Active());
    EXPECT_EQ(M->gd().size(), 0u);
    for (TCountForm* f : {a, b}) {
        EXPECT_EQ(f->Heard(scNewSkin), 1);
        EXPECT_EQ(f->Heard(scRemoveSkin), 1);
    }
    EXPECT_EQ(before, 2);
    EXPECT_EQ(after, 2);
    // Off, a new name is only stored; on again, it loads and broadcasts.
    M->SetSkinName("Probe");
    EXPECT_EQ(a->Heard(scNewSkin), 1);
    M->SetActive(true);
    EXPECT_EQ(a->Heard(scNewSkin), 2);
    M->SetActive(false);
    EXPECT_EQ(b->Heard(scRemoveSkin), 2);
    EXPECT_TRUE(M->ma().empty());
    delete a;
    delete b;
}

// Answers the warning box as a user would: a click on its button. Should the
// click not close it within two seconds, the button is pressed by message so
// that the test fails instead of hanging.
std::wstring BoxText;
DWORD ClickedAt = 0;
bool ClickMissed = false;
void CALLBACK PressWarningButton(HWND, UINT, UINT_PTR Id, DWORD) {
    HWND box = FindWindowW(L"#32770", L"Warning");
    if (!box || !IsWindowVisible(box)) return;
    if (ClickedAt) {
        if (GetTickCount() - ClickedAt > 2000) {
            ClickMissed = true;
            KillTimer(nullptr, Id);
            PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        }
        return;
    }
    ClickedAt = GetTickCount();
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    BoxText = text;
    HWND ok = GetDlgItem(box, IDOK);
    RECT r;
    GetWindowRect(ok, &r);
    const int sx = GetSystemMetrics(SM_CXSCREEN) - 1, sy = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT in[3] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = LONG((r.left + r.right) / 2 * 65535 / sx);
        i.mi.dy = LONG((r.top + r.bottom) / 2 * 65535 / sy);
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    in[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    in[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    testwin::SendInputs({in[0], in[1], in[2]});
}

// Nothing changes, the skin's name included: a later hue change reloads
// the skin that is there, shifted and without another warning.
TEST_F(SkinLoad, DataThatIsNoContainerIsAWarningBoxAndChangesNothing) {
    const std::string loaded = DumpSkinTables(*M);
    const AnsiString name = M->SkinName();
    auto* f = new TCountForm(Application);
    f->Show();
    BoxText.clear();
    ClickedAt = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, PressWarningButton);
    M->SetSkinName("Wrong");  // returns once the box is answered
    KillTimer(nullptr, timer);
    EXPECT_EQ(BoxText, L"Loaded data is not a packed skin file");
    EXPECT_FALSE(ClickMissed);
    EXPECT_TRUE(M->Active());
    EXPECT_TRUE(M->SkinData()->Values.SkinLoaded);
    EXPECT_EQ(DumpSkinTables(*M), loaded);
    EXPECT_EQ(f->Heard(scNewSkin) + f->Heard(scRemoveSkin), 0);
    EXPECT_EQ(M->SkinName(), name);
    BoxText.clear();
    ClickedAt = 0;
    const UINT_PTR again = SetTimer(nullptr, 0, 100, PressWarningButton);
    M->SetHueOffset(120);
    KillTimer(nullptr, again);
    EXPECT_EQ(BoxText, L"");
    EXPECT_EQ(M->gd()[1].Color, 0x00C000);
    delete f;
}

TEST_F(SkinLoad, DamagedDataRaisesAndKeepsTheTables) {
    const std::string loaded = DumpSkinTables(*M);
    const AnsiString name = M->SkinName();
    EXPECT_THROW(M->SetSkinName("Cut"), EStreamError);
    EXPECT_EQ(M->SkinName(), name);
    EXPECT_FALSE(SkinLoading);
    EXPECT_TRUE(M->SkinData()->Values.SkinLoaded);
    EXPECT_EQ(DumpSkinTables(*M), loaded);
}

TEST_F(SkinLoad, HueAndSaturationReloadTheSkinShifted) {
    M->SetHueOffset(120);  // red towards green
    ASSERT_TRUE(M->Active());
    EXPECT_EQ(M->gd()[1].Color, 0x00C000);
    EXPECT_EQ(M->SkinData()->Values.Shadow1Color, 0x00FF00);
    // The master bitmap's red half became green; the grey frame stays grey.
    const uint8_t* px = static_cast<uint8_t*>(M->MasterBitmap()->ScanLine(0));
    EXPECT_EQ(px[1], 0xFF);
    EXPECT_EQ(px[2], 0x00);
    EXPECT_EQ(static_cast<uint8_t*>(M->ma()[5].Image->ScanLine(0))[2], 0x80);
    M->SetSaturation(100);  // amount -100: away from grey, already pure
    EXPECT_EQ(M->gd()[1].Color, 0x00FF00);
}

TEST_F(SkinLoad, AReloadThatFindsTheSkinGoneTurnsTheManagerOffForEveryForm) {
    WriteFolder(Dir, "Gone", ProbeSkin());
    M->SetSkinName("Gone");
    auto* f = new TCountForm(Application);
    f->Show();
    DeleteFileA((Dir + "Gone\\Options.dat").c_str());
    M->SetHueOffset(40);
    EXPECT_FALSE(M->Active());
    EXPECT_TRUE(M->gd().empty());
    EXPECT_EQ(f->Heard(scRemoveSkin), 1);
    delete f;
}

TEST_F(SkinLoad, CommonSectionsAddSectionsAndPartsAfterTheSkin) {
    TStringList lines;
    for (const char* l : {"[MYBTN]", "PARENTCLASS = button", "PART = #(0,0,30,30)(3,1)", "[PANEL]", "COLOR=1",
                          "[LOOPA]", "PARENTCLASS=LOOPB", "[LOOPB]", "PARENTCLASS=LOOPA", "BAD=#(0,0,999,30)(3,1)"})
        lines.Add(l);
    M->SetCommonSections(&lines);  // reloads the skin
    ASSERT_EQ(M->gd().size(), 6u);
    EXPECT_EQ(M->gd()[1].Color, 0x0000C0);  // the skin's PANEL stays
    EXPECT_EQ(M->gd()[3].SectionName, "MYBTN");
    EXPECT_EQ(M->gd()[3].Transparency, 20);  // from BUTTON
    const int part = M->MaskIndex("MYBTN", "PART");
    ASSERT_GE(part, 0);
    EXPECT_EQ(M->ma()[size_t(part)].Image, nullptr);
    EXPECT_EQ(M->MaskIndex("LOOPB", "BAD"), -1);  // outside the master bitmap
    EXPECT_EQ(M->MaskIndexInherited(M->SectionAt(M->SectionIndex("LOOPA")), "NONE"), -1);
}

// A section the skin lacks paints from the one section the resolver chose,
// the control kind's default or else GLOBALINFO: colours, border mask and
// textures alike, so the state paints what that section paints itself.
TEST_F(SkinLoad, AMissingSectionTakesColoursAndImagesFromTheSectionChosen) {
    const struct {
        int Code;
        const char* Wanted;
        const char* Chosen;
    } cases[] = {
        {93, "MYBUTTON", "BUTTON"},    // its own images, not its parent PANEL's
        {51, "MYPANEL", "PANEL"},      // images of PANEL, not of the missing name
        {2, "MYEDIT", "GLOBALINFO"},   // no EDIT either
    };
    const CacheInfo under{nullptr, 0, 0, 0x123456, false};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Wanted);
        TsCommonData d(nullptr, false);
        d.ControlTypeCode = c.Code;
        d.SetSkinSection(c.Wanted);
        EXPECT_EQ(d.Resolved().Name, c.Chosen);
        std::unique_ptr<TBitmap> got(CreateBitmap24(40, 30)), want(CreateBitmap24(40, 30));
        PaintControlSection(&d, under, true, got.get(), Point(0, 0), Rect(0, 0, 40, 30), 0);
        PaintSectionFull(M->Resolve(c.Chosen, c.Chosen), under, -1, -1, M, want.get(), Point(0, 0), Rect(0, 0, 40, 30),
                         0, true);
        const TacImage g = ImageOf(got.get()), w = ImageOf(want.get());
        int differ = 0;
        for (int y = 0; y < 30; ++y) differ += std::memcmp(g.At(0, y), w.At(0, y), 40 * 3) != 0;
        EXPECT_EQ(differ, 0);
    }
}

TEST_F(SkinLoad, StoredSkinsAndSettingsComeThroughTheFormReader) {
    const TClassInfo& info = *FindClassInfo("TsSkinManager");
    TReadContext ctx;
    auto item = [](const char* name, std::vector<FormProperty> more) {
        std::vector<FormProperty> p = {{"Name", FormValue::MakeString(name)}};
        p.insert(p.end(), more.begin(), more.end());
        return p;
    };
    FormValue general;
    general.Kind = FormValueKind::Collection;
    general.Items.push_back({{"SectionName", FormValue::MakeString("FORM")}, {"Color", FormValue::MakeInt(0x42)}});
    FormValue data;
    data.Kind = FormValueKind::Binary;
    data.Binary = Pack(ProbeSkin());
    FormValue empty;
    empty.Kind = FormValueKind::Binary;
    FormValue skins;
    skins.Kind = FormValueKind::Collection;
    skins.Items.push_back(item("FromCollections", {{"GeneralData", general}, {"Data", empty}}));
    skins.Items.push_back(item("FromData", {{"Data", data}, {"Version", FormValue::MakeFloat(6.1)}}));
    WriteProperty(M, info, "InternalSkins", skins, ctx);
    WriteProperty(M, info, "ThirdParty.ThirdGrids", FormValue::MakeString("TMyGrid"), ctx);
    WriteProperty(M, info, "AnimEffects.SkinChanging.Time", FormValue::MakeInt(250), ctx);
    EXPECT_EQ(M->ThirdParty()->Get(5), "TMyGrid");  // published order differs from the index order
    EXPECT_EQ(M->AnimEffects()->FormShow()->Time(), 0);
    EXPECT_EQ(M->AnimEffects()->Buttons()->Events(), 0xFu);
    ASSERT_EQ(M->InternalSkins()->Count(), 2);
    M->SetSkinName("FromCollections");
    ASSERT_EQ(M->gd().size(), 2u);  // its section and a plain GLOBALINFO
    EXPECT_EQ(M->gd()[0].Color, 0x42);
    EXPECT_FALSE(M->PackedSkinLoaded());
    M->SetSkinName("FromData");
    EXPECT_TRUE(M->PackedSkinLoaded());
    EXPECT_EQ(M->gd().size(), 3u);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new PictureUnits);
    sSkinManagerInitialize();
    return RUN_ALL_TESTS();
}
