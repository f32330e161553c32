// The program's own start-up switches: registering and unregistering it as
// a COM local server. Portable, so the scan is tested natively.
#pragma once

// The position just after the first byte of p1 that is one of the
// characters of p2, or null when there is none. p1 is stepped byte by byte,
// p2 by characters of code page 949.
const char* FindOneOf(const char* p1, const char* p2);

enum class RegistrySwitch { None, Register, Unregister };

// Scans the whole command line for '-' and '/' and compares everything
// after each, ignoring the case of ASCII letters, with "UnregServer" and
// "RegServer". A switch counts only as the last thing on the line: with
// anything after the keyword the program starts normally.
RegistrySwitch ScanRegistrySwitch(const char* cmdLine);
