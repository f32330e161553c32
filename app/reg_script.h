// Registry scripts: the subset the program's registration resource uses.
//
//   HKCR
//   {
//       NoRemove AppID
//       {
//           '{GUID}' = s 'Quorvel'
//           'Quorvel.EXE'
//           {
//               val AppID = s '{GUID}'
//           }
//       }
//   }
//
// Roots HKCR, HKCU, HKLM (or their HKEY_ names); keys with an optional
// NoRemove or ForceRemove, a default string value "= s 'text'" and a body in
// braces of named string values "val Name = s 'text'" and further keys.
// Quoted texts double a quote to hold one; %NAME% is replaced from the
// variables given (%% is one percent sign). The whole script is parsed before
// anything is written, so a malformed script changes nothing.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine };

// The registry as the registrar needs it. Paths are key names joined by
// backslashes below the root; an empty value name is the default value.
class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;
    virtual bool CreateKey(RegRoot root, const std::string& path) = 0;
    virtual bool KeyExists(RegRoot root, const std::string& path) = 0;
    // The key with all its sub-keys and values; true when it is gone.
    virtual bool DeleteTree(RegRoot root, const std::string& path) = 0;
    virtual bool SetString(RegRoot root, const std::string& path, const std::string& name,
                           const std::string& value) = 0;
    // True when the value is gone (also when it never existed).
    virtual bool DeleteValue(RegRoot root, const std::string& path, const std::string& name) = 0;
};

enum class RegScriptStatus {
    Ok,
    Syntax,           // a token where another was expected
    Unterminated,     // a quoted text or a brace block without its end
    UnknownRoot,      // a root key other than the three
    UnknownVariable,  // %NAME% without a value
    UnsupportedType,  // a value type other than s
    BadName,          // an empty key name, one with a backslash, or over 255 bytes
    TooDeep,          // keys nested deeper than the registrar takes
    RegistryFailed,   // the registry refused a change
};

struct RegScriptError {
    RegScriptStatus status = RegScriptStatus::Ok;
    int line = 0;  // 1-based line of the fault; 0 when the registry failed
    std::string message;
};

struct RegScriptValue {
    std::string name;
    std::string text;
};

struct RegScriptKey {
    enum Flag { Normal, NoRemove, ForceRemove } flag = Normal;
    std::string name;
    bool hasDefault = false;
    std::string defaultText;
    std::vector<RegScriptValue> values;
    std::vector<RegScriptKey> keys;
};

struct RegScriptRoot {
    RegRoot root;
    std::vector<RegScriptKey> keys;
};

typedef std::vector<std::pair<std::string, std::string>> RegScriptVariables;

enum : int { REGSCRIPT_MAX_DEPTH = 32, REGSCRIPT_MAX_NAME = 255 };

bool RegScript_Parse(const char* text, size_t length, const RegScriptVariables& variables,
                     std::vector<RegScriptRoot>* out, RegScriptError* error);

// Registering creates the keys and values (a ForceRemove key is deleted and
// made anew); unregistering deletes every key not marked NoRemove with all
// below it, and the named values the script sets under a NoRemove key.
bool RegScript_Run(const std::vector<RegScriptRoot>& script, bool registering,
                   RegistryBackend& registry, RegScriptError* error);

// Parse, then run.
bool RegScript_Update(const char* text, size_t length, const RegScriptVariables& variables,
                      bool registering, RegistryBackend& registry, RegScriptError* error);
