// The typed message box's mapping of a type and a button set onto the
// platform's caption and style: the first rule that applies wins.
#include <gtest/gtest.h>

#include "acMsgStyle.h"

TEST(TypedMessageStyle, TheFirstRuleThatAppliesChoosesTheButtonsAndTheTypeTheIcon) {
    struct Case {
        TacMessageType Type;
        TMsgDlgButtons Buttons;
        unsigned Style;
    };
    const Case cases[] = {
        {mtError, MsgDlgButtons({mbOK}), 0x10},
        {mtWarning, MsgDlgButtons({mbOK, mbCancel}), 0x31},
        {mtWarning, MsgDlgButtons({mbOK, mbYes, mbAbort}), 0x30},       // OK before the others
        {mtConfirmation, MsgDlgButtons({mbAbort, mbRetry, mbIgnore}), 0x22},
        {mtInformation, MsgDlgButtons({mbIgnore}), 0x42},
        {mtInformation, MsgDlgButtons({mbAbort, mbYes}), 0x42},         // Abort before Yes
        {mtCustom, MsgDlgButtons({mbYes, mbNo, mbCancel}), 0x03},
        {mtCustom, MsgDlgButtons({mbNo}), 0x04},
        {mtConfirmation, MsgDlgButtons({mbYes, mbRetry}), 0x24},        // Yes before Retry
        {mtError, MsgDlgButtons({mbRetry, mbCancel}), 0x15},
        {mtError, MsgDlgButtons({mbCancel}), 0x10},                     // Cancel alone: OK
        {mtWarning, MsgDlgButtons({mbAll, mbNoToAll, mbYesToAll}), 0x30},
        {mtWarning, MsgDlgButtons({mbYes, mbNo, mbHelp}), 0x4034},
        {mtCustom, 0, 0x00},
        {TacMessageType(9), MsgDlgButtons({mbOK}), 0x00},                // no such type: no icon
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << int(c.Type) << " buttons 0x" << std::hex << c.Buttons);
        EXPECT_EQ(MessageTypeStyle(c.Type, c.Buttons), c.Style);
    }
    EXPECT_EQ(MessageTypeCaption(mtWarning), "Warning");
    EXPECT_EQ(MessageTypeCaption(mtError), "Error");
    EXPECT_EQ(MessageTypeCaption(mtInformation), "Information");
    EXPECT_EQ(MessageTypeCaption(mtConfirmation), "Confirm");
    EXPECT_EQ(MessageTypeCaption(mtCustom), "");
}
