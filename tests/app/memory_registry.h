// An in-memory registry for the registrar's tests and fuzz target: key
// names compare without case, as in the system's registry. It can be told to
// refuse writes below a key.
#pragma once

#include <map>
#include <string>

#include "app/reg_script.h"

class MemoryRegistry : public RegistryBackend {
public:
    static std::string Fold(const std::string& s) {
        std::string r = s;
        for (char& c : r)
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        return r;
    }
    static std::string KeyOf(RegRoot root, const std::string& path) {
        return std::to_string(int(root)) + ":" + Fold(path);
    }

    bool CreateKey(RegRoot root, const std::string& path) override {
        if (Refused(root, path)) return false;
        // Parents come into being with the key.
        size_t at = 0;
        for (;;) {
            at = path.find('\\', at);
            keys[KeyOf(root, path.substr(0, at))];
            if (at == std::string::npos) break;
            ++at;
        }
        return true;
    }
    bool KeyExists(RegRoot root, const std::string& path) override {
        return keys.count(KeyOf(root, path)) != 0;
    }
    bool DeleteTree(RegRoot root, const std::string& path) override {
        if (Refused(root, path)) return false;
        const std::string k = KeyOf(root, path);
        for (auto it = keys.begin(); it != keys.end();) {
            if (it->first == k || it->first.compare(0, k.size() + 1, k + "\\") == 0)
                it = keys.erase(it);
            else
                ++it;
        }
        return true;
    }
    bool SetString(RegRoot root, const std::string& path, const std::string& name,
                   const std::string& value) override {
        if (Refused(root, path) || !KeyExists(root, path)) return false;
        keys[KeyOf(root, path)][Fold(name)] = value;
        return true;
    }
    bool DeleteValue(RegRoot root, const std::string& path, const std::string& name) override {
        if (Refused(root, path)) return false;
        auto it = keys.find(KeyOf(root, path));
        if (it != keys.end()) it->second.erase(Fold(name));
        return true;
    }

    // Every key and value as "root:path" and "root:path|name=value" lines.
    std::string Dump() const {
        std::string out;
        for (const auto& k : keys) {
            out += k.first + "\n";
            for (const auto& v : k.second) out += k.first + "|" + v.first + "=" + v.second + "\n";
        }
        return out;
    }

    std::map<std::string, std::map<std::string, std::string>> keys;
    std::string refuseBelow;  // folded "root:path" prefix; empty refuses nothing

private:
    bool Refused(RegRoot root, const std::string& path) const {
        return !refuseBelow.empty() &&
               KeyOf(root, path).compare(0, refuseBelow.size(), refuseBelow) == 0;
    }
};
