#pragma once

// What every COM object of the library shares: the count that tells hosts
// whether the library may be unloaded, and the rule that no C++ exception may
// cross into a host, which knows nothing of them.

#include <exception>
#include <new>
#include <string>

#include "com/server_support.h"
#include "regwizard/com/com_types.h"

namespace regwiz::com::posix {

// Text for a BSTR: UTF-8 decoded, anything malformed as U+FFFD.
BSTR MakeBstr(const std::string& utf8);

} // namespace regwiz::com::posix
