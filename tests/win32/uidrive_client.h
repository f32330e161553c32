// Runs uidrive from a window test and reads its key=value answers.
#pragma once

#include <windows.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string WinePath(const std::string& unixPath) {
    std::string s = "Z:" + unixPath;
    for (auto& c : s)
        if (c == '/') c = '\\';
    return s;
}

std::string Uidrive() {
    return WinePath(std::string(DC_BINARY_DIR) + "/tools/uidrive/uidrive.exe");
}

struct Result {
    int code = -1;
    std::string out;
};

// Runs uidrive with args, collecting its standard output.
Result Drive(const std::string& args) {
    Result r;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return r;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::string cmd = "\"" + Uidrive() + "\" " + args;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        return r;
    }
    CloseHandle(writeEnd);
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n > 0) r.out.append(buf, n);
    CloseHandle(readEnd);
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    r.code = static_cast<int>(code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return r;
}

std::vector<std::string> Lines(const std::string& s) {
    std::vector<std::string> v;
    std::istringstream in(s);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) v.push_back(line);
    }
    return v;
}

// key=value words of a line; text= takes the rest of the line.
std::map<std::string, std::string> Fields(const std::string& line) {
    std::map<std::string, std::string> f;
    size_t at = 0;
    while (at < line.size()) {
        size_t eq = line.find('=', at);
        if (eq == std::string::npos) break;
        std::string key = line.substr(at, eq - at);
        if (key == "text") {
            f[key] = line.substr(eq + 1);
            break;
        }
        size_t sp = line.find(' ', eq);
        f[key] = line.substr(eq + 1, sp == std::string::npos ? std::string::npos : sp - eq - 1);
        if (sp == std::string::npos) break;
        at = sp + 1;
    }
    return f;
}

std::string Value(const std::string& out, const std::string& key) {
    for (const auto& l : Lines(out)) {
        auto f = Fields(l);
        if (f.count(key)) return f[key];
    }
    return "<none>";
}

}  // namespace
