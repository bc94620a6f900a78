#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace regwiz::platform {

// What the transfer control was asked to do, as a URL request. `remotePort` of
// the control applies only when the URL names no port of its own.
struct InetSettings {
    std::string protocol; // "FTP", or "" for HTTP
    std::string url;
    int remotePort = 0;
};

struct InetRequest {
    std::string url; // the full URL to fetch, the remote file included
    bool ftp = false;
    bool post = false;
    int port = 0;                 // 0: the URL's own (or the scheme's default)
    std::filesystem::path saveAs; // FTP: where the download goes
    std::string body;             // POST: Windows-1252, as sent
    std::vector<std::string> headers;
};

// Parses Execute's arguments (an empty `url` means the control's URL). Raises
// RunTimeError(inet::ErrorInvalidUrl) for a URL or operation that cannot be used.
InetRequest ParseRequest(const InetSettings& settings, const std::string& url,
                         const std::string& operation, const std::string& data,
                         const std::string& headers);

} // namespace regwiz::platform
