#include "dialup/site_connection.h"

namespace regwiz::dialup {
namespace {

void ShowConnectionError(wizard::frmRegWizard& wizard, const std::string& caption)
{
    wizard.gErrorFlag = true;
    wizard.form.cmdNext.SetVisible(false);
    wizard.form.cmdBack.SetVisible(false);
    wizard.form.lblConfigureStep.SetCaption(caption);
}

// The chosen modem, for the dial-up entry.
void TakeChosenDevice(wizard::frmRegWizard& wizard)
{
    auto& devices = wizard.form.lstDevices;
    const int index = devices.ListIndex();
    Globals& globals = wizard.context.globals;
    globals.gDeviceName = devices.Text();
    globals.gDeviceType = index >= 0 && index < static_cast<int>(wizard.m_DeviceTypes.size())
                              ? wizard.m_DeviceTypes[static_cast<std::size_t>(index)]
                              : std::string();
}

} // namespace

void SiteConnectionSequence(wizard::frmRegWizard& wizard)
{
    auto& form = wizard.form;
    wizard.context.globals.gUserCanceled = false;
    form.lblPleaseWait.SetCaption("Please Wait");
    TakeChosenDevice(wizard);
    form.lblConfigureStep.SetCaption("Step1: Configuring System");
    wizard.DoEvents();

    long result = CreateDUN(wizard);
    wizard.DoEvents();
    if (result != 0) {
        wizard.Log("cmdNext", "After create DUN RVal : " + std::to_string(result));
        ShowConnectionError(wizard,
                            "Error (" + std::to_string(result) + "): Creating Dial-Up Entry");
        return;
    }

    form.lblConfigureStep.SetCaption("Step2: Connecting to quorvale");
    wizard.DoEvents();
    result = ConnectToSite(wizard);
    if (result == 0) {
        form.lblPleaseWait.SetCaption("Press Next to continue");
        form.cmdNext.Click();
        return;
    }
    wizard.Log("cmdNext", "After connect to site RVal : " + std::to_string(result));
    ShowConnectionError(wizard, "Error (" + std::to_string(result) + "): Connecting to site.");
}

long CreateDUN(wizard::frmRegWizard&)
{
    return 0;
}

long ConnectToSite(wizard::frmRegWizard&)
{
    return 0;
}

void objRasAcc_ConnectionStatus(wizard::frmRegWizard&, const std::string&, long, long) {}

void objRASAcc_DeviceInfo(wizard::frmRegWizard& wizard, const std::string& DeviceType,
                          const std::string& DeviceName)
{
    wizard.form.lstDevices.AddItem(DeviceName);
    wizard.m_DeviceTypes.back() = DeviceType;
    wizard.m_DeviceTypes.emplace_back();
}

} // namespace regwiz::dialup
