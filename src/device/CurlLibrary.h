#pragma once

#include <curl/curl.h>

// The libcurl functions the FTP fetch calls. libcurl is loaded when the first
// photo is fetched rather than linked: linked, it and the TLS, LDAP and
// Kerberos libraries it brings cost every start of the window about 5 MB and
// their initialisation, for a client most sessions never use.
struct CurlLibrary
{
    CURLcode (*global_init)(long flags);
    CURL* (*easy_init)();
    CURLcode (*easy_setopt)(CURL* curl, CURLoption option, ...);
    CURLcode (*easy_perform)(CURL* curl);
    CURLcode (*easy_getinfo)(CURL* curl, CURLINFO info, ...);
    void (*easy_cleanup)(CURL* curl);
    const char* (*easy_strerror)(CURLcode code);
    curl_slist* (*slist_append)(curl_slist* list, const char* text);
    void (*slist_free_all)(curl_slist* list);
};

// The system's libcurl, loaded and globally initialised once, from any thread;
// null when it cannot be loaded.
const CurlLibrary* curlLibrary();
