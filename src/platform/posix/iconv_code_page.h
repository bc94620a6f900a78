#pragma once

#include "platform/codepage.h"

namespace regwiz::platform::posix {

// Windows-1252 by the C library's iconv, for platforms that install the
// system's converter rather than the built-in table.
class IconvCodePage final : public CodePageConverter {
public:
    std::string ToAnsi(std::string_view utf8) const override;
    std::string FromAnsi(std::string_view ansi) const override;
};

} // namespace regwiz::platform::posix
