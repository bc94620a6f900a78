#pragma once

// The COM types the servers are written in: the SDK's on Windows, our own
// binary layout of them elsewhere. Both use the SDK's names.
#ifdef _WIN32
#include <windows.h>

#include <objbase.h>
#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>
#else
#include "regwizard/com/com_types.h"
#endif

namespace regwiz::com {

inline void InitVariant(VARIANT* variant)
{
#ifdef _WIN32
    ::VariantInit(variant);
#else
    RwVariantInit(variant);
#endif
}

inline void ClearVariant(VARIANT* variant)
{
#ifdef _WIN32
    ::VariantClear(variant);
#else
    RwVariantClear(variant);
#endif
}

} // namespace regwiz::com
