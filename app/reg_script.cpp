#include "app/reg_script.h"

#include <cstring>

namespace {

bool SameNoCase(const std::string& a, const char* b) {
    const size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

struct Token {
    enum Kind { End, Open, Close, Equals, Word, Quoted } kind = End;
    std::string text;
    int line = 1;
};

class Parser {
public:
    Parser(const char* text, size_t length, const RegScriptVariables& vars, RegScriptError* error)
        : m_p(text), m_end(text + length), m_vars(vars), m_error(error) {}

    bool Script(std::vector<RegScriptRoot>* out) {
        for (;;) {
            Token t;
            if (!Next(&t)) return false;
            if (t.kind == Token::End) return true;
            if (t.kind != Token::Word) return Fail(RegScriptStatus::Syntax, t.line, "root key");
            RegScriptRoot root;
            if (!RootOf(t.text, &root.root))
                return Fail(RegScriptStatus::UnknownRoot, t.line, "unknown root key " + t.text);
            Token open;
            if (!Next(&open)) return false;
            if (open.kind != Token::Open) return Fail(RegScriptStatus::Syntax, open.line, "'{'");
            if (!Body(&root.keys, nullptr, 1, open.line)) return false;
            out->push_back(std::move(root));
        }
    }

private:
    static bool RootOf(const std::string& w, RegRoot* root) {
        if (SameNoCase(w, "HKCR") || SameNoCase(w, "HKEY_CLASSES_ROOT"))
            *root = RegRoot::ClassesRoot;
        else if (SameNoCase(w, "HKCU") || SameNoCase(w, "HKEY_CURRENT_USER"))
            *root = RegRoot::CurrentUser;
        else if (SameNoCase(w, "HKLM") || SameNoCase(w, "HKEY_LOCAL_MACHINE"))
            *root = RegRoot::LocalMachine;
        else
            return false;
        return true;
    }

    // Keys (and, inside a key, named values) up to the closing brace.
    bool Body(std::vector<RegScriptKey>* keys, std::vector<RegScriptValue>* values, int depth,
              int openLine) {
        if (depth > REGSCRIPT_MAX_DEPTH)
            return Fail(RegScriptStatus::TooDeep, openLine, "keys nested too deep");
        for (;;) {
            Token t;
            if (!Next(&t)) return false;
            if (t.kind == Token::Close) return true;
            if (t.kind == Token::End)
                return Fail(RegScriptStatus::Unterminated, openLine, "'{' without '}'");
            if (t.kind == Token::Word && values && SameNoCase(t.text, "val")) {
                RegScriptValue v;
                Token name;
                if (!Next(&name)) return false;
                if (name.kind != Token::Word && name.kind != Token::Quoted)
                    return Fail(RegScriptStatus::Syntax, name.line, "value name");
                if (name.text.empty() || name.text.size() > size_t(REGSCRIPT_MAX_NAME))
                    return Fail(RegScriptStatus::BadName, name.line, "bad value name");
                v.name = name.text;
                if (!Assignment(&v.text)) return false;
                values->push_back(std::move(v));
                continue;
            }
            RegScriptKey key;
            if (t.kind == Token::Word && SameNoCase(t.text, "NoRemove")) {
                key.flag = RegScriptKey::NoRemove;
                if (!Next(&t)) return false;
            } else if (t.kind == Token::Word && SameNoCase(t.text, "ForceRemove")) {
                key.flag = RegScriptKey::ForceRemove;
                if (!Next(&t)) return false;
            }
            if (t.kind != Token::Word && t.kind != Token::Quoted)
                return Fail(RegScriptStatus::Syntax, t.line, "key name");
            if (t.kind == Token::Word &&
                (SameNoCase(t.text, "NoRemove") || SameNoCase(t.text, "ForceRemove") ||
                 SameNoCase(t.text, "Delete") || SameNoCase(t.text, "val")))
                return Fail(RegScriptStatus::Syntax, t.line, "key name, not " + t.text);
            if (t.text.empty() || t.text.size() > size_t(REGSCRIPT_MAX_NAME) ||
                t.text.find('\\') != std::string::npos)
                return Fail(RegScriptStatus::BadName, t.line, "bad key name");
            key.name = t.text;
            // "= s 'text'" and/or a body.
            Token after;
            if (!Peek(&after)) return false;
            if (after.kind == Token::Equals) {
                if (!Assignment(&key.defaultText)) return false;
                key.hasDefault = true;
                if (!Peek(&after)) return false;
            }
            if (after.kind == Token::Open) {
                Next(&after);
                if (!Body(&key.keys, &key.values, depth + 1, after.line)) return false;
            }
            keys->push_back(std::move(key));
        }
    }

    // "= s 'text'".
    bool Assignment(std::string* text) {
        Token eq, type, value;
        if (!Next(&eq)) return false;
        if (eq.kind != Token::Equals) return Fail(RegScriptStatus::Syntax, eq.line, "'='");
        if (!Next(&type)) return false;
        if (type.kind != Token::Word) return Fail(RegScriptStatus::Syntax, type.line, "type");
        if (!SameNoCase(type.text, "s"))
            return Fail(RegScriptStatus::UnsupportedType, type.line,
                        "value type " + type.text + " is not taken");
        if (!Next(&value)) return false;
        if (value.kind != Token::Quoted)
            return Fail(RegScriptStatus::Syntax, value.line, "quoted text");
        *text = value.text;
        return true;
    }

    bool Peek(Token* t) {
        const char* p = m_p;
        const int line = m_line;
        const bool ok = Next(t);
        m_p = p;
        m_line = line;
        return ok;
    }

    bool Next(Token* t) {
        while (m_p < m_end &&
               (*m_p == ' ' || *m_p == '\t' || *m_p == '\r' || *m_p == '\n' || *m_p == '\0')) {
            if (*m_p == '\n') ++m_line;
            ++m_p;
        }
        t->line = m_line;
        t->text.clear();
        if (m_p == m_end) {
            t->kind = Token::End;
            return true;
        }
        const char c = *m_p;
        if (c == '{' || c == '}' || c == '=') {
            t->kind = c == '{' ? Token::Open : c == '}' ? Token::Close : Token::Equals;
            ++m_p;
            return true;
        }
        std::string raw;
        if (c == '\'') {
            t->kind = Token::Quoted;
            ++m_p;
            for (;;) {
                if (m_p == m_end || *m_p == '\n' || *m_p == '\r')
                    return Fail(RegScriptStatus::Unterminated, t->line, "quote without its end");
                if (*m_p == '\'') {
                    if (m_p + 1 < m_end && m_p[1] == '\'') {
                        raw += '\'';
                        m_p += 2;
                        continue;
                    }
                    ++m_p;
                    break;
                }
                raw += *m_p++;
            }
        } else {
            t->kind = Token::Word;
            while (m_p < m_end && *m_p != ' ' && *m_p != '\t' && *m_p != '\r' && *m_p != '\n' &&
                   *m_p != '\0' && *m_p != '{' && *m_p != '}' && *m_p != '=' && *m_p != '\'')
                raw += *m_p++;
        }
        return Expand(raw, t->line, &t->text);
    }

    bool Expand(const std::string& raw, int line, std::string* out) {
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '%') {
                *out += raw[i];
                continue;
            }
            const size_t close = raw.find('%', i + 1);
            if (close == std::string::npos)
                return Fail(RegScriptStatus::UnknownVariable, line, "'%' without its end");
            const std::string name = raw.substr(i + 1, close - i - 1);
            if (name.empty()) {
                *out += '%';
            } else {
                bool found = false;
                for (const auto& v : m_vars) {
                    if (SameNoCase(name, v.first.c_str())) {
                        *out += v.second;
                        found = true;
                        break;
                    }
                }
                if (!found) return Fail(RegScriptStatus::UnknownVariable, line, "%" + name + "%");
            }
            i = close;
        }
        return true;
    }

    bool Fail(RegScriptStatus status, int line, const std::string& what) {
        if (m_error->status == RegScriptStatus::Ok) {
            m_error->status = status;
            m_error->line = line;
            m_error->message = what;
        }
        return false;
    }

    const char* m_p;
    const char* m_end;
    int m_line = 1;
    const RegScriptVariables& m_vars;
    RegScriptError* m_error;
};

class Runner {
public:
    Runner(RegistryBackend& registry, RegScriptError* error) : m_reg(registry), m_error(error) {}

    bool Register(RegRoot root, const std::string& parent, const RegScriptKey& key) {
        const std::string path = Join(parent, key.name);
        if (key.flag == RegScriptKey::ForceRemove && m_reg.KeyExists(root, path) &&
            !m_reg.DeleteTree(root, path))
            return Fail("cannot remove " + path);
        if (!m_reg.CreateKey(root, path)) return Fail("cannot create " + path);
        if (key.hasDefault && !m_reg.SetString(root, path, std::string(), key.defaultText))
            return Fail("cannot set the default value of " + path);
        for (const RegScriptValue& v : key.values)
            if (!m_reg.SetString(root, path, v.name, v.text))
                return Fail("cannot set " + path + " " + v.name);
        for (const RegScriptKey& k : key.keys)
            if (!Register(root, path, k)) return false;
        return true;
    }

    bool Unregister(RegRoot root, const std::string& parent, const RegScriptKey& key) {
        const std::string path = Join(parent, key.name);
        if (!m_reg.KeyExists(root, path)) return true;
        if (key.flag != RegScriptKey::NoRemove) {
            if (!m_reg.DeleteTree(root, path)) return Fail("cannot remove " + path);
            return true;
        }
        for (const RegScriptValue& v : key.values)
            if (!m_reg.DeleteValue(root, path, v.name))
                return Fail("cannot remove " + path + " " + v.name);
        for (const RegScriptKey& k : key.keys)
            if (!Unregister(root, path, k)) return false;
        return true;
    }

private:
    static std::string Join(const std::string& parent, const std::string& name) {
        return parent.empty() ? name : parent + "\\" + name;
    }

    bool Fail(const std::string& what) {
        m_error->status = RegScriptStatus::RegistryFailed;
        m_error->line = 0;
        m_error->message = what;
        return false;
    }

    RegistryBackend& m_reg;
    RegScriptError* m_error;
};

}  // namespace

bool RegScript_Parse(const char* text, size_t length, const RegScriptVariables& variables,
                     std::vector<RegScriptRoot>* out, RegScriptError* error) {
    RegScriptError local;
    RegScriptError* e = error ? error : &local;
    *e = RegScriptError();
    out->clear();
    if (!text) length = 0;
    Parser parser(text ? text : "", length, variables, e);
    if (!parser.Script(out)) {
        out->clear();
        return false;
    }
    return true;
}

bool RegScript_Run(const std::vector<RegScriptRoot>& script, bool registering,
                   RegistryBackend& registry, RegScriptError* error) {
    RegScriptError local;
    RegScriptError* e = error ? error : &local;
    *e = RegScriptError();
    Runner runner(registry, e);
    for (const RegScriptRoot& root : script)
        for (const RegScriptKey& key : root.keys)
            if (!(registering ? runner.Register(root.root, std::string(), key)
                              : runner.Unregister(root.root, std::string(), key)))
                return false;
    return true;
}

bool RegScript_Update(const char* text, size_t length, const RegScriptVariables& variables,
                      bool registering, RegistryBackend& registry, RegScriptError* error) {
    std::vector<RegScriptRoot> script;
    if (!RegScript_Parse(text, length, variables, &script, error)) return false;
    return RegScript_Run(script, registering, registry, error);
}
