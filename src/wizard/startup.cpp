// Loading the form: the registration server's number, the dial-up component
// and its modems, the choice lists, the agreement; and unloading it.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "diagnostics/error_handlers.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "wizard/reg_wizard.h"
#include "wizard/validation.h"

namespace regwiz::wizard {
namespace {

constexpr const char* kConfigFile = "conf\\register.cfg";
constexpr long kMissingServerInformation = -10100;
constexpr long kAgreementError = 10500;

bool ReadLogSwitch(modRegistry& store)
{
    Variant text;
    if (store.fReadValue(kSystemHive, kSystemKey, "Log", "S", "No Value", text) != 0)
        return false;
    return TextAsBoolean(CStr(text)).value_or(false);
}

// The identifier of the affiliate marker "__*.ini" in `folder`: the name
// without its first two characters and from its first "." on. The first
// match in name order counts, so the choice does not depend on the file system.
std::optional<std::string> FindAffiliateMarker(const platform::Files& files,
                                               const std::filesystem::path& folder)
{
    std::vector<std::string> markers;
    for (const std::string& name : files.FileNames(folder)) {
        const std::string upper = platform::UpperAnsi(platform::ToAnsi(name));
        if (upper.starts_with("__") && upper.ends_with(".INI"))
            markers.push_back(name);
    }
    if (markers.empty())
        return std::nullopt;
    const std::string first = *std::min_element(markers.begin(), markers.end());
    const std::string rest = first.substr(2);
    return rest.substr(0, rest.find('.'));
}

// Lines as Line Input reads them: CR, LF or CR LF end a line.
std::vector<std::string> ReadLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(begin, end - begin));
        begin = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

std::string NumberEntry(int number)
{
    return " " + std::to_string(number);
}

// Round to nearest, halves to even, then clamp into 16 bits and to 0 when negative.
int CenteredOffset(int screen, int window)
{
    const double exact = (static_cast<double>(screen) - window) / 2.0;
    const double rounded = std::nearbyint(exact);
    return static_cast<int>(std::clamp(rounded, 0.0, 32767.0));
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
    SetInputLimits(*this);
    try {
        gLogEvents_ = ReadLogSwitch(context.store);
        LogStartup("Begin");
        gErrorFlag_ = false;
        if (!ReadServerNumber())
            return ShowMissingServer();
        CreateRasAccess();
        objRASAcc->Initialize();
        form.SetMousePointer(platform::pointer::Hourglass);
        CenterForm();
        ShowPageTitle();
        gStep_ = Number(Page::Welcome);
        gLastStep_ = kLastPage;
        FindAffiliate();
        LoadChoiceLists();
        m_DeviceTypes.assign(1, std::string());
        if (!objRASAcc->PhoneBook().EnumDevices())
            return ShowNoModem();
        LogStartup("Load the agreement");
        if (long n = LoadAgreement(); n != 0)
            return StartupError(0);
        LogStartup("Load ComboBox Values");
        LoadFixedLists();
        form.SetMousePointer(platform::pointer::Default);
        LogStartup("End");
        LogStartup("Error_exit");
    } catch (const RunTimeError& error) {
        StartupError(error.Number());
    } catch (const std::exception&) {
        StartupError(err::PathFileAccessError);
    }
}

bool frmRegWizard::ReadServerNumber()
{
    Variant number;
    const long status =
        context.store.fReadValue(kSystemHive, kSystemKey, "RegSvrNum", "S", "", number);
    const std::string text = CStr(number);
    if (status != 0 || text.empty())
        return false;
    context.globals.gRegServerNumber = platform::Right(platform::TrimBlanks(text), 7);
    context.globals.gRegServerAreaCode = platform::Mid(text, 2, 3);
    return true;
}

void frmRegWizard::ShowMissingServer()
{
    LogStartup("Missing registration server information");
    context.globals.gRegServerNumber.clear();
    context.globals.gRegServerAreaCode.clear();
    form.lblError.SetCaption("There is an error with the program settings. \r\n\r\nError ("
                             + std::to_string(kMissingServerInformation)
                             + "): Missing registration server information.\r\n");
    form.fraError.SetVisible(true);
    form.cmdNext.SetVisible(false);
    form.cmdBack.SetVisible(false);
    gErrorFlag_ = true;
}

void frmRegWizard::ShowNoModem()
{
    form.SetMousePointer(platform::pointer::Default);
    LogStartup("No Devices");
    gErrorFlag_ = true;
    form.cmdNext.SetVisible(false);
    form.cmdHelp.SetVisible(false);
    form.cmdBack.SetVisible(false);
    form.Page(gStep_).SetVisible(false);
    form.fraError.SetVisible(true);
    form.lblError.SetCaption("There were no modems detected on your system.\r\n\r\n"
                             "Please check your modem connections and try again.\r\n\r\n"
                             "If you are still experiencing problems call quorvale technical "
                             "support.\r\n\r\n");
}

void frmRegWizard::StartupError(long number)
{
    ResumeNext([&] { LogStartup("Errhand"); });
    form.SetMousePointer(platform::pointer::Default);
    context.unloadForm();
    platform::MsgBox(context.ports.boxes, "Error (" + std::to_string(number) + "): in form load ");
}

void frmRegWizard::CenterForm()
{
    const platform::Screen& screen = context.ports.screen;
    form.Move(CenteredOffset(screen.Width(), form.Width()),
              CenteredOffset(screen.Height(), form.Height()));
}

void frmRegWizard::FindAffiliate()
{
    if (auto id = FindAffiliateMarker(context.ports.files, context.globals.gAppPath)) {
        context.globals.gAffiliateID = *id;
        form.txtMediaName.SetText(*id);
    }
}

void frmRegWizard::LoadChoiceLists()
{
    LoadList("Employment", form.cboEmployed);
    LogStartup("LoadEmployed");
    LoadList("AgeGroup", form.cboAge);
    LogStartup("LoadAges");
    LoadList("Occupation", form.cboOccupation);
    LogStartup("LoadOccupation");
    LoadList("Business", form.cboBusinessOwner);
    LogStartup("LoadBusinessOwner");
    LoadList("HomeBusiness", form.cboHomeBased);
    LogStartup("LoadHomeBased");
    LoadMediaSources();
    LogStartup("LoadMediaSources");
}

// Keys "100", "101", ... of the section, up to the first without a value.
int frmRegWizard::LoadList(const std::string& section, Control& list,
                           const std::function<void(int index)>& added)
{
    const std::string file = AppFile(context.globals, kConfigFile).string();
    long status = 0;
    for (int key = 100; status == 0; ++key) {
        Variant text;
        status = context.store.fReadValue(file, section, std::to_string(key), "S", "", text);
        if (CStr(text).empty())
            break;
        list.AddItem(CStr(text));
        if (added)
            added(list.ListCount() - 1);
    }
    return list.ListCount();
}

void frmRegWizard::LoadMediaSources()
{
    int affiliate = -1;
    LoadList("WhereFrom", form.cboMediaSources, [&](int index) {
        if (!context.globals.gAffiliateID.empty()
            && form.cboMediaSources.List(index) == "Affiliate")
            affiliate = index;
    });
    form.cboMediaSources.SetListIndex(affiliate >= 0 ? affiliate : 0);
}

long frmRegWizard::LoadAgreement()
{
    const std::optional<std::string> bytes =
        context.ports.files.Read(AppFile(context.globals, "agree.txt"));
    if (!bytes) {
        AgreementMissing();
        return err::FileNotFound;
    }
    std::string text;
    for (const std::string& line : ReadLines(platform::FromAnsi(*bytes)))
        text += line + "\r\n";
    if (text.empty()) {
        form.txtAgreement.SetText("Agreement missing");
        AgreementMissing();
        return 0;
    }
    form.txtAgreement.SetText(text);
    return 0;
}

void frmRegWizard::AgreementMissing()
{
    ResumeNext([&] { diagnostics::TerminalError(context.ports, kAgreementError); });
    if (host_ != nullptr)
        ResumeNext([&] { host_->CancelRegistration(); });
}

void frmRegWizard::LoadFixedLists()
{
    for (const char* gender : {"Female", "Male"})
        form.cboGender.AddItem(gender);
    for (const char* card : {"American Express", "Discover", "Master Card", "VISA"})
        form.cboPaymentType.AddItem(card);
    for (int month = 1; month <= 12; ++month)
        form.cboCCMonth.AddItem(NumberEntry(month));
    const int year = context.ports.clock.Now().year;
    for (int y = year; y <= year + 5; ++y)
        form.cboCCYear.AddItem(NumberEntry(y));
}

void frmRegWizard::Form_Unload()
{
    ResumeNext([&] { context.ports.help.Quit(context.helpFile); });
    objRASAcc.reset();
}

} // namespace regwiz::wizard
