// Helpers for the tool tests: running programs, reading ffprobe output and
// walking MP4 boxes without the tool's own parser.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace tooltest {

struct RunResult {
    int code;
    std::string out;  // stdout and stderr
};

inline RunResult Shell(const std::string& cmd) {
    RunResult r{-1, {}};
    FILE* p = popen((cmd + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

inline std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline bool Exists(const std::string& path) { return std::ifstream(path).good(); }

inline std::string Mkclip() { return std::string(DC_BINARY_DIR) + "/tools/mkclip/mkclip"; }

using Fields = std::map<std::string, std::string>;

// ffprobe -of compact sections of one kind ("stream", "packet"). A packet's
// data dump is the last field and is kept whole under "data".
inline std::vector<Fields> ProbeSections(const std::string& out, const std::string& kind) {
    std::vector<Fields> v;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, kind.size() + 1, kind + "|") != 0) continue;
        Fields f;
        size_t at = kind.size() + 1;
        while (at < line.size()) {
            size_t eq = line.find('=', at);
            if (eq == std::string::npos) break;
            std::string key = line.substr(at, eq - at);
            if (key == "data") {
                f[key] = line.substr(eq + 1);
                break;
            }
            size_t bar = line.find('|', eq);
            if (bar == std::string::npos) bar = line.size();
            f[key] = line.substr(eq + 1, bar - eq - 1);
            at = bar + 1;
        }
        v.push_back(f);
    }
    return v;
}

// Bytes of an ffprobe -show_data hex dump ("\n"-separated lines of
// "offset: hhhh hhhh ...  ascii").
inline std::vector<uint8_t> DumpBytes(const std::string& data) {
    std::vector<uint8_t> b;
    size_t at = 0;
    while ((at = data.find("\\n", at)) != std::string::npos) {
        at += 2;
        if (at + 10 > data.size() || data[at + 8] != ':') continue;
        std::string hex = data.substr(at + 10, 39);
        std::string digits;
        for (char c : hex)
            if (c != ' ') digits += c;
        for (size_t i = 0; i + 1 < digits.size(); i += 2)
            b.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return b;
}

inline uint32_t Be16(const std::vector<uint8_t>& f, size_t at) {
    return (uint32_t(f[at]) << 8) | f[at + 1];
}
inline uint32_t Be32(const std::vector<uint8_t>& f, size_t at) {
    return (Be16(f, at) << 16) | Be16(f, at + 2);
}

struct Box {
    std::string path;  // "moov/trak/mdia/hdlr"
    size_t at, size;   // header position and size
    size_t body() const { return at + 8; }
};

// Bytes before the child boxes of a container (sample entries hold fields
// first); -1 for boxes that are not walked into.
inline int ChildrenAt(const std::string& type) {
    static const std::map<std::string, int> skip = {
        {"moov", 0},  {"trak", 0},  {"edts", 0},  {"mdia", 0},  {"minf", 0},
        {"dinf", 0},  {"stbl", 0},  {"stsd", 8},  {"dref", 8},  {"mp4v", 78},
        {"s263", 78}, {"I420", 78}, {"mp4a", 28}, {"sowt", 28}, {"mp4s", 8}};
    auto it = skip.find(type);
    return it == skip.end() ? -1 : it->second;
}

// Every box of [from, to); false when one does not fit its parent.
inline bool WalkBoxes(const std::vector<uint8_t>& f, size_t from, size_t to,
                      const std::string& prefix, std::vector<Box>* out) {
    size_t at = from;
    while (at < to) {
        if (to - at < 8) return false;
        uint32_t size = Be32(f, at);
        if (size < 8 || size > to - at) return false;
        std::string type(reinterpret_cast<const char*>(&f[at + 4]), 4);
        std::string path = prefix.empty() ? type : prefix + "/" + type;
        out->push_back({path, at, size});
        int skip = ChildrenAt(type);
        if (skip >= 0 && !WalkBoxes(f, at + 8 + skip, at + size, path, out)) return false;
        at += size;
    }
    return true;
}

inline std::vector<const Box*> FindAll(const std::vector<Box>& boxes, const std::string& path) {
    std::vector<const Box*> v;
    for (const Box& b : boxes)
        if (b.path == path) v.push_back(&b);
    return v;
}

}  // namespace tooltest
