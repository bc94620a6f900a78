// The class object of RegEngine and the DLL's entry points for it.
#include <olectl.h>

#include "com/class_factory.h"
#include "com/win32/module.h"
#include "com/win32/reg_engine_server.h"

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv)
{
    return regwiz::com::GetClassObject<regwiz::com::win32::RegEngineServer>(rclsid, CLSID_RegEngine,
                                                                            riid, ppv);
}

STDAPI DllCanUnloadNow()
{
    return regwiz::com::ServerInUse() ? S_FALSE : S_OK;
}
