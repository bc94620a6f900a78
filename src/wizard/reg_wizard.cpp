#include "wizard/reg_wizard.h"

#include "platform/errors.h"
#include "wizard/validation.h"

namespace regwiz::wizard {

frmRegWizard::frmRegWizard(WizardContext& wizardContext) : context(wizardContext)
{
    BindHandlers();
    CreateTransferControls();
}

void frmRegWizard::CreateTransferControls()
{
    const platform::InetFactory& make = context.ports.inetFactory;
    if (!make)
        return;
    auto design = [](platform::InetTransfer& control, const InetDesign& d) {
        control.SetProtocol(d.protocol);
        control.SetURL(d.url);
        control.SetRemotePort(d.remotePort);
        control.SetRequestTimeout(d.requestTimeout);
    };
    inetFtp = make(inetFtpEvents_);
    design(*inetFtp, form.inetFtp);
    Inet1 = make(inet1Events_);
    design(*Inet1, form.Inet1);
}

frmRegWizard::~frmRegWizard()
{
    StopTimer1();
}

void frmRegWizard::BindHandlers()
{
    form.cmdNext.OnClick([this] { cmdNext_Click(); });
    form.cmdBack.OnClick([this] { cmdBack_Click(); });
    form.cmdHelp.OnClick([this] { cmdHelp_Click(); });
    form.cmdCancel.OnClick([this] { cmdCancel_Click(); });
    form.cboPaymentType.OnClick([this] { cboPaymentType_Click(*this); });
    form.cboAccessState.OnClick([this] { cboAccessState_Click(); });
    form.cboAccessCity.OnClick([this] { cboAccessCity_Click(); });
    form.cmdSelectAccessNumber.OnClick([this] { cmdSelectAccessNumber_Click(); });
}

void frmRegWizard::Log(std::string_view procedure, std::string_view message)
{
    if (gLogEvents_)
        context.log.WriteLog("RegWizard", procedure, message);
}

void frmRegWizard::LogStartup(std::string_view message)
{
    if (gLogEvents_)
        context.log.WriteLog("frmRegWizard", "Form Load", message);
}

void frmRegWizard::DoEvents()
{
    context.ports.loop.DoEvents();
}

void frmRegWizard::CreateRasAccess()
{
    if (context.ports.rasFactory)
        objRASAcc = context.ports.rasFactory(*this);
    if (!objRASAcc)
        throw RunTimeError(429, "ActiveX component can't create object");
}

void frmRegWizard::ConnectionStatus(const std::string& sCallStatus, long RasConnState, long dwerror)
{
    objRasAcc_ConnectionStatus(sCallStatus, RasConnState, dwerror);
}

void frmRegWizard::DeviceInfo(const std::string& DeviceType, const std::string& DeviceName)
{
    objRASAcc_DeviceInfo(DeviceType, DeviceName);
}

// ---- Timer hand-off ---------------------------------------------------------------------------

void frmRegWizard::StartTimer1()
{
    if (!form.Timer1.enabled || form.Timer1.interval <= 0)
        return;
    timer1_ = context.ports.loop.StartTimer(form.Timer1.interval, [this] {
        timer1_ = 0;
        Timer1_Timer();
    });
}

void frmRegWizard::StopTimer1()
{
    if (timer1_ != 0)
        context.ports.loop.StopTimer(timer1_);
    timer1_ = 0;
}

void frmRegWizard::Timer1_Timer()
{
    form.Timer1.enabled = false;
    StopTimer1();
    Trigger_Splash();
}

void frmRegWizard::Trigger_Splash()
{
    if (host_ != nullptr)
        host_->UnloadSplash();
}

} // namespace regwiz::wizard
