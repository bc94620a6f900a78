#include "host/component.h"

namespace regwiz::host {

Component::Component(const platform::Ports& platformPorts)
    : ports(platformPorts), context_{ports, globals, store, log, helpFile, [this] { UnloadForm(); }}
{
}

Component::~Component()
{
    UnloadForm();
    retired_.clear();
}

wizard::frmRegWizard* Component::LoadForm()
{
    if (form_)
        return form_.get();
    retired_.clear();
    form_ = std::make_unique<wizard::frmRegWizard>(context_);
    if (viewFactory)
        view_ = viewFactory(form_->form);
    form_->Load();
    return form_.get();
}

void Component::UnloadForm()
{
    if (!form_)
        return;
    LoadedForm unloaded{std::move(form_), std::move(view_)};
    unloaded.form->Unload();
    retired_.push_back(std::move(unloaded));
}

// A fault of the component's own code is worth a line whatever the log
// switch says: it is how support finds it.
void Component::WriteFault(std::string_view what)
{
    log.WriteLog("RegWizard", "Fault", what);
}

} // namespace regwiz::host
