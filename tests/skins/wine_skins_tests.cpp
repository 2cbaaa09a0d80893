// Our two test skins in the engine under Wine: each loads from its folder,
// its packed file and both stored forms (the "Data" container and the
// collections) into the same tables; the skin host dumps those tables; the
// section backgrounds painted from each skin match the portable core's
// reference; skinned scroll bars on a real form draw from each skin, show
// their disabled look and follow real mouse input.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "FormData.h"
#include "FormReader.h"
#include "Forms.h"
#include "PictureUnits.h"
#include "SkinDump.h"
#include "TestSkins.h"
#include "TestSupport.h"
#include "TypeInfo.h"
#include "Text1251.h"
#include "acMaskBlend.h"
#include "sControlUtils.h"
#include "sGradient.h"
#include "sGraphUtils.h"
#include "sScrollBar.h"
#include "sSkinManager.h"

namespace {

const std::string kSkins = std::string(TUVRELI_TEST_SKINS_DIR) + "\\";

std::vector<uint8_t> ReadBytes(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A fresh folder under the system's temporary folder.
std::string TempFolder(const char* Name) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string dir = std::string(tmp) + Name + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

// The skin's folder copied into Dir, away from its packed file (which a
// skin name would find first).
void CopySkinFolder(const std::string& Name, const std::string& Dir) {
    const std::string from = kSkins + Name + "\\", to = Dir + Name + "\\";
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA f;
    HANDLE h = FindFirstFileA((from + "*").c_str(), &f);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do
        if (!(f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyFileA((from + f.cFileName).c_str(), (to + f.cFileName).c_str(), FALSE);
    while (FindNextFileA(h, &f));
    FindClose(h);
}

// The root a stored skin's form text is read into, whatever the form's class.
class TSkinStore : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TSkinStore"; }
};

// The manager of a compiled stored-skin form (<skin>-data.bin, -items.bin),
// loaded by the form reader as a program loads its form.
struct StoredForm {
    std::unique_ptr<TSkinStore> Root;
    TsSkinManager* Manager = nullptr;
    explicit StoredForm(const std::string& File) {
        const std::vector<uint8_t> bytes = ReadBytes(File);
        FormObject def = ReadFormBinary(bytes.data(), bytes.size());
        def.ClassName = "TSkinStore";
        Root = std::make_unique<TSkinStore>(nullptr);
        LoadFormDefinition(Root.get(), def);
        for (int i = 0; i < Root->ComponentCount() && !Manager; ++i)
            Manager = dynamic_cast<TsSkinManager*>(Root->Components(i));
    }
};

// A table dump as the stored collections must give it too: sections and
// patterns as they are; images by section, key, type, cell counts, own
// image size and (for parts of the master bitmap) rectangle, in any order.
// The collections' own rules make the rest differ: all-zero margins are
// computed, a small JPEG texture is an own image with its whole rectangle.
std::vector<std::string> CollectionsView(const std::string& Dump) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < Dump.size()) {
        const size_t end = Dump.find('\n', at);
        const std::string line = Dump.substr(at, end - at);
        at = end == std::string::npos ? Dump.size() : end + 1;
        if (line.rfind("M\t", 0) != 0) {
            out.push_back(line);
            continue;
        }
        std::vector<std::string> f;
        for (size_t a = 0, b; a <= line.size(); a = b + 1) {
            b = line.find('\t', a);
            if (b == std::string::npos) b = line.size();
            f.push_back(line.substr(a, b - a));
        }
        if (f.size() != 14) {
            out.push_back(line);
            continue;
        }
        out.push_back(f[1] + " " + f[2] + " " + f[3] + " " + f[5] + " " + f[6] + " " + f[13] +
                      (f[13] == "0" ? " " + f[4] : std::string()));
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::string Utf8File(const std::string& Path) {
    const std::vector<uint8_t> b = ReadBytes(Path);
    return std::string(b.begin(), b.end());
}

// skinhost.exe --dump: its exit code and what it wrote.
DWORD RunDump(std::string Dir, const std::string& Name, const std::string& Out, std::string& Text) {
    DeleteFileA(Out.c_str());
    // No backslash before a closing quote: the command line would read it as a quote.
    while (!Dir.empty() && Dir.back() == '\\') Dir.pop_back();
    std::wstring cmd = L"\"" + testwin::HostPath(SKINHOST_EXE) + L"\" --dump \"" +
                       reinterpret_cast<const wchar_t*>(Cp1251ToUtf16(Dir).c_str()) + L"\" " +
                       reinterpret_cast<const wchar_t*>(Cp1251ToUtf16(Name).c_str()) + L" \"" +
                       reinterpret_cast<const wchar_t*>(Cp1251ToUtf16(Out).c_str()) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 0xDEAD;
    DWORD code = 0xDEAD;
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    Text = Utf8File(Out);
    return code;
}

class OurSkin : public ::testing::TestWithParam<const char*> {
protected:
    std::string Name() const { return GetParam(); }
    void TearDown() override { EXPECT_EQ(DefaultSkinManager, nullptr) << "a test left a manager behind"; }
};

}  // namespace

TEST_P(OurSkin, LoadsTheSameTablesFromItsFolderItsPackedFileAndBothStoredForms) {
    const std::string dir = TempFolder("ourskins_folder");
    CopySkinFolder(Name(), dir);
    std::string folder;
    {
        std::unique_ptr<TsSkinManager> m(MakeSkinManager(nullptr, dir, Name()));
        ASSERT_TRUE(m->Active());
        EXPECT_FALSE(m->PackedSkinLoaded());
        folder = DumpSkinTables(*m);
    }
    ASSERT_GT(std::count(folder.begin(), folder.end(), '\n'), 100);
    {
        std::unique_ptr<TsSkinManager> m(MakeSkinManager(nullptr, kSkins, Name()));
        EXPECT_TRUE(m->PackedSkinLoaded());
        EXPECT_EQ(DumpSkinTables(*m), folder);
    }
    // Both stored forms carry the skin under its name; reading the form
    // loads it: the "Data" container into the same tables, the collections
    // into the same sections, patterns and images.
    {
        StoredForm f(kSkins + Name() + "-data.bin");
        ASSERT_NE(f.Manager, nullptr);
        ASSERT_TRUE(f.Manager->Active());
        EXPECT_EQ(f.Manager->SkinName(), Name());
        EXPECT_TRUE(f.Manager->PackedSkinLoaded());
        EXPECT_EQ(DumpSkinTables(*f.Manager), folder);
    }
    {
        StoredForm f(kSkins + Name() + "-items.bin");
        ASSERT_NE(f.Manager, nullptr);
        ASSERT_TRUE(f.Manager->Active());
        EXPECT_EQ(f.Manager->SkinName(), Name());
        EXPECT_FALSE(f.Manager->PackedSkinLoaded());
        EXPECT_EQ(CollectionsView(DumpSkinTables(*f.Manager)), CollectionsView(folder));
    }
}

TEST_P(OurSkin, SkinHostDumpsTheTablesAndReportsADamagedFile) {
    std::unique_ptr<TsSkinManager> m(MakeSkinManager(nullptr, kSkins, Name()));
    const std::string expected = DumpSkinTables(*m);
    m.reset();
    const std::string dir = TempFolder("ourskins_dump");
    std::string text;
    EXPECT_EQ(RunDump(kSkins, Name(), dir + "tables.txt", text), 0u);
    EXPECT_EQ(text, expected);
    // A packed file cut short: exit code 1, the error on the last line.
    std::vector<uint8_t> cut = ReadBytes(kSkins + Name() + ".asz");
    cut.resize(cut.size() / 2);
    std::ofstream(dir + "Cut.asz", std::ios::binary).write(reinterpret_cast<const char*>(cut.data()),
                                                             std::streamsize(cut.size()));
    EXPECT_EQ(RunDump(dir, "Cut", dir + "cut.txt", text), 1u);
    ASSERT_FALSE(text.empty());
    const size_t last = text.rfind('\n', text.size() - 2);
    EXPECT_NE(text.find("Packed skin", last == std::string::npos ? 0 : last), std::string::npos) << text;
}

// Every section without a texture (and not in the triangle gradient mode,
// which the platform paints) against a reference from the portable core:
// the gradient, then the rest of the percentage given to the colour, then
// the section's transparency over a parent picture.
TEST_P(OurSkin, SectionBackgroundsMatchThePortableReference) {
    std::unique_ptr<TsSkinManager> m(MakeSkinManager(nullptr, kSkins, Name()));
    sGraphUtilsInitialize();
    constexpr int W = 48, H = 36, PW = 80, PH = 60;
    const TPoint at = Point(13, 9);
    std::unique_ptr<TBitmap> parent(CreateBitmap24(PW, PH));
    {
        const TacImage p = ImageOf(parent.get());
        for (int y = 0; y < PH; ++y)
            for (int x = 0; x < PW; ++x) {
                uint8_t* px = p.At(x, y);
                px[0] = uint8_t(x * 3), px[1] = uint8_t(y * 4), px[2] = uint8_t(x + 2 * y);
            }
    }
    std::unique_ptr<TBitmap> bmp(CreateBitmap24(W, H));
    int checked = 0;
    for (size_t i = 0; i < m->gd().size(); ++i) {
        const TsGeneralData& s = m->gd()[i];
        const bool gradient = s.GradientPercent > 0 && s.Transparency != 100;
        if (s.ImagePercent > 0 || (gradient && !s.GradientBands.empty() && s.GradientBands[0].BandMode == 2))
            continue;
        SCOPED_TRACE(s.SectionName.c_str());
        std::vector<uint8_t> faceBytes(W * H * 3), wantBytes(W * H * 3);
        const TacPixelView face{faceBytes.data(), W * 3, W, H}, want{wantBytes.data(), W * 3, W, H};
        BlendRectWithColorView(face, Rect(0, 0, W, H), 0, s.Color);
        if (gradient && !s.GradientBands.empty()) {
            PaintGradientView(face, Rect(0, 0, W, H), s.GradientBands, 0);
            if (s.GradientPercent < 100) BlendRectWithColorView(face, Rect(0, 0, W, H), s.GradientPercent, s.Color);
        }
        TacImage under;
        under.View = want;
        CopyBlockView(under, 0, 0, ImageOf(parent.get()), at.X, at.Y, W, H);
        if (s.Transparency <= 0)
            std::memcpy(wantBytes.data(), faceBytes.data(), wantBytes.size());
        else if (s.Transparency < 100)
            BlendWithView(want, face, PercentToWeight(s.Transparency), Rect(0, 0, W, H), Point(0, 0));
        PaintSectionBG(m->SectionAt(int(i)), MakeBitmapBackground(parent.get(), 0, 0), TransparentKeyColor, -1, -1,
                       m.get(), bmp.get(), at, Rect(0, 0, W, H), false);
        const TacImage got = ImageOf(bmp.get());
        int differ = 0;
        for (int y = 0; y < H; ++y) differ += std::memcmp(got.At(0, y), want.Row(y), W * 3) != 0;
        EXPECT_EQ(differ, 0) << "rows differ";
        ++checked;
    }
    EXPECT_GE(checked, 20);
    sGraphUtilsFinalize();
}

namespace {

// A form holding a manager with the skin, and one driver for the skinned
// scroll bar of either kind on it.
struct SkinnedBar : OurSkin {
    TForm* Form = nullptr;
    TsSkinManager* Manager = nullptr;
    void SetUp() override {
        sGraphUtilsInitialize();
        sControlUtilsInitialize();
        SetCursorPos(700, 10);  // the mouse away from the form
        Form = new TForm(Application);
        Form->SetBounds(80, 80, 360, 360);
        Form->SetColor(0x50A0C8);
        Manager = MakeSkinManager(Form, kSkins, Name());
        Form->Show();
        SetForegroundWindow(Form->Handle());
        PumpUntil([&] { return GetForegroundWindow() == Form->Handle(); }, 1000);
        Pump(30);
    }
    void TearDown() override {
        delete Form;
        sGraphUtilsFinalize();
        OurSkin::TearDown();
    }
    TsScrollBar* MakeBar(TScrollBarKind Kind) {
        auto* bar = new TsScrollBar(Form);
        bar->SetKind(Kind);
        const int thick = GetSystemMetrics(SM_CYHSCROLL);
        if (Kind == sbVertical)
            bar->SetBounds(30, 30, thick, 260);
        else
            bar->SetBounds(30, 300, 260, thick);
        bar->SetMax(100);
        bar->SetPosition(50);
        bar->SetParent(Form);
        SendMessageW(bar->Handle(), WM_NCHITTEST, 0, 0);  // runs the pending re-creation as skinned
        SetFocus(Form->Handle());
        Pump(30);
        return bar;
    }
    // The real mouse to a point along the bar, through the input queue.
    void MoveTo(TsScrollBar* Bar, int Along) {
        POINT p = Bar->Kind() == sbVertical ? POINT{Bar->Width() / 2, Along} : POINT{Along, Bar->Height() / 2};
        ClientToScreen(Bar->Handle(), &p);
        INPUT move{};
        move.type = INPUT_MOUSE;
        move.mi.dx = LONG(p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
        move.mi.dy = LONG(p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
        move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        testwin::SendInputs({move});
        Pump(20);
    }
    // A real left click there: press and release in one go.
    void Click(TsScrollBar* Bar, int Along) {
        MoveTo(Bar, Along);
        INPUT down{}, up{};
        down.type = up.type = INPUT_MOUSE;
        down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        testwin::SendInputs({down, up});
    }
    void Drive(TScrollBarKind Kind);
};

void SkinnedBar::Drive(TScrollBarKind Kind) {
    TsScrollBar* bar = MakeBar(Kind);
    ASSERT_TRUE(bar->Skinned());
    wchar_t cls[64];
    GetClassNameW(bar->Handle(), cls, 64);
    EXPECT_STREQ(cls, L"TsScrollBar");
    // Page 0 and position 50: the thumb stands in the middle, where a
    // disabled bar puts it, so both looks cover the same parts.
    const Pixels shown = Grab(bar->Handle());
    const TacScrollGeometry g = bar->Geometry();
    EXPECT_EQ(g.ThumbCentre(), g.Length / 2);
    // What the window shows is the cache painted from the skin.
    {
        const TacImage cache = ImageOf(bar->SkinData()->CacheBitmap);
        int differ = 0;
        for (int y = 0; y < shown.Height; ++y)
            for (int x = 0; x < shown.Width; ++x) {
                const uint8_t* p = cache.At(x, y);
                differ += shown.At(x, y) != (uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
            }
        EXPECT_EQ(differ, 0);
    }
    // Disabled (blended kind): every pixel half way to the parent's colour.
    bar->SetEnabled(false);
    Pump(30);
    {
        const Pixels off = Grab(bar->Handle());
        int apart = 0;
        for (int y = 0; y < off.Height; ++y)
            for (int x = 0; x < off.Width; ++x) {
                const TColor want = BlendColors(shown.ColorAt(x, y), ColorToRGB(Form->Color()), 0.5);
                for (int sh : {0, 8, 16}) apart += std::abs(int((off.ColorAt(x, y) >> sh) & 0xFF) - int((want >> sh) & 0xFF)) > 1;
            }
        EXPECT_EQ(apart, 0);
    }
    bar->SetEnabled(true);
    bar->SetPageSize(10);
    bar->SetLargeChange(10);
    Pump(30);
    // The mouse over the thumb makes it hot: the thumb's picture changes.
    const TacScrollGeometry g2 = bar->Geometry();
    const int mid = (g2.ThumbStart() + g2.ThumbEnd()) / 2;
    const Pixels before = Grab(bar->Handle());
    MoveTo(bar, mid);
    PumpUntil([&] { return bar->PartStates().State[spThumb] == 1; }, 2000);
    EXPECT_EQ(bar->PartStates().State[spThumb], 1);
    const Pixels hot = Grab(bar->Handle());
    EXPECT_NE(hot.Data, before.Data);
    // Real clicks: the second arrow moves by one, the track after the thumb
    // by a page (the class library's scroll handling moves by LargeChange).
    const int pos = bar->Position();
    Click(bar, g2.Length - 3);
    PumpUntil([&] { return bar->Position() != pos; }, 2000);
    EXPECT_EQ(bar->Position(), pos + 1);
    Click(bar, (g2.ThumbEnd() + g2.Length - g2.Arrow) / 2 + 2);
    PumpUntil([&] { return bar->Position() != pos + 1; }, 2000);
    EXPECT_EQ(bar->Position(), pos + 11);
    SetCursorPos(700, 10);
    Pump(30);
}

}  // namespace

TEST_P(SkinnedBar, VerticalBarsDrawFromTheSkinAndFollowRealInput) { Drive(sbVertical); }
TEST_P(SkinnedBar, HorizontalBarsDrawFromTheSkinAndFollowRealInput) { Drive(sbHorizontal); }

INSTANTIATE_TEST_SUITE_P(Skins, OurSkin, ::testing::Values("Birch", "Night"),
                         [](const ::testing::TestParamInfo<const char*>& i) { return std::string(i.param); });
INSTANTIATE_TEST_SUITE_P(Skins, SkinnedBar, ::testing::Values("Birch", "Night"),
                         [](const ::testing::TestParamInfo<const char*>& i) { return std::string(i.param); });

namespace {

// The engine's units for the whole run; the reader learns the root class.
struct SkinUnits : ::testing::Environment {
    PictureUnits Pictures;
    void SetUp() override {
        Pictures.SetUp();
        sSkinManagerInitialize();
        sScrollBarInitialize();
        RegisterFormClass<TSkinStore>("TSkinStore");
    }
    void TearDown() override { Pictures.TearDown(); }
};
[[maybe_unused]] ::testing::Environment* const kUnits = ::testing::AddGlobalTestEnvironment(new SkinUnits);

}  // namespace
