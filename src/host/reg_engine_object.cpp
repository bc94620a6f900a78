#include "host/reg_engine_object.h"

#include "platform/variant.h"

namespace regwiz::host {

RegEngineObject::RegEngineObject(Component& component, regwizard::RegEngineEvents* events)
    : component_(component), events_(events)
{
    ++component_.liveObjects;
    Class_Initialize();
}

RegEngineObject::~RegEngineObject()
{
    Class_Terminate();
    --component_.liveObjects;
}

void RegEngineObject::Log(const char* procedure, const char* message)
{
    if (m_boolLogEvents)
        wizard::ResumeNext([&] { component_.log.WriteLog("RegWizard", procedure, message); });
}

// Every step that fails is passed over: creation never fails towards the host.
void RegEngineObject::Class_Initialize()
{
    Globals& globals = component_.globals;
    modRegistry& store = component_.store;
    Variant value;
    wizard::ResumeNext([&] {
        const long status =
            store.fReadValue(kSystemHive, kSystemKey, "AppPath", "S", "No Value", value);
        globals.gAppPath = CStr(value);
        if (status != 0) {
            const std::string folder = component_.ports.folders.ComponentFolder().string();
            store.WriteSetting("AppPath", folder, "S");
            globals.gAppPath = folder;
        }
    });
    wizard::ResumeNext([&] {
        const long status =
            store.fReadValue(kSystemHive, kSystemKey, "Log", "S", "No Value", value);
        m_boolLogEvents = status == 0 && TextAsBoolean(CStr(value)).value_or(false);
    });
    Log("Class_Initialize", "------------------------ BEGIN ------------------------");
    component_.helpFile = AppFile(globals, "Registration.hlp").string();
    wizard::frmRegWizard* form = nullptr;
    wizard::ResumeNext([&] { form = component_.LoadForm(); });
    if (form != nullptr)
        form->SetHost(this);
    Log("Class_Initialize", "------------------------ END ------------------------");
}

void RegEngineObject::Class_Terminate()
{
    component_.UnloadForm();
    Log("Class_Terminate", "------------------------  END  ------------------------");
}

void RegEngineObject::UnloadSplash()
{
    wizard::frmRegWizard* form = component_.LoadForm();
    if (events_ != nullptr)
        events_->IsLoaded();
    if (form != nullptr && form->Loaded())
        form->form.SetVisible(true);
}

void RegEngineObject::CancelRegistration()
{
    component_.UnloadForm();
    if (events_ != nullptr)
        events_->RegCanceled();
}

} // namespace regwiz::host
