// The class object of RegEngine and the library's entry points for it.
#include "com/class_factory.h"
#include "com/posix/object_support.h"
#include "com/posix/reg_engine_com.h"
#include "regwizard/com/reg_engine_com.h"

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID rclsid,
                                                                            REFIID riid, void** ppv)
{
    return regwiz::com::GetClassObject<regwiz::com::posix::RegEngineCom>(rclsid, CLSID_RegEngine,
                                                                         riid, ppv);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow()
{
    return regwiz::com::ServerInUse() ? S_FALSE : S_OK;
}
