#pragma once

#include <functional>
#include <memory>

#include "wizard/form_design.h"

namespace regwiz::wizard {

// A window that shows a form model and feeds the member's input back into it.
// It is made when the form is created and let go when the form is unloaded,
// possibly from inside one of its own event handlers.
class FormView {
public:
    virtual ~FormView() = default;
};

using FormViewFactory = std::function<std::unique_ptr<FormView>(RegWizardDesign& form)>;

} // namespace regwiz::wizard
