/* A host written in plain C against Win32 and COM only, as a client program
 * of the service would use the component: it registers RegWizard.dll with
 * regsvr32, finds the class by its ProgID, creates the object, reads and
 * writes m_boolLogEvents through IDispatch, receives IsLoaded and RegCanceled
 * through a connection point, releases everything and unregisters the DLL.
 *
 *   c_host DLL-PATH [no-wizard]
 *
 * Prints "c_host: ok" and exits 0 when everything behaved; exits 77 (skipped)
 * with "no-wizard" when the DLL cannot start the wizard (it was built without
 * the Windows platform) once the class object was reached through COM. */
#define COBJMACROS
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>
#include <stdio.h>
#include <string.h>

#include "RegWizard_h.h"
#include "RegWizard_i.c"

static int failures;

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            printf("c_host: line %d: %s failed\n", __LINE__, #condition);                          \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)

/* ---- An event sink: IDispatch answering __RegEngine ------------------------------------- */

typedef struct Sink {
    IDispatch dispatch;
    LONG references;
    DISPID events[8];
    int count;
} Sink;

static HRESULT STDMETHODCALLTYPE SinkQueryInterface(IDispatch* self, REFIID riid, void** ppv)
{
    if (IsEqualIID(riid, &IID_IUnknown) || IsEqualIID(riid, &IID_IDispatch)
        || IsEqualIID(riid, &DIID___RegEngine)) {
        *ppv = self;
        IDispatch_AddRef(self);
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}

static ULONG STDMETHODCALLTYPE SinkAddRef(IDispatch* self)
{
    return (ULONG)InterlockedIncrement(&((Sink*)self)->references);
}

static ULONG STDMETHODCALLTYPE SinkRelease(IDispatch* self)
{
    return (ULONG)InterlockedDecrement(&((Sink*)self)->references);
}

static HRESULT STDMETHODCALLTYPE SinkGetTypeInfoCount(IDispatch* self, UINT* count)
{
    (void)self;
    *count = 0;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE SinkGetTypeInfo(IDispatch* self, UINT index, LCID lcid,
                                                 ITypeInfo** info)
{
    (void)self, (void)index, (void)lcid;
    *info = NULL;
    return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE SinkGetIDsOfNames(IDispatch* self, REFIID riid, LPOLESTR* names,
                                                   UINT count, LCID lcid, DISPID* ids)
{
    (void)self, (void)riid, (void)names, (void)count, (void)lcid, (void)ids;
    return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE SinkInvoke(IDispatch* self, DISPID id, REFIID riid, LCID lcid,
                                            WORD flags, DISPPARAMS* params, VARIANT* result,
                                            EXCEPINFO* info, UINT* argError)
{
    Sink* sink = (Sink*)self;
    (void)riid, (void)lcid, (void)result, (void)info, (void)argError;
    if (flags == DISPATCH_METHOD && params != NULL && params->cArgs == 0 && sink->count < 8)
        sink->events[sink->count++] = id;
    return S_OK;
}

static IDispatchVtbl sinkVtbl = {
    SinkQueryInterface, SinkAddRef,        SinkRelease, SinkGetTypeInfoCount,
    SinkGetTypeInfo,    SinkGetIDsOfNames, SinkInvoke};

/* ---- The host ------------------------------------------------------------------------------ */

static DWORD Regsvr32(const char* options, const char* dll)
{
    char command[2 * MAX_PATH];
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    DWORD code = (DWORD)-1;
    snprintf(command, sizeof command, "regsvr32.exe %s \"%s\"", options, dll);
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return code;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

static HRESULT Call(IDispatch* object, const wchar_t* member, WORD flags, VARIANT* argument,
                    VARIANT* result)
{
    LPOLESTR name = (LPOLESTR)member;
    DISPID id = DISPID_UNKNOWN;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {argument, flags == DISPATCH_PROPERTYPUT ? &named : NULL,
                         argument != NULL ? 1u : 0u, flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
    HRESULT hr = IDispatch_GetIDsOfNames(object, &IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    return IDispatch_Invoke(object, id, &IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                            NULL, NULL);
}

static int UseObject(IDispatch* object)
{
    Sink sink;
    IConnectionPointContainer* container = NULL;
    IConnectionPoint* point = NULL;
    DWORD cookie = 0;
    VARIANT value, result;

    memset(&sink, 0, sizeof sink);
    sink.dispatch.lpVtbl = &sinkVtbl;
    sink.references = 1;

    VariantInit(&value);
    VariantInit(&result);
    value.vt = VT_BOOL;
    value.boolVal = VARIANT_TRUE;
    CHECK(Call(object, L"m_boolLogEvents", DISPATCH_PROPERTYPUT, &value, NULL) == S_OK);
    CHECK(Call(object, L"m_boolLogEvents", DISPATCH_PROPERTYGET, NULL, &result) == S_OK);
    CHECK(result.vt == VT_BOOL && result.boolVal == VARIANT_TRUE);

    CHECK(IDispatch_QueryInterface(object, &IID_IConnectionPointContainer, (void**)&container)
          == S_OK);
    if (container == NULL)
        return 1;
    CHECK(IConnectionPointContainer_FindConnectionPoint(container, &DIID___RegEngine, &point)
          == S_OK);
    IConnectionPointContainer_Release(container);
    if (point == NULL)
        return 1;
    CHECK(IConnectionPoint_Advise(point, (IUnknown*)&sink.dispatch, &cookie) == S_OK);
    CHECK(sink.references == 2);

    CHECK(Call(object, L"UnloadSplash", DISPATCH_METHOD, NULL, NULL) == S_OK);
    CHECK(sink.count == 1 && sink.events[0] == 1); /* IsLoaded */
    CHECK(Call(object, L"CancelRegistration", DISPATCH_METHOD, NULL, NULL) == S_OK);
    CHECK(sink.count == 2 && sink.events[1] == 2); /* RegCanceled */

    CHECK(IConnectionPoint_Unadvise(point, cookie) == S_OK);
    CHECK(sink.references == 1);
    IConnectionPoint_Release(point);
    return 0;
}

/* The component keeps its log in its application folder, its own folder here
   (the fresh registry names no other). */
static void LogPathOf(const char* dll, char* buffer, size_t size)
{
    char* slash;
    snprintf(buffer, size, "%s", dll);
    slash = strrchr(buffer, '\\');
    snprintf(slash != NULL ? slash + 1 : buffer,
             size - (size_t)(slash != NULL ? slash + 1 - buffer : 0), "quorvale.log");
}

/* Whether the log holds `text`. */
static int LogHolds(const char* logPath, const char* text)
{
    static char content[1 << 16];
    size_t length;
    FILE* file = fopen(logPath, "rb");
    if (file == NULL)
        return 0;
    length = fread(content, 1, sizeof content - 1, file);
    fclose(file);
    content[length] = '\0';
    return strstr(content, text) != NULL;
}

/* A path given the POSIX way names wine's drive Z:. */
static const char* WindowsPath(const char* path, char* buffer, size_t size)
{
    size_t i;
    if (path == NULL || path[0] != '/')
        return path;
    snprintf(buffer, size, "Z:%s", path);
    for (i = 0; buffer[i] != '\0'; ++i)
        if (buffer[i] == '/')
            buffer[i] = '\\';
    return buffer;
}

int main(int argc, char** argv)
{
    char path[MAX_PATH];
    char logPath[MAX_PATH];
    const char* dll = WindowsPath(argc > 1 ? argv[1] : NULL, path, sizeof path);
    const int startsWizard = !(argc > 2 && strcmp(argv[2], "no-wizard") == 0);
    CLSID clsid;
    IClassFactory* factory = NULL;
    IDispatch* object = NULL;
    HRESULT hr;
    int skipped = 0;

    if (dll == NULL) {
        printf("usage: c_host DLL-PATH [no-wizard]\n");
        return 2;
    }
    if (Regsvr32("/s", dll) != 0) {
        printf("c_host: regsvr32 /s %s failed\n", dll);
        return 1;
    }
    CoInitialize(NULL);

    CHECK(CLSIDFromProgID(L"RegWizard.RegEngine", &clsid) == S_OK);
    CHECK(IsEqualCLSID(&clsid, &CLSID_RegEngine));
    /* COM finds the DLL through InprocServer32 and asks it for the class object. */
    CHECK(CoGetClassObject(&clsid, CLSCTX_INPROC_SERVER, NULL, &IID_IClassFactory, (void**)&factory)
          == S_OK);
    if (factory != NULL)
        IClassFactory_Release(factory);

    LogPathOf(dll, logPath, sizeof logPath);
    DeleteFileA(logPath);
    hr = CoCreateInstance(&clsid, NULL, CLSCTX_INPROC_SERVER, &IID_IDispatch, (void**)&object);
    if (!startsWizard && FAILED(hr)) {
        printf("c_host: RegEngine cannot start the wizard without the Windows platform "
               "(0x%08lX): skipped\n",
               (unsigned long)hr);
        skipped = 1;
    } else {
        if (hr != S_OK)
            printf("c_host: CoCreateInstance: 0x%08lX\n", (unsigned long)hr);
        CHECK(hr == S_OK);
        if (object != NULL) {
            failures += UseObject(object);
            CHECK(IDispatch_Release(object) == 0);
            /* The log switch was turned on: the object's end is in the log. */
            CHECK(LogHolds(logPath, "RegWizard(Class_Terminate): ------------------------  END"));
        }
    }

    CoUninitialize();
    CHECK(Regsvr32("/u /s", dll) == 0);
    if (failures != 0)
        return 1;
    if (skipped)
        return 77;
    printf("c_host: ok\n");
    return 0;
}
