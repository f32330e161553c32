// The map page beside the program ("google.htm") and the script calls the
// program makes into it. Portable: the map view builds the texts here.
#pragma once

#include <string>

// The page's file name beside the program.
extern const char kMapPageName[];
// The call that brings the marked position into view.
extern const char kMapFocusScript[];

// The page's "file:///" address for a program folder such as "C:\App\":
// every backslash becomes a slash (file:///C:/App/google.htm). A missing
// trailing separator is supplied; '%' and '#', which would end or change
// the path part of the address, are written as %25 and %23.
std::string MapPageUrl(const std::string& appFolder);

// "setLatLng(lat,lng)" with seven decimals and no spaces; decimal degrees,
// south and west negative.
std::string MapLatLngScript(double latitude, double longitude);
