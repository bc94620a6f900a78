#include "platform/curl/curl_library.h"

#include <dlfcn.h>

#include <mutex>
#include <stdexcept>
#include <string>

#include "platform/errors.h"
#include "platform/inet.h"

namespace regwiz::platform::curl {
namespace {

constexpr const char* kLibrary = "libcurl.so.4";

template <typename Function> void Resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
    if (function == nullptr)
        throw std::runtime_error(std::string(kLibrary) + " has no " + name);
}

CurlLibrary Load()
{
    void* library = ::dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        throw std::runtime_error(::dlerror());
    CurlLibrary c{};
    Resolve(library, "curl_global_init", c.global_init);
    Resolve(library, "curl_easy_init", c.easy_init);
    Resolve(library, "curl_easy_cleanup", c.easy_cleanup);
    Resolve(library, "curl_easy_setopt", c.easy_setopt);
    Resolve(library, "curl_easy_getinfo", c.easy_getinfo);
    Resolve(library, "curl_easy_pause", c.easy_pause);
    Resolve(library, "curl_easy_strerror", c.easy_strerror);
    Resolve(library, "curl_multi_init", c.multi_init);
    Resolve(library, "curl_multi_cleanup", c.multi_cleanup);
    Resolve(library, "curl_multi_setopt", c.multi_setopt);
    Resolve(library, "curl_multi_add_handle", c.multi_add_handle);
    Resolve(library, "curl_multi_remove_handle", c.multi_remove_handle);
    Resolve(library, "curl_multi_socket_action", c.multi_socket_action);
    Resolve(library, "curl_multi_info_read", c.multi_info_read);
    Resolve(library, "curl_slist_append", c.slist_append);
    Resolve(library, "curl_slist_free_all", c.slist_free_all);
    // The library stays loaded for the life of the process.
    if (c.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        throw std::runtime_error("libcurl could not be initialised");
    return c;
}

} // namespace

const CurlLibrary& Curl()
{
    static std::once_flag once;
    static CurlLibrary library{};
    static std::string failure;
    std::call_once(once, [] {
        try {
            library = Load();
        } catch (const std::exception& e) {
            failure = e.what();
        }
    });
    if (!failure.empty())
        throw RunTimeError(inet::ErrorInvalidUrl, "The request could not be started: " + failure);
    return library;
}

} // namespace regwiz::platform::curl
