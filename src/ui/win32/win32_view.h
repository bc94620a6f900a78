#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_desktop.h"
#include "ui/layout/page_layouts.h"
#include "wizard/form_design.h"
#include "wizard/form_model.h"
#include "wizard/form_view.h"

// The wizard's window on Windows: a top-level window of the system's standard
// controls over the form model. Programs outside the component find it and
// its controls by the names below, so they can drive it through window
// messages as a member would.
namespace regwiz::ui::win32 {

// The window class of a form's top-level window; its title is the form's
// caption. (Message boxes look for it to find their owner.)
using platform::win32::kFormWindowClass;

// Every control's window (page frames included) has the dialog control ID
// kFirstControlId + the control's place in FormModel::Controls().
inline constexpr int kFirstControlId = 1000;

// The dialog control ID of the form's control `name`; 0 when there is none.
int ControlId(const wizard::FormModel& form, const std::string& name);

// The member's input reaches the model through the controls' own
// notifications, sent to the control's parent window:
//   buttons and check boxes  BN_CLICKED (BM_CLICK raises it)
//   text boxes               EN_CHANGE (typing, EM_REPLACESEL, WM_SETTEXT)
//   drop-down lists          CBN_SELCHANGE
//   list boxes               LBN_SELCHANGE
// A control's own WS_VISIBLE and WS_DISABLED follow the model's Visible and
// Enabled; a frame is a window of its own, so what stands in a hidden frame
// is hidden with it. While the window is disabled (a message box is up), no
// input reaches the model. Closing the window presses Cancel when it can be
// pressed. The keyboard works as in a dialog box (Tab in the page's order,
// Alt+mnemonic) in any message loop of the thread.
//
// The window classes: labels STATIC, text boxes EDIT (ES_PASSWORD while
// masked, multi-line with a scroll bar), drop-down lists COMBOBOX
// (CBS_DROPDOWNLIST), lists LISTBOX (LBS_NOTIFY), buttons and the check box
// BUTTON, frames kFrameClass, lines STATIC SS_ETCHEDHORZ, pictures
// kPictureClass and the animation kAnimationClass (win32_controls.h).
class Win32FormView final : public wizard::FormView {
public:
    explicit Win32FormView(wizard::RegWizardDesign& form);
    ~Win32FormView() override;
    Win32FormView(const Win32FormView&) = delete;
    Win32FormView& operator=(const Win32FormView&) = delete;

    // The top-level window.
    HWND Window() const { return window_; }
    // The window of the control `controlName` (page frames are
    // "fraSteps(n)"); null when there is none.
    HWND WindowFor(const std::string& controlName) const;

private:
    using Control = wizard::Control;
    struct Placing;

    void MakeWindow();
    void MakeControls();
    HWND MakeControl(Control& control, HWND parent, int id);
    void SetLook(const Control& control, HWND window);
    void ArrangeTopLevel();

    // Placing: a panel's picture on the left, its rows top to bottom.
    void LayOutPanel(Control& panel);
    void LayOutRows(Placing& placing, const std::vector<Row>& rows);
    int PlaceRow(Placing& placing, const Row& row, int top, int height);
    int RowHeight(const Placing& placing, const Row& row) const;
    int HeightOf(const Control& control, int width) const;
    int NaturalWidth(const Control& control) const;
    int LabelColumnWidth(const std::vector<Row>& rows) const;
    bool Shows(const char* name) const;

    // The member's input, into the model.
    friend LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Command(int id, int code, HWND from);
    void Feed(Control& control, int code, HWND from);
    LRESULT ColourOf(HWND control, HDC dc);
    void FollowWindowPosition();
    void KeepFocus(bool activated);
    void MoveFocus(WPARAM target, bool direct);

    // The model, into the windows.
    void ObserveModel();
    void ShowAll(Control& control);
    void Show(Control& control, wizard::Property property);
    void ShowText(const Control& control, HWND window);
    void ShowItems(const Control& control, HWND window);
    void ShowListIndex(const Control& control, HWND window);
    void ShowForm(wizard::FormModel::FormProperty property);
    void ShowPosition();
    void ShowCursor();
    void ShowDpi(const RECT& suggested);

    HWND WindowOf(const Control& control) const;
    Control* ControlOf(int id) const;
    HBRUSH Brush(COLORREF colour);

    wizard::RegWizardDesign& form_;
    HWND window_ = nullptr;
    std::vector<HWND> windows_; // by the control's place in Controls()
    std::map<std::string, HWND> byName_;
    // Fonts and brushes the window draws with; they go with the window,
    // which may outlive the view a little (WindowState).
    struct WindowState* state_ = nullptr;
    std::unique_ptr<class DialogKeys> keys_;
    std::unique_ptr<class MissingMarks> marks_;
    // Shared with every observer: false once the view is gone, since the
    // model outlives it a little.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Above zero while the view copies the model into the windows (their
    // notifications must not go back into the model), and while the model
    // handles the member's input (the view may be let go then).
    int updating_ = 0;
    int handling_ = 0;
    bool layoutReady_ = false; // panels are laid out again as they change
    HWND lastFocus_ = nullptr; // the focus when the window was last left
};

// Makes a Win32FormView for each form loaded.
wizard::FormViewFactory MakeViewFactory();

} // namespace regwiz::ui::win32
