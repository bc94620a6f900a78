#pragma once

// What the whole of RegWizard.dll shares: its own module (for its file, its
// folder and its type library), the count that tells COM whether the DLL may
// be unloaded, and the rule that no C++ exception crosses into a host.

#include <windows.h>

#include <oaidl.h>

#include <exception>
#include <new>
#include <string>

#include "com/server_support.h"

namespace regwiz::com::win32 {

// The DLL's module handle, kept by DllMain (null in a program that links the
// server's code statically, e.g. a test: then it is the program's own).
HMODULE ModuleHandle();
// The DLL's full path, as GetModuleFileNameW gives it.
std::wstring ModulePath();

// The DLL's own type library (resource 1 TYPELIB), not registered.
HRESULT LoadOwnTypeLib(ITypeLib** library);
// The description of `guid` from it: an interface or the class.
HRESULT LoadOwnTypeInfo(REFGUID guid, ITypeInfo** info);

// UTF-8 as UTF-16, for the wide Win32 functions.
std::wstring Widen(const std::string& utf8);

} // namespace regwiz::com::win32
