// CFile, CStdioFile, CFileException and CFileFind on real files of a
// scratch folder in the Wine prefix.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/afxfile.h"

namespace {

// A fresh folder per test, removed with everything in it afterwards.
class FileTest : public testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
        m_dir.Format("%sclasslib_file_%lu_%s", temp,
                     static_cast<unsigned long>(GetCurrentProcessId()),
                     testing::UnitTest::GetInstance()->current_test_info()->name());
        RemoveTree(m_dir);
        ASSERT_TRUE(CreateDirectoryA(m_dir, nullptr)) << m_dir.GetString();
    }
    void TearDown() override { RemoveTree(m_dir); }

    CString Path(LPCTSTR name) const { return m_dir + "\\" + name; }

    static void RemoveTree(const CString& dir) {
        WIN32_FIND_DATAA d;
        HANDLE h = FindFirstFileA(dir + "\\*", &d);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                CString name(d.cFileName);
                if (name == "." || name == "..") continue;
                CString path = dir + "\\" + name;
                SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
                if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else
                    DeleteFileA(path);
            } while (FindNextFileA(h, &d));
            FindClose(h);
        }
        RemoveDirectoryA(dir);
    }

    static void WriteRaw(const CString& path, const std::string& bytes) {
        CFile f;
        ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeWrite));
        f.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        f.Close();
    }
    static std::string ReadRaw(const CString& path) {
        CFile f;
        if (!f.Open(path, CFile::modeRead | CFile::shareDenyNone)) return "<cannot open>";
        std::string bytes(static_cast<size_t>(f.GetLength()), '\0');
        UINT got = bytes.empty() ? 0 : f.Read(&bytes[0], static_cast<UINT>(bytes.size()));
        bytes.resize(got);
        return bytes;
    }

    CString m_dir;
};

}  // namespace

TEST_F(FileTest, BinaryRoundTripSeekAndLength) {
    std::string pattern;
    for (int i = 0; i < 1000; ++i) pattern += static_cast<char>(i * 7);
    const CString path = Path("data.bin");
    {
        CFile f(path, CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary);
        f.Write(pattern.data(), static_cast<UINT>(pattern.size()));
        EXPECT_EQ(1000u, f.GetLength());
        EXPECT_EQ(1000u, f.GetPosition());
        EXPECT_EQ(10u, f.Seek(10, CFile::begin));
        char b[4];
        EXPECT_EQ(4u, f.Read(b, 4));
        EXPECT_EQ(0, std::memcmp(b, pattern.data() + 10, 4));
        EXPECT_EQ(12u, f.Seek(-2, CFile::current));
        EXPECT_EQ(990u, f.Seek(-10, CFile::end));
        EXPECT_EQ(4u, f.Read(b, 4));
        EXPECT_EQ(0, std::memcmp(b, pattern.data() + 990, 4));
        EXPECT_EQ(1000u, f.SeekToEnd());
        EXPECT_EQ(0u, f.Read(b, 4)) << "end of file";
        f.SeekToBegin();
        EXPECT_EQ(0u, f.GetPosition());
        f.SetLength(600);
        EXPECT_EQ(600u, f.GetLength());
        f.SetLength(5000);
        EXPECT_EQ(5000u, f.GetLength());
        EXPECT_EQ(path, f.GetFilePath());
        EXPECT_EQ(CString("data.bin"), f.GetFileName());
        EXPECT_EQ(CString("data"), f.GetFileTitle());
        f.Flush();
        f.Close();
        EXPECT_FALSE(f.IsOpen());
        f.Close();  // closing twice is harmless
    }
    std::string back = ReadRaw(path);
    ASSERT_EQ(5000u, back.size());
    EXPECT_EQ(pattern.substr(0, 600), back.substr(0, 600));
    EXPECT_EQ(std::string(4400, '\0'), back.substr(600)) << "extension reads as zeros";
    static_assert(std::is_same<decltype(std::declval<CFile&>().GetLength()), ULONGLONG>::value,
                  "64-bit lengths");
}

TEST_F(FileTest, OpenModes) {
    const CString path = Path("modes.txt");
    WriteRaw(path, "original");
    struct Case {
        const char* name;
        UINT flags;
        BOOL opens;
        std::string after;  // the file's bytes after opening and closing
    };
    const Case cases[] = {
        {"read keeps", CFile::modeRead, TRUE, "original"},
        {"write without create keeps the bytes", CFile::modeWrite, TRUE, "original"},
        {"create truncates", CFile::modeCreate | CFile::modeWrite, TRUE, ""},
        {"create, no truncate keeps", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite,
         TRUE, "original"},
        {"read and write, share none", CFile::modeReadWrite | CFile::shareDenyNone, TRUE,
         "original"},
        {"read and write bits together are no mode", 3, FALSE, "original"},
    };
    for (const Case& c : cases) {
        WriteRaw(path, "original");
        CFile f;
        CFileException e;
        EXPECT_EQ(c.opens, f.Open(path, c.flags, &e)) << c.name;
        if (!c.opens) {
            EXPECT_NE(CFileException::none, e.m_cause) << c.name;
        }
        f.Close();
        EXPECT_EQ(c.after, ReadRaw(path)) << c.name;
    }

    CFile created;
    ASSERT_TRUE(created.Open(Path("new.txt"),
                             CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    EXPECT_EQ(0u, created.GetLength()) << "no-truncate creates a missing file";
}

TEST_F(FileTest, FailuresReportTheirCause) {
    struct Case {
        const char* name;
        CString path;
        UINT flags;
        int cause;
        LONG osError;
    };
    WriteRaw(Path("locked.txt"), "x");
    CFile holder(Path("locked.txt"), CFile::modeRead | CFile::shareExclusive);
    const Case cases[] = {
        {"missing file", Path("missing.txt"), CFile::modeRead, CFileException::fileNotFound,
         ERROR_FILE_NOT_FOUND},
        {"missing folder", Path("no\\such\\file.txt"), CFile::modeRead, CFileException::badPath,
         ERROR_PATH_NOT_FOUND},
        {"held exclusively by another object", Path("locked.txt"),
         CFile::modeRead | CFile::shareDenyNone, CFileException::sharingViolation,
         ERROR_SHARING_VIOLATION},
        {"a folder as a file", m_dir, CFile::modeWrite, CFileException::accessDenied,
         ERROR_ACCESS_DENIED},
        {"empty name", "", CFile::modeRead, CFileException::badPath, ERROR_INVALID_NAME},
    };
    for (const Case& c : cases) {
        // Open fills the caller's object...
        CFile f;
        CFileException e;
        EXPECT_FALSE(f.Open(c.path, c.flags, &e)) << c.name;
        EXPECT_EQ(c.cause, e.m_cause) << c.name;
        EXPECT_EQ(c.osError, e.m_lOsError) << c.name;
        EXPECT_EQ(c.path, e.m_strFileName) << c.name;
        EXPECT_FALSE(f.IsOpen()) << c.name;
        EXPECT_FALSE(f.Open(c.path, c.flags)) << c.name << ": without an exception object";

        // ...the opening constructors throw.
        bool thrown = false;
        try {
            CStdioFile s(c.path, c.flags);
        } catch (CFileException* x) {
            thrown = true;
            EXPECT_EQ(c.cause, x->m_cause) << c.name;
            EXPECT_EQ(c.osError, x->m_lOsError) << c.name;
            char text[256];
            EXPECT_TRUE(x->GetErrorMessage(text, sizeof text)) << c.name;
            EXPECT_NE(nullptr, std::strstr(text, c.path)) << c.name << ": " << text;
            x->Delete();
        }
        EXPECT_TRUE(thrown) << c.name;
    }
}

TEST_F(FileTest, ThrowingOperations) {
    struct Case {
        const char* name;
        void (*op)(const CString& dir);
        int cause;
    };
    const Case cases[] = {
        {"read of a closed file",
         [](const CString&) {
             CFile f;
             char b;
             f.Read(&b, 1);
         },
         CFileException::invalidFile},
        {"write to a file opened for reading",
         [](const CString& dir) {
             CFile f(dir + "\\r.txt", CFile::modeCreate | CFile::modeWrite);
             f.Close();
             f.Open(dir + "\\r.txt", CFile::modeRead);
             f.Write("x", 1);
         },
         CFileException::accessDenied},
        {"seek before the start",
         [](const CString& dir) {
             CFile f(dir + "\\s.txt", CFile::modeCreate | CFile::modeWrite);
             f.Seek(-5, CFile::begin);
         },
         CFileException::badSeek},
        {"remove a missing file", [](const CString& dir) { CFile::Remove(dir + "\\none"); },
         CFileException::fileNotFound},
        {"rename onto an existing file",
         [](const CString& dir) {
             CFile(dir + "\\a", CFile::modeCreate | CFile::modeWrite).Close();
             CFile(dir + "\\b", CFile::modeCreate | CFile::modeWrite).Close();
             CFile::Rename(dir + "\\a", dir + "\\b");
         },
         CFileException::accessDenied},
        {"length of a closed file",
         [](const CString&) {
             CFile f;
             f.GetLength();
         },
         CFileException::invalidFile},
    };
    for (const Case& c : cases) {
        int cause = -1;
        try {
            c.op(m_dir);
        } catch (CFileException* e) {
            cause = e->m_cause;
            e->Delete();
        }
        EXPECT_EQ(c.cause, cause) << c.name;
    }

    CFile(Path("old"), CFile::modeCreate | CFile::modeWrite).Close();
    CFile::Rename(Path("old"), Path("new"));
    CFile::Remove(Path("new"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Path("new")));
}

TEST_F(FileTest, AbortAndBorrowedHandles) {
    const CString path = Path("abort.bin");
    CFile f(path, CFile::modeCreate | CFile::modeWrite);
    f.Write("abc", 3);
    f.Abort();
    EXPECT_FALSE(f.IsOpen());
    f.Abort();  // nothing to close: no error
    EXPECT_EQ("abc", ReadRaw(path)) << "what was written before the abort stays";

    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    {
        CFile borrowed(h);
        char b[3];
        EXPECT_EQ(3u, borrowed.Read(b, 3));
    }
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(h, &flags)) << "the destructor leaves a borrowed handle open";
    CFile closer(h);
    closer.Close();
    EXPECT_FALSE(GetHandleInformation(h, &flags)) << "Close closes it";

    CFile twice(path, CFile::modeRead);
    AfxAssertHook previous = AfxSetAssertHook([](const char*, int, const char*) {});
    CFileException e;
    EXPECT_FALSE(twice.Open(path, CFile::modeRead, &e)) << "an open object does not open again";
    AfxSetAssertHook(previous);
    EXPECT_EQ(CFileException::genericException, e.m_cause);
    EXPECT_TRUE(twice.IsOpen()) << "and keeps its file";
}

TEST_F(FileTest, TextLinesWithCrLf) {
    const std::string longLine(5000, 'L');
    const std::string korean = "\xC7\xD1\xB1\xDB \xB5\xBF\xBF\xB5\xBB\xF3";  // 한글 동영상
    const CString path = Path("lines.txt");
    {
        CStdioFile f(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        f.WriteString("first\n");
        f.WriteString("\n");
        f.WriteString(longLine.c_str());
        f.WriteString("\n");
        f.WriteString(korean.c_str());
        f.WriteString("\nlone\rcr\n");
        f.WriteString("last without a line end");
    }
    EXPECT_EQ(
        "first\r\n\r\n" + longLine + "\r\n" + korean + "\r\nlone\rcr\r\nlast without a line end",
        ReadRaw(path))
        << "each line end is written as CR LF";

    CStdioFile f;
    ASSERT_TRUE(f.Open(path, CFile::modeRead | CFile::typeText));
    const std::vector<std::string> expected = {"first", "",         longLine,
                                               korean,  "lone\rcr", "last without a line end"};
    std::vector<ULONGLONG> starts;
    std::vector<std::string> got;
    CString line;
    for (;;) {
        starts.push_back(f.GetPosition());
        if (!f.ReadString(line)) break;
        got.push_back(std::string(line.GetString(), line.GetLength()));
    }
    EXPECT_EQ(expected, got);
    EXPECT_FALSE(f.ReadString(line)) << "still at the end";
    EXPECT_TRUE(line.IsEmpty());

    // Positions count the bytes of the file, read-ahead and CR LF included.
    ASSERT_GE(starts.size(), 4u);
    EXPECT_EQ(0u, starts[0]);
    EXPECT_EQ(7u, starts[1]);
    EXPECT_EQ(9u, starts[2]);
    EXPECT_EQ(9u + 5002u, starts[3]);
    f.Seek(static_cast<LONGLONG>(starts[3]), CFile::begin);
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(korean, std::string(line.GetString()));
    f.SeekToBegin();
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(CString("first"), line);
}

TEST_F(FileTest, TextLinesIntoABuffer) {
    const CString path = Path("buffer.txt");
    // ab한 CR LF x LF(alone) y
    WriteRaw(path, "ab\xC7\xD1\r\nx\ny");
    struct Case {
        const char* name;
        UINT size;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {"room for every line", 64, {"ab\xC7\xD1\n", "x\n", "y"}},
        {"a cut before the Korean character", 4, {"ab", "\xC7\xD1\n", "x\n", "y"}},
        {"the cut exactly after it", 5, {"ab\xC7\xD1", "\n", "x\n", "y"}},
        {"one byte at a time",
         2,
         {"a", "b", "\xC7", "\xD1", "\n", "x", "\n", "y"}},  // no other way to move on
    };
    for (const Case& c : cases) {
        CStdioFile f(path, CFile::modeRead);
        std::vector<std::string> got;
        char buf[80];
        std::memset(buf, 'z', sizeof buf);
        while (f.ReadString(buf, c.size)) {
            got.push_back(buf);
            EXPECT_EQ('z', buf[c.size]) << c.name << ": nothing past the size";
            if (got.size() > 20) break;
        }
        EXPECT_EQ(c.pieces, got) << c.name;
    }

    CStdioFile binary(path, CFile::modeRead | CFile::typeBinary);
    CString line;
    ASSERT_TRUE(binary.ReadString(line));
    EXPECT_EQ(CString("ab\xC7\xD1\r"), line) << "binary mode keeps the CR";
    char b[3] = {};
    EXPECT_EQ(2u, binary.Read(b, 2)) << "reads on after the read-ahead";
    EXPECT_STREQ("x\n", b);
}

TEST_F(FileTest, FindFilesInAFolder) {
    WriteRaw(Path("clip1.mp4"), std::string(2000, 'v'));
    WriteRaw(Path("clip2.mp4"), std::string(10, 'v'));
    WriteRaw(Path("notes.txt"), "n");
    WriteRaw(Path("\xC7\xD1\xB1\xDB.mp4"), std::string(1500, 'k'));  // 한글.mp4
    ASSERT_TRUE(CreateDirectoryA(Path("INFINITE"), nullptr));
    WriteRaw(Path("hidden.mp4"), "h");
    SetFileAttributesA(Path("hidden.mp4"), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(Path("notes.txt"), FILE_ATTRIBUTE_READONLY);
    FILETIME stamp;
    stamp.dwLowDateTime = 0x12345600u;  // in the year 2020
    stamp.dwHighDateTime = 0x01D5C000u;
    {
        HANDLE h = CreateFileA(Path("clip1.mp4"), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                               0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        SetFileTime(h, nullptr, nullptr, &stamp);
        CloseHandle(h);
    }

    struct Entry {
        ULONGLONG length;
        BOOL dots, dir, readOnly, hidden;
        CString path, title, root;
    };
    std::map<std::string, Entry> found;
    CFileFind finder;
    BOOL more = finder.FindFile(m_dir + "\\*");
    ASSERT_TRUE(more);
    FILETIME clipTime = {};
    while (more) {
        more = finder.FindNextFile();
        static_assert(std::is_same<decltype(finder.GetLength()), ULONGLONG>::value,
                      "64-bit lengths");
        Entry e = {finder.GetLength(),    finder.IsDots(),   finder.IsDirectory(),
                   finder.IsReadOnly(),   finder.IsHidden(), finder.GetFilePath(),
                   finder.GetFileTitle(), finder.GetRoot()};
        found[finder.GetFileName().GetString()] = e;
        if (finder.GetFileName() == "clip1.mp4") {
            EXPECT_TRUE(finder.GetLastWriteTime(&clipTime));
        }
    }
    finder.Close();

    struct Expect {
        const char* name;
        ULONGLONG length;
        BOOL dots, dir, readOnly, hidden;
        const char* title;
    };
    const Expect expected[] = {
        {".", 0, TRUE, TRUE, FALSE, FALSE, nullptr},
        {"..", 0, TRUE, TRUE, FALSE, FALSE, nullptr},
        {"clip1.mp4", 2000, FALSE, FALSE, FALSE, FALSE, "clip1"},
        {"clip2.mp4", 10, FALSE, FALSE, FALSE, FALSE, "clip2"},
        {"notes.txt", 1, FALSE, FALSE, TRUE, FALSE, "notes"},
        {"\xC7\xD1\xB1\xDB.mp4", 1500, FALSE, FALSE, FALSE, FALSE, "\xC7\xD1\xB1\xDB"},
        {"INFINITE", 0, FALSE, TRUE, FALSE, FALSE, "INFINITE"},
        {"hidden.mp4", 1, FALSE, FALSE, FALSE, TRUE, "hidden"},
    };
    EXPECT_EQ(sizeof expected / sizeof expected[0], found.size());
    for (const Expect& x : expected) {
        auto it = found.find(x.name);
        ASSERT_NE(found.end(), it) << x.name;
        const Entry& e = it->second;
        if (!x.dir) {
            EXPECT_EQ(x.length, e.length) << x.name;
        }
        EXPECT_EQ(x.dots, e.dots) << x.name;
        EXPECT_EQ(x.dir, e.dir) << x.name;
        EXPECT_EQ(x.readOnly, e.readOnly) << x.name;
        EXPECT_EQ(x.hidden, e.hidden) << x.name;
        EXPECT_EQ(m_dir, e.root) << x.name;
        EXPECT_EQ(m_dir + "\\" + x.name, e.path) << x.name;
        if (x.title) {
            EXPECT_EQ(CString(x.title), e.title) << x.name;
        }
    }
    EXPECT_EQ(stamp.dwLowDateTime, clipTime.dwLowDateTime);
    EXPECT_EQ(stamp.dwHighDateTime, clipTime.dwHighDateTime);

    // A pattern: only the clips, the last match still readable after
    // FindNextFile said it was the last.
    std::vector<std::string> clips;
    more = finder.FindFile(m_dir + "\\clip*.mp4");
    while (more) {
        more = finder.FindNextFile();
        clips.push_back(finder.GetFileName().GetString());
    }
    std::sort(clips.begin(), clips.end());
    EXPECT_EQ((std::vector<std::string>{"clip1.mp4", "clip2.mp4"}), clips);
    EXPECT_EQ(CString("clip"), finder.GetFileTitle().Left(4));

    EXPECT_FALSE(finder.FindFile(m_dir + "\\EVT*.mp4")) << "no match";
    EXPECT_FALSE(finder.FindFile(m_dir + "\\missing\\*.mp4")) << "no folder";

    // A drive root keeps its backslash.
    ASSERT_TRUE(finder.FindFile("C:\\*"));
    finder.FindNextFile();
    EXPECT_EQ(CString("C:\\"), finder.GetRoot());
    EXPECT_EQ(CString("C:\\") + finder.GetFileName(), finder.GetFilePath());
}
