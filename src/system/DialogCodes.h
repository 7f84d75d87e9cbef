#pragma once

#include <QFlags>

// Message box styles as the design adds them together: the buttons in the low bits, the icon in
// 16 to 64, the default button in 256 and 512.
namespace MsgBoxStyle {
enum Flag : int {
    OkOnly = 0,
    OkCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
    DefaultButton2 = 256,
    DefaultButton3 = 512,
};
Q_DECLARE_FLAGS(Flags, Flag)
constexpr int buttonsMask = 7;
constexpr int iconMask = 0x70;
constexpr int defaultButtonShift = 8;
} // namespace MsgBoxStyle
Q_DECLARE_OPERATORS_FOR_FLAGS(MsgBoxStyle::Flags)

// The answers, with the numbers the design's handlers compare against.
enum class MsgBoxResult { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// The common dialog's Flags bits that the dialogs act on; the others are passed along unread.
namespace DialogFlags {
enum Flag : int {
    PrintSelection = 1,       // the printer dialog offers to print the selection
    FontScreenAndPrinter = 3, // the font dialog lists screen and printer fonts
    PrintSetup = 64,          // the printer dialog shows the printer's setup
    FontEffects = 256,        // the font dialog offers the effects and the colour
    FontExistingOnly = 65536, // only fonts that exist can be chosen
};
Q_DECLARE_FLAGS(Flags, Flag)
} // namespace DialogFlags
Q_DECLARE_OPERATORS_FOR_FLAGS(DialogFlags::Flags)
