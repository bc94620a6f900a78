#pragma once

// The COM types the servers are written in: the SDK's on Windows, our own
// binary layout of them elsewhere. Both use the SDK's names.
#ifdef _WIN32
#include <windows.h>

#include <objbase.h>
#else
#include "regwizard/com/com_types.h"
#endif
