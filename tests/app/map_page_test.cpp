// The map page's address built from the program folder and the script text
// of a position.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "app/map_page.h"

namespace {

TEST(MapPage, AddressFromTheProgramFolder) {
    const struct {
        const char* name;
        const char* folder;
        const char* url;
    } cases[] = {
        {"plain folder", "C:\\App\\", "file:///C:/App/google.htm"},
        {"drive root", "D:\\", "file:///D:/google.htm"},
        {"deep folder with spaces", "C:\\Program Files\\Trellmar Viewer\\",
         "file:///C:/Program Files/Trellmar Viewer/google.htm"},
        {"no trailing separator", "C:\\App", "file:///C:/App/google.htm"},
        {"network share", "\\\\srv\\share\\app\\", "file://///srv/share/app/google.htm"},
        {"fragment mark in a folder name", "C:\\C#\\App\\", "file:///C:/C%23/App/google.htm"},
        {"percent in a folder name", "C:\\100%\\", "file:///C:/100%25/google.htm"},
        {"Korean folder name (CP949 bytes)", "C:\\\xB5\xBF\xBF\xB5\xBB\xF3\\",
         "file:///C:/\xB5\xBF\xBF\xB5\xBB\xF3/google.htm"},
    };
    for (const auto& c : cases) {
        const std::string url = MapPageUrl(c.folder);
        EXPECT_EQ(url, c.url) << c.name;
        EXPECT_EQ(url.find('\\'), std::string::npos) << c.name << ": no backslash is left";
    }
}

TEST(MapPage, PositionScriptHasSevenDecimalsAndNoSpaces) {
    const struct {
        const char* name;
        double lat, lng;
        const char* text;
    } cases[] = {
        {"south-west", -33.5, -70.25, "setLatLng(-33.5000000,-70.2500000)"},
        {"Seoul from 37 33.9921' N, 126 58.6800' E", 37.0 + 33.9921 / 60.0, 126.0 + 58.68 / 60.0,
         "setLatLng(37.5665350,126.9780000)"},
        {"origin", 0.0, 0.0, "setLatLng(0.0000000,0.0000000)"},
        {"the poles and the date line", 90.0, -180.0, "setLatLng(90.0000000,-180.0000000)"},
    };
    for (const auto& c : cases) EXPECT_EQ(MapLatLngScript(c.lat, c.lng), c.text) << c.name;
}

TEST(MapPage, PositionScriptOfHugeValuesIsWhole) {
    // The text is not cut, whatever a damaged record holds.
    const double big = std::numeric_limits<double>::max();
    const std::string s = MapLatLngScript(big, -big);
    EXPECT_EQ(s.rfind("setLatLng(", 0), 0u);
    EXPECT_EQ(s.back(), ')');
    EXPECT_NE(s.find(",-"), std::string::npos);
}

}  // namespace
