#pragma once

#include "platform/codepage.h"

namespace regwiz::platform::win32 {

// Windows-1252 by the system's own tables (MultiByteToWideChar and
// WideCharToMultiByte of code page 1252), with the port's rules for what the
// code page lacks: no best-fit look-alikes, "?" for unknown characters, and
// the five unassigned codes kept as the control characters of their number.
class Win32CodePage final : public CodePageConverter {
public:
    std::string ToAnsi(std::string_view utf8) const override;
    std::string FromAnsi(std::string_view ansi) const override;
};

} // namespace regwiz::platform::win32
