#include "host/component.h"

#include "dialup/dial_up_entry.h"
#include "dialup/site_connection.h"
#include "exchange/access_numbers.h"
#include "exchange/account_request.h"
#include "exchange/finishing.h"

namespace regwiz::host {

Component::Component(const platform::Ports& ports)
    : ports(ports), context_{this->ports, globals, store, log, helpFile, [this] { UnloadForm(); }}
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
    form_ = std::make_unique<wizard::frmRegWizard>(context_, *this);
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

void Component::SiteConnectionSequence(wizard::frmRegWizard& form)
{
    dialup::SiteConnectionSequence(form);
}

void Component::AccessNumberEntry(wizard::frmRegWizard& form)
{
    exchange::AccessNumberEntry(form);
}

void Component::FinishingSequence(wizard::frmRegWizard& form)
{
    exchange::FinishingSequence(form);
}

void Component::cmdCancel_Click(wizard::frmRegWizard& form)
{
    exchange::cmdCancel_Click(form);
}

void Component::objRasAcc_ConnectionStatus(wizard::frmRegWizard& form,
                                           const std::string& sCallStatus, long RasConnState,
                                           long dwerror)
{
    dialup::objRasAcc_ConnectionStatus(form, sCallStatus, RasConnState, dwerror);
}

void Component::objRASAcc_DeviceInfo(wizard::frmRegWizard& form, const std::string& DeviceType,
                                     const std::string& DeviceName)
{
    dialup::objRASAcc_DeviceInfo(form, DeviceType, DeviceName);
}

void Component::Inet1_StateChanged(wizard::frmRegWizard& form, std::int16_t state)
{
    exchange::Inet1_StateChanged(form, state);
}

void Component::cboAccessState_Click(wizard::frmRegWizard& form)
{
    exchange::cboAccessState_Click(form);
}

void Component::cboAccessCity_Click(wizard::frmRegWizard& form)
{
    exchange::cboAccessCity_Click(form);
}

void Component::cmdSelectAccessNumber_Click(wizard::frmRegWizard& form)
{
    exchange::cmdSelectAccessNumber_Click(form);
}

} // namespace regwiz::host
