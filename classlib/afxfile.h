// Files of the class library (Windows build only): CFile over the ANSI file
// API, CStdioFile with text lines, CFileException, and the folder search
// CFileFind. Names are in the ANSI code page (949 for this program).
//
// The operations that cannot report a failure in their result (Read, Write,
// Seek, SetLength, Flush, Close, the constructors that open, Remove and
// Rename) throw a CFileException pointer; Open returns FALSE instead and
// fills the exception object the caller passes.
#pragma once

#include "classlib/afxtypes.h"
#include "classlib/afxstr.h"
#include "classlib/afxexcept.h"

#ifdef _WIN32

#include <vector>

class CFileException : public CException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr);

    // The cause for a system error code (GetLastError).
    static int OsErrorToException(LONG lOsError);
    [[noreturn]] static void ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = nullptr);

    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;

    int m_cause;
    LONG m_lOsError;  // -1 when no system error applies
    CString m_strFileName;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1,
                                        LPCTSTR lpszFileName = nullptr);

class CFile {
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,  // as exclusive
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,  // CStdioFile only
        typeBinary = 0x8000
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

    CFile();
    // Works on a handle opened elsewhere; Close closes it, the destructor
    // does not.
    explicit CFile(HANDLE hFile);
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);  // throws when it cannot open
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    // Closes the file; errors are not reported here (call Close to see them).
    virtual ~CFile();

    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    operator HANDLE() const { return m_hFile; }

    // Returns the number of bytes read, 0 at the end of the file.
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    // Returns the new position.
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetLength() const;
    virtual ULONGLONG GetPosition() const;
    // Cuts or extends the file; the position moves to the new end.
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual void Flush();
    virtual void Close();
    // Closes without reporting errors.
    virtual void Abort();

    // Full path, name with extension, name without extension.
    virtual CString GetFilePath() const { return m_strFileName; }
    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual void SetFilePath(LPCTSTR lpszNewName) { m_strFileName = lpszNewName; }

    static void Remove(LPCTSTR lpszFileName);
    static void Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);

    HANDLE m_hFile;

protected:
    // Throws for an operation on a file that is not open.
    void CheckOpen() const;

    CString m_strFileName;
    BOOL m_bCloseOnDelete;
};

// Text lines over CFile. In text mode (the default; typeBinary turns it
// off) CR LF in the file reads as "\n" and "\n" is written as CR LF; a CR
// on its own stays as it is. Lines may be of any length.
class CStdioFile : public CFile {
public:
    CStdioFile() = default;
    CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags);  // throws when it cannot open

    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;

    // The next line without its line end. FALSE at the end of the file when
    // nothing was left to read; a last line without a line end is a line.
    virtual BOOL ReadString(CString& rString);
    // Like fgets: at most nMax - 1 bytes, up to and with the "\n", then a
    // terminating zero; a double-byte character is not cut at the limit
    // (unless it is the only thing that would be read). Null at the end of
    // the file when nothing was left to read.
    virtual LPTSTR ReadString(LPTSTR lpsz, UINT nMax);
    virtual void WriteString(LPCTSTR lpsz);

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

private:
    size_t Avail() const;         // bytes read ahead and not yet taken
    void FillAhead(size_t need);  // reads until `need` bytes are ahead or the file ends
    int PeekAt(size_t k);         // the k-th byte ahead, -1 past the end
    int NextChar();               // next byte, CR LF read as "\n" in text mode; -1 at the end
    void DropReadAhead();         // moves the file back to the first byte not taken

    bool m_bText = true;
    std::vector<char> m_buf;
    size_t m_pos = 0;
    size_t m_len = 0;
};

// Finding files:
//     CFileFind finder;
//     BOOL more = finder.FindFile("C:\\clips\\*.mp4");
//     while (more) { more = finder.FindNextFile(); ...finder.GetFilePath()... }
// FindNextFile moves to the next match and returns FALSE when that match is
// the last one (which is then still readable).
class CFileFind {
public:
    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
    virtual ~CFileFind() { Close(); }

    // A null pattern means "*.*" in the current folder. FALSE when nothing
    // matches.
    virtual BOOL FindFile(LPCTSTR pstrName = nullptr, DWORD dwUnused = 0);
    virtual BOOL FindNextFile();
    void Close();

    ULONGLONG GetLength() const;
    virtual CString GetFileName() const;
    virtual CString GetFilePath() const;
    virtual CString GetFileTitle() const;
    // The folder searched, as a full path (a drive root keeps its
    // backslash).
    virtual CString GetRoot() const;
    BOOL GetLastWriteTime(FILETIME* pTimeStamp) const;
    BOOL GetLastAccessTime(FILETIME* pTimeStamp) const;
    BOOL GetCreationTime(FILETIME* pTimeStamp) const;

    BOOL MatchesMask(DWORD dwMask) const;
    // "." and "..", the entries of a folder for itself and its parent.
    virtual BOOL IsDots() const;
    BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsCompressed() const { return MatchesMask(FILE_ATTRIBUTE_COMPRESSED); }
    BOOL IsSystem() const { return MatchesMask(FILE_ATTRIBUTE_SYSTEM); }
    BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
    BOOL IsTemporary() const { return MatchesMask(FILE_ATTRIBUTE_TEMPORARY); }
    BOOL IsNormal() const { return MatchesMask(FILE_ATTRIBUTE_NORMAL); }
    BOOL IsArchived() const { return MatchesMask(FILE_ATTRIBUTE_ARCHIVE); }

private:
    // The match that the accessors read; FALSE before the first
    // FindNextFile (a programming error, reported in debug builds).
    const WIN32_FIND_DATAA* Current() const;

    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA m_current{};
    WIN32_FIND_DATAA m_next{};
    bool m_hasCurrent = false;
    bool m_hasNext = false;
    CString m_strRoot;
};

#endif  // _WIN32
