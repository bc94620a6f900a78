#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "wizard/form_design.h"

// What the Windows window adds for members who use the keyboard, a screen
// reader or a high-DPI screen: the dialog keys (Enter, Escape, F1) as the
// form's buttons, the form's default button as the dialog's, names for fields
// that share a caption, a mark beside colour for missing fields, and the
// screen's DPI.
namespace regwiz::ui::win32 {

// Alt and a letter that no caption shows, sent to the form window by the
// dialog keys (wParam: the character); TRUE when a button took it.
inline constexpr UINT kHiddenAccessKey = WM_APP + 20;

// The button a dialog key's message to the form window presses, or null:
//   WM_COMMAND IDOK (Enter)      the focused push button, else the default one
//   WM_COMMAND IDCANCEL (Escape) Cancel
//   WM_HELP (F1)                 Help
//   kHiddenAccessKey (Alt+A)     "Agree", whose caption shows no key
// Only a button the member could press (shown and enabled) is pressed.
// `controlOf` gives the control a window shows (null: none of the form's).
wizard::Control* ButtonForKey(wizard::RegWizardDesign& form, UINT message, WPARAM wParam,
                              HWND focus, const std::function<wizard::Control*(HWND)>& controlOf);

// Gives the form's default button the default push-button look (and the
// state screen readers report), the other push buttons the plain one.
void ShowDefaultButton(const wizard::RegWizardDesign& form,
                       const std::function<HWND(const wizard::Control&)>& windowOf);

// A second field under one caption is named by an undrawn label of its own
// just before it in Z order (where screen readers look for a field's label):
// "Address line 2", "Expiration year". Its control ID is the field's plus
// kCaptionNameIdOffset.
inline constexpr int kCaptionNameIdOffset = 5000;
void NameFieldsSharingACaption(const wizard::RegWizardDesign& form,
                               const std::function<HWND(const wizard::Control&)>& windowOf);
// Puts those labels of `panel` back just before their fields, after the
// panel's controls were put in tab order again.
void KeepCaptionNamesBeforeFields(HWND panel);

// A missing field's caption turns bold as well as red: the bold fonts made for
// the captions' fonts, until the window goes.
class MissingMarks {
public:
    MissingMarks() = default;
    ~MissingMarks();
    MissingMarks(const MissingMarks&) = delete;
    MissingMarks& operator=(const MissingMarks&) = delete;

    void Show(const wizard::Control& label, HWND window);

private:
    std::map<HWND, HFONT> plain_; // a caption's own font while it is marked
    std::map<HFONT, HFONT> bold_; // a bold font for each plain one
};

// The thread's windows follow each monitor's DPI (Windows 10 1703 and later;
// elsewhere the system's).
void BecomeDpiAware();
// The DPI `window` is shown at (96: 100 %; null: the system's).
UINT DpiOf(HWND window);
// The window lays itself out in units of 1/96 inch; these turn them into the
// pixels of a screen at `dpi` and back (rounding up, so text never clips).
int ToPixels(int units, UINT dpi);
int ToUnits(int pixels, UINT dpi);
RECT ToPixels(const RECT& units, UINT dpi);

} // namespace regwiz::ui::win32
