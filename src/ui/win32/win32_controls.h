#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <string_view>

// The window classes of the wizard's window that the system lacks, and the
// text conversions between the form's UTF-8 and the windows' UTF-16.
namespace regwiz::ui::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
std::wstring WindowText(HWND window);

// The form's texts end lines with CR LF, as edit controls want them; a lone
// CR or LF becomes CR LF too.
std::wstring WithCrLf(std::string_view utf8);

// 0xRRGGBB (the form's colours) as a COLORREF (0x00BBGGRR).
COLORREF ToColorRef(unsigned rgb);

// The module the wizard's windows belong to (the program, or the DLL that
// holds this code).
HINSTANCE ThisModule();

// Registers window class `name` of `module` with the standard arrow cursor;
// `background` 0 leaves the painting to the window.
void RegisterWindowClass(HINSTANCE module, const wchar_t* name, WNDPROC procedure,
                         int background = 0);

// Registers the classes below once per process.
void RegisterWindowClasses(HINSTANCE instance);

// A frame: a child window that holds controls, fills itself with its colour
// (SetFrameColour) and passes its controls' notifications (WM_COMMAND,
// WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM) on to its parent.
inline constexpr wchar_t kFrameClass[] = L"RegWizardFrame";
void SetFrameColour(HWND frame, COLORREF colour);

// A picture drawn with GDI: a gradient panel with the window's text as its
// title. The style's low byte picks the look (PictureLook).
inline constexpr wchar_t kPictureClass[] = L"RegWizardPicture";
enum class PictureLook : DWORD { Page = 0, Error = 1, Connection = 2 };

// The animation control's place: while running it plays the AVI file given
// when the file opens in a SysAnimate32 child, else it turns a ring of dots
// on a timer. Idle it shows nothing and keeps no timer.
inline constexpr wchar_t kAnimationClass[] = L"RegWizardAnimation";
// Runs the clip `file` (empty: stops).
void RunAnimation(HWND animation, const std::string& file);
// Running at all, and running the drawn ring (no clip could be opened).
bool AnimationRunning(HWND animation);
bool AnimationDrawn(HWND animation);

} // namespace regwiz::ui::win32
