#include "platform/win32/wininet_transfer.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/inet_progress.h"
#include "platform/inet_request.h"
#include "platform/win32/win32_platform_parts.h"

namespace regwiz::platform::win32 {
namespace {

constexpr DWORD kConnectTimeoutMs = 30'000;
constexpr char kUserAgent[] = "quorvale-RegWizard/4.2";
constexpr DWORD kReadSize = 8192;

std::string TrimmedEnd(std::string text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// The reason of a WinINet failure in words (Windows-1252, as the system gives it).
std::string ErrorText(DWORD error)
{
    char* text = nullptr;
    HMODULE wininet = GetModuleHandleA("wininet.dll");
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS
            | (wininet != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : 0),
        wininet, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = length > 0 ? TrimmedEnd(std::string(text, length)) : std::string();
    LocalFree(text);
    return message.empty() ? "WinINet error " + std::to_string(error) : message;
}

// What an FTP server last said to this thread (an FTP failure's reason), or "".
std::string LastResponseInfo()
{
    DWORD code = 0;
    DWORD size = 0;
    InternetGetLastResponseInfoA(&code, nullptr, &size);
    if (size == 0)
        return {};
    std::vector<char> text(size + 1);
    size = static_cast<DWORD>(text.size());
    if (!InternetGetLastResponseInfoA(&code, text.data(), &size))
        return {};
    return TrimmedEnd(std::string(text.data(), std::min<std::size_t>(size, text.size())));
}

// WinINet's progress as the control's states. A response received (41) comes
// with every read, so the reply counts as received only when it is complete.
std::int16_t StateOf(DWORD status)
{
    switch (status) {
    case INTERNET_STATUS_RESOLVING_NAME:
        return inet::ResolvingHost;
    case INTERNET_STATUS_NAME_RESOLVED:
        return inet::HostResolved;
    case INTERNET_STATUS_CONNECTING_TO_SERVER:
        return inet::Connecting;
    case INTERNET_STATUS_CONNECTED_TO_SERVER:
        return inet::Connected;
    case INTERNET_STATUS_SENDING_REQUEST:
        return inet::Requesting;
    case INTERNET_STATUS_REQUEST_SENT:
        return inet::RequestSent;
    case INTERNET_STATUS_RECEIVING_RESPONSE:
    case INTERNET_STATUS_RESPONSE_RECEIVED:
        return inet::ReceivingResponse;
    default:
        return inet::None;
    }
}

void SetDword(HINTERNET handle, DWORD option, DWORD value)
{
    InternetSetOptionA(handle, option, &value, sizeof value);
}

void CloseHandles(std::initializer_list<HINTERNET> handles)
{
    for (HINTERNET handle : handles)
        if (handle != nullptr)
            InternetCloseHandle(handle);
}

// One report of WinINet's, carried to the loop's thread.
struct Report {
    DWORD status = 0;
    bool succeeded = true;  // REQUEST_COMPLETE
    DWORD error = 0;        // REQUEST_COMPLETE that failed
    std::string serverText; // what an FTP server said about a failure
};

struct Operation;

// Where an operation's reports go on the loop's thread: the control that runs it.
class ReportSink {
public:
    virtual void OnReport(Operation& operation, const Report& report) = 0;

protected:
    ~ReportSink() = default;
};

// One request: what WinINet's threads (and an FTP login's thread) share with
// the control. It is each of its handles' context, so it lives until WinINet
// has closed them all, even after the control has let go of it.
struct Operation : std::enable_shared_from_this<Operation> {
    Operation(EventLoop& eventLoop, InetRequest what) : loop(eventLoop), request(std::move(what)) {}
    ~Operation() { RemovePartial(); }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

    DWORD_PTR Context() { return reinterpret_cast<DWORD_PTR>(this); }

    // Keeps a handle WinINet made for this request, unless the control has let
    // go of it meanwhile (the caller then closes the handle itself).
    bool Keep(HINTERNET Operation::*slot, HINTERNET handle, bool withContext)
    {
        const std::lock_guard lock(mutex);
        if (!attached)
            return false;
        this->*slot = handle;
        if (withContext && openHandles++ == 0)
            self = shared_from_this();
        return true;
    }

    // From WinINet's threads: to the control, on the loop's thread, while it still wants it.
    void Forward(Report report)
    {
        const std::lock_guard lock(mutex);
        if (!attached)
            return;
        loop.Post([operation = shared_from_this(), report = std::move(report)] {
            operation->Deliver(report);
        });
    }

    // WinINet is done with one of the handles.
    void HandleClosed()
    {
        std::shared_ptr<Operation> last; // may end this object, after the lock is gone
        const std::lock_guard lock(mutex);
        if (--openHandles == 0)
            last = std::move(self);
    }

    // The control lets go: nothing more is forwarded, the handles close (WinINet
    // may still report on them until each one's HANDLE_CLOSING).
    void Detach()
    {
        owner = nullptr;
        HINTERNET handles[3];
        {
            const std::lock_guard lock(mutex);
            attached = false;
            handles[0] = std::exchange(requestHandle, nullptr);
            handles[1] = std::exchange(connection, nullptr);
            handles[2] = std::exchange(session, nullptr);
        }
        CloseHandles({handles[0], handles[1], handles[2]});
    }

    void RemovePartial()
    {
        if (!partial.empty() && !saved)
            DeleteFileA(partial.c_str());
    }

    // On the loop's thread.
    void Deliver(const Report& report)
    {
        if (owner != nullptr)
            owner->OnReport(*this, report);
    }

    EventLoop& loop;
    const InetRequest request;
    // Set before the request starts, read-only afterwards.
    std::string host;
    INTERNET_PORT port = 0;
    std::string object; // HTTP: path and query; FTP: the remote file
    bool secure = false;
    std::string userName;
    std::string password;
    int timeoutSeconds = kDefaultRequestTimeoutS;
    std::string saveAs;  // FTP: the local file, Windows-1252
    std::string partial; // ... and where it goes until it is complete

    // The loop's thread only.
    ReportSink* owner = nullptr;
    bool sent = false;   // HTTP: the request is sent, the reply is being read
    bool saved = false;  // FTP: the download is in place
    std::string body;    // HTTP: the reply as received, Windows-1252
    DWORD bytesRead = 0; // written by a pending InternetReadFile when it completes
    char buffer[kReadSize] = {};

    // Shared with WinINet's threads.
    std::mutex mutex;
    bool attached = true;
    HINTERNET session = nullptr;
    HINTERNET connection = nullptr;
    HINTERNET requestHandle = nullptr;
    int openHandles = 0;
    std::shared_ptr<Operation> self; // while WinINet has handles with this as context
};

void CALLBACK StatusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information,
                             DWORD /*length*/)
{
    auto* operation = reinterpret_cast<Operation*>(context);
    if (operation == nullptr) // the session handle's own reports
        return;
    if (status == INTERNET_STATUS_HANDLE_CLOSING) {
        operation->HandleClosed();
        return;
    }
    Report report;
    report.status = status;
    if (status == INTERNET_STATUS_REQUEST_COMPLETE) {
        const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(information);
        report.succeeded = result->dwResult != 0;
        report.error = result->dwError;
        if (!report.succeeded && operation->request.ftp)
            report.serverText = LastResponseInfo();
    } else if (StateOf(status) == inet::None) {
        return;
    }
    operation->Forward(std::move(report));
}

HINTERNET OpenSession()
{
    HINTERNET session = InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr,
                                      INTERNET_FLAG_ASYNC);
    if (session != nullptr
        && InternetSetStatusCallback(session, &StatusCallback)
               == INTERNET_INVALID_STATUS_CALLBACK) {
        const DWORD error = GetLastError();
        InternetCloseHandle(session);
        SetLastError(error);
        return nullptr;
    }
    return session;
}

// Time-outs count only on the handle that does the work (WinINet neither uses
// nor passes on those of the session and connection handles).
void SetTimeouts(HINTERNET handle, int seconds)
{
    const DWORD total = static_cast<DWORD>(std::max(seconds, 0)) * 1000;
    if (total > 0) {
        SetDword(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, total);
        SetDword(handle, INTERNET_OPTION_SEND_TIMEOUT, total);
    }
    // A host that never answers fails in bounded time even with no request time-out.
    SetDword(handle, INTERNET_OPTION_CONNECT_TIMEOUT,
             total > 0 ? std::min(total, kConnectTimeoutMs) : kConnectTimeoutMs);
}

// The FTP login and download, on a thread of its own: WinINet logs in to an
// FTP server synchronously, for up to a minute against a silent one.
void RunFtp(const std::shared_ptr<Operation>& operation)
{
    auto fail = [&](DWORD error, std::string serverText) {
        Report report;
        report.status = INTERNET_STATUS_REQUEST_COMPLETE;
        report.succeeded = false;
        report.error = error;
        report.serverText = std::move(serverText);
        operation->Forward(std::move(report));
    };
    HINTERNET session = OpenSession();
    if (session == nullptr)
        return fail(GetLastError(), {});
    if (!operation->Keep(&Operation::session, session, false))
        return CloseHandles({session});
    SetTimeouts(session, operation->timeoutSeconds);
    HINTERNET connection =
        InternetConnectA(session, operation->host.c_str(), operation->port,
                         operation->userName.empty() ? nullptr : operation->userName.c_str(),
                         operation->password.empty() ? nullptr : operation->password.c_str(),
                         INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, operation->Context());
    if (connection == nullptr) {
        const DWORD error = GetLastError();
        return fail(error, LastResponseInfo());
    }
    if (!operation->Keep(&Operation::connection, connection, true))
        return CloseHandles({connection});
    SetTimeouts(connection, operation->timeoutSeconds);
    DeleteFileA(operation->partial.c_str()); // left over from an earlier attempt
    const BOOL started =
        FtpGetFileA(connection, operation->object.c_str(), operation->partial.c_str(), FALSE,
                    FILE_ATTRIBUTE_NORMAL, FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD,
                    operation->Context());
    const DWORD error = GetLastError();
    // Started (WinINet says TRUE with error 0, or FALSE with ERROR_IO_PENDING):
    // REQUEST_COMPLETE ends it.
    if (!started && error != ERROR_IO_PENDING)
        fail(error, LastResponseInfo());
}

} // namespace

class WinInetTransfer::Engine final : public InetEngine, public ReportSink {
public:
    Engine(EventLoop& loop, InetEvents& events) : loop_(loop), progress_(loop, events) {}
    ~Engine() override { LetGo(); }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    void Execute(const InetRequest& request) override;
    void Cancel() override
    {
        LetGo();
        progress_.Reset();
    }
    bool Executing() const override { return progress_.Executing(); }
    std::string NextChunk(int size) override { return reply_.Next(size); }
    void OnReport(Operation& operation, const Report& report) override;

private:
    std::shared_ptr<Operation> Prepare(const InetRequest& request);
    void StartHttp(Operation& operation);
    void ReadReply(Operation& operation);
    bool TakeRead(Operation& operation);
    void CompleteHttp(Operation& operation);
    void CompleteDownload(Operation& operation);
    void Fail(Operation& operation, DWORD error, const std::string& ansiText);
    void Succeed();
    void LetGo();

    EventLoop& loop_;
    InetProgress progress_;
    ReplyPieces reply_;
    std::shared_ptr<Operation> current_;
};

std::shared_ptr<Operation> WinInetTransfer::Engine::Prepare(const InetRequest& request)
{
    auto operation = std::make_shared<Operation>(loop_, request);
    char host[INTERNET_MAX_HOST_NAME_LENGTH] = {};
    char path[INTERNET_MAX_PATH_LENGTH] = {};
    char extra[INTERNET_MAX_PATH_LENGTH] = {};
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = sizeof extra;
    // An FTP path names a file the server knows unescaped; an HTTP one goes as it is.
    if (!InternetCrackUrlA(request.url.c_str(), 0, request.ftp ? ICU_DECODE : 0, &parts))
        throw RunTimeError(inet::ErrorInvalidUrl, "The URL is invalid: " + request.url);
    operation->host = host;
    operation->port = static_cast<INTERNET_PORT>(request.port > 0 ? request.port : parts.nPort);
    operation->secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    operation->timeoutSeconds = timeoutSeconds;
    if (request.ftp) {
        // Relative to the login folder, as "ftp://host/file" means.
        const std::string_view remote(path);
        operation->object = std::string(remote.starts_with('/') ? remote.substr(1) : remote);
        operation->userName = ToAnsi(userName);
        operation->password = ToAnsi(password);
        operation->saveAs = ToAnsi(request.saveAs.string());
        operation->partial = operation->saveAs + ".part";
    } else {
        operation->object = std::string(path) + extra;
        if (operation->object.empty())
            operation->object = "/";
    }
    return operation;
}

void WinInetTransfer::Engine::Execute(const InetRequest& request)
{
    std::shared_ptr<Operation> operation = Prepare(request);
    LetGo();
    reply_.Clear();
    responseCode = 0;
    responseInfo.clear();
    progress_.Start();
    current_ = operation;
    operation->owner = this;
    if (request.ftp)
        std::thread([operation] { RunFtp(operation); }).detach();
    else
        StartHttp(*operation);
}

void WinInetTransfer::Engine::StartHttp(Operation& operation)
{
    HINTERNET session = OpenSession();
    if (session == nullptr)
        return Fail(operation, GetLastError(), {});
    operation.Keep(&Operation::session, session, false);
    HINTERNET connection =
        InternetConnectA(session, operation.host.c_str(), operation.port, nullptr, nullptr,
                         INTERNET_SERVICE_HTTP, 0, operation.Context());
    if (connection == nullptr)
        return Fail(operation, GetLastError(), {});
    operation.Keep(&Operation::connection, connection, true);
    static const char* const kAcceptTypes[] = {"*/*", nullptr};
    // The reply is taken as it comes: a redirect would carry the member's card
    // details elsewhere. Nothing comes from or goes to a cache.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE
                  | INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI
                  | INTERNET_FLAG_NO_AUTH;
    if (operation.secure)
        flags |= INTERNET_FLAG_SECURE;
    HINTERNET request = HttpOpenRequestA(
        connection, operation.request.post ? "POST" : "GET", operation.object.c_str(), nullptr,
        nullptr, const_cast<LPCSTR*>(kAcceptTypes), flags, operation.Context());
    if (request == nullptr)
        return Fail(operation, GetLastError(), {});
    operation.Keep(&Operation::requestHandle, request, true);
    SetTimeouts(request, operation.timeoutSeconds);
    std::string headers;
    for (const std::string& line : operation.request.headers)
        headers += line + "\r\n";
    // The body is the operation's: it outlives the pending send.
    const std::string& body = operation.request.body;
    const BOOL sent = HttpSendRequestA(
        request, headers.empty() ? nullptr : headers.c_str(), static_cast<DWORD>(headers.size()),
        body.empty() ? nullptr : const_cast<char*>(body.data()), static_cast<DWORD>(body.size()));
    const DWORD error = GetLastError();
    if (sent) { // done already: go on as REQUEST_COMPLETE would, from the loop
        Report report;
        report.status = INTERNET_STATUS_REQUEST_COMPLETE;
        operation.Forward(std::move(report));
    } else if (error != ERROR_IO_PENDING) {
        Fail(operation, error, {});
    }
}

void WinInetTransfer::Engine::OnReport(Operation& operation, const Report& report)
{
    if (report.status != INTERNET_STATUS_REQUEST_COMPLETE) {
        progress_.Reach(StateOf(report.status));
        return;
    }
    if (!report.succeeded)
        return Fail(operation, report.error, report.serverText);
    if (operation.request.ftp)
        return CompleteDownload(operation);
    if (!std::exchange(operation.sent, true)) // the request is out: now the reply
        return ReadReply(operation);
    if (TakeRead(operation)) // a read that was pending
        ReadReply(operation);
}

void WinInetTransfer::Engine::ReadReply(Operation& operation)
{
    for (;;) {
        operation.bytesRead = 0;
        if (!InternetReadFile(operation.requestHandle, operation.buffer, sizeof operation.buffer,
                              &operation.bytesRead)) {
            const DWORD error = GetLastError();
            if (error != ERROR_IO_PENDING) // else REQUEST_COMPLETE brings the bytes
                Fail(operation, error, {});
            return;
        }
        if (!TakeRead(operation))
            return;
    }
}

// Whether to read on: false at the end of the reply, or past its bound.
bool WinInetTransfer::Engine::TakeRead(Operation& operation)
{
    if (operation.bytesRead == 0) {
        CompleteHttp(operation);
        return false;
    }
    if (operation.body.size() + operation.bytesRead > inet::MaxReplyBytes) {
        LetGo();
        responseCode = ERROR_HTTP_INVALID_SERVER_RESPONSE; // as a reply WinINet cannot take
        responseInfo = "The reply is longer than " + std::to_string(inet::MaxReplyBytes) + " bytes";
        progress_.Finish(inet::Error);
        return false;
    }
    operation.body.append(operation.buffer, operation.bytesRead);
    return true;
}

void WinInetTransfer::Engine::CompleteHttp(Operation& operation)
{
    DWORD status = 0;
    DWORD size = sizeof status;
    HttpQueryInfoA(operation.requestHandle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                   &status, &size, nullptr);
    if (status >= 400) { // still a reply: the body is what the server said
        char text[256] = {};
        size = sizeof text - 1;
        if (HttpQueryInfoA(operation.requestHandle, HTTP_QUERY_STATUS_TEXT, text, &size, nullptr))
            responseInfo = FromAnsi(std::string_view(text, size));
        responseCode = static_cast<long>(status);
    }
    reply_.Set(FromAnsi(operation.body));
    Succeed();
}

void WinInetTransfer::Engine::CompleteDownload(Operation& operation)
{
    LetGo(); // WinINet lets go of the file first
    if (!MoveFileExA(operation.partial.c_str(), operation.saveAs.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        const DWORD error = GetLastError();
        operation.RemovePartial();
        responseCode = static_cast<long>(error);
        responseInfo = FromAnsi("Cannot save " + operation.saveAs + ": " + ErrorText(error));
        progress_.Finish(inet::Error);
        return;
    }
    operation.saved = true;
    progress_.Reach(inet::ResponseReceived);
    progress_.Finish(inet::ResponseCompleted);
}

void WinInetTransfer::Engine::Succeed()
{
    LetGo();
    progress_.Reach(inet::ResponseReceived);
    progress_.Finish(inet::ResponseCompleted);
}

void WinInetTransfer::Engine::Fail(Operation& operation, DWORD error, const std::string& ansiText)
{
    LetGo();
    operation.RemovePartial(); // the download is closed by now; else when the operation ends
    responseCode = static_cast<long>(error);
    responseInfo = FromAnsi(ansiText.empty() ? ErrorText(error) : ansiText);
    progress_.Finish(inet::Error);
}

void WinInetTransfer::Engine::LetGo()
{
    if (const std::shared_ptr<Operation> operation = std::exchange(current_, nullptr))
        operation->Detach();
}

WinInetTransfer::WinInetTransfer(EventLoop& loop, InetEvents& events)
    : InetControl(std::make_unique<Engine>(loop, events))
{
}

InetFactory MakeWinInetFactory(EventLoop& loop)
{
    return [&loop](InetEvents& events) -> std::unique_ptr<InetTransfer> {
        return std::make_unique<WinInetTransfer>(loop, events);
    };
}

} // namespace regwiz::platform::win32
