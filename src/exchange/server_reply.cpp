#include "exchange/server_reply.h"

#include "dialup/site_connection.h"
#include "platform/variant.h"

namespace regwiz::exchange {
namespace {

const std::string kUnableToConnect = "Unable to connect to the registration server.\r\n\r\n"
                                     "Please try again later.\r\n\r\n";
const std::string kInvalidData = "The registration server returned invalid data.\r\n\r\n"
                                 "Please try again.\r\n\r\n";
constexpr std::string_view kBodyStart = "<html><body>";
constexpr std::string_view kBodyEnd = "</body></html>";

// The body between the markers, or nothing when either is missing.
std::optional<std::string> ReplyBody(std::string data)
{
    while (data.starts_with("\r\n"))
        data.erase(0, 2);
    const std::size_t start = data.find(kBodyStart);
    if (start == std::string::npos)
        return std::nullopt;
    // The marker and the two characters after it (its line end) are skipped.
    std::string work = start + 14 < data.size() ? data.substr(start + 14) : std::string();
    const std::size_t end = work.find(kBodyEnd);
    if (end == std::string::npos)
        return std::nullopt;
    return work.substr(0, end);
}

void ShowResult(wizard::frmRegWizard& wizard, const std::string& text, const char* button)
{
    auto& f = wizard.form;
    f.cmdCancel.SetCaption(button);
    f.cmdCancel.SetEnabled(true);
    f.cmdNext.SetVisible(false);
    f.cmdBack.SetVisible(false);
    f.cmdHelp.SetVisible(false);
    f.lblConfigSystem.SetCaption(text);
}

} // namespace

std::string ParseWebData(wizard::frmRegWizard& wizard, std::string Data)
{
    auto log = [&](const std::string& message) { wizard.Log("ParseWebData", message); };
    log("Begin");
    if (Data.empty() || Data.find("Error Occurred While Processing Request") != std::string::npos)
        return kUnableToConnect;
    const std::optional<std::string> body = ReplyBody(std::move(Data));
    if (!body)
        return kInvalidData;

    std::string result;
    std::string work = *body;
    int lineNumber = 1;
    bool flag = false;
    while (!work.empty()) {
        const std::size_t crlf = work.find("\r\n");
        if (crlf == std::string::npos)
            break;
        if (crlf > 0) { // empty lines are not counted
            const std::string line = work.substr(0, crlf);
            if (lineNumber == 1) {
                const std::optional<bool> read = TextAsBoolean(line);
                flag = read.value_or(false);
                if (!read)
                    wizard.gErrorFlag = true;
            } else if (lineNumber == 2) {
                if (flag) {
                    wizard.context.globals.gMemberID = line;
                    result.clear();
                } else {
                    result = line + "\r\n\r\n";
                }
            }
            ++lineNumber;
        }
        // A remainder of at most two characters after the line end is dropped.
        work = work.size() > crlf + 4 ? work.substr(crlf + 2) : std::string();
    }
    if (wizard.context.globals.gMemberID.empty())
        wizard.gErrorFlag = true;
    log("End");
    return result;
}

void ResultMessage(wizard::frmRegWizard& wizard, std::string& ErrString)
{
    auto log = [&](const std::string& message) { wizard.Log("ResultMessage", message); };
    log("Begin");
    if (!ErrString.empty() || wizard.gErrorFlag) {
        log("Error message displayed (" + ErrString + ")");
        ShowResult(wizard,
                   "An error has occured processing your account.\r\n\r\n" + ErrString + "\r\n\r\n",
                   "Cancel");
    } else {
        const std::string& memberId = wizard.context.globals.gMemberID;
        log("Worked (" + memberId + ")");
        ShowResult(wizard,
                   "Congratulations:\r\n\r\nYour account has been processed.\r\n\r\n"
                   "Your membership ID is: "
                       + memberId + "\r\nYour Password is:      " + wizard.form.txtPassword1.Text()
                       + "\r\n\r\nPlease Wait for about an hour for your account to be activated "
                         "before connecting to quorvale online.\r\n",
                   "Done");
    }
    log("About to hangup");
    dialup::HangUp(wizard);
    log("End");
}

} // namespace regwiz::exchange
