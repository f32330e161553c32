// Registry scripts on arbitrary text: a script that parses registers and
// unregisters against an in-memory registry; one that does not must leave
// the registry as it was.
#include <cstdint>
#include <string>

#include "app/reg_script.h"
#include "tests/app/memory_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536) return 0;
    const RegScriptVariables vars = {{"MODULE", "C:\\Quorvel\\Quorvel.exe"}};
    MemoryRegistry reg;
    reg.CreateKey(RegRoot::ClassesRoot, "AppID\\{kept}");
    const std::string before = reg.Dump();
    const char* text = reinterpret_cast<const char*>(data);
    RegScriptError error;
    std::vector<RegScriptRoot> script;
    if (!RegScript_Parse(text, size, vars, &script, &error)) {
        if (error.status == RegScriptStatus::Ok || !script.empty()) __builtin_trap();
        if (RegScript_Update(text, size, vars, true, reg, &error)) __builtin_trap();
        if (reg.Dump() != before) __builtin_trap();
        return 0;
    }
    if (!RegScript_Run(script, true, reg, &error)) __builtin_trap();
    if (!RegScript_Run(script, false, reg, &error)) __builtin_trap();
    return 0;
}
