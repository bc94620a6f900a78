// quorvale-host.exe as a member meets it under wine, driven from outside its
// process through window messages alone: it registers RegWizard.dll beside
// it, shows its splash screen until the wizard is ready, and after a whole
// sign-up in the wizard's window tells the member ID the wizard stored, then
// exits. Without its DLL it says why and fails.
//
// The stand-in registration server runs outside wine (run-scenarios.sh):
// REGSVR_HTTP and REGSVR_FTP name it. REGWIZ_HOST is the built program,
// REGWIZ_DEMO the demo's folder (its application folder and help page).
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "regsvr32.h"
#include "regwizard-run/win32_window_driver.h"

namespace regwiz::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
namespace drive = runner::win32;

constexpr char kSystemKey[] = "SOFTWARE\\quorvale\\1.0";
constexpr wchar_t kSplashClass[] = L"QuorvaleSplash";
constexpr wchar_t kFormClass[] = L"RegWizardForm";

// A build path as wine sees it: the root is drive Z:.
fs::path WinePath(const char* posix)
{
    std::string path = std::string("Z:") + posix;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A folder of this test's own below the temporary folder, removed afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : path_(fs::temp_directory_path()
                / ("host-" + name + "-" + std::to_string(::GetCurrentProcessId())))
    {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// A program started on its own, ended at the latest with the test.
class Process {
public:
    explicit Process(const fs::path& program)
    {
        std::wstring command = L"\"" + program.wstring() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = ::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                    nullptr, program.parent_path().c_str(), &startup, &process_)
                   != FALSE;
    }
    ~Process()
    {
        if (!started_)
            return;
        if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process_.hProcess, 99);
        ::CloseHandle(process_.hThread);
        ::CloseHandle(process_.hProcess);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    bool Running() const { return ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit code once it ended within `timeout`; ~0 when it still runs.
    DWORD ExitCode(std::chrono::milliseconds timeout) const
    {
        DWORD code = ~DWORD{0};
        if (::WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count()))
            == WAIT_OBJECT_0)
            ::GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// The first message box the process shows within `timeout`; null when none.
HWND WaitForBox(const Process& process, std::chrono::milliseconds timeout)
{
    HWND box = nullptr;
    drive::WaitUntil(
        [&] {
            const std::vector<HWND> boxes = drive::FindMessageBoxes(process.Id());
            box = boxes.empty() ? nullptr : boxes.front();
            return box != nullptr;
        },
        timeout, drive::Waiting::Poll);
    return box;
}

std::string ReadSetting(const char* name)
{
    char text[256] = {};
    DWORD size = sizeof text;
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, kSystemKey, name, RRF_RT_REG_SZ, nullptr, text, &size)
        != ERROR_SUCCESS)
        return {};
    return text;
}

void WriteSetting(const char* name, const std::string& text)
{
    ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSystemKey, name, REG_SZ, text.c_str(),
                                static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS)
        << name;
}

bool ClassRegistered()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, "RegWizard.RegEngine", 0, KEY_READ, &key)
        != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

TEST(QuorvaleHost, WithoutItsLibrarySaysWhyAndFails)
{
    ASSERT_FALSE(ClassRegistered()) << "a fresh prefix";
    ScratchFolder folder("alone");
    const fs::path host = folder.Path() / "quorvale-host.exe";
    fs::copy_file(WinePath(REGWIZ_HOST), host);

    Process process(host);
    ASSERT_TRUE(process.Started());
    HWND box = WaitForBox(process, 30s);
    ASSERT_NE(box, nullptr) << "no message box";
    const drive::BoxText said = drive::ReadMessageBox(box);
    EXPECT_EQ(said.title, "quorvale Online");
    EXPECT_NE(said.text.find("cannot register " + (folder.Path() / "RegWizard.dll").string()),
              std::string::npos)
        << said.text;
    EXPECT_NE(said.text.find("cannot load it"), std::string::npos) << said.text;
    ASSERT_TRUE(drive::PressBoxButton(box, IDOK));
    EXPECT_EQ(process.ExitCode(30s), 1u);
    EXPECT_FALSE(ClassRegistered());
}

// What the demo's member answers on each page (apps/demo/walkthrough.scn):
// every page check passes.
struct Answer {
    enum Kind { Type, Select } kind;
    const char* control;
    const char* text;
};

struct Page {
    int number;
    std::vector<Answer> answers;
};

const std::vector<Page> kSignUp = {
    {0, {}},
    {1, {}},
    {2,
     {{Answer::Type, "txtFirstName", "Ann"},
      {Answer::Type, "txtLastName", "Rivera"},
      {Answer::Type, "txtAddress1", "1 Main St"},
      {Answer::Type, "txtCity", "Phoenix"},
      {Answer::Select, "cboState", "AZ"},
      {Answer::Type, "txtZipCode", "85001"},
      {Answer::Select, "cboAge", "25-34"},
      {Answer::Select, "cboGender", "Female"},
      {Answer::Type, "txtPhoneNumber", "6025550199"},
      {Answer::Type, "txtEmailAddress", "ann@example.net"}}},
    {3,
     {{Answer::Select, "cboMediaSources", "Magazine"},
      {Answer::Type, "txtMediaName", "PC Monthly"}}},
    {4,
     {{Answer::Select, "cboEmployed", "Full time"},
      {Answer::Select, "cboOccupation", "Technology"},
      {Answer::Select, "cboBusinessOwner", "No"},
      {Answer::Select, "cboHomeBased", "No"}}},
    {5,
     {{Answer::Select, "cboPaymentType", "VISA"},
      {Answer::Type, "txtCCNumber", "4111111111111111"},
      {Answer::Select, "cboCCMonth", " 12"},
      {Answer::Select, "cboCCYear", " 2029"},
      {Answer::Type, "txtCCName", "Ann Rivera"}}},
    {6, {}},
    {7, {{Answer::Type, "txtPassword1", "sunrise8"}, {Answer::Type, "txtPassword2", "sunrise8"}}},
    {8, {{Answer::Type, "txtAreaCode", "602"}}},
    // Page 9 dials and moves on to page 10 by itself.
    {10, {}},
};

// The wizard's window of another process, its controls found by name.
class Wizard {
public:
    explicit Wizard(HWND form) : driver_(form, drive::WindowDriver::Delivery::Post) {}

    HWND Control(const std::string& name) const { return driver_.Control(name); }
    HWND Frame(int page) const { return Control("fraSteps(" + std::to_string(page) + ")"); }

    // Waits for page `page` to be the one shown; false (and why) when it is not.
    bool WaitForPage(int page, std::string& why) const
    {
        HWND frame = Frame(page);
        if (frame == nullptr) {
            why = "no frame of page " + std::to_string(page);
            return false;
        }
        if (driver_.WaitUntil([&] { return drive::WindowDriver::Visible(frame); }, 60s))
            return true;
        why = "page " + std::to_string(page) + " never came (the window shows \""
              + drive::WindowText(driver_.Form()) + "\")";
        const std::vector<HWND> boxes = drive::FindMessageBoxes(driver_.ProcessId());
        if (!boxes.empty())
            why += "; the wizard asks: " + drive::ReadMessageBox(boxes.front()).text;
        return false;
    }

    void Answer(const test::Answer& answer) const
    {
        HWND control = Control(answer.control);
        ASSERT_NE(control, nullptr) << answer.control;
        if (answer.kind == Answer::Type) {
            driver_.Type(control, answer.text);
            EXPECT_EQ(drive::WindowText(control), answer.text) << answer.control;
            return;
        }
        const auto index = ::SendMessageA(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(answer.text));
        ASSERT_NE(index, CB_ERR) << answer.control << " has no \"" << answer.text << "\"";
        driver_.Select(control, static_cast<int>(index));
    }

    // Clicks the button once it takes clicks (the wizard enables it when a
    // page is ready).
    void Click(const std::string& name) const
    {
        HWND control = Control(name);
        ASSERT_NE(control, nullptr) << name;
        ASSERT_TRUE(driver_.WaitUntil([&] { return drive::WindowDriver::Enabled(control); }, 60s))
            << name << " stays disabled";
        driver_.Click(control);
    }

    const drive::WindowDriver& Driver() const { return driver_; }

private:
    drive::WindowDriver driver_;
};

// The component's settings as an installer leaves them (tools/run-demo.sh
// writes the same on Linux), the simulated modem, and an application folder.
class SignUpMachine {
public:
    SignUpMachine() : app_("app")
    {
        const fs::path demo = WinePath(REGWIZ_DEMO);
        fs::copy(demo / "app", app_.Path(), fs::copy_options::recursive);
        fs::copy_file(demo / "Registration.html", app_.Path() / "Registration.html");
        WriteSetting("AppPath", app_.Path().string());
        WriteSetting("Log", "True");
        WriteSetting("RegSvrNum", "18005550142");
        WriteSetting("RegSvrHttp", Environment("REGSVR_HTTP"));
        WriteSetting("RegSvrFtp", Environment("REGSVR_FTP"));
        WriteSetting("Modem", "Simulated");

        wchar_t appData[MAX_PATH];
        EXPECT_TRUE(SUCCEEDED(
            ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)));
        modemFolder_ = fs::path(appData) / "quorvale";
        fs::create_directories(modemFolder_);
        std::ofstream(modemFolder_ / "modem.ini", std::ios::binary)
            << "[Devices]\r\n1=modem|Standard 56000 bps Modem\r\n2=isdn|ISDN Adapter\r\n"
               "[Network]\r\nNumber=18005550142\r\n";
    }
    // The machine as it was: no settings, no modem, the class unregistered.
    ~SignUpMachine()
    {
        Regsvr32(L"/u /s", (WinePath(REGWIZ_HOST).parent_path() / "RegWizard.dll").wstring());
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\quorvale");
        std::error_code ignored;
        fs::remove_all(modemFolder_, ignored);
    }

private:
    ScratchFolder app_;
    fs::path modemFolder_;
};

TEST(QuorvaleHost, RegistersTheComponentAndSignsAMemberUpInTheWizardWindow)
{
    ASSERT_FALSE(Environment("REGSVR_HTTP").empty()) << "run by run-scenarios.sh";
    ASSERT_FALSE(ClassRegistered()) << "a fresh prefix";
    SignUpMachine machine;

    Process host(WinePath(REGWIZ_HOST));
    ASSERT_TRUE(host.Started());
    // The splash screen until the wizard is ready, then the wizard's window alone.
    EXPECT_TRUE(
        drive::WaitUntil([&] { return drive::FindTopWindow(kSplashClass, host.Id()) != nullptr; },
                         30s, drive::Waiting::Poll))
        << "no splash screen";
    HWND form = nullptr;
    ASSERT_TRUE(drive::WaitUntil(
        [&] {
            form = drive::FindTopWindow(kFormClass, host.Id());
            return form != nullptr && ::IsWindowVisible(form);
        },
        30s, drive::Waiting::Poll))
        << "the wizard's window never showed";
    EXPECT_TRUE(
        drive::WaitUntil([&] { return drive::FindTopWindow(kSplashClass, host.Id()) == nullptr; },
                         10s, drive::Waiting::Poll))
        << "the splash screen stays after IsLoaded";
    EXPECT_TRUE(ClassRegistered());

    Wizard wizard(form);
    std::string why;
    for (const Page& page : kSignUp) {
        ASSERT_TRUE(wizard.WaitForPage(page.number, why)) << why;
        for (const Answer& answer : page.answers)
            ASSERT_NO_FATAL_FAILURE(wizard.Answer(answer)) << "page " << page.number;
        ASSERT_NO_FATAL_FAILURE(wizard.Click("cmdNext"));
    }
    ASSERT_TRUE(wizard.WaitForPage(11, why)) << why;
    HWND done = wizard.Control("cmdCancel");
    EXPECT_TRUE(wizard.Driver().WaitUntil([&] { return drive::WindowText(done) == "Done"; }, 10s));
    wizard.Click("cmdCancel");

    // The host tells the member ID the wizard stored, then ends.
    HWND box = WaitForBox(host, 30s);
    ASSERT_NE(box, nullptr) << "no member ID shown";
    const std::string memberId = ReadSetting("memberi");
    EXPECT_EQ(memberId, "4100001") << "the stand-in server's first member ID";
    const drive::BoxText said = drive::ReadMessageBox(box);
    EXPECT_NE(said.text.find("Your member ID is " + memberId), std::string::npos) << said.text;
    ASSERT_TRUE(drive::PressBoxButton(box, IDOK));
    EXPECT_EQ(host.ExitCode(30s), 0u);
    // "sunrise8" as the wizard scrambles it.
    EXPECT_EQ(ReadSetting("memberp"), "4B475B415C43500A");
}

TEST(QuorvaleHost, EndsWithoutAMemberIdWhenTheMemberCancels)
{
    SignUpMachine machine;
    Process host(WinePath(REGWIZ_HOST));
    ASSERT_TRUE(host.Started());
    HWND form = nullptr;
    ASSERT_TRUE(drive::WaitUntil(
        [&] {
            form = drive::FindTopWindow(kFormClass, host.Id());
            return form != nullptr && ::IsWindowVisible(form);
        },
        30s, drive::Waiting::Poll));
    Wizard wizard(form);
    wizard.Click("cmdCancel");

    // The wizard asks; the host then shows nothing and ends.
    HWND box = WaitForBox(host, 30s);
    ASSERT_NE(box, nullptr) << "the wizard does not ask";
    EXPECT_NE(drive::ReadMessageBox(box).text.find("Are you sure you want to cancel?"),
              std::string::npos);
    ASSERT_TRUE(drive::PressBoxButton(box, IDYES));
    EXPECT_EQ(host.ExitCode(30s), 0u);
    EXPECT_EQ(ReadSetting("memberi"), "");
}

} // namespace
} // namespace regwiz::test
