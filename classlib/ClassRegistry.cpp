// Published properties and events of the class library's own classes.
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtControls.h"
#include "Forms.h"
#include "Frames.h"
#include "Graphics.h"
#include "ImgList.h"
#include "Jpeg.h"
#include "Mask.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "Tabs.h"
#include "ToolBars.h"
#include "Streams.h"
#include "TypeInfo.h"
#include "UnitInit.h"

void RegisterClassLibraryClasses() {
    const TEnumInfo& align = RegisterEnum(
        "TAlign", {{"alNone", alNone}, {"alTop", alTop}, {"alBottom", alBottom}, {"alLeft", alLeft},
                   {"alRight", alRight}, {"alClient", alClient}, {"alCustom", alCustom}});
    const TEnumInfo& alignment =
        RegisterEnum("TAlignment", {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify},
                                    {"taCenter", taCenter}});
    const TEnumInfo& layout =
        RegisterEnum("TTextLayout", {{"tlTop", tlTop}, {"tlCenter", tlCenter}, {"tlBottom", tlBottom}});
    const TEnumInfo& anchors =
        RegisterEnum("TAnchors", {{"akLeft", 1 << akLeft}, {"akTop", 1 << akTop}, {"akRight", 1 << akRight},
                                  {"akBottom", 1 << akBottom}});
    const TEnumInfo& dragMode = RegisterEnum("TDragMode", {{"dmManual", dmManual}, {"dmAutomatic", dmAutomatic}});
    const TEnumInfo& dragKind = RegisterEnum("TDragKind", {{"dkDrag", dkDrag}, {"dkDock", dkDock}});
    const TEnumInfo& biDiMode = RegisterEnum(
        "TBiDiMode", {{"bdLeftToRight", bdLeftToRight}, {"bdRightToLeft", bdRightToLeft},
                      {"bdRightToLeftNoAlign", bdRightToLeftNoAlign},
                      {"bdRightToLeftReadingOnly", bdRightToLeftReadingOnly}});
    const TEnumInfo& borderStyle =
        RegisterEnum("TFormBorderStyle", {{"bsNone", bsNone}, {"bsSingle", bsSingle}, {"bsSizeable", bsSizeable},
                                          {"bsDialog", bsDialog}, {"bsToolWindow", bsToolWindow},
                                          {"bsSizeToolWin", bsSizeToolWin}});
    const TEnumInfo& borderIcons =
        RegisterEnum("TBorderIcons", {{"biSystemMenu", 1 << biSystemMenu}, {"biMinimize", 1 << biMinimize},
                                      {"biMaximize", 1 << biMaximize}, {"biHelp", 1 << biHelp}});
    const TEnumInfo& position = RegisterEnum(
        "TPosition", {{"poDesigned", poDesigned}, {"poDefault", poDefault}, {"poDefaultPosOnly", poDefaultPosOnly},
                      {"poDefaultSizeOnly", poDefaultSizeOnly}, {"poScreenCenter", poScreenCenter},
                      {"poDesktopCenter", poDesktopCenter}, {"poMainFormCenter", poMainFormCenter},
                      {"poOwnerFormCenter", poOwnerFormCenter}});
    const TEnumInfo& windowState =
        RegisterEnum("TWindowState", {{"wsNormal", wsNormal}, {"wsMinimized", wsMinimized}, {"wsMaximized", wsMaximized}});
    const TEnumInfo& formStyle = RegisterEnum(
        "TFormStyle", {{"fsNormal", fsNormal}, {"fsMDIChild", fsMDIChild}, {"fsMDIForm", fsMDIForm},
                       {"fsStayOnTop", fsStayOnTop}});
    const TEnumInfo& tileMode = RegisterEnum("TTileMode", {{"tbHorizontal", tbHorizontal}, {"tbVertical", tbVertical}});
    const TEnumInfo& shapeType =
        RegisterEnum("TShapeType", {{"stRectangle", stRectangle}, {"stSquare", stSquare}, {"stRoundRect", stRoundRect},
                                    {"stRoundSquare", stRoundSquare}, {"stEllipse", stEllipse}, {"stCircle", stCircle}});
    const TEnumInfo& brushStyle = RegisterEnum(
        "TBrushStyle", {{"bsSolid", bsSolid}, {"bsClear", bsClear}, {"bsHorizontal", bsHorizontal},
                        {"bsVertical", bsVertical}, {"bsFDiagonal", bsFDiagonal}, {"bsBDiagonal", bsBDiagonal},
                        {"bsCross", bsCross}, {"bsDiagCross", bsDiagCross}});
    const TEnumInfo& penStyle =
        RegisterEnum("TPenStyle", {{"psSolid", psSolid}, {"psDash", psDash}, {"psDot", psDot}, {"psDashDot", psDashDot},
                                   {"psDashDotDot", psDashDotDot}, {"psClear", psClear},
                                   {"psInsideFrame", psInsideFrame}});
    const TEnumInfo& penMode = RegisterEnum(
        "TPenMode", {{"pmBlack", pmBlack}, {"pmWhite", pmWhite}, {"pmNop", pmNop}, {"pmNot", pmNot},
                     {"pmCopy", pmCopy}, {"pmNotCopy", pmNotCopy}, {"pmMergePenNot", pmMergePenNot},
                     {"pmMaskPenNot", pmMaskPenNot}, {"pmMergeNotPen", pmMergeNotPen},
                     {"pmMaskNotPen", pmMaskNotPen}, {"pmMerge", pmMerge}, {"pmNotMerge", pmNotMerge},
                     {"pmMask", pmMask}, {"pmNotMask", pmNotMask}, {"pmXor", pmXor}, {"pmNotXor", pmNotXor}});
    const TEnumInfo& fontStyles =
        RegisterEnum("TFontStyles", {{"fsBold", 1 << fsBold}, {"fsItalic", 1 << fsItalic},
                                     {"fsUnderline", 1 << fsUnderline}, {"fsStrikeOut", 1 << fsStrikeOut}});
    const TEnumInfo& fontPitch =
        RegisterEnum("TFontPitch", {{"fpDefault", fpDefault}, {"fpVariable", fpVariable}, {"fpFixed", fpFixed}});
    const TEnumInfo& charset = RegisterEnum(
        "TFontCharset",
        {{"ANSI_CHARSET", 0}, {"DEFAULT_CHARSET", 1}, {"SYMBOL_CHARSET", 2}, {"MAC_CHARSET", 77},
         {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129}, {"JOHAB_CHARSET", 130}, {"GB2312_CHARSET", 134},
         {"CHINESEBIG5_CHARSET", 136}, {"GREEK_CHARSET", 161}, {"TURKISH_CHARSET", 162},
         {"VIETNAMESE_CHARSET", 163}, {"HEBREW_CHARSET", 177}, {"ARABIC_CHARSET", 178}, {"BALTIC_CHARSET", 186},
         {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222}, {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255}});

    // Nested objects.
    RegisterPersistentClass<TFont>("TFont")
        .IntOrIdent("Charset", &TFont::Charset, &TFont::SetCharset, charset)
        .Color("Color", &TFont::Color, &TFont::SetColor)
        .Int("Height", &TFont::Height, &TFont::SetHeight)
        .Str("Name", &TFont::Name, &TFont::SetName)
        .Int("Size", &TFont::Size, &TFont::SetSize)
        .Set("Style", &TFont::Style, &TFont::SetStyle, fontStyles)
        .Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, fontPitch)
        .Int("Orientation", &TFont::Orientation, &TFont::SetOrientation);
    RegisterPersistentClass<TPen>("TPen")
        .Color("Color", &TPen::Color, &TPen::SetColor)
        .Int("Width", &TPen::Width, &TPen::SetWidth)
        .Enum("Style", &TPen::Style, &TPen::SetStyle, penStyle)
        .Enum("Mode", &TPen::Mode, &TPen::SetMode, penMode);
    RegisterPersistentClass<TBrush>("TBrush")
        .Color("Color", &TBrush::Color, &TBrush::SetColor)
        .Enum("Style", &TBrush::Style, &TBrush::SetStyle, brushStyle);
    // Pictures keep their form data in a block of their own layout: a TPicture
    // the class name and then the graphic's block; a graphic (a TBitmap or a
    // TJPEGImage owned by a component) its size and file; an icon its file.
    RegisterPersistentClass<TPicture>("TPicture").DefineBinary("Data", &TPicture::ReadData, &TPicture::WriteData);
    RegisterPersistentClass<TGraphic>("TGraphic").DefineBinary("Data", &TGraphic::ReadData, &TGraphic::WriteData);
    RegisterPersistentClass<TBitmap>("TBitmap", "TGraphic");
    RegisterPersistentClass<TJPEGImage>("TJPEGImage", "TGraphic");
    RegisterPersistentClass<TIcon>("TIcon", "TGraphic");
    RegisterPersistentClass<TControlScrollBar>("TControlScrollBar")
        .Bool("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible)
        .Int("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange)
        .Int("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition)
        .Int("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement)
        .Ignore("Tracking")
        .Ignore("Smooth")
        .Ignore("Size")
        .Ignore("Style")
        .Ignore("ButtonSize")
        .Ignore("Color")
        .Ignore("ParentColor")
        .Ignore("Margin");

    RegisterPersistentClass<TSizeConstraints>("TSizeConstraints")
        .Int("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth)
        .Int("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight)
        .Int("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth)
        .Int("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight);

    RegisterComponentModelClasses();

    RegisterPersistentClass<TControl>("TControl", "TComponent")
        .Int("Left", &TControl::Left, &TControl::SetLeft)
        .Int("Top", &TControl::Top, &TControl::SetTop)
        .Int("Width", &TControl::Width, &TControl::SetWidth)
        .Int("Height", &TControl::Height, &TControl::SetHeight)
        .Int("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth)
        .Int("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight)
        .Enum("Align", &TControl::Align, &TControl::SetAlign, align)
        .Bool("Visible", &TControl::Visible, &TControl::SetVisible)
        .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled)
        .Color("Color", &TControl::Color, &TControl::SetColor)
        .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
        .Object("Font", &TControl::Font, "TFont")
        .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
        .Cursor("Cursor", &TControl::Cursor, &TControl::SetCursor)
        .Str("Caption", &TControl::Caption, &TControl::SetCaption)
        .Str("Text", &TControl::Text, &TControl::SetText)
        .Bool("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize)
        .Enum("DragMode", &TControl::DragMode, &TControl::SetDragMode, dragMode)
        .Cursor("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor)
        .Str("Hint", &TControl::Hint, &TControl::SetHint)
        .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
        .Ignore("ParentShowHint")
        .Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, anchors)
        .Object("Constraints", &TControl::Constraints, "TSizeConstraints")
        .Enum("DragKind", &TControl::DragKind, &TControl::SetDragKind, dragKind)
        .Enum("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode, biDiMode)
        .Bool("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode)
        .Ref("PopupMenu", &TControl::SetPopupMenu, "TPopupMenu")
        .Ignore("HelpContext")
        .Ignore("DesignSize")
        .Ignore("ExplicitLeft")
        .Ignore("ExplicitTop")
        .Ignore("ExplicitWidth")
        .Ignore("ExplicitHeight")
        .Event("OnClick", &TControl::OnClick)
        .Event("OnDblClick", &TControl::OnDblClick)
        .Event("OnMouseDown", &TControl::OnMouseDown)
        .Event("OnMouseMove", &TControl::OnMouseMove)
        .Event("OnMouseUp", &TControl::OnMouseUp)
        .Event("OnDragOver", &TControl::OnDragOver)
        .Event("OnDragDrop", &TControl::OnDragDrop)
        .Event("OnStartDrag", &TControl::OnStartDrag)
        .Event("OnEndDrag", &TControl::OnEndDrag)
        .Event("OnResize", &TControl::OnResize)
        .Event("OnCanResize", &TControl::OnCanResize)
        .Event("OnConstrainedResize", &TControl::OnConstrainedResize)
        .Event("OnContextPopup", &TControl::OnContextPopup)
        .Event("OnStartDock", &TControl::OnStartDock)
        .Event("OnEndDock", &TControl::OnEndDock);
    RegisterPersistentClass<TGraphicControl>("TGraphicControl", "TControl");
    RegisterPersistentClass<TWinControl>("TWinControl", "TControl")
        .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
        .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
        .Bool("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D)
        .Bool("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D)
        .Bool("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered)
        .Ignore("ImeMode")
        .Ignore("ImeName")
        .Event("OnEnter", &TWinControl::OnEnter)
        .Event("OnExit", &TWinControl::OnExit)
        .Event("OnKeyDown", &TWinControl::OnKeyDown)
        .Event("OnKeyUp", &TWinControl::OnKeyUp)
        .Event("OnKeyPress", &TWinControl::OnKeyPress)
        .Bool("DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite)
        .Bool("UseDockManager", &TWinControl::UseDockManager, &TWinControl::SetUseDockManager)
        .Event("OnDockOver", &TWinControl::OnDockOver)
        .Event("OnDockDrop", &TWinControl::OnDockDrop)
        .Event("OnGetSiteInfo", &TWinControl::OnGetSiteInfo)
        .Event("OnUnDock", &TWinControl::OnUnDock);
    RegisterPersistentClass<TCustomControl>("TCustomControl", "TWinControl");
    RegisterPersistentClass<TScrollingWinControl>("TScrollingWinControl", "TCustomControl")
        .Bool("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll)
        .Object("HorzScrollBar", &TScrollingWinControl::HorzScrollBar, "TControlScrollBar")
        .Object("VertScrollBar", &TScrollingWinControl::VertScrollBar, "TControlScrollBar");
    RegisterComponentClass<TFrame>("TFrame", "TScrollingWinControl");
    RegisterComponentClass<TForm>("TForm", "TScrollingWinControl")
        .Enum("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle, borderStyle)
        .Set("BorderIcons", &TForm::BorderIcons, &TForm::SetBorderIcons, borderIcons)
        .Enum("Position", &TForm::Position, &TForm::SetPosition, position)
        .Enum("WindowState", &TForm::WindowState, &TForm::SetWindowState, windowState)
        .Object("Icon", &TForm::Icon, "TIcon")
        .Int("BorderWidth", &TForm::BorderWidth, &TForm::SetBorderWidth)
        .Bool("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview)
        .Ref("ActiveControl", &TForm::SetActiveControl, "TWinControl")
        .Ref("Menu", &TForm::SetMenu, "TMainMenu")
        .Ignore("OldCreateOrder")
        .Ignore("PixelsPerInch")
        .Ignore("TextHeight")
        .Ignore("Scaled")
        .Enum("FormStyle", &TForm::FormStyle, &TForm::SetFormStyle, formStyle)
        .Enum("TileMode", &TForm::TileMode, &TForm::SetTileMode, tileMode)
        .Ignore("HelpFile")
        .Event("OnCreate", &TForm::OnCreate)
        .Event("OnShow", &TForm::OnShow)
        .Event("OnHide", &TForm::OnHide)
        .Event("OnClose", &TForm::OnClose)
        .Event("OnCloseQuery", &TForm::OnCloseQuery)
        .Event("OnDestroy", &TForm::OnDestroy)
        .Event("OnPaint", &TForm::OnPaint)
        .Event("OnActivate", &TForm::OnActivate)
        .Event("OnDeactivate", &TForm::OnDeactivate);

    RegisterComponentClass<TTimer>("TTimer", "TComponent")
        .Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled)
        .Int("Interval", &TTimer::Interval, &TTimer::SetInterval)
        .Event("OnTimer", &TTimer::OnTimer);
    RegisterComponentClass<TImage>("TImage", "TGraphicControl")
        .Object("Picture", &TImage::Picture, "TPicture")
        .Bool("Stretch", &TImage::Stretch, &TImage::SetStretch)
        .Bool("Proportional", &TImage::Proportional, &TImage::SetProportional)
        .Bool("Center", &TImage::Center, &TImage::SetCenter)
        .Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent)
        .Ignore("IncrementalDisplay");
    RegisterComponentClass<TShape>("TShape", "TGraphicControl")
        .Enum("Shape", &TShape::Shape, &TShape::SetShape, shapeType)
        .Object("Brush", &TShape::Brush, "TBrush")
        .Object("Pen", &TShape::Pen, "TPen");
    RegisterComponentClass<TLabel>("TLabel", "TGraphicControl")
        .Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, alignment)
        .Enum("Layout", &TLabel::Layout, &TLabel::SetLayout, layout)
        .Bool("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
        .Bool("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap)
        .Bool("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar)
        .Ref("FocusControl", &TLabel::SetFocusControl, "TWinControl");
    const TEnumInfo& drawingStyle = RegisterEnum(
        "TDrawingStyle", {{"dsFocus", dsFocus}, {"dsSelected", dsSelected}, {"dsNormal", dsNormal},
                          {"dsTransparent", dsTransparent}});
    const TEnumInfo& imageType = RegisterEnum("TImageType", {{"itImage", itImage}, {"itMask", itMask}});
    RegisterComponentClass<TImageList>("TImageList", "TComponent")
        .Int("Width", &TImageList::Width, &TImageList::SetWidth)
        .Int("Height", &TImageList::Height, &TImageList::SetHeight)
        .Int("AllocBy", &TImageList::AllocBy, &TImageList::SetAllocBy)
        .Bool("Masked", &TImageList::Masked, &TImageList::SetMasked)
        .Bool("ShareImages", &TImageList::ShareImages, &TImageList::SetShareImages)
        .Enum("DrawingStyle", &TImageList::DrawingStyle, &TImageList::SetDrawingStyle, drawingStyle)
        .Enum("ImageType", &TImageList::ImageType, &TImageList::SetImageType, imageType)
        .Color("BkColor", &TImageList::BkColor, &TImageList::SetBkColor)
        .Color("BlendColor", &TImageList::BlendColor, &TImageList::SetBlendColor);
    RegisterStdCtrlsClasses();
    RegisterMaskClasses();
    RegisterComCtrlsClasses();
    RegisterButtonsClasses();
    RegisterToolBarsClasses();
    RegisterTabsClasses();
    RegisterMenusClasses();
}
