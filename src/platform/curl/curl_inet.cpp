#include "platform/curl/curl_inet.h"

#include "platform/curl/curl_library.h"

#include <fcntl.h>
#include <unistd.h>

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <utility>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/inet_progress.h"
#include "platform/inet_request.h"

namespace regwiz::platform::curl {
namespace {

constexpr long kConnectTimeoutMs = 30'000;
constexpr int kStallCheckMs = 50;
constexpr char kUserAgent[] = "quorvale-RegWizard/4.2";

// One transfer under way: its easy handle and what it collects.
struct Transfer {
    Transfer() : easy(Curl().easy_init()) {}
    ~Transfer()
    {
        if (file != nullptr)
            std::fclose(file);
        std::error_code ignored; // after a good download the partial file is already renamed
        if (!partial.empty())
            std::filesystem::remove(partial, ignored);
        Curl().slist_free_all(headers);
        Curl().easy_cleanup(easy);
    }
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    bool Failed(const std::string& why)
    {
        std::snprintf(error, sizeof error, "%s", why.c_str());
        return false;
    }

    CURL* easy;
    curl_slist* headers = nullptr;
    bool ftp = false;
    std::string body;     // an HTTP reply as received, in Windows-1252
    std::string reason;   // the HTTP status line's reason phrase
    bool tooLong = false; // the reply passed inet::MaxReplyBytes
    std::filesystem::path saveAs;
    std::filesystem::path partial; // the download goes here until it is complete
    std::FILE* file = nullptr;
    char error[CURL_ERROR_SIZE] = {};
};

// Whether a download could be opened, written and put in place; the reason in `error` if not.
bool OpenPartial(Transfer& transfer)
{
    // The list lands in the member's own folder: private like every file the
    // component makes.
    const int fd = ::open(transfer.partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    transfer.file = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (fd >= 0 && transfer.file == nullptr)
        ::close(fd);
    return transfer.file != nullptr
           || transfer.Failed("Cannot write " + transfer.partial.string() + ": "
                              + std::strerror(errno));
}

bool SaveDownload(Transfer& transfer)
{
    if (transfer.file == nullptr && !OpenPartial(transfer)) // an empty file sends no data
        return false;
    const bool written = std::fflush(transfer.file) == 0;
    std::fclose(std::exchange(transfer.file, nullptr));
    if (!written)
        return transfer.Failed("Cannot write " + transfer.partial.string());
    std::error_code failure;
    std::filesystem::rename(transfer.partial, transfer.saveAs, failure);
    return !failure
           || transfer.Failed("Cannot save " + transfer.saveAs.string() + ": " + failure.message());
}

std::string ReasonPhrase(std::string_view statusLine)
{
    // "HTTP/1.1 404 Not Found\r\n" -> "Not Found"
    const auto code = statusLine.find(' ');
    const auto reason = code == std::string_view::npos ? code : statusLine.find(' ', code + 1);
    if (reason == std::string_view::npos)
        return {};
    std::string text(statusLine.substr(reason + 1));
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return FromAnsi(text);
}

} // namespace

// The multi handle, its sockets and timer on the event loop, the transfer under
// way and the states still to raise. States are raised one per posted task,
// never from inside libcurl: a handler may wait in the loop, and libcurl must
// not be re-entered from its own callbacks.
class CurlInet::Engine final : public InetEngine {
public:
    Engine(EventLoop& loop, InetEvents& events);
    ~Engine() override;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    void Execute(const InetRequest& request) override;
    void Cancel() override;
    bool Executing() const override { return progress_.Executing(); }
    std::string NextChunk(int size) override { return reply_.Next(size); }

private:
    static int OnSocket(CURL*, curl_socket_t socket, int what, void* engine, void*);
    static int OnTimer(CURLM*, long milliseconds, void* engine);
    static int OnSocketCreated(void* engine, curl_socket_t, curlsocktype);
    static int OnConnected(void* engine, char*, char*, int, int);
    static size_t OnHeader(char* text, size_t, size_t bytes, void* engine);
    static size_t OnData(char* data, size_t, size_t bytes, void* engine);

    void Configure(Transfer& transfer, const InetRequest& request);
    void ConfigureTimeouts(CURL* easy);
    void ConfigureCallbacks(CURL* easy);
    void ConfigureFtp(Transfer& transfer, const InetRequest& request);
    void ConfigureHttp(Transfer& transfer, const InetRequest& request);
    void WatchSocket(curl_socket_t socket, int what);
    void SetTimer(long milliseconds);
    void Drive(curl_socket_t socket, int flags);
    void CollectFinished();
    void GuardAgainstStall();
    void StopTimer(std::optional<EventLoop::TimerId>& timer);
    void Finish(CURLcode result);
    void Reach(std::int16_t state) { progress_.Reach(state); }

    EventLoop& loop_;
    CURLM* Multi();

    CURLM* multi_ = nullptr;
    std::map<curl_socket_t, EventLoop::WatchId> watches_;
    std::optional<EventLoop::TimerId> timer_;
    std::optional<EventLoop::TimerId> stallGuard_;
    std::unique_ptr<Transfer> transfer_;
    InetProgress progress_;
    ReplyPieces reply_;
};

CurlInet::Engine::Engine(EventLoop& loop, InetEvents& events) : loop_(loop), progress_(loop, events)
{
}

// Made with the first transfer, so that libcurl loads only then.
CURLM* CurlInet::Engine::Multi()
{
    if (multi_ != nullptr)
        return multi_;
    multi_ = Curl().multi_init();
    if (multi_ == nullptr)
        throw std::bad_alloc();
    // The loop waits on the sockets and runs the time-outs; libcurl only says which.
    Curl().multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &Engine::OnSocket);
    Curl().multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
    Curl().multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &Engine::OnTimer);
    Curl().multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
    return multi_;
}

CurlInet::Engine::~Engine()
{
    progress_.Reset();
    if (multi_ != nullptr) { // else nothing was ever transferred, nor libcurl loaded
        if (transfer_)
            Curl().multi_remove_handle(multi_, transfer_->easy);
        transfer_.reset();
        Curl().multi_cleanup(multi_); // may still report sockets going: the loop is still there
    }
    for (const auto& [socket, watch] : watches_)
        loop_.UnwatchFd(watch);
    StopTimer(timer_);
    StopTimer(stallGuard_);
}

void CurlInet::Engine::Execute(const InetRequest& request)
{
    CURLM* multi = Multi();
    auto transfer = std::make_unique<Transfer>();
    if (transfer->easy == nullptr)
        throw std::bad_alloc();
    Configure(*transfer, request);
    progress_.Reset();
    reply_.Clear();
    responseCode = 0;
    responseInfo.clear();
    if (Curl().multi_add_handle(multi, transfer->easy) != CURLM_OK)
        throw RunTimeError(inet::ErrorInvalidUrl, "The request could not be started");
    transfer_ = std::move(transfer);
    progress_.Start();
}

void CurlInet::Engine::Configure(Transfer& transfer, const InetRequest& request)
{
    CURL* easy = transfer.easy;
    Curl().easy_setopt(easy, CURLOPT_URL, request.url.c_str());
    // No signals: libcurl would otherwise time out name look-ups with SIGALRM,
    // which in a program with threads may land anywhere.
    Curl().easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // Only the protocols the sign-up speaks: no URL can reach local files or others.
    Curl().easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "ftp,http,https");
    // A redirect would carry a POST (the member's card details) somewhere else
    // or turn it into a GET: the reply is taken as it comes.
    Curl().easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    Curl().easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    // The reason of a failure in words, for ResponseInfo.
    Curl().easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.error);
    if (request.port > 0)
        Curl().easy_setopt(easy, CURLOPT_PORT, static_cast<long>(request.port));
    ConfigureTimeouts(easy);
    ConfigureCallbacks(easy);
    transfer.ftp = request.ftp;
    if (request.ftp)
        ConfigureFtp(transfer, request);
    else
        ConfigureHttp(transfer, request);
}

void CurlInet::Engine::ConfigureTimeouts(CURL* easy)
{
    // The whole transfer, connecting included, as the wizard's time-out means it (0: none).
    const long totalMs = static_cast<long>(std::max(timeoutSeconds, 0)) * 1000;
    Curl().easy_setopt(easy, CURLOPT_TIMEOUT_MS, totalMs);
    // A host that never answers fails in bounded time even with no request time-out.
    const long connectMs = totalMs > 0 ? std::min(totalMs, kConnectTimeoutMs) : kConnectTimeoutMs;
    Curl().easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
    // Each answer of an FTP server, the one to QUIT included, within the same
    // time rather than libcurl's two minutes: QUIT is not bounded by the above.
    Curl().easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, (connectMs + 999) / 1000);
}

// Progress: a socket made means the host is resolved, the pre-request call that
// the connection stands, the first HTTP header or data that the reply comes.
void CurlInet::Engine::ConfigureCallbacks(CURL* easy)
{
    Curl().easy_setopt(easy, CURLOPT_SOCKOPTFUNCTION, &Engine::OnSocketCreated);
    Curl().easy_setopt(easy, CURLOPT_SOCKOPTDATA, this);
    Curl().easy_setopt(easy, CURLOPT_PREREQFUNCTION, &Engine::OnConnected);
    Curl().easy_setopt(easy, CURLOPT_PREREQDATA, this);
    Curl().easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Engine::OnHeader);
    Curl().easy_setopt(easy, CURLOPT_HEADERDATA, this);
    Curl().easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Engine::OnData);
    Curl().easy_setopt(easy, CURLOPT_WRITEDATA, this);
}

void CurlInet::Engine::ConfigureFtp(Transfer& transfer, const InetRequest& request)
{
    CURL* easy = transfer.easy;
    // The login is FTP's alone: an HTTP server is not handed the member's e-mail.
    if (!userName.empty())
        Curl().easy_setopt(easy, CURLOPT_USERNAME, userName.c_str());
    if (!password.empty())
        Curl().easy_setopt(easy, CURLOPT_PASSWORD, password.c_str());
    // Closed when the download is done, while the line is surely up: libcurl
    // says QUIT and waits for the answer, which for a connection kept for later
    // happens only when the control goes, perhaps after the hang-up.
    Curl().easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    transfer.saveAs = request.saveAs;
    transfer.partial = request.saveAs.string() + ".part";
}

void CurlInet::Engine::ConfigureHttp(Transfer& transfer, const InetRequest& request)
{
    CURL* easy = transfer.easy;
    if (request.post) {
        // The size first, so the body is copied whole even with a NUL in it.
        Curl().easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                           static_cast<curl_off_t>(request.body.size()));
        Curl().easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, request.body.c_str());
    } else {
        Curl().easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    for (const std::string& line : request.headers)
        transfer.headers = Curl().slist_append(transfer.headers, line.c_str());
    // No "Expect: 100-continue" for a larger form: a server that never answers
    // it would hold every post back by a second.
    transfer.headers = Curl().slist_append(transfer.headers, "Expect:");
    Curl().easy_setopt(easy, CURLOPT_HTTPHEADER, transfer.headers);
}

int CurlInet::Engine::OnSocket(CURL*, curl_socket_t socket, int what, void* engine, void*)
{
    static_cast<Engine*>(engine)->WatchSocket(socket, what);
    return 0;
}

int CurlInet::Engine::OnTimer(CURLM*, long milliseconds, void* engine)
{
    static_cast<Engine*>(engine)->SetTimer(milliseconds);
    return 0;
}

int CurlInet::Engine::OnSocketCreated(void* engine, curl_socket_t, curlsocktype)
{
    static_cast<Engine*>(engine)->Reach(inet::Connecting);
    return CURL_SOCKOPT_OK;
}

int CurlInet::Engine::OnConnected(void* engine, char*, char*, int, int)
{
    static_cast<Engine*>(engine)->Reach(inet::Requesting);
    return CURL_PREREQFUNC_OK;
}

size_t CurlInet::Engine::OnHeader(char* text, size_t /*one*/, size_t bytes, void* engine)
{
    auto& self = *static_cast<Engine*>(engine);
    // FTP's server replies come here too, from the greeting on: only HTTP's count.
    const std::string_view line(text, bytes);
    if (self.transfer_->ftp || !line.starts_with("HTTP/"))
        return bytes;
    self.transfer_->reason = ReasonPhrase(line); // the last status line wins (after a 100)
    self.Reach(inet::ReceivingResponse);
    return bytes;
}

size_t CurlInet::Engine::OnData(char* data, size_t /*one*/, size_t bytes, void* engine)
{
    auto& self = *static_cast<Engine*>(engine);
    Transfer& transfer = *self.transfer_;
    self.Reach(inet::ReceivingResponse);
    if (!transfer.ftp) {
        if (transfer.body.size() + bytes > inet::MaxReplyBytes) {
            transfer.tooLong = true;
            return 0; // fails the transfer with a write error
        }
        transfer.body.append(data, bytes);
        return bytes;
    }
    if (transfer.file == nullptr && !OpenPartial(transfer))
        return 0; // fails the transfer with a write error
    return std::fwrite(data, 1, bytes, transfer.file);
}

void CurlInet::Engine::WatchSocket(curl_socket_t socket, int what)
{
    if (auto watch = watches_.find(socket); watch != watches_.end()) {
        loop_.UnwatchFd(watch->second);
        watches_.erase(watch);
    }
    if (what == CURL_POLL_REMOVE)
        return;
    const int events = ((what & CURL_POLL_IN) ? EventLoop::Readable : 0)
                       | ((what & CURL_POLL_OUT) ? EventLoop::Writable : 0);
    watches_[socket] = loop_.WatchFd(socket, events, [this, socket](int ready) {
        Drive(socket, ((ready & EventLoop::Readable) ? CURL_CSELECT_IN : 0)
                          | ((ready & EventLoop::Writable) ? CURL_CSELECT_OUT : 0));
    });
}

void CurlInet::Engine::StopTimer(std::optional<EventLoop::TimerId>& timer)
{
    if (timer)
        loop_.StopTimer(*std::exchange(timer, std::nullopt));
}

void CurlInet::Engine::SetTimer(long milliseconds)
{
    StopTimer(timer_);
    if (milliseconds < 0) // libcurl has nothing to time
        return;
    // libcurl may not be called from its own timer callback: the loop runs it, even at 0 ms.
    timer_ =
        loop_.StartNetworkTimer(static_cast<int>(std::min<long>(milliseconds, INT_MAX)), [this] {
            timer_.reset();
            Drive(CURL_SOCKET_TIMEOUT, 0);
        });
}

void CurlInet::Engine::Drive(curl_socket_t socket, int flags)
{
    int running = 0;
    Curl().multi_socket_action(multi_, socket, flags, &running);
    CollectFinished();
    GuardAgainstStall();
}

// libcurl 7.88 can leave an FTP transfer waiting on nothing: when the answer to
// EPSV comes at once, the data connection is set up but neither its socket nor
// a timer is asked for, and only the time-out of the whole transfer would wake
// it. A transfer that watches no socket for a moment is looked at again.
void CurlInet::Engine::GuardAgainstStall()
{
    if (!transfer_ || !watches_.empty() || stallGuard_)
        return;
    stallGuard_ = loop_.StartNetworkTimer(kStallCheckMs, [this] {
        stallGuard_.reset();
        if (!transfer_ || !watches_.empty())
            return;
        // Pausing and resuming is the public way to have libcurl run a transfer
        // again now: it asks for a timer at 0 ms, and the loop drives it from there.
        Curl().easy_pause(transfer_->easy, CURLPAUSE_ALL);
        Curl().easy_pause(transfer_->easy, CURLPAUSE_CONT);
    });
}

void CurlInet::Engine::CollectFinished()
{
    int left = 0;
    while (CURLMsg* message = Curl().multi_info_read(multi_, &left)) {
        // Read before Finish: removing the handle invalidates the message.
        if (message->msg == CURLMSG_DONE && transfer_ && message->easy_handle == transfer_->easy)
            Finish(message->data.result);
    }
}

void CurlInet::Engine::Finish(CURLcode result)
{
    const std::unique_ptr<Transfer> done = std::move(transfer_);
    Curl().multi_remove_handle(multi_, done->easy);
    StopTimer(stallGuard_);
    if (result == CURLE_OK && done->ftp && !SaveDownload(*done))
        result = CURLE_WRITE_ERROR;
    if (result != CURLE_OK) {
        responseCode = result;
        responseInfo =
            done->tooLong
                ? "The reply is longer than " + std::to_string(inet::MaxReplyBytes) + " bytes"
                : FromAnsi(done->error[0] != '\0' ? done->error : Curl().easy_strerror(result));
        progress_.Finish(inet::Error);
        return;
    }
    long status = 0;
    Curl().easy_getinfo(done->easy, CURLINFO_RESPONSE_CODE, &status);
    if (!done->ftp && status >= 400) { // still a reply: the body is what the server said
        responseCode = status;
        responseInfo = done->reason;
    }
    reply_.Set(FromAnsi(done->body));
    Reach(inet::ResponseReceived);
    progress_.Finish(inet::ResponseCompleted);
}

void CurlInet::Engine::Cancel()
{
    if (transfer_)
        Curl().multi_remove_handle(multi_, transfer_->easy);
    transfer_.reset(); // removes a partial download
    StopTimer(stallGuard_);
    progress_.Reset();
}

CurlInet::CurlInet(EventLoop& loop, InetEvents& events)
    : InetControl(std::make_unique<Engine>(loop, events))
{
}

InetFactory MakeCurlInetFactory(EventLoop& loop)
{
    return [&loop](InetEvents& events) -> std::unique_ptr<InetTransfer> {
        return std::make_unique<CurlInet>(loop, events);
    };
}

} // namespace regwiz::platform::curl
