#pragma once

// The COM declarations quorvale-host is written against: the Windows SDK's
// and the interfaces widl writes from RegWizard.idl on Windows, the
// component's own binary types of the same names elsewhere. The host's code
// reads the same over either.
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <objbase.h>
#include <ocidl.h>

#include "RegWizard_h.h"
#else
#include "regwizard/com/reg_engine_com.h"
#endif

#include "regwizard/com/reg_engine_names.h"
