// Redirects imported functions by rewriting the import address tables of
// the loaded modules. Used by the GDI counter and the message-box catcher.
#pragma once

#include <windows.h>

namespace uitest {
namespace detail {

struct ImportHook {
    const char* dll;    // module that exports the function ("gdi32.dll")
    const char* name;   // exported name
    void* replacement;  // our function, same signature and calling convention
    void** real;        // receives the real function's address
};

// Points every import table slot that holds the real address of one of the
// hooks at its replacement, in every loaded module (system modules only
// when allModules). Returns the number of slots patched this call.
int PatchImports(ImportHook* hooks, int count, bool allModules);

}  // namespace detail
}  // namespace uitest
