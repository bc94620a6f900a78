#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

// Drives the wizard's Win32 window as a member would, with window messages
// alone: from inside the wizard's own process (the scenario runner's --gui
// mode) or from another process (a host that tests the wizard it started).
// It knows the window's contract (src/ui/win32/win32_view.h: the form's window
// class, controls found by dialog ID, input through the controls' standard
// notifications) and nothing of the wizard's logic. Texts are UTF-8.
namespace regwiz::runner::win32 {

// The top-level window of class `windowClass` (the form's: L"RegWizardForm")
// belonging to process `processId` (0: any process); null when there is none.
HWND FindTopWindow(const wchar_t* windowClass, DWORD processId = 0);

// The message boxes (top-level windows of class "#32770") of process
// `processId` that are shown, the one on top first.
std::vector<HWND> FindMessageBoxes(DWORD processId);

// What a message box says.
struct BoxText {
    std::string title;
    std::string text;
};
BoxText ReadMessageBox(HWND box);

// The ID of the box's default button (the shown BS_DEFPUSHBUTTON, else
// DM_GETDEFID); 0 when it has none.
int DefaultButton(HWND box);

// Presses button `id` (IDOK 1, IDCANCEL 2, IDABORT 3, IDRETRY 4, IDIGNORE 5,
// IDYES 6, IDNO 7) of a message box by posting its WM_COMMAND; false when the
// box has no such button.
bool PressBoxButton(HWND box, int id);

// A window's text (WM_GETTEXT, so it works across processes too).
std::string WindowText(HWND window);

// Lets `condition` become true, up to `timeout`; false when it did not. In
// the window's own thread the thread's messages run meanwhile (the thread
// must pump, or nothing it shows could change); elsewhere the condition is
// polled. Either way the wait sleeps between looks instead of spinning.
enum class Waiting { PumpMessages, Poll };
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               Waiting how);

// Runs the calling thread's pending messages, then returns.
void PumpMessages();

// Saves a picture of `window`'s client area as a PNG file: the pixels the
// window shows on the screen, copied from its device context (BitBlt into a
// DIB section), encoded by the Windows Imaging Component. False, with the
// reason in `why`, when there is no picture to take: a hidden or minimized
// window, or a display that keeps no pixels (wine's null graphics driver
// gives an all-black copy).
bool SavePicture(HWND window, const std::filesystem::path& file, std::string* why = nullptr);

// Answers the message boxes the calling thread shows, as soon as each is
// activated (a thread WH_CBT hook, HCBT_ACTIVATE of a "#32770" window): the
// chooser picks the button ID from the box; when it picks 0 or a button the
// box lacks, the box's default button is pressed once the box is up. One per
// thread at a time.
class BoxAnswerer {
public:
    using Chooser = std::function<int(HWND box)>;
    explicit BoxAnswerer(Chooser choose);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK PressDefaults(HWND, UINT, UINT_PTR, DWORD);
    void Activated(HWND box);

    Chooser choose_;
    HHOOK hook_ = nullptr;
    std::set<HWND> answered_;   // boxes up and answered: a second activation presses nothing
    std::vector<HWND> waiting_; // boxes whose default button the timer presses
    UINT_PTR timer_ = 0;
};

// The wizard's window, driven through the controls' dialog IDs. In process
// (Delivery::Send) every action runs its handlers before it returns, as the
// member's click would; from another process (Delivery::Post) clicks and
// choices are posted, so a handler that shows a message box does not block
// the driver, which then waits for what it expects (WaitUntil with Poll).
class WindowDriver {
public:
    enum class Delivery { Send, Post };
    WindowDriver(HWND form, Delivery delivery);

    HWND Form() const { return form_; }
    DWORD ProcessId() const;

    // The control with dialog ID `id` anywhere below the form (controls stand
    // in frames, which are windows of their own); null when there is none.
    HWND Control(int id) const;
    // The wizard's control `name` (WizardControlId); null when there is none.
    HWND Control(const std::string& name) const;

    // Presses a button or check box (BM_CLICK).
    void Click(HWND control) const;
    // Replaces a text box's text as typing would: focus, select all, replace
    // the selection (EM_REPLACESEL, so the box's input limit applies).
    void Type(HWND control, const std::string& text) const;
    // Chooses entry `index` (-1: none) of a drop-down or list box and tells
    // its parent (CBN_SELCHANGE / LBN_SELCHANGE), as the member's choice does.
    void Select(HWND control, int index) const;

    // The control's own style bits, whatever its parents'.
    static bool Visible(HWND control);
    static bool Enabled(HWND control);
    // Whether the form's window is shown.
    bool Shown() const;
    // A check box's state (BM_GETCHECK) and a list's current entry (-1: none).
    static bool Checked(HWND control);
    static int Selected(HWND control);

    // Lets `condition` come true (see WaitUntil), pumping when in process.
    bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) const;

private:
    LRESULT Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

    HWND form_;
    Delivery delivery_;
};

// The wizard's top-level window (class L"RegWizardForm") of process
// `processId` (0: any process); null while there is none.
HWND FindWizardWindow(DWORD processId = 0);

// The dialog ID of the wizard's control `name` (cmdNext, txtFirstName,
// fraSteps(3)) as the wizard's window numbers it, from a design of the form
// made for the look-up, so another process needs no wizard of its own; 0
// when the wizard has no such control.
int WizardControlId(const std::string& name);

// The kinds of standard control the driver tells apart by window class.
enum class ControlClass { Button, Edit, ComboBox, ListBox, Other };
ControlClass ClassOf(HWND control);

} // namespace regwiz::runner::win32
