#pragma once

#include <string_view>

#include "platform/ports.h"
#include "store/globals.h"

namespace regwiz::diagnostics {

// The diagnostic log "quorvale.log" in the application folder: one line per
// call, appended and closed at once, so each line is in the file when the call
// returns. Callers test their own log switch first.
class LogFile {
public:
    LogFile(platform::Ports& ports, Globals& globals) : ports_(ports), globals_(globals) {}

    // Appends "<long time> <long date> module(procedure): message" + CR LF.
    // With no application folder yet, the program folder "quorvale 4.02"
    // becomes the application folder for good. Raises a RunTimeError when the
    // file cannot be written.
    void WriteLog(std::string_view module, std::string_view procedure, std::string_view message);

private:
    platform::Ports& ports_;
    Globals& globals_;
};

} // namespace regwiz::diagnostics
