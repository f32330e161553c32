// The program's resource sources, read as text: every dialog control must
// be one the skinned dialog turns into the kind its dialog expects (by the
// same classification the dialog runs on the live window), the string table
// must hold 101 to 145 but 113 with texts that survive code page 949, every
// bitmap must be drawn by the image recipe as a strip of the frames its
// control cuts it into, and the registration script must register and
// unregister as the program's server needs.
#include <iconv.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ThemeClass/ThemeKinds.h"
#include "app/style_preset.h"
#include "app/reg_script.h"
#include "memory_registry.h"
#include "quorvel_res_expect.h"

namespace {

std::string ReadText(const std::string& rel) {
    std::ifstream in(std::string(DC_SOURCE_DIR) + "/" + rel, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    const size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

// The #defines of resource.h.
std::map<std::string, long> Defines() {
    std::map<std::string, long> d;
    for (const std::string& line : Lines(ReadText("app/res/resource.h"))) {
        std::istringstream in(line);
        std::string hash, name, value;
        if (!(in >> hash >> name >> value) || hash != "#define") continue;
        d[name] = std::strtol(value.c_str(), nullptr, 0);
    }
    return d;
}

// Window and control style names the templates may use (the system's values).
const std::map<std::string, uint32_t>& StyleNames() {
    static const std::map<std::string, uint32_t> names = {
        {"WS_CHILD", 0x40000000},
        {"WS_VISIBLE", 0x10000000},
        {"WS_DISABLED", 0x08000000},
        {"WS_BORDER", 0x00800000},
        {"WS_VSCROLL", 0x00200000},
        {"WS_GROUP", 0x00020000},
        {"WS_TABSTOP", 0x00010000},
        {"BS_PUSHBUTTON", 0},
        {"BS_DEFPUSHBUTTON", 1},
        {"BS_GROUPBOX", 7},
        {"BS_AUTORADIOBUTTON", 9},
        {"BS_PUSHLIKE", 0x1000},
        {"BS_MULTILINE", 0x2000},
        {"SS_LEFT", 0},
        {"SS_CENTER", 1},
        {"SS_ICON", 3},
        {"SS_NOPREFIX", 0x80},
        {"SS_NOTIFY", 0x100},
        {"ES_AUTOHSCROLL", 0x80},
        {"CBS_DROPDOWNLIST", 3},
        {"TBS_HORZ", 0},
        {"TBS_NOTICKS", 0x10},
        {"LVS_REPORT", 1},
        {"LVS_SINGLESEL", 4},
        {"LVS_SHOWSELALWAYS", 8},
    };
    return names;
}

// Fields of a line split at commas outside quotes.
std::vector<std::string> Fields(const std::string& s) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (char c : s) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted)
            out.emplace_back();
        else
            out.back() += c;
    }
    for (auto& f : out) f = Trim(f);
    return out;
}

std::string Unquote(const std::string& s) {
    std::string out;
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') return s;
    for (size_t i = 1; i + 1 < s.size(); ++i) {
        if (s[i] == '"' && s[i + 1] == '"') {
            out += '"';
            ++i;
        } else if (s[i] == '\\' && s[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

struct Control {
    unsigned dialog = 0;
    unsigned id = 0;
    std::string text, cls;
    uint32_t style = 0;
    std::string line;
};
struct Dialog {
    unsigned id = 0;
    int width = 0, height = 0;
};

// A style expression as windres reads it for a CONTROL: WS_CHILD |
// WS_VISIBLE, the bits named, less the bits after NOT.
bool EvalStyle(const std::string& expr, uint32_t* style, std::string* why) {
    uint32_t on = 0x40000000 | 0x10000000, off = 0;
    std::istringstream in(expr);
    std::string word;
    bool negate = false;
    while (in >> word) {
        if (word == "|") continue;
        if (word == "NOT") {
            negate = true;
            continue;
        }
        auto it = StyleNames().find(word);
        if (it == StyleNames().end()) {
            *why = "unknown style name " + word;
            return false;
        }
        (negate ? off : on) |= it->second;
        negate = false;
    }
    *style = on & ~off;
    return true;
}

struct RcFile {
    std::vector<Dialog> dialogs;
    std::vector<Control> controls;
    std::map<unsigned, std::string> strings;
    std::map<unsigned, std::string> bitmaps;  // id -> file
    std::vector<std::string> faults;
};

RcFile ParseRc() {
    RcFile rc;
    const auto defs = Defines();
    auto idOf = [&](const std::string& name, unsigned* id) {
        if (name == "IDOK") {
            *id = 1;
            return true;
        }
        auto it = defs.find(name);
        if (it == defs.end()) return false;
        *id = static_cast<unsigned>(it->second);
        return true;
    };
    enum { Top, DialogHead, DialogBody, Strings } state = Top;
    unsigned dialog = 0;
    for (const std::string& raw : Lines(ReadText("app/res/Quorvel.rc"))) {
        const std::string line = Trim(raw);
        if (line.empty() || line.compare(0, 2, "//") == 0) continue;
        std::istringstream in(line);
        std::string w0, w1;
        in >> w0 >> w1;
        if (state == Top) {
            unsigned id = 0;
            if (w1 == "DIALOGEX") {
                const auto f = Fields(line.substr(line.find("DIALOGEX") + 8));
                if (!idOf(w0, &id) || f.size() != 4) {
                    rc.faults.push_back("bad dialog line: " + line);
                    continue;
                }
                rc.dialogs.push_back({id, std::atoi(f[2].c_str()), std::atoi(f[3].c_str())});
                dialog = id;
                state = DialogHead;
            } else if (w1 == "BITMAP") {
                if (!idOf(w0, &id))
                    rc.faults.push_back("bitmap without an id: " + line);
                else
                    rc.bitmaps[id] = Unquote(Trim(line.substr(line.find("BITMAP") + 6)));
            } else if (w0 == "STRINGTABLE") {
                state = Strings;
            }
        } else if (state == DialogHead) {
            if (w0 == "BEGIN") state = DialogBody;
        } else if (state == DialogBody) {
            if (w0 == "END") {
                state = Top;
                continue;
            }
            if (w0 != "CONTROL") {
                rc.faults.push_back("not a CONTROL line: " + line);
                continue;
            }
            const auto f = Fields(line.substr(7));
            Control c;
            c.dialog = dialog;
            c.line = line;
            std::string why;
            if (f.size() != 8 || !idOf(f[1], &c.id) || !EvalStyle(f[3], &c.style, &why)) {
                rc.faults.push_back("bad control line (" + why + "): " + line);
                continue;
            }
            c.text = Unquote(f[0]);
            c.cls = Unquote(f[2]);
            rc.controls.push_back(c);
        } else if (state == Strings) {
            if (w0 == "BEGIN") continue;
            if (w0 == "END") {
                state = Top;
                continue;
            }
            unsigned id = 0;
            const size_t q = line.find('"');
            if (!idOf(w0, &id) || q == std::string::npos) {
                rc.faults.push_back("bad string line: " + line);
                continue;
            }
            if (rc.strings.count(id)) rc.faults.push_back("string twice: " + line);
            rc.strings[id] = Unquote(line.substr(q));
        }
    }
    return rc;
}

// The text in code page 949, or "" with *ok false when it has no such form.
std::string ToCp949(const std::string& utf8, bool* ok) {
    iconv_t cd = iconv_open("CP949", "UTF-8");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* o = &out[0];
    size_t outLeft = out.size();
    const size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    *ok = r != static_cast<size_t>(-1) && inLeft == 0;
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

TEST(QuorvelRc, EveryLineIsUnderstood) {
    const RcFile rc = ParseRc();
    for (const auto& f : rc.faults) ADD_FAILURE() << f;
    EXPECT_FALSE(rc.controls.empty());
}

TEST(QuorvelRc, DialogsHoldTheExpectedControlsOfTheExpectedKinds) {
    const RcFile rc = ParseRc();
    std::map<std::pair<unsigned, unsigned>, const Control*> found;
    for (const Control& c : rc.controls) {
        const auto key = std::make_pair(c.dialog, c.id);
        EXPECT_EQ(found.count(key), 0u) << "id twice in a dialog: " << c.line;
        found[key] = &c;
    }
    for (const auto& e : quorvelres::kExpectedControls) {
        SCOPED_TRACE("dialog " + std::to_string(e.dialog) + " control " + std::to_string(e.id));
        auto it = found.find({e.dialog, e.id});
        ASSERT_NE(it, found.end()) << "missing";
        EXPECT_EQ(skin::ClassifyControl(it->second->cls.c_str(), it->second->style), e.kind)
            << it->second->line;
        found.erase(it);
    }
    for (const auto& left : found)
        ADD_FAILURE() << "a control no dialog expects: " << left.second->line;
}

TEST(QuorvelRc, DialogSizes) {
    const RcFile rc = ParseRc();
    for (const auto& e : quorvelres::kExpectedDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(e.id));
        const Dialog* d = nullptr;
        for (const auto& x : rc.dialogs)
            if (x.id == e.id) d = &x;
        ASSERT_NE(d, nullptr);
        if (e.width) {
            EXPECT_EQ(d->width, e.width);
        }
        if (e.height) {
            EXPECT_EQ(d->height, e.height);
        }
    }
    EXPECT_EQ(rc.dialogs.size(),
              sizeof quorvelres::kExpectedDialogs / sizeof quorvelres::kExpectedDialogs[0]);
}

TEST(QuorvelRc, StringTableHolds101To145But113InCodePage949) {
    const RcFile rc = ParseRc();
    for (unsigned id = 101; id <= 145; ++id) {
        SCOPED_TRACE("string " + std::to_string(id));
        auto it = rc.strings.find(id);
        if (id == 113) {
            EXPECT_EQ(it, rc.strings.end());
            continue;
        }
        ASSERT_NE(it, rc.strings.end());
        EXPECT_FALSE(it->second.empty());
        bool ok = false;
        ToCp949(it->second, &ok);
        EXPECT_TRUE(ok) << "no code page 949 form: " << it->second;
    }
    EXPECT_EQ(rc.strings.size(), 44u);
    for (const auto& e : quorvelres::kExpectedStrings) {
        auto it = rc.strings.find(e.id);
        ASSERT_NE(it, rc.strings.end()) << e.id;
        EXPECT_EQ(it->second, e.text) << "string " << e.id;
    }
}

TEST(QuorvelRc, BitmapsAreTheRecipesStripsWithTheFramesTheirControlsCut) {
    const RcFile rc = ParseRc();
    // The recipe's bmp lines: name -> width, height, frames.
    struct Drawn {
        int w, h, frames;
    };
    std::map<std::string, Drawn> drawn;
    for (const std::string& line : Lines(ReadText("app/res/images.txt"))) {
        std::istringstream in(line);
        std::string cmd, name;
        int w = 0, h = 0;
        if (!(in >> cmd >> name >> w >> h) || cmd != "bmp") continue;
        int frames = 1;
        std::string opt;
        while (in >> opt)
            if (opt.compare(0, 7, "frames=") == 0) frames = std::atoi(opt.c_str() + 7);
        drawn[name] = {w * frames, h, frames};
    }
    std::set<unsigned> ids;
    for (int i = 0; i < stylepreset::kPresetImageCount; ++i) {
        const auto& img = stylepreset::kPresetImages[i];
        SCOPED_TRACE(std::string("bitmap ") + std::to_string(img.id) + ", " + img.use);
        ids.insert(img.id);
        auto file = rc.bitmaps.find(img.id);
        ASSERT_NE(file, rc.bitmaps.end()) << "not in Quorvel.rc";
        auto d = drawn.find(file->second);
        ASSERT_NE(d, drawn.end()) << file->second << " is not drawn by the recipe";
        EXPECT_EQ(d->second.frames, img.frames);
        EXPECT_EQ(d->second.w % img.frames, 0);
        for (const auto& s : quorvelres::kExpectedBitmapSizes) {
            if (s.id != img.id) continue;
            EXPECT_GE(d->second.w, s.minWidth);
            EXPECT_GE(d->second.h, s.minHeight);
            if (s.exactWidth) {
                EXPECT_EQ(d->second.w, s.exactWidth);
            }
            if (s.exactHeight) {
                EXPECT_EQ(d->second.h, s.exactHeight);
            }
        }
    }
    for (unsigned id : {132u, 139u, 140u, 141u, 142u, 144u, 148u, 151u, 152u, 153u, 154u, 155u,
                        156u, 157u, 162u, 170u})
        EXPECT_EQ(ids.count(id), 1u) << id;
    EXPECT_EQ(rc.bitmaps.size(), ids.size());
    EXPECT_EQ(stylepreset::FramesOfImage(999), 0);
}

TEST(QuorvelRc, RegistrationScriptKeepsTheAppIdRoot) {
    const std::string script = ReadText("app/res/Quorvel.rgs");
    const RegScriptVariables vars = {{"MODULE", "C:\\Quorvel\\Quorvel.exe"}};
    std::vector<RegScriptRoot> roots;
    RegScriptError error;
    ASSERT_TRUE(RegScript_Parse(script.data(), script.size(), vars, &roots, &error))
        << error.line << ": " << error.message;
    ASSERT_EQ(roots.size(), 1u);
    EXPECT_EQ(roots[0].root, RegRoot::ClassesRoot);
    ASSERT_EQ(roots[0].keys.size(), 1u);
    const RegScriptKey& appId = roots[0].keys[0];
    EXPECT_EQ(appId.name, "AppID");
    EXPECT_EQ(appId.flag, RegScriptKey::NoRemove);
    ASSERT_EQ(appId.keys.size(), 2u);
    const std::string guid = appId.keys[0].name;
    // A GUID in braces: 8-4-4-4-12 hex digits.
    ASSERT_EQ(guid.size(), 38u);
    for (size_t i = 0; i < guid.size(); ++i) {
        const char c = guid[i];
        if (i == 0)
            EXPECT_EQ(c, '{');
        else if (i == 37)
            EXPECT_EQ(c, '}');
        else if (i == 9 || i == 14 || i == 19 || i == 24)
            EXPECT_EQ(c, '-');
        else
            EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(c))) << guid;
    }
    EXPECT_TRUE(appId.keys[0].hasDefault);
    EXPECT_EQ(appId.keys[0].defaultText, "Quorvel");
    EXPECT_EQ(appId.keys[1].name, "Quorvel.EXE");
    ASSERT_EQ(appId.keys[1].values.size(), 1u);
    EXPECT_EQ(appId.keys[1].values[0].name, "AppID");
    EXPECT_EQ(appId.keys[1].values[0].text, guid);

    MemoryRegistry reg;
    reg.CreateKey(RegRoot::ClassesRoot, "AppID\\{00000000-0000-0000-0000-000000000001}");
    ASSERT_TRUE(RegScript_Update(script.data(), script.size(), vars, true, reg, &error));
    EXPECT_TRUE(reg.KeyExists(RegRoot::ClassesRoot, "AppID\\" + guid));
    EXPECT_EQ(reg.keys[MemoryRegistry::KeyOf(RegRoot::ClassesRoot, "AppID\\Quorvel.EXE")]["appid"],
              guid);
    ASSERT_TRUE(RegScript_Update(script.data(), script.size(), vars, false, reg, &error));
    EXPECT_FALSE(reg.KeyExists(RegRoot::ClassesRoot, "AppID\\" + guid));
    EXPECT_FALSE(reg.KeyExists(RegRoot::ClassesRoot, "AppID\\Quorvel.EXE"));
    EXPECT_TRUE(reg.KeyExists(RegRoot::ClassesRoot, "AppID"));
    EXPECT_TRUE(
        reg.KeyExists(RegRoot::ClassesRoot, "AppID\\{00000000-0000-0000-0000-000000000001}"));
}
