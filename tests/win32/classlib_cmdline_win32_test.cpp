// The command-line record under Windows: the portable suite, then the
// splitting checked against the system's own (CommandLineToArgvW) on lines
// without double-byte text.
#include "../classlib/afxcmdline_test.cpp"

#include <shellapi.h>

TEST(CommandLineSplitWin32, AgreesWithTheSystemSplitter) {
    const char* const lines[] = {
        "Quorvel.exe a b",
        "\"C:\\Program Files\\Quorvel.exe\" /RegServer",
        "Quorvel.exe \"a b\" c\\d \\\\\"e f\\\\\" g\\\"h",
        "Quorvel.exe  -Embedding\t x",
        "Quorvel.exe \"\" y",
    };
    for (const char* line : lines) {
        std::wstring wide(line, line + std::strlen(line));
        int n = 0;
        LPWSTR* argv = ::CommandLineToArgvW(wide.c_str(), &n);
        ASSERT_NE(nullptr, argv) << line;
        std::vector<std::string> expected;
        for (int i = 1; i < n; i++) {
            std::wstring w(argv[i]);
            expected.emplace_back(w.begin(), w.end());
        }
        ::LocalFree(argv);
        EXPECT_EQ(expected, Split(line, true)) << line;
    }
}
