#include "regwizard-run/win32_window_driver.h"

#include "ui/win32/win32_view.h"
#include "wizard/form_design.h"

namespace regwiz::runner::win32 {

HWND FindWizardWindow(DWORD processId)
{
    return FindTopWindow(ui::win32::kFormWindowClass, processId);
}

int WizardControlId(const std::string& name)
{
    // Every wizard's window numbers its controls by the same design.
    static const wizard::RegWizardDesign design;
    return ui::win32::ControlId(design, name);
}

HWND WindowDriver::Control(const std::string& name) const
{
    const int id = WizardControlId(name);
    return id != 0 ? Control(id) : nullptr;
}

} // namespace regwiz::runner::win32
