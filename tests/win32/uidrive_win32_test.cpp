// uidrive against a dialog of another process: it lists the controls with
// their ids, classes, styles, rectangles and texts, clicks, posts commands
// and keys, reads and double-clicks list view rows, reads and answers a
// message box, saves a screenshot of the dialog's size and colours, reports
// failures by their exit codes and closes the dialog.
#include <windows.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "uidrive_client.h"
#include "uidrive_target.h"

namespace {

const char kTitle[] = "uidrive target";

std::string TextOf(int id) {
    return Value(
        Drive(std::string("text --title \"") + kTitle + "\" --id " + std::to_string(id)).out,
        "text");
}

std::string T() { return std::string("--title \"") + kTitle + "\""; }

class UidriveTest : public ::testing::Test {
protected:
    void SetUp() override {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::string cmd =
            "\"" + WinePath(std::string(DC_BINARY_DIR) + "/tests/uidrive_target.exe") + "\"";
        ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &si, &pi_));
        Result r = Drive("wait " + T() + " --timeout 20000");
        ASSERT_EQ(r.code, 0) << r.out;
        dlg_ = reinterpret_cast<HWND>(
            static_cast<ULONG_PTR>(std::stoull(Value(r.out, "hwnd"), nullptr, 16)));
        ASSERT_TRUE(IsWindow(dlg_));
        EXPECT_EQ(std::stoul(Value(r.out, "pid")), pi_.dwProcessId);
        EXPECT_EQ(Value(r.out, "class"), "#32770");
    }
    void TearDown() override {
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
                Drive("close " + T() + " --wait --timeout 5000");
                if (WaitForSingleObject(pi_.hProcess, 5000) == WAIT_TIMEOUT)
                    TerminateProcess(pi_.hProcess, 9);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
    }
    PROCESS_INFORMATION pi_ = {};
    HWND dlg_ = nullptr;
};

struct ControlCase {
    int id;
    const char* cls;
    const char* text;
};

TEST_F(UidriveTest, ListsEveryControlWithItsPlaceAndText) {
    Result r = Drive("list " + T());
    ASSERT_EQ(r.code, 0) << r.out;
    std::map<int, std::map<std::string, std::string>> byId;
    for (const auto& l : Lines(r.out)) {
        auto f = Fields(l);
        if (f.count("id")) byId[std::stoi(f["id"])] = f;
    }
    const ControlCase cases[] = {
        {IDC_LABEL, "Static", "Name:"},      {IDC_EDIT, "Edit", "hello"},
        {IDC_COUNT, "Button", "Count"},      {IDC_COUNTER, "Static", "0"},
        {IDC_CHECK, "Button", "Check"},      {IDC_LIST, "SysListView32", ""},
        {IDC_ASK, "Button", "Ask"},          {IDC_RESULT, "Static", "-"},
        {IDC_KOREAN, "Static", "재생 목록"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_TRUE(byId.count(c.id));
        auto& f = byId[c.id];
        EXPECT_EQ(f["class"], c.cls);
        EXPECT_EQ(f["text"], c.text);
        HWND h = GetDlgItem(dlg_, c.id);
        ASSERT_NE(h, nullptr);
        char style[16];
        std::snprintf(style, sizeof style, "0x%08lx",
                      static_cast<unsigned long>(GetWindowLongA(h, GWL_STYLE)));
        EXPECT_EQ(f["style"], style);
        // The rectangle in the dialog's client coordinates, measured here
        // from the screen.
        RECT wr;
        GetWindowRect(h, &wr);
        POINT tl = {wr.left, wr.top}, br = {wr.right, wr.bottom};
        ScreenToClient(dlg_, &tl);
        ScreenToClient(dlg_, &br);
        char rect[64];
        std::snprintf(rect, sizeof rect, "%ld,%ld,%ld,%ld", tl.x, tl.y, br.x, br.y);
        EXPECT_EQ(f["rect"], rect);
        EXPECT_EQ(f["visible"], "1");
    }
    // The list view's header is a child too.
    bool header = false;
    for (auto& e : byId) header |= e.second["class"] == "SysHeader32";
    EXPECT_TRUE(header);
}

TEST_F(UidriveTest, ClicksCommandsAndKeysTakeEffect) {
    EXPECT_EQ(Drive("click " + T() + " --id " + std::to_string(IDC_COUNT)).code, 0);
    EXPECT_EQ(Drive("click " + T() + " --id " + std::to_string(IDC_COUNT)).code, 0);
    EXPECT_EQ(TextOf(IDC_COUNTER), "2");
    EXPECT_EQ(Drive("click " + T() + " --real --id " + std::to_string(IDC_COUNT)).code, 0);
    EXPECT_EQ(TextOf(IDC_COUNTER), "3");
    EXPECT_EQ(Drive("command " + T() + " --id " + std::to_string(IDC_CUSTOM) + " --code 5").code,
              0);
    EXPECT_EQ(TextOf(IDC_RESULT), "cmd=1008 code=5");
    EXPECT_EQ(Drive("key " + T() + " --id " + std::to_string(IDC_EDIT) + " END X Y 7").code, 0);
    EXPECT_EQ(TextOf(IDC_EDIT), "helloxy7");
    EXPECT_EQ(Drive("key " + T() + " --id " + std::to_string(IDC_EDIT) + " BACK").code, 0);
    EXPECT_EQ(TextOf(IDC_EDIT), "helloxy");
    // Real mouse input on the check box's square toggles it, twice back.
    HWND check = GetDlgItem(dlg_, IDC_CHECK);
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(
        Drive("mouse " + T() + " --id " + std::to_string(IDC_CHECK) + " --x 6 --y 6 --hold 100")
            .code,
        0);
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Drive("mouse " + T() + " --id " + std::to_string(IDC_CHECK) +
                    " --x 6 --y 6 --action click --hold 100")
                  .code,
              0);
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(Drive("mouse " + T() + " --x 1 --y 1 --action wiggle").code, 1);
    // Without --id the keys are typed into the foreground window's focus:
    // a click puts the edit's caret at its start.
    EXPECT_EQ(
        Drive("mouse " + T() + " --id " + std::to_string(IDC_EDIT) + " --x 2 --y 4 --hold 100")
            .code,
        0);
    EXPECT_EQ(Drive("key " + T() + " HOME Z SHIFT+Q").code, 0);
    Sleep(100);
    EXPECT_EQ(TextOf(IDC_EDIT), "zQhelloxy");
}

TEST_F(UidriveTest, ReadsAndDoubleClicksListViewRows) {
    Result r = Drive("listview " + T() + " --id " + std::to_string(IDC_LIST));
    ASSERT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(Value(r.out, "rows"), "3");
    EXPECT_EQ(Value(r.out, "columns"), "2");
    std::vector<std::string> columns, cells;
    for (const auto& l : Lines(r.out)) {
        auto f = Fields(l);
        if (f.count("column")) columns.push_back(f["text"] + "/" + f["width"]);
        if (f.count("row")) cells.push_back(f["row"] + "," + f["col"] + "=" + f["text"]);
    }
    EXPECT_EQ(columns, (std::vector<std::string>{"Name/100", "Size/100"}));
    EXPECT_EQ(cells, (std::vector<std::string>{"0,0=alpha.mp4", "0,1=1025", "1,0=beta two.mp4",
                                               "1,1=2048", "2,0=2012/01/01 - 05:30:00", "2,1=7"}));
    // The label that answers the double click is watched until its pixels
    // change.
    r = Drive("dblclick-row " + T() + " --id " + std::to_string(IDC_LIST) + " --row 2 --watch " +
              std::to_string(IDC_RESULT) + " --timeout 10000");
    ASSERT_EQ(r.code, 0) << r.out;
    EXPECT_NE(Value(r.out, "changed_ms"), "<none>");
    EXPECT_EQ(TextOf(IDC_RESULT), "dbl=2");
    r = Drive("listview " + T() + " --id " + std::to_string(IDC_LIST));
    for (const auto& l : Lines(r.out)) {
        auto f = Fields(l);
        if (f.count("row") && f["col"] == "0") {
            EXPECT_EQ(f["selected"], f["row"] == "2" ? "1" : "0") << l;
        }
    }
}

TEST_F(UidriveTest, SizeGivesTheRectanglesOfTheWindowAndOfAControl) {
    struct Case {
        const char* name;
        HWND h;
        std::string args;
    };
    const Case cases[] = {
        {"window", dlg_, ""},
        {"list", GetDlgItem(dlg_, IDC_LIST), " --id " + std::to_string(IDC_LIST)},
        {"edit", GetDlgItem(dlg_, IDC_EDIT), " --id " + std::to_string(IDC_EDIT)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Result r = Drive("size " + T() + c.args);
        ASSERT_EQ(r.code, 0) << r.out;
        RECT wr, cr;
        GetWindowRect(c.h, &wr);
        GetClientRect(c.h, &cr);
        char rect[64], client[32];
        std::snprintf(rect, sizeof rect, "%ld,%ld,%ld,%ld", wr.left, wr.top, wr.right, wr.bottom);
        std::snprintf(client, sizeof client, "%ld,%ld", cr.right, cr.bottom);
        EXPECT_EQ(Value(r.out, "rect"), rect);
        EXPECT_EQ(Value(r.out, "width"), std::to_string(wr.right - wr.left));
        EXPECT_EQ(Value(r.out, "height"), std::to_string(wr.bottom - wr.top));
        EXPECT_EQ(Value(r.out, "client"), client);
    }
}

TEST_F(UidriveTest, ReadsAndAnswersAMessageBox) {
    Result none = Drive("msgbox " + T() + " --timeout 300");
    EXPECT_EQ(none.code, 5) << none.out;
    ASSERT_EQ(Drive("click " + T() + " --id " + std::to_string(IDC_ASK)).code, 0);
    Result r = Drive("msgbox " + T() + " --answer NO --timeout 10000");
    ASSERT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(Value(r.out, "caption"), "Question");
    EXPECT_EQ(Value(r.out, "text"), "Really delete?\\nSecond line");
    EXPECT_EQ(Value(r.out, "answered"), "7");
    const std::string buttons = Value(r.out, "buttons");
    EXPECT_NE(buttons.find("6"), std::string::npos) << buttons;
    EXPECT_NE(buttons.find("7"), std::string::npos) << buttons;
    for (int i = 0; i < 50 && TextOf(IDC_RESULT) != "no"; ++i) Sleep(100);
    EXPECT_EQ(TextOf(IDC_RESULT), "no");
    // A button the box does not have is refused and leaves it standing.
    ASSERT_EQ(Drive("click " + T() + " --id " + std::to_string(IDC_ASK)).code, 0);
    EXPECT_EQ(
        Drive("msgbox --pid " + std::to_string(pi_.dwProcessId) + " --answer RETRY --timeout 10000")
            .code,
        4);
    EXPECT_EQ(Drive("msgbox --pid " + std::to_string(pi_.dwProcessId) + " --answer YES").code, 0);
    for (int i = 0; i < 50 && TextOf(IDC_RESULT) != "yes"; ++i) Sleep(100);
    EXPECT_EQ(TextOf(IDC_RESULT), "yes");
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::vector<uint8_t> v;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return v;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) v.insert(v.end(), buf, buf + n);
    std::fclose(f);
    return v;
}

TEST_F(UidriveTest, ScreenshotHasTheDialogsSizeAndColours) {
    const std::string file = WinePath(std::string(DC_BINARY_DIR) + "/tests/uidrive_shot.bmp");
    const std::string clientFile =
        WinePath(std::string(DC_BINARY_DIR) + "/tests/uidrive_shot_client.bmp");
    Result r = Drive("screenshot " + T() + " --out \"" + file + "\"");
    ASSERT_EQ(r.code, 0) << r.out;
    RECT wr, cr;
    GetWindowRect(dlg_, &wr);
    GetClientRect(dlg_, &cr);
    auto b = ReadFileBytes(file);
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(static_cast<LONG>(Le32(b, 18)), wr.right - wr.left);
    EXPECT_EQ(static_cast<LONG>(Le32(b, 22)), wr.bottom - wr.top);
    EXPECT_EQ(b[28], 24);

    r = Drive("screenshot " + T() + " --client --out \"" + clientFile + "\"");
    ASSERT_EQ(r.code, 0) << r.out;
    b = ReadFileBytes(clientFile);
    ASSERT_GE(b.size(), 54u);
    const int w = static_cast<int>(Le32(b, 18)), h = static_cast<int>(Le32(b, 22));
    EXPECT_EQ(w, cr.right);
    EXPECT_EQ(h, cr.bottom);
    const int stride = (w * 3 + 3) & ~3;
    auto px = [&](int x, int y) {
        size_t at =
            Le32(b, 10) + static_cast<size_t>(h - 1 - y) * stride + static_cast<size_t>(x) * 3;
        return RGB(b[at + 2], b[at + 1], b[at]);
    };
    // The dialog's own background (its WM_CTLCOLORDLG brush) right of the
    // list view, and the list view's white inside.
    RECT lv;
    GetWindowRect(GetDlgItem(dlg_, IDC_LIST), &lv);
    MapWindowPoints(nullptr, dlg_, reinterpret_cast<POINT*>(&lv), 2);
    EXPECT_EQ(px(cr.right - 3, cr.bottom - 3), RGB(0, 128, 255));
    EXPECT_EQ(px(lv.right + 2, lv.bottom - 2), RGB(0, 128, 255));
    EXPECT_EQ(px(lv.right - 10, lv.bottom - 10), RGB(255, 255, 255));
}

struct ErrorCase {
    const char* name;
    std::string args;
    int code;
};

TEST_F(UidriveTest, FailuresHaveTheirExitCodes) {
    const ErrorCase cases[] = {
        {"no_window", "wait --title \"no such window\" --timeout 200", 2},
        {"no_control", "text " + T() + " --id 4242", 3},
        {"unknown_command", "frobnicate " + T(), 1},
        {"no_window_option", "list", 1},
        {"unknown_key", "key " + T() + " --id 1001 NOSUCHKEY", 1},
        {"row_out_of_range", "dblclick-row " + T() + " --id 1005 --row 3", 4},
        {"unknown_option", "list " + T() + " --frob", 1},
        {"still_there", "wait " + T() + " --gone --timeout 200", 4},
        {"rows_never_come", "listview " + T() + " --id 1005 --min-rows 4 --timeout 300", 4},
        {"watch_no_control", "dblclick-row " + T() + " --id 1005 --row 0 --watch 4242", 3},
        {"start_without_exe", "start " + T(), 1},
        {"start_rows_without_list", "start " + T() + " --exe x.exe --min-rows 1", 1},
        {"start_no_such_program", "start " + T() + " --exe Z:\\nonexistent\\none.exe", 4},
    };
    for (const auto& c : cases) EXPECT_EQ(Drive(c.args).code, c.code) << c.name;
}

TEST_F(UidriveTest, CloseEndsTheProgram) {
    Result r = Drive("close " + T() + " --wait --timeout 10000");
    ASSERT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(WaitForSingleObject(pi_.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(pi_.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(Drive("wait " + T() + " --gone --timeout 2000").code, 0);
}

}  // namespace

namespace {

// start: the program is started from outside and uidrive waits for its
// window and for its list to fill, then the window is closed by its pid.
TEST(UidriveStartTest, StartsAProgramAndWaitsForItsWindowAndRows) {
    const std::string exe = WinePath(std::string(DC_BINARY_DIR) + "/tests/uidrive_target.exe");
    Result r = Drive("start --title \"" + std::string(kTitle) + "\" --exe \"" + exe + "\" --id " +
                     std::to_string(IDC_LIST) + " --min-rows 3 --timeout 20000");
    ASSERT_EQ(r.code, 0) << r.out;
    const std::string pid = Value(r.out, "pid");
    ASSERT_NE(pid, "<none>");
    EXPECT_EQ(Value(r.out, "rows"), "3");
    const int windowMs = std::stoi(Value(r.out, "window_ms"));
    const int rowsMs = std::stoi(Value(r.out, "rows_ms"));
    EXPECT_GE(rowsMs, windowMs);
    HANDLE proc = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(std::stoul(pid)));
    ASSERT_NE(proc, nullptr);
    EXPECT_EQ(Drive("close --pid " + pid + " --wait --timeout 10000").code, 0);
    EXPECT_EQ(WaitForSingleObject(proc, 10000), WAIT_OBJECT_0);
    CloseHandle(proc);
}

}  // namespace
