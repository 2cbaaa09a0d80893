// The edit cell, push button, panel, group box and frame controller as form
// definitions create them, older property names included.
#include <gtest/gtest.h>

#include <memory>

#include "FormLoader.h"
#include "Forms.h"
#include "RzButton.h"
#include "RzEdit.h"
#include "RzLabel.h"
#include "RzPanel.h"
#include "TypeInfo.h"
#include "WineUi.h"

namespace {
class TFramedForm2 : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TFramedForm2"; }
    void ButtonClick(TObject*) { ++Clicks; }
    void CellKeyDown(TObject*, Word& Key, TShiftState) { LastKey = Key; }
    int Clicks = 0;
    Word LastKey = 0;
};

std::unique_ptr<TFramedForm2> Load(const char8_t* utf8) {
    static bool registered = false;
    if (!registered) {
        RegisterFormClass<TFramedForm2>("TFramedForm2")
            .Handler<&TFramedForm2::ButtonClick>("ButtonClick")
            .Handler<&TFramedForm2::CellKeyDown>("CellKeyDown");
        registered = true;
    }
    return wineui::LoadFormText<TFramedForm2>(utf8, "framed2.form");
}

using wineui::Find;
}  // namespace

TEST(FramedForms2, GameControlsAndOlderNames) {
    auto form = Load(u8R"(object F: TFramedForm2
  ClientWidth = 700
  ClientHeight = 500
  object Ctl: TRzFrameController
    FrameVisible = True
    FrameStyle = fsGroove
    FrameFlat = True
  end
  object RzEdit1: TRzEdit
    Left = 408
    Top = 104
    Width = 33
    Height = 33
    TabOrder = 0
    Alignment = taCenter
    AutoSelect = False
    AutoSize = False
    Font.Name = 'Arial'
    Font.Height = -21
    Font.Style = [fsBold]
    ReadOnlyColor = clYellow
    ReadOnlyColorOnFocus = True
    FrameStyle = fsRaised
    FramingPreference = fpCustomFraming
    Ctl3D = True
    ParentCtl3D = False
    FrameFocusStyle = fsButtonDown
    FrameFlatStyle = fsFlat
    OnKeyDown = CellKeyDown
  end
  object RzEdit2: TRzEdit
    Left = 440
    Top = 104
    Width = 33
    Height = 33
    FrameFlat = True
  end
  object RzPanel1: TRzPanel
    Left = 24
    Top = 188
    Width = 385
    Height = 145
    BorderInner = fsBump
    BorderOuter = fsBump
    BorderColor = clBlue
    BorderShadow = clRed
    BorderWidth = 2
    Color = clWhite
    TabOrder = 60
    FrameSides = [sdTop]
    ThemeAware = False
    UseGradients = True
    object RzLabel12: TRzLabel
      Left = 32
      Top = 8
      Width = 100
      Height = 22
      Caption = 'Внимание!'
      FrameController = Ctl
      FrameControllerNotifications = [fcpFrameStyle, fcpFrameSides]
    end
  end
  object RzButton2: TRzButton
    Left = 348
    Top = 399
    Width = 145
    Height = 41
    Caption = 'Назад'
    Enabled = False
    Color = clRed
    FrameColor = 33023
    HotTrack = True
    HotTrackColor = 33023
    HighlightColor = clWhite
    ShowDownPattern = False
    TextStyle = tsRaised
    TextShadowDepth = 5
    Font.Color = clYellow
    OnClick = ButtonClick
  end
  object RzButton3: TRzButton
    Left = 10
    Top = 10
    FrameFlat = True
    GroupIndex = 2
    AllowAllUp = True
    ModalResult = 1
  end
  object RzGroupBox1: TRzGroupBox
    Left = 348
    Top = 136
    Width = 289
    Height = 165
    Caption = 'Процессор'
    GroupStyle = gsCustom
    BorderInner = fsFlatRounded
    BorderOuter = fsFlatRounded
    BorderWidth = 3
    BorderColor = clRed
    Color = 11796479
    FlatColor = 7927900
    GradientColorStyle = gcsCustom
    GradientColorStart = 52736
    GradientColorStop = 40192
    GradientDirection = gdHorizontalCenter
    BiDiMode = bdLeftToRight
  end
end
)");
    auto* ctl = Find<TRzFrameController>(form.get(), "Ctl");
    ASSERT_NE(ctl, nullptr);
    // FrameFlat: hot-tracked, status frame, lowered hot style.
    EXPECT_TRUE(ctl->FrameHotTrack());
    EXPECT_EQ(ctl->FrameStyle(), fsStatus);
    EXPECT_EQ(ctl->FrameHotStyle(), fsLowered);

    auto* e1 = Find<TRzEdit>(form.get(), "RzEdit1");
    ASSERT_NE(e1, nullptr);
    EXPECT_EQ(e1->Alignment(), taCenter);
    EXPECT_FALSE(e1->AutoSelect());
    EXPECT_EQ(e1->ReadOnlyColor(), clYellow);
    EXPECT_TRUE(e1->ReadOnlyColorOnFocus());
    EXPECT_EQ(e1->FrameStyle(), fsRaised);
    EXPECT_EQ(e1->FramingPreference(), fpCustomFraming);
    EXPECT_EQ(e1->FrameHotStyle(), fsButtonDown);  // from the older FrameFocusStyle
    EXPECT_FALSE(e1->FrameVisible());
    EXPECT_EQ(e1->Color(), clWindow);  // Loaded applied the colour rule
    ASSERT_TRUE(e1->OnKeyDown);
    auto* e2 = Find<TRzEdit>(form.get(), "RzEdit2");
    EXPECT_TRUE(e2->FrameHotTrack());
    EXPECT_TRUE(e2->FrameVisible());
    EXPECT_EQ(e2->FrameStyle(), fsStatus);
    EXPECT_EQ(e2->FrameHotStyle(), fsLowered);

    auto* p = Find<TRzPanel>(form.get(), "RzPanel1");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->BorderOuter(), fsBump);
    EXPECT_EQ(p->BorderInner(), fsBump);
    EXPECT_EQ(p->BorderColor(), clBlue);
    EXPECT_EQ(p->BorderShadow(), clRed);
    EXPECT_EQ(p->BorderWidth(), 2);
    EXPECT_EQ(p->Color(), clWhite);
    EXPECT_EQ(p->BorderSides(), sdAllSides);  // the older FrameSides is dropped
    EXPECT_EQ(p->VisualStyle(), vsGradient);  // UseGradients True

    auto* l = Find<TRzLabel>(form.get(), "RzLabel12");
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->FrameController(), ctl);
    EXPECT_EQ(l->FrameControllerNotifications(), (1u << fcpFrameStyle) | (1u << fcpFrameSides));
    EXPECT_EQ(l->BorderOuter(), fsStatus);  // pulled from the controller once it was loaded
    EXPECT_EQ(ctl->LinkCount(), 1);

    auto* b = Find<TRzButton>(form.get(), "RzButton2");
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(b->Enabled());
    EXPECT_EQ(b->Color(), clRed);
    EXPECT_EQ(b->FrameColor(), TColor(33023));
    EXPECT_TRUE(b->HotTrack());
    EXPECT_TRUE(b->TransparentCorners());
    EXPECT_EQ(b->HighlightColor(), clWhite);
    EXPECT_FALSE(b->ShowDownPattern());
    EXPECT_EQ(b->TextStyle(), tsRaised);
    EXPECT_EQ(b->TextShadowDepth(), 5);
    EXPECT_EQ(b->Caption(), "Назад");
    ASSERT_TRUE(b->OnClick);
    b->Click();
    EXPECT_EQ(form->Clicks, 1);
    auto* b3 = Find<TRzButton>(form.get(), "RzButton3");
    EXPECT_TRUE(b3->HotTrack());  // older FrameFlat
    EXPECT_EQ(b3->GroupIndex(), 2);
    EXPECT_TRUE(b3->AllowAllUp());
    EXPECT_EQ(b3->ModalResult(), 1);
    EXPECT_EQ(b3->Width(), 75);

    auto* g = Find<TRzGroupBox>(form.get(), "RzGroupBox1");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->GroupStyle(), gsCustom);
    EXPECT_EQ(g->BorderOuter(), fsFlatRounded);
    EXPECT_EQ(g->GradientColorStyle(), gcsCustom);
    EXPECT_EQ(g->GradientColorStart(), TColor(52736));
    EXPECT_EQ(g->GradientDirection(), gdHorizontalCenter);
    EXPECT_EQ(g->VisualStyle(), vsThemed);
    EXPECT_EQ(g->Caption(), "Процессор");
    EXPECT_FALSE(g->UseRightToLeftAlignment());

    // The controller goes first: every link it had is cleared.
    delete ctl;
    EXPECT_EQ(l->FrameController(), nullptr);
}
