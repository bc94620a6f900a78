#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <memory>
#include <string>

#include "wizard/form_model.h"
#include "wizard/form_view.h"

// The wizard's window on Windows: a top-level window of the system's standard
// controls over the form model. Programs outside the component find it and
// its controls by the names below, so they can drive it through window
// messages as a member would.
namespace regwiz::ui::win32 {

// The window class of a form's top-level window; its title is the form's caption.
inline constexpr wchar_t kFormWindowClass[] = L"RegWizardForm";

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
// is hidden with it.
class Win32FormView;

} // namespace regwiz::ui::win32
