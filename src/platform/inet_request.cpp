#include "platform/inet_request.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/inet.h"

namespace regwiz::platform {
namespace {

[[noreturn]] void Invalid(const std::string& why)
{
    throw RunTimeError(inet::ErrorInvalidUrl, why);
}

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// The first word and the trimmed rest.
std::pair<std::string, std::string> SplitFirstWord(std::string_view text)
{
    text = Trim(text);
    const auto end = text.find_first_of(" \t");
    if (end == std::string_view::npos)
        return {std::string(text), {}};
    return {std::string(text.substr(0, end)), std::string(Trim(text.substr(end)))};
}

struct UrlParts {
    std::string scheme;
    bool hasPort = false;
};

bool IsSchemeChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

bool IsHostChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c))
           || std::string_view("-._~%").find(c) != std::string_view::npos;
}

// The scheme and whether the URL names a port: "scheme://[user[:password]@]host[:port][/...]",
// the host a name, an IPv4 address or a bracketed IPv6 one.
UrlParts InspectUrl(const std::string& url)
{
    const auto schemeEnd = url.find("://");
    const std::string_view scheme = std::string_view(url).substr(0, schemeEnd);
    if (schemeEnd == std::string::npos || scheme.empty()
        || !std::isalpha(static_cast<unsigned char>(scheme.front()))
        || !std::all_of(scheme.begin(), scheme.end(), IsSchemeChar))
        Invalid("The URL is invalid: " + url);
    std::string_view authority = std::string_view(url).substr(schemeEnd + 3);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    std::string_view host = authority;
    std::string_view port;
    if (host.starts_with('[')) {
        const auto close = host.find(']');
        if (close == std::string_view::npos)
            Invalid("The URL is invalid: " + url);
        port = host.substr(close + 1);
        host = host.substr(1, close - 1);
        if (host.empty() || host.find_first_not_of("0123456789abcdefABCDEF:.") != host.npos)
            Invalid("The URL is invalid: " + url);
    } else {
        const auto colon = host.find(':');
        port = colon == std::string_view::npos ? std::string_view() : host.substr(colon);
        host = host.substr(0, colon);
        if (host.empty() || !std::all_of(host.begin(), host.end(), IsHostChar))
            Invalid("The URL is invalid: " + url);
    }
    if (!port.empty()) {
        if (port.front() != ':')
            Invalid("The URL is invalid: " + url);
        port.remove_prefix(1);
        if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string_view::npos
            || (!port.empty() && std::stoi(std::string(port)) > 65535))
            Invalid("The URL is invalid: " + url);
    }
    UrlParts parts;
    for (char c : scheme)
        parts.scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    parts.hasPort = !port.empty();
    return parts;
}

// A URL without a scheme (the control accepts a bare host name) takes the protocol's.
std::string WithScheme(const std::string& url, const std::string& protocol)
{
    if (url.find("://") != std::string::npos)
        return url;
    return (Upper(protocol) == "FTP" ? "ftp://" : "http://") + url;
}

// A file name as a URL path: the name is Windows-1252 on the server too.
std::string EscapePath(std::string_view utf8)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (unsigned char c : ToAnsi(utf8)) {
        if (std::isalnum(c)
            || std::string_view("-._~/").find(static_cast<char>(c)) != std::string_view::npos) {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 15];
        }
    }
    return escaped;
}

std::string Unquoted(std::string_view text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

std::vector<std::string> HeaderLines(std::string_view headers)
{
    std::vector<std::string> lines;
    while (!headers.empty()) {
        const auto end = headers.find('\n');
        const auto line = Trim(headers.substr(0, end));
        if (!line.empty())
            lines.emplace_back(line);
        headers = end == std::string_view::npos ? std::string_view() : headers.substr(end + 1);
    }
    return lines;
}

// "GET remote local": `remote` in the URL's folder (the login folder for a bare host).
void ParseFtpGet(InetRequest& request, const std::string& base, const std::string& verb,
                 const std::string& arguments)
{
    const auto [remote, local] = SplitFirstWord(arguments);
    if (verb != "GET" || remote.empty() || local.empty())
        Invalid("The FTP operation is invalid: " + verb + " " + arguments);
    const std::string folder = base.ends_with('/') ? base : base + '/';
    request.url = folder + EscapePath(remote);
    request.saveAs = Unquoted(local);
}

void ParseHttp(InetRequest& request, const std::string& base, const std::string& verb,
               const std::string& data, const std::string& headers)
{
    if (verb != "GET" && verb != "POST")
        Invalid("The HTTP operation is invalid: " + verb);
    request.url = base;
    request.post = verb == "POST";
    if (request.post)
        request.body = ToAnsi(data);
    request.headers = HeaderLines(ToAnsi(headers));
}

} // namespace

InetRequest ParseRequest(const InetSettings& settings, const std::string& url,
                         const std::string& operation, const std::string& data,
                         const std::string& headers)
{
    const std::string given = std::string(Trim(url.empty() ? settings.url : url));
    if (given.empty())
        Invalid("No URL to connect to");
    const std::string base = WithScheme(given, settings.protocol);
    const UrlParts parts = InspectUrl(base);
    InetRequest request;
    request.ftp = parts.scheme == "ftp";
    if (!request.ftp && parts.scheme != "http" && parts.scheme != "https")
        Invalid("The URL's protocol is not supported: " + base);
    if (!parts.hasPort && settings.remotePort > 0 && settings.remotePort <= 65535)
        request.port = settings.remotePort;
    const auto [verb, arguments] = SplitFirstWord(operation);
    if (request.ftp)
        ParseFtpGet(request, base, Upper(verb), arguments);
    else
        ParseHttp(request, base, Upper(verb), data, headers);
    return request;
}

} // namespace regwiz::platform
