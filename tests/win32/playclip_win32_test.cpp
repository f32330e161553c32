// playclip on every clip of the sample card: picture and sound, in step.
// Each clip plays for 1.5 seconds (Wine adds under 2 s of start and end)
// through the real wave output and DirectDraw output; playclip reports what
// it measured.
#include <windows.h>
#include <mmsystem.h>

#include <map>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/harness/harness.h"

namespace {

const std::string kCard = std::string(DC_TESTDATA) + "/card/RIVAVEZU";
const char* const kClips[] = {
    "REC_20240315_093000.mp4",           "INFINITE/INFI_20240315_093004.mp4",
    "INFINITE/INFI_20240315_093008.mp4", "INFINITE/INFI_20240315_093011.mp4",
    "EVENT/EVT_20240315_093015.mp4",
};

using uitest::WinePath;

// Runs a command line and returns what it printed (stdout, and stderr too
// with `withErrors`), or "" when it could not start or did not end within
// `ms`. The exit code goes to `exitCode` when given.
std::string RunProgram(std::string cmd, DWORD ms, DWORD* exitCode = nullptr,
                       bool withErrors = false) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return "";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = withErrors ? writeEnd : GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    BOOL ok =
        CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    std::string out;
    if (ok) {
        char buf[4096];
        DWORD n = 0;
        while (ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
        if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) {
            TerminateProcess(pi.hProcess, 1);
            out.clear();
        } else if (exitCode) {
            GetExitCodeProcess(pi.hProcess, exitCode);
        }
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    CloseHandle(readEnd);
    return out;
}

// key=value words of playclip's report.
std::map<std::string, long> Fields(const std::string& out) {
    std::map<std::string, long> f;
    std::istringstream in(out);
    std::string word;
    while (in >> word) {
        size_t eq = word.find('=');
        if (eq != std::string::npos && eq + 1 < word.size() &&
            isdigit(static_cast<unsigned char>(word[eq + 1])))
            f[word.substr(0, eq)] = std::atol(word.c_str() + eq + 1);
    }
    return f;
}

class PlayclipTest : public ::testing::TestWithParam<const char*> {};

TEST_P(PlayclipTest, PictureAndSoundInStep) {
    if (waveOutGetNumDevs() == 0) GTEST_SKIP() << "no wave output device under this Wine";
    const std::string clip = kCard + "/" + GetParam();
    if (GetFileAttributesA(WinePath(clip).c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no sample card (the native tests make it: tools/mkcard)";
    const std::string cmd = "\"" + WinePath(std::string(DC_BINARY_DIR) + "/tools/playclip.exe") +
                            "\" \"" + WinePath(clip) + "\" --seconds 1.5";
    // Pictures are shown from 40 ms before their time; the start, behind the
    // first played-fragment report of the wave output, may be later (the
    // engine shows up to 300 ms late). A loaded machine may hold a picture
    // back once: one more run then decides.
    std::map<std::string, long> f;
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::string out = RunProgram(cmd, 30000);
        ASSERT_FALSE(out.empty()) << "playclip did not run";
        f = Fields(out);
        ASSERT_TRUE(f.count("shown") && f.count("audio_ms") && f.count("steady_max_av_gap_ms"))
            << out;
        if (f["steady_max_av_gap_ms"] <= 40 && f["max_av_gap_ms"] <= 300) break;
        std::printf("playclip %s: %s", GetParam(), out.c_str());
    }
    EXPECT_GT(f["shown"], 8);
    EXPECT_GT(f["audio_ms"], 700) << "the sound played and drove the clock";
    EXPECT_LE(f["steady_max_av_gap_ms"], 40);
    EXPECT_LE(f["max_av_gap_ms"], 300);
}

INSTANTIATE_TEST_SUITE_P(Card, PlayclipTest, ::testing::ValuesIn(kClips));

// Clips the engine cannot play (made by the native clip tests with FFmpeg):
// playclip names the engine's error and exits with 2 instead of waiting out
// its time.
class UnplayableClipTest : public ::testing::TestWithParam<const char*> {};

TEST_P(UnplayableClipTest, PrintsTheErrorAndFails) {
    const std::string clip = std::string(DC_TESTDATA) + "/unplayable/" + GetParam() + ".mp4";
    if (GetFileAttributesA(WinePath(clip).c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no unplayable clips (the native player_clip_mt_test makes them)";
    const std::string cmd = "\"" + WinePath(std::string(DC_BINARY_DIR) + "/tools/playclip.exe") +
                            "\" \"" + WinePath(clip) + "\" --seconds 20";
    DWORD code = 0;
    DWORD start = GetTickCount();
    std::string out = RunProgram(cmd, 60000, &code, true);
    EXPECT_LT(GetTickCount() - start, 15000u) << "playclip waited out its time";
    EXPECT_EQ(2u, code) << out;
    EXPECT_NE(std::string::npos, out.find("Unsupported file")) << out;
    EXPECT_NE(std::string::npos, out.find("0x80000015")) << out;
}

INSTANTIATE_TEST_SUITE_P(Files, UnplayableClipTest,
                         ::testing::Values("cut_off_index", "fragmented",
                                           "fragmented_default_base"));

}  // namespace
