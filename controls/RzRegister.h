// Registration helpers shared by the framed controls: their enumerations and
// the class library's control properties, added only where the base class
// record does not already carry them.
#pragma once

#include "Controls.h"
#include "Graphics.h"
#include "RzCommon.h"
#include "TypeInfo.h"

const TEnumInfo& FrameStyleInfo();
const TEnumInfo& SidesInfo();
const TEnumInfo& GradientDirectionInfo();
const TEnumInfo& AlignInfo();
const TEnumInfo& AlignmentInfo();
const TEnumInfo& PenStyleInfo();
const TEnumInfo& BrushStyleInfo();
const TEnumInfo& FontStylesInfo();
const TEnumInfo& DragModeInfo();
const TEnumInfo& DragKindInfo();
const TEnumInfo& FramingPreferenceInfo();
const TEnumInfo& TextStyleInfo();
const TEnumInfo& AlignmentVerticalInfo();
const TEnumInfo& GradientColorStyleInfo();
const TEnumInfo& VisualStyleInfo();
const TEnumInfo& HotTrackColorTypeInfo();

// The registered base for a framed control: the first of the names that is
// registered, or none.
AnsiString RzBaseClass(std::initializer_list<const char*> Names);

// Font, pen and brush as nested objects, when the class library has not
// registered them.
void RzRegisterGraphicsObjects();

template <class C>
void RzRegisterControlBasics(TClassReg<C>& r) {
    const TClassInfo* base = r.Info().Parent;
    auto missing = [base](const char* n) { return !base || !base->FindProp(n); };
    if (missing("Left")) r.Int("Left", &TControl::SetLeft);
    if (missing("Top")) r.Int("Top", &TControl::SetTop);
    if (missing("Width")) r.Int("Width", &TControl::SetWidth);
    if (missing("Height")) r.Int("Height", &TControl::SetHeight);
    if (missing("Align")) r.Enum("Align", &TControl::SetAlign, AlignInfo());
    if (missing("Visible")) r.Bool("Visible", &TControl::SetVisible);
    if (missing("Enabled")) r.Bool("Enabled", &TControl::SetEnabled);
    if (missing("Cursor")) r.Cursor("Cursor", &TControl::SetCursor);
    if (missing("Hint")) r.Str("Hint", &TControl::SetHint);
    if (missing("ShowHint")) r.Bool("ShowHint", &TControl::SetShowHint);
    if (missing("ParentShowHint")) r.Ignore("ParentShowHint");
    if (missing("DragMode")) r.Enum("DragMode", &TControl::SetDragMode, DragModeInfo());
    if (missing("DragCursor")) r.Cursor("DragCursor", &TControl::SetDragCursor);
    if (missing("DragKind")) r.Enum("DragKind", &TControl::SetDragKind, DragKindInfo());
    if (missing("Anchors")) r.Ignore("Anchors");
    if (missing("PopupMenu")) r.Ignore("PopupMenu");
    if (missing("Tag")) r.Int("Tag", &TComponent::SetTag);
    if (missing("OnClick")) r.Event("OnClick", &TControl::OnClick);
    if (missing("OnDblClick")) r.Event("OnDblClick", &TControl::OnDblClick);
    if (missing("OnMouseDown")) r.Event("OnMouseDown", &TControl::OnMouseDown);
    if (missing("OnMouseUp")) r.Event("OnMouseUp", &TControl::OnMouseUp);
    if (missing("OnMouseMove")) r.Event("OnMouseMove", &TControl::OnMouseMove);
    if (missing("OnDragOver")) r.Event("OnDragOver", &TControl::OnDragOver);
    if (missing("OnDragDrop")) r.Event("OnDragDrop", &TControl::OnDragDrop);
    if (missing("OnStartDrag")) r.Event("OnStartDrag", &TControl::OnStartDrag);
    if (missing("OnEndDrag")) r.Event("OnEndDrag", &TControl::OnEndDrag);
}

template <class C>
void RzRegisterTextBasics(TClassReg<C>& r) {
    const TClassInfo* base = r.Info().Parent;
    auto missing = [base](const char* n) { return !base || !base->FindProp(n); };
    if (missing("Caption")) r.Str("Caption", &TControl::SetCaption);
    if (missing("Color")) r.Color("Color", &TControl::SetColor);
    if (missing("ParentColor")) r.Bool("ParentColor", &TControl::SetParentColor);
    if (missing("Font")) r.Object("Font", &TControl::Font, "TFont");
    if (missing("ParentFont")) r.Bool("ParentFont", &TControl::SetParentFont);
    if (missing("Constraints")) r.Ignore("Constraints");
}
