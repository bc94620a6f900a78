#include "regwizard-run/win32_window_driver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>
#include <utility>
#include <vector>

#include "ui/win32/win32_view.h"

namespace regwiz::runner::win32 {
namespace {

using namespace std::chrono_literals;

// The notifications the test window's frame and form got: (control ID, code).
std::vector<std::pair<int, int>> notifications;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && lParam != 0)
        notifications.emplace_back(LOWORD(wParam), HIWORD(wParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

constexpr wchar_t kFormClass[] = L"DriverTestForm";
constexpr wchar_t kFrameClass[] = L"DriverTestFrame";
enum Id { kFrame = 1000, kEdit, kCombo, kList, kButton, kCheck, kHidden, kDisabled };

// A form like the wizard's: a top-level window holding a frame (a window of
// its own) that holds the standard controls.
class WindowDriverTest : public testing::Test {
protected:
    void SetUp() override
    {
        static const bool registered = [] {
            for (const wchar_t* name : {kFormClass, kFrameClass}) {
                WNDCLASSW description = {};
                description.lpfnWndProc = RecordingProc;
                description.hInstance = GetModuleHandleW(nullptr);
                description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
                description.lpszClassName = name;
                RegisterClassW(&description);
            }
            return true;
        }();
        (void)registered;
        notifications.clear();
        form = CreateWindowExW(0, kFormClass, L"Driver test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        frame = Child(kFrameClass, WS_VISIBLE, kFrame, form);
        Child(L"EDIT", WS_VISIBLE | ES_AUTOHSCROLL | WS_BORDER, kEdit);
        SendMessageW(Get(kEdit), EM_LIMITTEXT, 5, 0);
        Child(L"COMBOBOX", WS_VISIBLE | CBS_DROPDOWNLIST, kCombo);
        Child(L"LISTBOX", WS_VISIBLE | LBS_NOTIFY, kList);
        for (const wchar_t* item : {L"AZ", L"NY", L"IL"}) {
            SendMessageW(Get(kCombo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            SendMessageW(Get(kList), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
        Child(L"BUTTON", WS_VISIBLE | BS_PUSHBUTTON, kButton);
        Child(L"BUTTON", WS_VISIBLE | BS_AUTOCHECKBOX, kCheck);
        Child(L"BUTTON", BS_PUSHBUTTON, kHidden);
        Child(L"BUTTON", WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON, kDisabled);
    }
    void TearDown() override { DestroyWindow(form); }

    HWND Child(const wchar_t* windowClass, DWORD style, int id, HWND parent = nullptr)
    {
        const int row = id - kFrame;
        return CreateWindowExW(0, windowClass, L"", WS_CHILD | style, 10, 10 + row * 30, 150, 25,
                               parent != nullptr ? parent : frame,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
    }
    HWND Get(int id) const { return WindowDriver(form, WindowDriver::Delivery::Send).Control(id); }
    bool Notified(int id, int code) const
    {
        for (const auto& [from, what] : notifications)
            if (from == id && what == code)
                return true;
        return false;
    }

    HWND form = nullptr;
    HWND frame = nullptr;
};

TEST_F(WindowDriverTest, FindsTheFormAndItsControlsThroughFrames)
{
    EXPECT_EQ(FindTopWindow(kFormClass, GetCurrentProcessId()), form);
    EXPECT_EQ(FindTopWindow(kFormClass), form);
    EXPECT_EQ(FindTopWindow(kFormClass, GetCurrentProcessId() + 4), nullptr);
    EXPECT_EQ(FindTopWindow(L"NoSuchClass"), nullptr);

    const WindowDriver driver(form, WindowDriver::Delivery::Send);
    EXPECT_EQ(driver.ProcessId(), GetCurrentProcessId());
    ASSERT_NE(driver.Control(kEdit), nullptr);
    EXPECT_EQ(GetParent(driver.Control(kEdit)), frame);
    EXPECT_EQ(driver.Control(kFrame), frame);
    EXPECT_EQ(driver.Control(4242), nullptr);
    EXPECT_EQ(ClassOf(driver.Control(kEdit)), ControlClass::Edit);
    EXPECT_EQ(ClassOf(driver.Control(kCombo)), ControlClass::ComboBox);
    EXPECT_EQ(ClassOf(driver.Control(kList)), ControlClass::ListBox);
    EXPECT_EQ(ClassOf(driver.Control(kCheck)), ControlClass::Button);
    EXPECT_EQ(ClassOf(frame), ControlClass::Other);
}

TEST_F(WindowDriverTest, SentActionsRaiseTheControlsNotificationsBeforeReturning)
{
    const WindowDriver driver(form, WindowDriver::Delivery::Send);
    driver.Click(Get(kButton));
    EXPECT_TRUE(Notified(kButton, BN_CLICKED));
    driver.Click(Get(kCheck));
    EXPECT_TRUE(WindowDriver::Checked(Get(kCheck)));
    driver.Click(Get(kCheck));
    EXPECT_FALSE(WindowDriver::Checked(Get(kCheck)));

    // Typing replaces the whole text and stops at the box's input limit.
    driver.Type(Get(kEdit), "abcdefgh");
    EXPECT_EQ(WindowText(Get(kEdit)), "abcde");
    EXPECT_TRUE(Notified(kEdit, EN_CHANGE));
    driver.Type(Get(kEdit), "Zoë");
    EXPECT_EQ(WindowText(Get(kEdit)), "Zoë");
    EXPECT_EQ(GetFocus(), Get(kEdit));
    driver.Type(Get(kEdit), "");
    EXPECT_EQ(WindowText(Get(kEdit)), "");

    driver.Select(Get(kCombo), 2);
    EXPECT_EQ(WindowDriver::Selected(Get(kCombo)), 2);
    EXPECT_EQ(WindowText(Get(kCombo)), "IL");
    EXPECT_TRUE(Notified(kCombo, CBN_SELCHANGE));
    driver.Select(Get(kCombo), -1);
    EXPECT_EQ(WindowDriver::Selected(Get(kCombo)), -1);
    driver.Select(Get(kList), 1);
    EXPECT_EQ(WindowDriver::Selected(Get(kList)), 1);
    EXPECT_TRUE(Notified(kList, LBN_SELCHANGE));
}

TEST_F(WindowDriverTest, PostedActionsArriveWhenTheWindowsThreadPumps)
{
    const WindowDriver driver(form, WindowDriver::Delivery::Post);
    driver.Click(Get(kButton));
    driver.Select(Get(kCombo), 1);
    EXPECT_TRUE(notifications.empty());
    EXPECT_TRUE(driver.WaitUntil(
        [&] { return Notified(kButton, BN_CLICKED) && Notified(kCombo, CBN_SELCHANGE); }, 10s));
    EXPECT_FALSE(driver.WaitUntil([] { return false; }, 30ms));
}

TEST_F(WindowDriverTest, ReadsEachControlsOwnStyleBits)
{
    EXPECT_TRUE(WindowDriver::Visible(Get(kButton)));
    EXPECT_FALSE(WindowDriver::Visible(Get(kHidden)));
    EXPECT_TRUE(WindowDriver::Enabled(Get(kHidden)));
    EXPECT_FALSE(WindowDriver::Enabled(Get(kDisabled)));
    // A control keeps its own bit when its frame or form is hidden.
    ShowWindow(frame, SW_HIDE);
    EXPECT_TRUE(WindowDriver::Visible(Get(kButton)));
    EXPECT_FALSE(IsWindowVisible(Get(kButton)));

    const WindowDriver driver(form, WindowDriver::Delivery::Send);
    EXPECT_FALSE(driver.Shown());
    ShowWindow(form, SW_SHOWNORMAL);
    EXPECT_TRUE(driver.Shown());
}

TEST_F(WindowDriverTest, APictureIsSavedOnlyWhenTheDisplayKeepsPixels)
{
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "driver-shot.png";
    std::filesystem::remove(file);
    std::string why;
    EXPECT_FALSE(SavePicture(form, file, &why)); // not shown yet
    EXPECT_EQ(why, "the window is not shown");

    ShowWindow(form, SW_SHOWNORMAL);
    UpdateWindow(form);
    PumpMessages();
    why.clear();
    if (SavePicture(form, file, &why)) {
        // A display with pixels (wine's X11 driver): a PNG file.
        std::ifstream in(file, std::ios::binary);
        char signature[8] = {};
        in.read(signature, sizeof signature);
        EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    } else {
        // The null graphics driver: said so, and no file left behind.
        EXPECT_NE(why.find("black"), std::string::npos) << why;
        EXPECT_FALSE(std::filesystem::exists(file));
    }
    std::filesystem::remove(file);
}

// The wizard's own window, found as a program that has no wizard of its own
// finds it: by its class, and its controls by name through a design of the form.
TEST(WizardWindowTest, IsFoundWithItsControlsByName)
{
    wizard::RegWizardDesign form;
    form.SetVisible(true);
    const ui::win32::Win32FormView view(form);
    EXPECT_EQ(FindWizardWindow(GetCurrentProcessId()), view.Window());
    const WindowDriver driver(view.Window(), WindowDriver::Delivery::Send);
    for (const char* name :
         {"cmdNext", "txtFirstName", "cboState", "lstAccessNumbers", "fraSteps(3)"})
        EXPECT_EQ(driver.Control(name), view.WindowFor(name)) << name;
    EXPECT_EQ(driver.Control("nosuchcontrol"), nullptr);

    // What the driver does reaches the model through the window.
    driver.Type(driver.Control("txtFirstName"), "Ann");
    EXPECT_EQ(form.Find("txtFirstName")->Text(), "Ann");
    driver.Select(driver.Control("cboState"), 2);
    EXPECT_EQ(form.Find("cboState")->ListIndex(), 2);
}

// Message boxes of the calling thread, answered by the hook as they come up.
TEST(BoxAnswererTest, PressesTheChosenButtonElseTheDefaultOne)
{
    std::vector<BoxText> seen;
    int choice = 0;
    const BoxAnswerer answerer([&](HWND box) {
        seen.push_back(ReadMessageBox(box));
        return choice;
    });

    choice = IDNO;
    EXPECT_EQ(MessageBoxA(nullptr, "Save your answers?", "RegWizard", MB_YESNOCANCEL), IDNO);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "RegWizard");
    EXPECT_EQ(seen[0].text, "Save your answers?");

    choice = 0; // no answer chosen: the box's default button
    EXPECT_EQ(MessageBoxA(nullptr, "Quit?", "RegWizard", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Quit?", "RegWizard", MB_YESNO), IDYES);
    choice = IDRETRY; // a button the box lacks: the default one too
    EXPECT_EQ(MessageBoxA(nullptr, "Done", "RegWizard", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "Done", "RegWizard", MB_OK), IDOK);
    EXPECT_EQ(seen.size(), 5u);
}

// As a host finds and answers its wizard's box from another process: here
// another thread, which cannot hook the box's thread and so polls for it.
TEST(MessageBoxesTest, AreFoundReadAndAnsweredFromAnotherThread)
{
    const DWORD process = GetCurrentProcessId();
    EXPECT_TRUE(FindMessageBoxes(process).empty());
    BoxText read;
    int defaultButton = 0;
    bool pressedMissing = true;
    std::thread host([&] {
        std::vector<HWND> boxes;
        if (!WaitUntil([&] { return !(boxes = FindMessageBoxes(process)).empty(); }, 20s,
                       Waiting::Poll))
            return;
        read = ReadMessageBox(boxes.front());
        defaultButton = DefaultButton(boxes.front());
        pressedMissing = PressBoxButton(boxes.front(), IDYES);
        PressBoxButton(boxes.front(), IDCANCEL);
    });
    const int pressed =
        MessageBoxW(nullptr, L"Card number 4111 1111 1111 1111 – use it?", L"Café", MB_OKCANCEL);
    host.join();
    EXPECT_EQ(pressed, IDCANCEL);
    EXPECT_EQ(read.title, "Café");
    EXPECT_EQ(read.text, "Card number 4111 1111 1111 1111 – use it?");
    EXPECT_EQ(defaultButton, IDOK);
    EXPECT_FALSE(pressedMissing);
}

// --- From another process, as a host drives the wizard it started ----------

constexpr wchar_t kDrivenClass[] = L"DrivenTestForm";
constexpr wchar_t kDrivenSwitch[] = L"--driven-window";

// The other process's window: each notification shows in its title.
LRESULT CALLBACK DrivenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && lParam != 0) {
        const HWND from = reinterpret_cast<HWND>(lParam);
        std::wstring title;
        if (LOWORD(wParam) == kEdit && HIWORD(wParam) == EN_CHANGE) {
            wchar_t text[64] = {};
            GetWindowTextW(from, text, 64);
            title = L"typed " + std::wstring(text);
        } else if (LOWORD(wParam) == kCombo && HIWORD(wParam) == CBN_SELCHANGE) {
            title = L"chose " + std::to_wstring(SendMessageW(from, CB_GETCURSEL, 0, 0));
        } else if (LOWORD(wParam) == kButton && HIWORD(wParam) == BN_CLICKED) {
            const int answer = MessageBoxW(window, L"Send the form?", L"Driven", MB_YESNO);
            title = L"answered " + std::to_wstring(answer);
        }
        if (!title.empty())
            SetWindowTextW(window, title.c_str());
    }
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

int RunDrivenWindow()
{
    WNDCLASSW description = {};
    description.lpfnWndProc = DrivenProc;
    description.hInstance = GetModuleHandleW(nullptr);
    description.lpszClassName = kDrivenClass;
    RegisterClassW(&description);
    // "ready" once every control is made: the test finds the window as soon
    // as it exists.
    const HWND form = CreateWindowExW(0, kDrivenClass, L"starting", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                                      200, nullptr, nullptr, description.hInstance, nullptr);
    const auto child = [&](const wchar_t* windowClass, DWORD style, int id) {
        CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, 10,
                        10 + 30 * (id - kFrame), 150, 25, form,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), description.hInstance,
                        nullptr);
    };
    child(L"EDIT", ES_AUTOHSCROLL, kEdit);
    child(L"COMBOBOX", CBS_DROPDOWNLIST, kCombo);
    child(L"BUTTON", BS_PUSHBUTTON, kButton);
    SendMessageW(GetDlgItem(form, kEdit), EM_LIMITTEXT, 5, 0);
    for (const wchar_t* item : {L"AZ", L"NY"})
        SendMessageW(GetDlgItem(form, kCombo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SetWindowTextW(form, L"ready");
    ShowWindow(form, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

// This test program, started with kDrivenSwitch, is the other process.
const bool drivenProcess = [] {
    if (std::wstring(GetCommandLineW()).find(kDrivenSwitch) != std::wstring::npos)
        ExitProcess(static_cast<UINT>(RunDrivenWindow()));
    return false;
}();

TEST(OtherProcessTest, IsDrivenThroughPostedAndSentMessages)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + kDrivenSwitch;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    HWND form = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (form = FindTopWindow(kDrivenClass, process.dwProcessId)) != nullptr; }, 30s,
        Waiting::Poll));
    const WindowDriver driver(form, WindowDriver::Delivery::Post);
    EXPECT_EQ(driver.ProcessId(), process.dwProcessId);
    const auto titled = [&](const std::string& title) {
        return driver.WaitUntil([&] { return WindowText(form) == title; }, 20s);
    };
    ASSERT_TRUE(titled("ready")) << WindowText(form);

    driver.Type(driver.Control(kEdit), "Zoë Smith"); // the other process's limit: 5
    EXPECT_TRUE(titled("typed Zoë S")) << WindowText(form);
    driver.Select(driver.Control(kCombo), 1);
    EXPECT_TRUE(titled("chose 1")) << WindowText(form);
    EXPECT_EQ(WindowDriver::Selected(driver.Control(kCombo)), 1);

    // The click is posted: the box it brings up blocks the other process,
    // not this one, which finds the box and answers it.
    driver.Click(driver.Control(kButton));
    std::vector<HWND> boxes;
    ASSERT_TRUE(driver.WaitUntil(
        [&] { return !(boxes = FindMessageBoxes(process.dwProcessId)).empty(); }, 20s));
    EXPECT_EQ(ReadMessageBox(boxes.front()).text, "Send the form?");
    EXPECT_EQ(ReadMessageBox(boxes.front()).title, "Driven");
    EXPECT_EQ(DefaultButton(boxes.front()), IDYES);
    EXPECT_TRUE(PressBoxButton(boxes.front(), IDNO));
    EXPECT_TRUE(titled("answered 7")) << WindowText(form);

    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace
} // namespace regwiz::runner::win32
