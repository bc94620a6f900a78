#include "platform/inet_control.h"

#include "platform/errors.h"

namespace regwiz::platform {

InetControl::InetControl(std::unique_ptr<InetEngine> engine) : engine_(std::move(engine)) {}

InetControl::~InetControl() = default;

void InetControl::SetProtocol(const std::string& protocol)
{
    engine_->settings.protocol = protocol;
}

void InetControl::SetURL(const std::string& url)
{
    engine_->settings.url = url;
}

std::string InetControl::URL() const
{
    return engine_->settings.url;
}

void InetControl::SetRemotePort(int port)
{
    engine_->settings.remotePort = port;
}

void InetControl::SetUserName(const std::string& name)
{
    engine_->userName = name;
}

void InetControl::SetPassword(const std::string& password)
{
    engine_->password = password;
}

void InetControl::SetRequestTimeout(int seconds)
{
    engine_->timeoutSeconds = seconds;
}

void InetControl::Execute(const std::string& url, const std::string& operation,
                          const std::string& data, const std::string& headers)
{
    if (engine_->Executing())
        throw RunTimeError(inet::ErrorStillExecuting, "Still executing last request");
    engine_->Execute(ParseRequest(engine_->settings, url, operation, data, headers));
    if (!url.empty()) // as the control does: the URL used becomes the URL property
        engine_->settings.url = url;
}

bool InetControl::StillExecuting() const
{
    return engine_->Executing();
}

std::string InetControl::GetChunk(int size, int /*dataType: the reply is text either way*/)
{
    return engine_->NextChunk(size);
}

long InetControl::ResponseCode() const
{
    return engine_->responseCode;
}

std::string InetControl::ResponseInfo() const
{
    return engine_->responseInfo;
}

void InetControl::Cancel()
{
    engine_->Cancel();
}

} // namespace regwiz::platform
