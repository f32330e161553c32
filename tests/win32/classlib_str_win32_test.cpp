// CString under Windows: the portable suite, then what only this build has:
// narrow literals compiled to code page 949, the system's own conversions as
// the peer of the character walk, and the string table.
#include "../classlib/afxstr_test.cpp"

#include <vector>

namespace {

std::wstring ToWide(const CString& s) {
    int n = MultiByteToWideChar(949, 0, s.GetString(), s.GetLength(), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    if (n > 0) MultiByteToWideChar(949, 0, s.GetString(), s.GetLength(), &w[0], n);
    return w;
}

CString FromWide(const std::wstring& w) {
    int n = WideCharToMultiByte(949, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr,
                                nullptr);
    CString s;
    if (n > 0) {
        WideCharToMultiByte(949, 0, w.c_str(), static_cast<int>(w.size()), s.GetBuffer(n), n,
                            nullptr, nullptr);
        s.ReleaseBuffer(n);
    }
    return s;
}

}  // namespace

TEST(CStringWin32, KoreanLiteralsRoundTripThroughTheSystem) {
    ASSERT_EQ(949u, GetACP()) << "the tests run with a Korean ANSI code page";
    struct Case {
        const char* name;
        const char* narrow;  // compiled to code page 949
        const wchar_t* wide;
        const char* bytes;
    };
    const Case cases[] = {
        {"two syllables", "한글", L"한글", "\xC7\xD1\xB1\xDB"},
        {"extended syllables", "똠방각하", L"똠방각하", "\x8C\x63\xB9\xE6\xB0\xA2\xC7\xCF"},
        {"trail byte 'A'", "갂", L"갂", "\x81\x41"},
        {"path", "C:\\동영상\\EVT01.mp4", L"C:\\동영상\\EVT01.mp4",
         "C:\\\xB5\xBF\xBF\xB5\xBB\xF3\\EVT01.mp4"},
        {"message", "파일을 재생할 수 없습니다. \n", L"파일을 재생할 수 없습니다. \n", nullptr},
        {"clock field", "2024년", L"2024년", "2024\xB3\xE2"},
    };
    for (const Case& c : cases) {
        CString s(c.narrow);
        if (c.bytes) {
            EXPECT_EQ(std::string(c.bytes), S(s)) << c.name;
        }
        EXPECT_EQ(std::wstring(c.wide), ToWide(s)) << c.name;
        EXPECT_EQ(S(s), S(FromWide(c.wide))) << c.name;
        CString f;
        f.Format("%s|%d", c.narrow, 7);
        EXPECT_EQ(std::wstring(c.wide) + L"|7", ToWide(f)) << c.name;
    }
}

// Every lead byte with every byte after it: the library's character walk and
// the system's agree on where the character ends.
TEST(CStringWin32, CharacterWalkAgreesWithTheSystem) {
    int mismatches = 0;
    for (int lead = 0x01; lead <= 0xFF; ++lead) {
        for (int next = 0x00; next <= 0xFF; ++next) {
            const char text[3] = {static_cast<char>(lead), static_cast<char>(next), '\0'};
            int ours = AfxCharLen949(text, next ? 2 : 1);
            int system = static_cast<int>(CharNextExA(949, text, 0) - text);
            if (ours != system && ++mismatches <= 10)
                ADD_FAILURE() << std::hex << "bytes " << lead << " " << next << ": ours " << ours
                              << ", system " << system;
        }
    }
    EXPECT_EQ(0, mismatches);

    // The case a path parser must not get wrong: the system reads a lead
    // byte and a backslash as one (unmapped) character, so there is no
    // separator in this text.
    const CString path("C:\\\xB1\\x");
    EXPECT_EQ(2, path.ReverseFind('\\'));
    EXPECT_EQ(std::wstring(L"C:\\?x"), ToWide(path));
}

TEST(CStringWin32, LoadStringFromTheStringTable) {
    struct Case {
        const char* name;
        UINT id;
        BOOL found;
        const char* expected;
    };
    const Case cases[] = {
        {"Korean", 101, TRUE, "한글"},
        {"message", 102, TRUE, "파일을 재생할 수 없습니다."},
        {"ASCII", 103, TRUE, "ASCII only"},
        {"missing id", 999, FALSE, ""},
    };
    for (const Case& c : cases) {
        CString s("previous");
        EXPECT_EQ(c.found, s.LoadString(c.id)) << c.name;
        EXPECT_EQ(std::string(c.expected), S(s)) << c.name;
    }

    // Longer than the first buffer the loader tries.
    std::wstring expected;
    for (int i = 0; i < 40; ++i) expected += L"가나다라마바사아자차카타파하";
    expected += L"끝";
    CString s;
    ASSERT_TRUE(s.LoadString(104));
    EXPECT_EQ(1122, s.GetLength());
    EXPECT_EQ(expected, ToWide(s));
}
