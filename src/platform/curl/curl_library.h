#pragma once

#include <curl/curl.h>

namespace regwiz::platform::curl {

// libcurl's functions, loaded with the library when the first transfer
// starts rather than with the program: the wizard transfers nothing before
// the site-connection page, and loading libcurl with its TLS and directory
// libraries is a good part of a start-up's cost.
struct CurlLibrary {
    CURLcode (*global_init)(long flags);
    CURL* (*easy_init)();
    void (*easy_cleanup)(CURL* easy);
    CURLcode (*easy_setopt)(CURL* easy, CURLoption option, ...);
    CURLcode (*easy_getinfo)(CURL* easy, CURLINFO info, ...);
    CURLcode (*easy_pause)(CURL* easy, int bitmask);
    const char* (*easy_strerror)(CURLcode code);
    CURLM* (*multi_init)();
    CURLMcode (*multi_cleanup)(CURLM* multi);
    CURLMcode (*multi_setopt)(CURLM* multi, CURLMoption option, ...);
    CURLMcode (*multi_add_handle)(CURLM* multi, CURL* easy);
    CURLMcode (*multi_remove_handle)(CURLM* multi, CURL* easy);
    CURLMcode (*multi_socket_action)(CURLM* multi, curl_socket_t socket, int mask, int* running);
    CURLMsg* (*multi_info_read)(CURLM* multi, int* left);
    curl_slist* (*slist_append)(curl_slist* list, const char* text);
    void (*slist_free_all)(curl_slist* list);
};

// The library, loaded and initialised on the first call; throws
// RunTimeError when it cannot be loaded, as a transfer that cannot start.
const CurlLibrary& Curl();

} // namespace regwiz::platform::curl
