// The engine's one window message and its command codes. Portable: the
// parameter layout is plain integer arithmetic, shared by every sender and
// handler and tested natively.
#pragma once

#include <cstdint>

// The engine message number. The name is registered with the platform at
// start-up, but every sender and handler uses this fixed number.
constexpr unsigned SM_ALPHACMD = 0xA100;
constexpr const char* SM_ALPHACMD_NAME = "SM_ALPHACMD";

// Command codes, carried in the high word of the low 32 bits of wParam.
enum SkinCommand : uint16_t {
    scNewSkin = 1,
    scRemoveSkin = 2,
    scRefresh = 3,
    scGetProvider = 4,
    scChildPainting = 5,
    scRepaint = 6,
    scIsSkinned = 7,
    scSetUpdating = 8,
    scSetHalt = 9,
    scQueryUpdating = 10,
    scQueryReady = 11,
    scTransparentChanged = 12,
    scSectionChanged = 13,
    scBeforeBorders = 14,
    scSetLinkObject = 15,
    scBeforeRefresh = 16,
    scBackgroundChanged = 17,
    scQueryComplexBackground = 19,
    scBackgroundChangedAll = 20,
    scQueryColor = 21,
    scSetReady = 22,
    scUpdateCache = 23,
    scChildChanged = 25,
    scQuerySkinIndex = 26,
    scQueryManager = 27,
    scDialogQuery = 28,
    scMouseEnter = 29,
    scMouseLeave = 30,
    scBeginUpdate = 31,
    scEndUpdate = 32,
    scGetBackground = 34,
    scWrapperQuery = 35,
    scOpacity = 36,
    scBeforeScroll = 51,
    scAfterScroll = 52,
    scGetApplication = 60,
    scBorderOffset = 61,
};

// wParam of the engine message: the argument in the low word, the command in
// the high word of the low 32 bits; the upper half of a 64-bit wParam is 0.
constexpr uint64_t SkinWParam(uint16_t Command, uint16_t Argument = 0) {
    return (uint64_t(Command) << 16) | Argument;
}
// Only the low 32 bits are read: a sign-extended or dirty upper half of a
// 64-bit wParam must not change the command.
constexpr uint16_t SkinCommandOf(uint64_t WParam) { return uint16_t((WParam & 0xFFFFFFFFu) >> 16); }
constexpr uint16_t SkinArgumentOf(uint64_t WParam) { return uint16_t(WParam & 0xFFFFu); }

// Whether the code is one of the table's commands (18, 24, 33, 37-50, 53-59
// and above 61 are not).
constexpr bool IsSkinCommand(unsigned Code) {
    return (Code >= 1 && Code <= 17) || (Code >= 19 && Code <= 23) || (Code >= 25 && Code <= 32) ||
           (Code >= 34 && Code <= 36) || Code == 51 || Code == 52 || Code == 60 || Code == 61;
}
