#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/faults.h"
#include "diagnostics/log_file.h"
#include "platform/ports.h"
#include "store/globals.h"
#include "store/mod_registry.h"
#include "wizard/form_view.h"
#include "wizard/reg_wizard.h"

namespace regwiz::host {

// The loaded component: its global state, its services and its one wizard
// form, shared by every RegEngine alive.
class Component final {
public:
    explicit Component(const platform::Ports& ports);
    ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    platform::Ports ports;
    Globals globals;
    modRegistry store{ports, globals};
    diagnostics::LogFile log{ports, globals};
    std::string helpFile;

    // The form while it is loaded, else null.
    wizard::frmRegWizard* Form() const { return form_.get(); }
    // Loads the form unless it is loaded already (no second start-up).
    // Null when its start-up ended by unloading it.
    wizard::frmRegWizard* LoadForm();
    void UnloadForm();

    // Live RegEngine objects, for the unload check of the component.
    int liveObjects = 0;

    // Makes the window of each form loaded; none: the form has no window.
    wizard::FormViewFactory viewFactory;

private:
    void WriteFault(std::string_view what);

    wizard::WizardContext context_;
    struct LoadedForm {
        std::unique_ptr<wizard::frmRegWizard> form;
        std::unique_ptr<wizard::FormView> view;
    };

    std::unique_ptr<wizard::frmRegWizard> form_;
    std::unique_ptr<wizard::FormView> view_;
    // Unloaded forms whose handlers may still be running: kept until it is
    // safe to let them go.
    std::vector<LoadedForm> retired_;
    diagnostics::FaultWatch faults_{[this](std::string_view what) { WriteFault(what); }};
};

} // namespace regwiz::host
