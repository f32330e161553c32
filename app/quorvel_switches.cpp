#include "app/quorvel_switches.h"

namespace {

bool IsLead949(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool EqualNoCase(const char* a, const char* b) {
    for (; *a && *b; a++, b++)
        if (FoldAscii(*a) != FoldAscii(*b)) return false;
    return *a == *b;
}

}  // namespace

const char* FindOneOf(const char* p1, const char* p2) {
    if (!p1 || !p2) return nullptr;
    for (; *p1; p1++) {
        for (const char* p = p2; *p;) {
            if (*p1 == *p) return p1 + 1;
            p += (IsLead949((unsigned char)p[0]) && p[1]) ? 2 : 1;
        }
    }
    return nullptr;
}

RegistrySwitch ScanRegistrySwitch(const char* cmdLine) {
    for (const char* p = FindOneOf(cmdLine, "-/"); p; p = FindOneOf(p, "-/")) {
        if (EqualNoCase(p, "UnregServer")) return RegistrySwitch::Unregister;
        if (EqualNoCase(p, "RegServer")) return RegistrySwitch::Register;
    }
    return RegistrySwitch::None;
}
