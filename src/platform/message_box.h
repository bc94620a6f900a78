#pragma once

#include <string>

namespace regwiz::platform {

// Message-box style numbers: buttons + icon + default button, as the
// Windows flags add them up.
namespace mb {
inline constexpr int OkOnly = 0;
inline constexpr int OkCancel = 1;
inline constexpr int AbortRetryIgnore = 2;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int RetryCancel = 5;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int DefaultButton2 = 256;
inline constexpr int DefaultButton3 = 512;
} // namespace mb

// What the member pressed.
enum class Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// Modal message boxes. Show blocks until the member answers while pending
// window events keep running.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual Answer Show(const std::string& text, const std::string& title, int style) = 0;
};

// The button a box of `style` takes when the member just confirms it.
Answer DefaultAnswer(int style);

// The title a box without one carries: the component's name.
inline constexpr const char* kDefaultTitle = "RegWizard";

// MsgBox as the wizard calls it: an empty title means the default one.
Answer MsgBox(MessageBoxes& boxes, const std::string& text, int style = mb::OkOnly,
              const std::string& title = {});

} // namespace regwiz::platform
