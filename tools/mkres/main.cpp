// mkres: draws the images the program and its tests use, the same bytes on
// every run. See Usage below.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/mkres/images.h"

namespace {

const char kUsage[] =
    "usage: mkres [--outdir DIR] COMMAND ARGS...\n"
    "       mkres [--outdir DIR] --recipe FILE\n"
    "\n"
    "A recipe holds one command per line; blank lines and lines starting with #\n"
    "are skipped. Output names are relative to --outdir (default: current folder).\n"
    "Colours are RRGGBB in hex.\n"
    "\n"
    "  bmp NAME W H [frames=N] [face=F] [color=RRGGBB] [round=R]\n"
    "      24-bit BMP strip of N (1-4, default 1) state frames of W x H side by\n"
    "      side: normal, hover, pressed, disabled. Each is a rounded body on the\n"
    "      key colour FF00FF with face F drawn in white: plain, play, pause, stop,\n"
    "      circle, cross, minus, next, eject, rewind, forward, speaker, mute,\n"
    "      grid, dial (default plain). color: the normal body colour (3C78B4).\n"
    "      round: the corner radius in pixels (default a fifth of the smaller\n"
    "      side; 0 gives square corners and no key colour at all).\n"
    "  ico NAME SIZE[,SIZE...] [color=RRGGBB]\n"
    "      ICO with one 24-bit image and AND mask per size: a disc with a white\n"
    "      bar, transparent outside the disc.\n"
    "  gif NAME W H [colors=N] [global=0|1] [loop=N] [bg=I] [comment=TEXT] FRAME...\n"
    "      GIF89a of screen W x H with a global table of N colours (default 8;\n"
    "      global=0 leaves it out), a Netscape loop block when loop= is given, a\n"
    "      comment block before the first frame when comment= is given, then one\n"
    "      block group per FRAME:\n"
    "      frame:KEY=VAL,KEY=VAL...  keys:\n"
    "        x, y, w, h     place and size on the screen (w, h default: the screen)\n"
    "        delay=D        hundredths of a second (default 10)\n"
    "        dispose=M      disposal method 0-3 (default 0)\n"
    "        trans=I        transparent colour index\n"
    "        gce=0          no graphic control extension\n"
    "        local=N        a local colour table of N colours\n"
    "        fill=I | checker=I/J | bars | noise=SEED   the pixels (default fill=1)\n"
    "        note=TEXT      a comment block between the control block and the image\n"
    "        text=1         a plain-text extension instead of the image\n"
    "      Table colours 0-7: black, white, red, green, blue, yellow, cyan,\n"
    "      orange; a local table has darker colours.\n"
    "\n"
    "Exit codes: 0 done, 1 bad command or value, 2 cannot write the output.\n";

bool ParseInt(const std::string& s, int lo, int hi, int* v) {
    if (s.empty()) return false;
    char* end = nullptr;
    long n = std::strtol(s.c_str(), &end, 10);
    if (*end || n < lo || n > hi) return false;
    *v = static_cast<int>(n);
    return true;
}

bool ParseColor(const std::string& s, uint32_t* c) {
    if (s.size() != 6) return false;
    char* end = nullptr;
    unsigned long v = std::strtoul(s.c_str(), &end, 16);
    if (*end) return false;
    *c = static_cast<uint32_t>(v);
    return true;
}

bool Split(const std::string& kv, std::string* k, std::string* v) {
    size_t eq = kv.find('=');
    if (eq == std::string::npos) return false;
    *k = kv.substr(0, eq);
    *v = kv.substr(eq + 1);
    return true;
}

struct Failure {
    int code;
    std::string what;
};

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

void Bad(const std::string& what) { throw Failure{1, what}; }

int Int(const std::string& key, const std::string& v, int lo, int hi) {
    int n = 0;
    if (!ParseInt(v, lo, hi, &n))
        Bad(key + ": expected a number in " + std::to_string(lo) + ".." + std::to_string(hi) +
            ", got '" + v + "'");
    return n;
}

mkres::GifFrame ParseFrame(const std::string& word, const mkres::GifRecipe& gif) {
    mkres::GifFrame f;
    std::stringstream in(word.substr(6));
    std::string item;
    while (std::getline(in, item, ',')) {
        std::string k, v;
        if (item == "bars")
            k = item;
        else if (!Split(item, &k, &v))
            Bad("frame: expected KEY=VALUE, got '" + item + "'");
        if (k == "x")
            f.x = Int(k, v, 0, 65535);
        else if (k == "y")
            f.y = Int(k, v, 0, 65535);
        else if (k == "w")
            f.w = Int(k, v, 1, 65535);
        else if (k == "h")
            f.h = Int(k, v, 1, 65535);
        else if (k == "delay")
            f.delay = Int(k, v, 0, 65535);
        else if (k == "dispose")
            f.dispose = Int(k, v, 0, 7);
        else if (k == "trans")
            f.transparent = Int(k, v, 0, 255);
        else if (k == "gce")
            f.gce = Int(k, v, 0, 1) != 0;
        else if (k == "local")
            f.localColors = Int(k, v, 2, 256);
        else if (k == "fill") {
            f.pattern = mkres::GifFrame::Fill;
            f.a = Int(k, v, 0, 255);
        } else if (k == "bars")
            f.pattern = mkres::GifFrame::Bars;
        else if (k == "noise") {
            f.pattern = mkres::GifFrame::Noise;
            f.a = Int(k, v, 0, 1 << 30);
        } else if (k == "checker") {
            size_t slash = v.find('/');
            if (slash == std::string::npos) Bad("checker: expected I/J");
            f.pattern = mkres::GifFrame::Checker;
            f.a = Int(k, v.substr(0, slash), 0, 255);
            f.b = Int(k, v.substr(slash + 1), 0, 255);
        } else if (k == "note")
            f.note = v;
        else if (k == "text")
            f.plainText = Int(k, v, 0, 1) != 0;
        else
            Bad("frame: unknown key '" + k + "'");
    }
    const int w = f.w ? f.w : gif.width, h = f.h ? f.h : gif.height;
    if (f.x + w > gif.width || f.y + h > gif.height) Bad("frame: " + word + " leaves the screen");
    if (!f.localColors && !gif.globalTable) Bad("frame: no colour table (global=0 and no local=)");
    return f;
}

void Run(const std::vector<std::string>& a, const std::string& outdir) {
    if (a.size() < 2) Bad("expected COMMAND NAME ...");
    const std::string& cmd = a[0];
    const std::string out = outdir.empty() ? a[1] : outdir + "/" + a[1];
    std::vector<uint8_t> bytes;
    if (cmd == "bmp") {
        if (a.size() < 4) Bad("bmp NAME W H ...");
        int w = Int("W", a[2], 1, 4096), h = Int("H", a[3], 1, 4096), frames = 1, round = -1;
        mkres::Face face = mkres::Face::Plain;
        uint32_t color = 0x3C78B4;
        for (size_t i = 4; i < a.size(); ++i) {
            std::string k, v;
            if (!Split(a[i], &k, &v)) Bad("bmp: expected KEY=VALUE, got '" + a[i] + "'");
            if (k == "frames")
                frames = Int(k, v, 1, 4);
            else if (k == "face") {
                if (!mkres::ParseFace(v, &face)) Bad("bmp: unknown face '" + v + "'");
            } else if (k == "color") {
                if (!ParseColor(v, &color)) Bad("bmp: bad colour '" + v + "'");
            } else if (k == "round")
                round = Int(k, v, 0, 2048);
            else
                Bad("bmp: unknown key '" + k + "'");
        }
        bytes = mkres::EncodeBmp24(mkres::DrawStrip(w, h, frames, face, color, round));
    } else if (cmd == "ico") {
        if (a.size() < 3) Bad("ico NAME SIZES ...");
        std::vector<int> sizes;
        std::stringstream in(a[2]);
        std::string s;
        while (std::getline(in, s, ',')) sizes.push_back(Int("SIZE", s, 1, 256));
        uint32_t color = 0x3C78B4;
        for (size_t i = 3; i < a.size(); ++i) {
            std::string k, v;
            if (!Split(a[i], &k, &v) || k != "color" || !ParseColor(v, &color))
                Bad("ico: bad option '" + a[i] + "'");
        }
        bytes = mkres::EncodeIco(sizes, color);
    } else if (cmd == "gif") {
        if (a.size() < 4) Bad("gif NAME W H ...");
        mkres::GifRecipe g;
        g.width = Int("W", a[2], 1, 65535);
        g.height = Int("H", a[3], 1, 65535);
        for (size_t i = 4; i < a.size(); ++i) {
            if (a[i].compare(0, 6, "frame:") == 0) {
                g.frames.push_back(ParseFrame(a[i], g));
                continue;
            }
            std::string k, v;
            if (!Split(a[i], &k, &v))
                Bad("gif: expected KEY=VALUE or frame:..., got '" + a[i] + "'");
            if (k == "colors")
                g.colors = Int(k, v, 2, 256);
            else if (k == "global")
                g.globalTable = Int(k, v, 0, 1) != 0;
            else if (k == "loop")
                g.loop = Int(k, v, 0, 65535);
            else if (k == "bg")
                g.background = Int(k, v, 0, 255);
            else if (k == "comment")
                g.comment = v;
            else
                Bad("gif: unknown key '" + k + "'");
        }
        if (g.frames.empty()) Bad("gif: no frame");
        bytes = mkres::EncodeGif(g);
    } else {
        Bad("unknown command '" + cmd + "'");
    }
    if (!Write(out, bytes)) throw Failure{2, "cannot write " + out};
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> w;
    std::istringstream in(line);
    std::string s;
    while (in >> s) w.push_back(s);
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string outdir, recipe;
    size_t i = 0;
    for (; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (args[i] == "--outdir" && i + 1 < args.size()) {
            outdir = args[++i];
        } else if (args[i] == "--recipe" && i + 1 < args.size()) {
            recipe = args[++i];
        } else {
            break;
        }
    }
    try {
        if (!recipe.empty()) {
            std::ifstream in(recipe);
            if (!in) throw Failure{1, "cannot read " + recipe};
            std::string line;
            int n = 0;
            while (std::getline(in, line)) {
                ++n;
                auto w = Words(line);
                if (w.empty() || w[0][0] == '#') continue;
                try {
                    Run(w, outdir);
                } catch (Failure& f) {
                    f.what = recipe + ":" + std::to_string(n) + ": " + f.what;
                    throw;
                }
            }
            return 0;
        }
        if (i >= args.size()) {
            std::fputs(kUsage, stderr);
            return 1;
        }
        Run(std::vector<std::string>(args.begin() + static_cast<long>(i), args.end()), outdir);
    } catch (const Failure& f) {
        std::fprintf(stderr, "mkres: %s\n", f.what.c_str());
        return f.code;
    }
    return 0;
}
