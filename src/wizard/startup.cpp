// Loading and unloading the form.
#include "platform/errors.h"
#include "wizard/reg_wizard.h"

namespace regwiz::wizard {
namespace {

bool ReadLogSwitch(modRegistry& store)
{
    Variant text;
    if (store.fReadValue(kSystemHive, kSystemKey, "Log", "S", "No Value", text) != 0)
        return false;
    return TextAsBoolean(CStr(text)).value_or(false);
}

} // namespace

void frmRegWizard::Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    form.Changed(FormModel::FormProperty::Loaded);
    StartTimer1();
    Form_Load();
}

void frmRegWizard::Unload()
{
    if (!loaded_)
        return;
    Form_Unload();
    StopTimer1();
    form.SetVisible(false);
    loaded_ = false;
    form.Changed(FormModel::FormProperty::Loaded);
}

void frmRegWizard::Form_Load()
{
    gLogEvents = ReadLogSwitch(context.store);
    LogStartup("Begin");
    gErrorFlag = false;
    CreateRasAccess();
    if (objRASAcc)
        objRASAcc->Initialize();
    ShowWelcomeTitle();
    gStep = 0;
    gLastStep = kPageCount - 1;
    LogStartup("End");
    LogStartup("Error_exit");
}

void frmRegWizard::Form_Unload()
{
    ResumeNext([&] { context.ports.help.Quit(context.helpFile); });
    objRASAcc.reset();
}

} // namespace regwiz::wizard
