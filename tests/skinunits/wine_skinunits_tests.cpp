// The engine's start-up units on the real resources and the real shell: the
// start-up image list and the default hint template (sizes, pixels with
// alpha), image lists built from stored items, the hint picture rules, the
// shell's root folder and item-ID lists, and OLE balanced at the end.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstring>
#include <memory>

#include "FormLoader.h"
#include "Forms.h"
#include "Guards.h"
#include "ResourceStream.h"
#include "UnitInit.h"
#include "WinTestSupport.h"
#include "acAlphaHints.h"
#include "acAlphaImageList.h"
#include "acPNG.h"
#include "acShellCtrls.h"

namespace {

std::vector<uint8_t> ResourceBytes(const char* Name) {
    TResourceStream s(nullptr, Name);
    std::vector<uint8_t> b(size_t(s.Size()));
    s.Read(b.data(), int64_t(b.size()));
    return b;
}

std::unique_ptr<TPNGGraphic> ResourcePicture(const char* Name) {
    TResourceStream s(nullptr, Name);
    auto png = std::make_unique<TPNGGraphic>();
    png->LoadFromStream(&s);
    return png;
}

// Straight BGRA of pixel (X, Y) of a 32-bit picture.
const uint8_t* PixelOf(TBitmap* B, int X, int Y) { return static_cast<uint8_t*>(B->ScanLine(Y)) + X * 4; }

constexpr uint32_t kBackground = 0x2040C0;  // 0x00RRGGBB

// The pixels of Picture that, blended over the background by their alpha,
// differ from what Drawn shows by more than a rounding step.
int BlendMismatches(TBitmap* Picture, const testwin::Pixels& Drawn) {
    int bad = 0;
    for (int y = 0; y < Picture->Height(); ++y)
        for (int x = 0; x < Picture->Width(); ++x) {
            const uint8_t* p = PixelOf(Picture, x, y);
            const uint32_t got = Drawn.At(x, y);
            const int a = p[3];
            const int want[3] = {(p[2] * a + int(kBackground >> 16 & 0xFF) * (255 - a)) / 255,
                                 (p[1] * a + int(kBackground >> 8 & 0xFF) * (255 - a)) / 255,
                                 (p[0] * a + int(kBackground & 0xFF) * (255 - a)) / 255};
            const int have[3] = {testwin::Red(got), testwin::Green(got), testwin::Blue(got)};
            for (int c = 0; c < 3; ++c)
                if (std::abs(want[c] - have[c]) > 3) {
                    ++bad;
                    break;
                }
        }
    return bad;
}

testwin::Pixels DrawListImage(TCustomImageList* List, int Index) {
    return testwin::Capture(List->Width(), List->Height(), [&](HDC dc) {
        BrushHandle b(CreateSolidBrush(RGB(kBackground >> 16, kBackground >> 8 & 0xFF, kBackground & 0xFF)));
        RECT r{0, 0, List->Width(), List->Height()};
        FillRect(dc, &r, b.Get());
        TCanvas canvas;
        canvas.SetHandle(dc);
        List->Draw(&canvas, 0, 0, Index);
        canvas.SetHandle(nullptr);
    });
}

// Alpha of the picture: how many pixels are clear, partly and fully covered.
struct AlphaShares {
    int Clear = 0, Partial = 0, Solid = 0;
};
AlphaShares AlphaOf(TBitmap* B) {
    AlphaShares s;
    for (int y = 0; y < B->Height(); ++y)
        for (int x = 0; x < B->Width(); ++x) {
            const int a = PixelOf(B, x, y)[3];
            (a == 0 ? s.Clear : a == 255 ? s.Solid : s.Partial)++;
        }
    return s;
}

}  // namespace

TEST(StartupImageList, HoldsTheFiveResourcePicturesInOrderWithTheirAlpha) {
    acAlphaImageListInitialize();
    ASSERT_NE(StartupImageList, nullptr);
    EXPECT_EQ(StartupImageList->Width(), 48);
    EXPECT_EQ(StartupImageList->Height(), 16);
    ASSERT_EQ(StartupImageList->Count(), 5);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(StartupImageList->Handle(), &cx, &cy);
    EXPECT_EQ(cx, 48);
    EXPECT_EQ(cy, 16);
    const char* order[] = {"SF", "SR", "SD", "SE", "SC"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(order[i]);
        auto png = ResourcePicture(order[i]);
        ASSERT_EQ(png->PixelFormat(), pf32bit);
        const AlphaShares a = AlphaOf(png.get());
        EXPECT_GT(a.Clear, 0);
        EXPECT_GT(a.Partial, 0);  // soft edges
        EXPECT_GT(a.Solid, 0);
        EXPECT_EQ(BlendMismatches(png.get(), DrawListImage(StartupImageList, i)), 0);
    }
    acAlphaImageListFinalize();
    EXPECT_EQ(StartupImageList, nullptr);
}

TEST(AlphaImageList, StoredItemsBuildTheListAndGoAtRunTimeUnlessChanging) {
    TsAlphaImageList::Register();
    struct Case {
        bool Changing;
        int ItemsAfter;
        bool Generated;
    };
    for (const Case c : {Case{false, 0, false}, Case{true, 2, true}}) {
        SCOPED_TRACE(c.Changing ? "changing" : "run time");
        TsAlphaImageList list(nullptr);
        list.SetSize(48, 16);
        list.SetChanging(c.Changing);
        for (const char* name : {"SC", "SF"}) {
            TsImgListItem* item = list.Items()->Add();
            item->SetImageFormat(ifPNG);
            item->ReadImgData(ResourceBytes(name));
        }
        list.GenerateStdList();
        EXPECT_EQ(list.Count(), 2);
        EXPECT_EQ(list.Items()->Count(), c.ItemsAfter);
        EXPECT_EQ(list.Generated(), c.Generated);
        auto sc = ResourcePicture("SC");
        EXPECT_EQ(BlendMismatches(sc.get(), DrawListImage(&list, 0)), 0);

        // Another alpha list takes the images (copies of the icons at run time,
        // the stored items again while changing).
        TsAlphaImageList copy(nullptr);
        copy.SetChanging(c.Changing);
        copy.Assign(&list);
        EXPECT_EQ(copy.Width(), 48);
        EXPECT_EQ(copy.Count(), 2);
        auto sf = ResourcePicture("SF");
        EXPECT_EQ(BlendMismatches(sf.get(), DrawListImage(&copy, 1)), 0);
    }
}

// The list's "no colour" and "default colour" reach the copy as they are,
// not as a system colour or a plain one.
TEST(AlphaImageList, AnAssignedListKeepsTheBackgroundColoursSpecialValues) {
    for (const TColor c : {clNone, clDefault, TColor(0x123456)}) {
        TsAlphaImageList list(nullptr), copy(nullptr);
        list.SetSize(16, 16);
        list.Handle();
        list.SetBkColor(c);
        copy.Assign(&list);
        EXPECT_EQ(ImageList_GetBkColor(copy.Handle()), ImageList_GetBkColor(list.Handle())) << c;
        EXPECT_EQ(copy.BkColor(), c);
    }
}

TEST(AlphaImageList, ReadFromFormDataItHoldsTheImagesAndNoStoredItems) {
    TsAlphaImageList::Register();
    FormObject list{"TsAlphaImageList", "Images", {}, {}};
    list.Props.push_back({"Width", FormValue::MakeInt(48)});
    list.Props.push_back({"Height", FormValue::MakeInt(16)});
    FormValue items;
    items.Kind = FormValueKind::Collection;
    for (const char* name : {"SD", "SE"}) {
        FormValue data;
        data.Kind = FormValueKind::Binary;
        data.Binary = ResourceBytes(name);
        items.Items.push_back({{"ImageFormat", FormValue::MakeIdent("ifPNG")}, {"ImgData", data}});
    }
    list.Props.push_back({"Items", items});
    TForm form(nullptr);
    LoadFormDefinition(&form, FormObject{"TForm", "Holder", {}, {list}});
    auto* images = dynamic_cast<TsAlphaImageList*>(form.FindComponent("Images"));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(images->Count(), 2);
    EXPECT_EQ(images->Items()->Count(), 0);
    auto se = ResourcePicture("SE");
    EXPECT_EQ(BlendMismatches(se.get(), DrawListImage(images, 1)), 0);
}

TEST(AlphaImageList, AnIconWithoutAlphaKeysOutItsTopLeftColour) {
    // A 24-bit icon file: a red square on a white ground.
    TBitmap colour;
    colour.SetPixelFormat(pf24bit);
    colour.SetSize(16, 16);
    colour.Canvas()->Brush()->SetColor(clWhite);
    colour.Canvas()->FillRect(Rect(0, 0, 16, 16));
    colour.Canvas()->Brush()->SetColor(clRed);
    colour.Canvas()->FillRect(Rect(4, 4, 12, 12));
    TBitmap mask;
    mask.SetPixelFormat(pf1bit);
    mask.SetSize(16, 16);
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(Rect(0, 0, 16, 16));
    ICONINFO info{TRUE, 0, 0, mask.Handle(), colour.Handle()};
    TIcon icon;
    icon.SetHandle(CreateIconIndirect(&info));
    TMemoryStream file;
    icon.SaveToStream(&file);

    TsAlphaImageList list(nullptr);
    TsImgListItem* item = list.Items()->Add();
    item->SetImageFormat(ifICO);
    item->SetPixelFormat(pf24bit);
    item->ReadImgData(file.Bytes());
    list.GenerateStdList();
    ASSERT_EQ(list.Count(), 1);
    const testwin::Pixels p = DrawListImage(&list, 0);
    EXPECT_EQ(p.At(1, 1), kBackground);   // white was the key: clear
    EXPECT_EQ(p.At(8, 8), 0xFF0000u);     // red: opaque
}

TEST(HintTemplate, TheDefaultComesFromTheResourceWithItsBordersAndMargins) {
    acAlphaHintsInitialize();
    TacHintTemplate* t = TacHintTemplate::DefaultTemplate;
    ASSERT_NE(t, nullptr);
    TacHintImage* img = t->ImageDefault();
    EXPECT_EQ(img->ImageWidth(), 32);
    EXPECT_EQ(img->ImageHeight(), 32);
    ASSERT_EQ(img->Image()->PixelFormat(), pf32bit);
    // The picture as the resource holds it (no defaults applied): a balloon
    // with a soft shadow to the right and below.
    auto png = ResourcePicture("ACHINT");
    EXPECT_EQ(std::memcmp(PixelOf(img->Image(), 0, 31), PixelOf(png.get(), 0, 31), 32 * 32 * 4), 0);
    EXPECT_EQ(PixelOf(img->Image(), 0, 0)[3], 0);
    EXPECT_EQ(PixelOf(img->Image(), 12, 12)[3], 255);
    const int shadow = PixelOf(img->Image(), 28, 28)[3];
    EXPECT_GT(shadow, 0);
    EXPECT_LT(shadow, 255);
    TacBordersSizes* b = img->BordersWidths();
    TacBordersSizes* m = img->ClientMargins();
    EXPECT_EQ((std::vector<int>{b->Top(), b->Left(), b->Bottom(), b->Right()}), (std::vector<int>{7, 7, 15, 15}));
    EXPECT_EQ((std::vector<int>{m->Top(), m->Left(), m->Bottom(), m->Right()}), (std::vector<int>{7, 11, 14, 15}));
    for (int i = TacBorderDrawModes::dmiTop; i <= TacBorderDrawModes::dmiCenter; ++i)
        EXPECT_EQ(img->BorderDrawModes()->Mode(i), dmStretch);
    EXPECT_TRUE(t->Img_RightTop()->Image()->Empty());
    acAlphaHintsFinalize();
    EXPECT_EQ(TacHintTemplate::DefaultTemplate, nullptr);
}

TEST(HintTemplate, SizesStayInsideThePictureAndAPictureSetsItsDefaults) {
    TCollection templates([](TCollection* c) -> TCollectionItem* { return new TacHintTemplate(c); },
                          "TacHintTemplate");
    auto* t = static_cast<TacHintTemplate*>(templates.Add());
    int notes = 0;
    struct Counter {
        int* N;
        void Heard(TObject*) { ++*N; }
    } counter{&notes};
    templates.OnChange = TNotifyEvent::Of<&Counter::Heard>(&counter);
    TacHintImage* img = t->ImageDefault();

    // No picture: every write ends at -1 and reads back as 0.
    img->BordersWidths()->SetTop(5);
    img->BordersWidths()->SetRight(3);
    EXPECT_EQ(img->ImageWidth(), 0);
    EXPECT_EQ(img->BordersWidths()->Top(), 0);
    EXPECT_EQ(img->BordersWidths()->Right(), 0);
    EXPECT_EQ(notes, 2);

    // A 10 x 6 picture: bands and margins from its size; clear pixels cleared.
    TPNGGraphic pic;
    pic.SetPixelFormat(pf32bit);
    pic.SetSize(10, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            uint8_t* p = static_cast<uint8_t*>(pic.ScanLine(y)) + x * 4;
            p[0] = p[1] = p[2] = 0x80;
            p[3] = x < 5 ? 0 : 255;
        }
    img->SetImage(&pic);
    EXPECT_EQ(notes, 3);
    for (TacBordersSizes* s : {img->BordersWidths(), img->ClientMargins()})
        EXPECT_EQ((std::vector<int>{s->Top(), s->Left(), s->Bottom(), s->Right()}), (std::vector<int>{2, 4, 2, 4}));
    const uint8_t clear[4] = {0, 0, 0, 0}, solid[4] = {0x80, 0x80, 0x80, 255};
    EXPECT_EQ(std::memcmp(PixelOf(img->Image(), 1, 1), clear, 4), 0);
    EXPECT_EQ(std::memcmp(PixelOf(img->Image(), 7, 1), solid, 4), 0);

    // A band written past the picture is cut to it and squeezes its pair.
    img->BordersWidths()->SetTop(40);
    EXPECT_EQ(img->BordersWidths()->Top(), 5);
    EXPECT_EQ(img->BordersWidths()->Bottom(), 0);
    img->BordersWidths()->SetLeft(6);
    EXPECT_EQ(img->BordersWidths()->Left(), 6);
    EXPECT_EQ(img->BordersWidths()->Right(), 3);

    // A handler that writes again is not told of its own writes.
    struct Rewriter {
        TacHintImage* Img;
        int N = 0;
        void Heard(TObject*) {
            ++N;
            Img->BorderDrawModes()->SetMode(TacBorderDrawModes::dmiCenter, dmRepeat);
        }
    } rewriter{img};
    templates.OnChange = TNotifyEvent::Of<&Rewriter::Heard>(&rewriter);
    img->BorderDrawModes()->SetMode(TacBorderDrawModes::dmiTop, dmRepeat);
    EXPECT_EQ(rewriter.N, 1);
    EXPECT_EQ(img->BorderDrawModes()->Center(), dmRepeat);

    // Another template takes the pictures, sizes, modes, font and name.
    t->SetName("Balloon");
    t->Font()->SetHeight(-15);
    TacHintTemplate other(nullptr);
    other.Assign(t);
    EXPECT_EQ(other.Name(), "Balloon");
    EXPECT_EQ(other.Font()->Height(), -15);
    EXPECT_EQ(other.ImageDefault()->ImageWidth(), 10);
    EXPECT_EQ(other.ImageDefault()->BordersWidths()->Top(), 5);
    EXPECT_EQ(other.ImageDefault()->BorderDrawModes()->Top(), dmRepeat);
    templates.OnChange = nullptr;
}

TEST(ShellFolders, TheDesktopRootAndItemIdListsFromTheShellAllocator) {
    acShellCtrlsInitialize();
    ASSERT_NE(DesktopFolder, nullptr);
    EXPECT_EQ(DesktopFolder->Parent(), nullptr);
    ASSERT_NE(DesktopFolder->ShellFolder(), nullptr);
    // The desktop is the namespace's root: its list is the terminator alone.
    EXPECT_EQ(ItemIdListSize(DesktopFolder->AbsoluteID()), 2);
    EXPECT_EQ(ItemIdListSize(nullptr), 0);

    // A list of two items (5 and 7 bytes) and one of one item (4 bytes).
    auto make = [](std::initializer_list<uint16_t> Sizes) {
        int total = 2;
        for (uint16_t s : Sizes) total += s;
        LPITEMIDLIST l = AllocItemIdList(UINT(total));
        BYTE* p = reinterpret_cast<BYTE*>(l);
        BYTE fill = 1;
        for (uint16_t s : Sizes) {
            std::memcpy(p, &s, 2);
            std::memset(p + 2, fill++, s - 2u);
            p += s;
        }
        return l;
    };
    LPITEMIDLIST two = make({5, 7}), one = make({4});
    EXPECT_EQ(ItemIdListSize(two), 14);
    EXPECT_EQ(reinterpret_cast<BYTE*>(NextItemId(two)) - reinterpret_cast<BYTE*>(two), 5);
    LPITEMIDLIST clone = CloneItemIdList(two);
    ASSERT_NE(clone, two);
    EXPECT_EQ(std::memcmp(clone, two, 14), 0);
    LPITEMIDLIST joined = JoinItemIdLists(two, one);
    ASSERT_EQ(ItemIdListSize(joined), 18);
    EXPECT_EQ(std::memcmp(joined, two, 12), 0);
    EXPECT_EQ(std::memcmp(reinterpret_cast<BYTE*>(joined) + 12, one, 6), 0);
    LPITEMIDLIST alone = JoinItemIdLists(nullptr, one);
    EXPECT_EQ(ItemIdListSize(alone), 6);

    // Nodes: a child of the root, its child, and a node made without a parent.
    IShellFolder* desktop = DesktopShellFolder();
    {
        TacShellFolder child(DesktopFolder, desktop, one);
        TacShellFolder grandchild(&child, desktop, two);
        TacShellFolder orphan(nullptr, desktop, two);
        EXPECT_EQ(child.Level(), 0);
        EXPECT_EQ(grandchild.Level(), 1);
        EXPECT_EQ(ItemIdListSize(grandchild.AbsoluteID()), 18);  // one's item, then two's
        EXPECT_EQ(std::memcmp(grandchild.AbsoluteID(), one, 4), 0);
        EXPECT_EQ(orphan.Parent(), DesktopFolder);
        EXPECT_EQ(std::memcmp(orphan.AbsoluteID(), two, 14), 0);
        EXPECT_NE(child.RelativeID(), one);  // its own copy
    }
    desktop->Release();
    for (LPITEMIDLIST l : {two, one, clone, joined, alone}) FreeItemIdList(l);

    // OLE is up for the thread while the unit runs, and down after it.
    EXPECT_TRUE(ShellUnitOleInitialized());
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    CoUninitialize();
    acShellCtrlsFinalize();
    EXPECT_EQ(DesktopFolder, nullptr);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    CoUninitialize();
}

// The program's start order with the application's own OLE set-up: after the
// units shut down and the application is gone, OLE is off again.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    StartUnits({{"acPNG", acPNGInitialize, acPNGFinalize}});
    int rc = RUN_ALL_TESTS();
    StartUnits({{"acShellCtrls", acShellCtrlsInitialize, acShellCtrlsFinalize}});
    Application->Initialize();
    FinishUnits();
    const HRESULT after = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (after != S_OK) {
        std::fprintf(stderr, "OLE left initialised at exit (CoInitializeEx answered 0x%08lX)\n", after);
        rc = 1;
    }
    CoUninitialize();
    return rc;
}
