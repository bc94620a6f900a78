/* What an installed RegWizard must give a host that finds it through the
 * registry alone: the class by its ProgID, an object of it with _RegEngine's
 * members, its events' connection point, and the type library by its LIBID.
 *
 *   progid_create
 *
 * Prints "progid_create: ok" and exits 0 when all of them work. */
#define COBJMACROS
#include <windows.h>

#include <ocidl.h>
#include <stdio.h>

#include "RegWizard_h.h"
#include "RegWizard_i.c"

static int failures;

static void Check(int holds, const char* what, HRESULT hr)
{
    if (!holds) {
        printf("progid_create: %s failed (0x%08lX)\n", what, (unsigned long)hr);
        ++failures;
    }
}

int main(void)
{
    CLSID clsid;
    IDispatch* engine = NULL;
    HRESULT hr = CoInitialize(NULL);
    Check(SUCCEEDED(hr), "CoInitialize", hr);

    hr = CLSIDFromProgID(L"RegWizard.RegEngine", &clsid);
    Check(SUCCEEDED(hr), "CLSIDFromProgID(RegWizard.RegEngine)", hr);
    Check(SUCCEEDED(hr) && IsEqualCLSID(&clsid, &CLSID_RegEngine), "the ProgID's CLSID", hr);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(&clsid, NULL, CLSCTX_INPROC_SERVER, &IID__RegEngine, (void**)&engine);
        Check(SUCCEEDED(hr) && engine != NULL, "CoCreateInstance", hr);
    }
    if (engine != NULL) {
        OLECHAR* name = L"CancelRegistration";
        DISPID id = 0;
        IConnectionPointContainer* container = NULL;
        IConnectionPoint* events = NULL;
        hr = IDispatch_GetIDsOfNames(engine, &IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
        Check(SUCCEEDED(hr), "GetIDsOfNames(CancelRegistration)", hr);
        hr = IDispatch_QueryInterface(engine, &IID_IConnectionPointContainer, (void**)&container);
        Check(SUCCEEDED(hr), "IConnectionPointContainer", hr);
        if (container != NULL) {
            hr = IConnectionPointContainer_FindConnectionPoint(container, &DIID___RegEngine,
                                                               &events);
            Check(SUCCEEDED(hr), "FindConnectionPoint(__RegEngine)", hr);
            if (events != NULL)
                IConnectionPoint_Release(events);
            IConnectionPointContainer_Release(container);
        }
        IDispatch_Release(engine);
    }

    {
        ITypeLib* library = NULL;
        hr = LoadRegTypeLib(&LIBID_RegWizard, 1, 1, 1033, &library);
        Check(SUCCEEDED(hr), "LoadRegTypeLib(RegWizard 1.1)", hr);
        if (library != NULL)
            ITypeLib_Release(library);
    }
    CoUninitialize();
    if (failures == 0)
        printf("progid_create: ok\n");
    return failures == 0 ? 0 : 1;
}
