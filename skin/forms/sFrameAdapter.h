// The frame adapter: skins a class-library frame as the form provider skins a
// form, without a non-client area: it takes the frame's WindowProc over,
// paints the frame's background from its skin section (default "GROUPBOX")
// and answers the engine's commands for it.
#pragma once

#include <memory>

#include "Controls.h"
#include "sCommonData.h"

class TFrame;
struct TacFrameRelay;

class TsFrameAdapter : public TComponent {
public:
    // AOwner must be the frame; on anything else the adapter reports it once
    // and stays inert.
    explicit TsFrameAdapter(TComponent* AOwner);
    ~TsFrameAdapter() override;
    const char* ClassName() const override { return "TsFrameAdapter"; }
    void AfterConstruction();
    void Loaded() override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    TFrame* Frame() const { return FFrame; }
    // Paints the frame's background and its children into DC.
    void PaintFrame(HDC DC);

private:
    friend struct TacFrameRelay;
    void NewWndProc(TMessage& M);
    bool SkinCommand(TMessage& M);
    void Pass(TMessage& M);
    TColor QueryColor();

    std::unique_ptr<TsCommonData> FCommonData;
    TFrame* FFrame = nullptr;
    TacFrameRelay* FRelay = nullptr;
    bool FDestroying = false;
};
