// The registrar over the system registry (Windows build only).
#pragma once

#include <windows.h>

#include "app/reg_script.h"

class Win32Registry : public RegistryBackend {
public:
    bool CreateKey(RegRoot root, const std::string& path) override;
    bool KeyExists(RegRoot root, const std::string& path) override;
    bool DeleteTree(RegRoot root, const std::string& path) override;
    bool SetString(RegRoot root, const std::string& path, const std::string& name,
                   const std::string& value) override;
    bool DeleteValue(RegRoot root, const std::string& path, const std::string& name) override;
};

// Runs the "REGISTRY" resource `id` of the module, with %MODULE% = the
// module's file name.
bool RegScript_UpdateFromResource(HINSTANCE module, UINT id, bool registering,
                                  RegScriptError* error);
