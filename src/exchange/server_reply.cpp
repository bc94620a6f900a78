#include "exchange/server_reply.h"

#include "platform/variant.h"

namespace regwiz::exchange {
namespace {

constexpr const char* kInvalidData = "The registration server returned invalid data.\r\n\r\n"
                                     "Please try again.\r\n\r\n";
constexpr std::string_view kBodyStart = "<html><body>";
constexpr std::string_view kBodyEnd = "</body></html>";
constexpr std::string_view kLineEnd = "\r\n";
// The start marker and the line end after it.
constexpr std::size_t kBodyStartLength = kBodyStart.size() + kLineEnd.size();

// The body between the markers, or nothing when either is missing.
std::optional<std::string_view> ReplyBody(std::string_view data)
{
    while (data.starts_with(kLineEnd))
        data.remove_prefix(kLineEnd.size());
    const std::size_t start = data.find(kBodyStart);
    if (start == std::string_view::npos)
        return std::nullopt;
    const std::string_view rest =
        start + kBodyStartLength < data.size() ? data.substr(start + kBodyStartLength) : "";
    const std::size_t end = rest.find(kBodyEnd);
    if (end == std::string_view::npos)
        return std::nullopt;
    return rest.substr(0, end);
}

ServerReply Unreadable(const char* message)
{
    ServerReply reply;
    reply.message = message;
    return reply;
}

} // namespace

ServerReply ParseWebData(std::string_view Data)
{
    if (Data.empty() || Data.find("Error Occurred While Processing Request") != std::string::npos)
        return Unreadable(kUnableToConnect);
    const std::optional<std::string_view> body = ReplyBody(Data);
    if (!body)
        return Unreadable(kInvalidData);

    ServerReply reply;
    reply.readable = true;
    int lineNumber = 1;
    bool flag = false;
    std::size_t at = 0;
    while (at < body->size()) {
        const std::size_t crlf = body->find(kLineEnd, at);
        if (crlf == std::string_view::npos)
            break;
        if (crlf > at) { // empty lines are not counted
            const std::string_view line = body->substr(at, crlf - at);
            if (lineNumber == 1) {
                const std::optional<bool> read = TextAsBoolean(line);
                flag = read.value_or(false);
                reply.failed = reply.failed || !read;
            } else if (lineNumber == 2) {
                if (flag) {
                    reply.memberId = std::string(line);
                    reply.message.clear();
                } else {
                    reply.message = std::string(line) + "\r\n\r\n";
                }
            }
            ++lineNumber;
        }
        // A remainder of at most two characters after the line end is dropped.
        at = body->size() > crlf + 4 ? crlf + 2 : body->size();
    }
    reply.failed = reply.failed || !reply.memberId || reply.memberId->empty();
    return reply;
}

} // namespace regwiz::exchange
