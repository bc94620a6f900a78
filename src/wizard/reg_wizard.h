#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/log_file.h"
#include "platform/ports.h"
#include "platform/ras_access.h"
#include "store/globals.h"
#include "store/mod_registry.h"
#include "wizard/form_design.h"

namespace regwiz::wizard {

// The service's domain name; it also names the wizard's dial-up entry.
inline constexpr std::string_view ServiceDomain = "quorvale.example";

// What the form knows of the public object that loaded it.
class HostObject {
public:
    virtual ~HostObject() = default;
    virtual void UnloadSplash() = 0;
    virtual void CancelRegistration() = 0;
};

// The component's services and shared state, as the form uses them.
struct WizardContext {
    platform::Ports& ports;
    Globals& globals;
    modRegistry& store;
    diagnostics::LogFile& log;
    const std::string& helpFile;
    std::function<void()> unloadForm; // unloads the form from inside its own handlers
};

class frmRegWizard;

// The work other parts of the component do for the page machine: entering
// pages 9 to 11, Cancel, and the dial-up component's events.
class WizardHooks {
public:
    virtual ~WizardHooks() = default;
    virtual void SiteConnectionSequence(frmRegWizard&) {}
    virtual void AccessNumberEntry(frmRegWizard&) {}
    virtual void FinishingSequence(frmRegWizard&) {}
    virtual void cmdCancel_Click(frmRegWizard&) {}
    virtual void objRasAcc_ConnectionStatus(frmRegWizard&, const std::string&, long, long) {}
    virtual void objRASAcc_DeviceInfo(frmRegWizard&, const std::string&, const std::string&) {}
    virtual void Inet1_StateChanged(frmRegWizard&, std::int16_t) {}
    virtual void cboAccessState_Click(frmRegWizard&) {}
    virtual void cboAccessCity_Click(frmRegWizard&) {}
    virtual void cmdSelectAccessNumber_Click(frmRegWizard&) {}
};

// The wizard form: its controls (the design), its form-level state, and the
// handlers of the page machine.
class frmRegWizard final : private platform::RasEvents {
public:
    frmRegWizard(WizardContext& context, WizardHooks& hooks);
    ~frmRegWizard() override;
    frmRegWizard(const frmRegWizard&) = delete;
    frmRegWizard& operator=(const frmRegWizard&) = delete;

    RegWizardDesign form;
    WizardContext& context;

    // Form-level state.
    std::int16_t gStep = 0;
    std::int16_t gLastStep = 0;
    bool gErrorFlag = false;
    bool gLogEvents = false;
    bool gWaitingForReply = false;
    std::vector<std::string> m_DeviceTypes{""};
    std::unique_ptr<platform::RasAccess> objRASAcc;
    // The two transfer controls: the FTP download and the HTTP request.
    std::unique_ptr<platform::InetTransfer> inetFtp;
    std::unique_ptr<platform::InetTransfer> Inet1;

    // Loading starts the design's timer and runs Form_Load; unloading runs
    // Form_Unload, stops the timer and takes the window down.
    void Load();
    void Unload();
    bool Loaded() const { return loaded_; }
    void Form_Load();
    void Form_Unload();

    // The hand-over of the host object, and the timer's call back to it.
    void SetHost(HostObject* host) { host_ = host; }
    HostObject* Host() const { return host_; }
    void Trigger_Splash();
    void Timer1_Timer();

    void cmdNext_Click();
    void cmdBack_Click();
    void cmdHelp_Click();

    // Writes a wizard log line when the form's logging is on.
    void Log(std::string_view procedure, std::string_view message);
    void LogStartup(std::string_view message);
    // "Let pending window events run once."
    void DoEvents();
    // Creates the dial-up component, its events coming to this form.
    void CreateRasAccess();

private:
    // platform::RasEvents
    void ConnectionStatus(const std::string& sCallStatus, long RasConnState, long dwerror) override;
    void DeviceInfo(const std::string& DeviceType, const std::string& DeviceName) override;

    // Start-up.
    bool ReadServerNumber();
    void ShowMissingServer();
    void ShowNoModem();
    void StartupError(long number);
    void CenterForm();
    void FindAffiliate();
    void LoadChoiceLists();
    int LoadList(const std::string& section, Control& list,
                 const std::function<void(int index)>& added = {});
    void LoadMediaSources();
    long LoadAgreement();
    void AgreementMissing();
    void LoadFixedLists();

    void BindHandlers();
    void CreateTransferControls();
    void StartTimer1();
    void StopTimer1();
    void SetStepTitle();
    void ShowWelcomeTitle();
    bool CheckPage();
    void SaveLeftPage();
    void LoadPageAnswers();
    void EnterPageForward();
    void ArriveBack();
    void FocusOn(Control& control);
    Control* FirstField(std::int16_t page);
    void FocusFirstField();

    // Inet1's state events come to the form; inetFtp's are not handled.
    struct Inet1Events final : platform::InetEvents {
        explicit Inet1Events(frmRegWizard& form) : form(form) {}
        void StateChanged(std::int16_t state) override
        {
            form.hooks_.Inet1_StateChanged(form, state);
        }
        frmRegWizard& form;
    };
    struct NoInetEvents final : platform::InetEvents {
        void StateChanged(std::int16_t) override {}
    };

    WizardHooks& hooks_;
    Inet1Events inet1Events_{*this};
    NoInetEvents inetFtpEvents_;
    HostObject* host_ = nullptr;
    bool loaded_ = false;
    platform::EventLoop::TimerId timer1_ = 0;
};

// Runs one step of a handler that goes on with its next step when a step
// fails ("On Error Resume Next").
void ResumeNext(const std::function<void()>& step);

} // namespace regwiz::wizard
