#include "app/reg_script_win32.h"

namespace {

HKEY RootKey(RegRoot root) {
    switch (root) {
        case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
        case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
        case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    }
    return HKEY_CLASSES_ROOT;
}

// Deletes the sub-keys of an open key, depth first (RegDeleteKey removes
// only keys without sub-keys on the systems this program supports).
bool DeleteChildren(HKEY key) {
    for (;;) {
        char name[256];
        DWORD len = sizeof(name);
        const LONG r = RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) return true;
        if (r != ERROR_SUCCESS) return false;
        HKEY child;
        if (RegOpenKeyExA(key, name, 0, KEY_READ | KEY_WRITE, &child) != ERROR_SUCCESS)
            return false;
        const bool ok = DeleteChildren(child);
        RegCloseKey(child);
        if (!ok || RegDeleteKeyA(key, name) != ERROR_SUCCESS) return false;
    }
}

}  // namespace

bool Win32Registry::CreateKey(RegRoot root, const std::string& path) {
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool Win32Registry::KeyExists(RegRoot root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool Win32Registry::DeleteTree(RegRoot root, const std::string& path) {
    HKEY key;
    const LONG r = RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_READ | KEY_WRITE, &key);
    if (r == ERROR_FILE_NOT_FOUND) return true;
    if (r != ERROR_SUCCESS) return false;
    const bool ok = DeleteChildren(key);
    RegCloseKey(key);
    return ok && RegDeleteKeyA(RootKey(root), path.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::SetString(RegRoot root, const std::string& path, const std::string& name,
                              const std::string& value) {
    HKEY key;
    if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const LONG r =
        RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(RegRoot root, const std::string& path, const std::string& name) {
    HKEY key;
    const LONG o = RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_SET_VALUE, &key);
    if (o == ERROR_FILE_NOT_FOUND) return true;
    if (o != ERROR_SUCCESS) return false;
    const LONG r = RegDeleteValueA(key, name.empty() ? nullptr : name.c_str());
    RegCloseKey(key);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

bool RegScript_UpdateFromResource(HINSTANCE module, UINT id, bool registering,
                                  RegScriptError* error) {
    RegScriptError local;
    RegScriptError* e = error ? error : &local;
    *e = RegScriptError();
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), "REGISTRY");
    HGLOBAL mem = res ? LoadResource(module, res) : nullptr;
    const char* text = mem ? static_cast<const char*>(LockResource(mem)) : nullptr;
    if (!text) {
        e->status = RegScriptStatus::RegistryFailed;
        e->message = "no REGISTRY resource";
        return false;
    }
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        e->status = RegScriptStatus::RegistryFailed;
        e->message = "module file name";
        return false;
    }
    Win32Registry registry;
    return RegScript_Update(text, SizeofResource(module, res), {{"MODULE", path}}, registering,
                            registry, e);
}
