#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/faults.h"
#include "diagnostics/log_file.h"
#include "exchange/access_numbers.h"
#include "exchange/account_request.h"
#include "platform/ports.h"
#include "platform/ras_access.h"
#include "store/globals.h"
#include "store/mod_registry.h"
#include "wizard/form_design.h"
#include "wizard/pages.h"

namespace regwiz::wizard {

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

// The wizard form: its controls (the design), its form-level state, and the
// handlers of the page machine.
class frmRegWizard final : private platform::RasEvents {
public:
    explicit frmRegWizard(WizardContext& context);
    ~frmRegWizard() override;
    frmRegWizard(const frmRegWizard&) = delete;
    frmRegWizard& operator=(const frmRegWizard&) = delete;

    RegWizardDesign form;
    WizardContext& context;

    // Form-level state, as the host and a reader of the form see it.
    std::int16_t gStep() const { return gStep_; }
    Page CurrentPage() const { return static_cast<Page>(gStep_); }
    bool gErrorFlag() const { return gErrorFlag_; }
    bool gLogEvents() const { return gLogEvents_; }

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

    // The buttons.
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdHelp_Click();
    // Cancel, "Do Not Agree" or "Done": ends the wizard, stops a call, or
    // stores the new member's credentials, as the situation asks.
    void cmdCancel_Click();

    // Writes a wizard log line when the form's logging is on.
    void Log(std::string_view procedure, std::string_view message);
    void LogStartup(std::string_view message);
    // "Let pending window events run once."
    void DoEvents();

    // The page table (pages.cpp): its rows name the page handlers below.
    static const std::array<PageDescriptor, kPageCount>& PageTable();

private:
    // platform::RasEvents
    void ConnectionStatus(const std::string& sCallStatus, long RasConnState, long dwerror) override;
    void DeviceInfo(const std::string& DeviceType, const std::string& DeviceName) override;

    // Start-up.
    void CreateRasAccess();
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

    // The page machine (navigation.cpp).
    const PageDescriptor& Current() const;
    void ShowPageTitle();
    void FocusOn(Control& control);
    void FocusFirstField(bool arrivingBack);
    void FocusDefaultButton();
    std::int16_t NextPage() const;
    std::int16_t PreviousPage() const;
    bool Skipped(std::int16_t page) const;
    void SaveLeftPage();
    void LoadPageAnswers();
    void EnterPageForward();
    void ArriveBack();
    void EnterAgreement();
    void ShowAgreementButtons();
    void EnterModem();
    void LeaveAccessNumber();
    void ArriveBackAtWelcome();
    void ShowPlainButtons();
    void ArriveBackAtSiteConnection();
    void LeaveSiteConnectionBack();

    // Page 9: the dial-up entry and the connection (site_connection_page.cpp).
    void SiteConnectionSequence();
    void TakeChosenDevice();
    long CreateDUN();
    long CreateEntry();
    long ConnectToSite();
    void ShowConnectionError(const std::string& caption);
    void objRasAcc_ConnectionStatus(const std::string& sCallStatus, long RasConnState,
                                    long dwerror);
    void objRASAcc_DeviceInfo(const std::string& DeviceType, const std::string& DeviceName);

    // Page 10: the access numbers (access_number_page.cpp).
    void AccessNumberEntry();
    long GetPhoneList();
    long StartDownload(const std::string& target);
    void WaitForDownload();
    bool AskToTryAgain();
    void ShowRetrievalFailure();
    void ShowStateAndCityChoice();
    void OfferStatesAndCities();
    void OfferAreaCodeNumbers();
    void ChooseFirstAccessNumber();
    void cboAccessState_Click();
    void cboAccessCity_Click();
    void cmdSelectAccessNumber_Click();

    // Page 11: the account request and its result (finish_page.cpp).
    void FinishingSequence();
    exchange::SignUpRecord SignUp();
    std::string ConfigCode(const char* section, const std::string& choice);
    std::string CollectReply();
    void Inet1_StateChanged(std::int16_t State);
    void ReplyFailed();
    void TakeReply(const std::string& reply);
    void ResultMessage(const std::string& ErrString);
    void ShowResult(const std::string& text, const char* button);
    void ResetDUN(const std::string& AccessString);

    // Leaving (cancel.cpp).
    void CancelStep(const char* what, const std::function<void()>& step);
    void HangUpIfConnected();
    void DeleteEntry();
    void CloseWizard();
    void StoreCredentials();
    bool ConfirmLeaving();

    // Where the registration server is reached.
    std::string ReadSetting(const char* name);

    // Inet1's state events come to the form; inetFtp's are not handled.
    struct Inet1Events final : platform::InetEvents {
        explicit Inet1Events(frmRegWizard& owner) : form(owner) {}
        void StateChanged(std::int16_t state) override { form.Inet1_StateChanged(state); }
        frmRegWizard& form;
    };
    struct NoInetEvents final : platform::InetEvents {
        void StateChanged(std::int16_t) override {}
    };

    std::int16_t gStep_ = 0;
    std::int16_t gLastStep_ = 0;
    bool gErrorFlag_ = false;
    bool gLogEvents_ = false;
    bool gWaitingForReply_ = false;
    std::vector<std::string> m_DeviceTypes{""};
    exchange::AccessNumberTable accessNumbers_;
    std::unique_ptr<platform::RasAccess> objRASAcc;
    // The two transfer controls: the FTP download and the HTTP request.
    std::unique_ptr<platform::InetTransfer> inetFtp;
    std::unique_ptr<platform::InetTransfer> Inet1;

    Inet1Events inet1Events_{*this};
    NoInetEvents inetFtpEvents_;
    HostObject* host_ = nullptr;
    bool loaded_ = false;
    platform::EventLoop::TimerId timer1_ = 0;
};

// Runs one step of a handler that goes on with its next step when a step
// fails ("On Error Resume Next").
using diagnostics::ResumeNext;

} // namespace regwiz::wizard
