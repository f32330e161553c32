#include "app/map_page.h"

#include <cstdio>

const char kMapPageName[] = "google.htm";
const char kMapFocusScript[] = "setFocus()";

std::string MapPageUrl(const std::string& appFolder) {
    std::string path = appFolder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    path += kMapPageName;
    std::string url = "file:///";
    for (char c : path) {
        switch (c) {
            case '\\': url += '/'; break;
            case '%': url += "%25"; break;
            case '#': url += "%23"; break;
            default: url += c; break;
        }
    }
    return url;
}

std::string MapLatLngScript(double latitude, double longitude) {
    // Large enough for any double in %f (309 digits) twice.
    char buf[720];
    std::snprintf(buf, sizeof buf, "%s%.7f%s%.7f%s", "setLatLng(", latitude, ",", longitude, ")");
    return buf;
}
