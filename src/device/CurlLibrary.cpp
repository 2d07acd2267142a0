#include "device/CurlLibrary.h"

#include <dlfcn.h>
#include <mutex>

namespace {

template <typename Function> bool resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

const CurlLibrary* load()
{
    // The soname of libcurl's current ABI, which every Debian flavour of it provides.
    void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    static CurlLibrary curl;
    const bool complete = resolve(library, "curl_global_init", curl.global_init) &&
                          resolve(library, "curl_easy_init", curl.easy_init) &&
                          resolve(library, "curl_easy_setopt", curl.easy_setopt) &&
                          resolve(library, "curl_easy_perform", curl.easy_perform) &&
                          resolve(library, "curl_easy_getinfo", curl.easy_getinfo) &&
                          resolve(library, "curl_easy_cleanup", curl.easy_cleanup) &&
                          resolve(library, "curl_easy_strerror", curl.easy_strerror) &&
                          resolve(library, "curl_slist_append", curl.slist_append) &&
                          resolve(library, "curl_slist_free_all", curl.slist_free_all);
    if (!complete || curl.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return nullptr;
    return &curl;
}

} // namespace

const CurlLibrary* curlLibrary()
{
    static std::once_flag once;
    static const CurlLibrary* loaded = nullptr;
    std::call_once(once, [] { loaded = load(); });
    return loaded;
}
