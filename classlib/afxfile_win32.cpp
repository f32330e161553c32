#include "classlib/afxfile.h"

#include <cstring>

namespace {

// The name part of a path: after the last backslash, slash or drive colon
// (found character by character, so a second byte that equals '\' is not
// taken for a separator).
CString NameOf(const CString& path) {
    int cut = path.ReverseFind('\\');
    int slash = path.ReverseFind('/');
    int colon = path.ReverseFind(':');
    if (slash > cut) cut = slash;
    if (colon > cut) cut = colon;
    return path.Mid(cut + 1);
}

CString TitleOf(const CString& name) {
    int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

CString FullPathOf(LPCTSTR name) {
    DWORD n = GetFullPathNameA(name, 0, nullptr, nullptr);
    if (n == 0) return CString(name);
    CString full;
    DWORD got = GetFullPathNameA(name, n, full.GetBuffer(static_cast<int>(n)), nullptr);
    full.ReleaseBuffer(got < n ? static_cast<int>(got) : 0);
    return full.IsEmpty() ? CString(name) : full;
}

void Fill(CFileException* e, int cause, LONG osError, LPCTSTR name) {
    if (!e) return;
    e->m_cause = cause;
    e->m_lOsError = osError;
    e->m_strFileName = name;
}

}  // namespace

// ---------------------------------------------------------------------------
// CFileException

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName) {}

int CFileException::OsErrorToException(LONG lOsError) {
    switch (lOsError) {
        case NO_ERROR: return none;
        case ERROR_FILE_NOT_FOUND: return fileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE: return badPath;
        case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return accessDenied;
        case ERROR_INVALID_HANDLE: return invalidFile;
        case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
        case ERROR_CANNOT_MAKE: return directoryFull;
        case ERROR_SEEK:
        case ERROR_NEGATIVE_SEEK:
        case ERROR_SEEK_ON_DEVICE: return badSeek;
        case ERROR_NOT_READY:
        case ERROR_CRC:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_WRITE_FAULT:
        case ERROR_READ_FAULT:
        case ERROR_GEN_FAILURE: return hardIO;
        case ERROR_SHARING_VIOLATION: return sharingViolation;
        case ERROR_LOCK_VIOLATION: return lockViolation;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL: return diskFull;
        case ERROR_HANDLE_EOF: return endOfFile;
        default: return genericException;
    }
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName) {
    throw new CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) {
    if (pnHelpContext) *pnHelpContext = 0;
    CString text;
    if (m_lOsError > 0) {
        char* system = nullptr;
        DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, static_cast<DWORD>(m_lOsError), 0,
                                 reinterpret_cast<LPSTR>(&system), 0, nullptr);
        if (n && system) text = CString(system, static_cast<int>(n));
        if (system) LocalFree(system);
        text.TrimRight();
    }
    if (text.IsEmpty()) text.Format("File error %d.", m_cause);
    if (!m_strFileName.IsEmpty()) text = m_strFileName + ": " + text;
    return AfxCopyErrorText(text, lpszError, nMaxError);
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName) {
    throw new CFileException(cause, lOsError, lpszFileName);
}

// ---------------------------------------------------------------------------
// CFile

CFile::CFile() : m_hFile(INVALID_HANDLE_VALUE), m_bCloseOnDelete(FALSE) {}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : CFile() {
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e))
        AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CFile::~CFile() {
    if (IsOpen() && m_bCloseOnDelete) CloseHandle(m_hFile);
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    Fill(pError, CFileException::none, -1, lpszFileName);
    if (!AFX_CHECK(!IsOpen())) {
        Fill(pError, CFileException::genericException, -1, lpszFileName);
        return FALSE;
    }
    if (!lpszFileName || !*lpszFileName) {
        Fill(pError, CFileException::badPath, ERROR_INVALID_NAME, lpszFileName);
        return FALSE;
    }

    DWORD access = 0;
    switch (nOpenFlags & 3) {
        case modeRead: access = GENERIC_READ; break;
        case modeWrite: access = GENERIC_WRITE; break;
        case modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
        default:
            Fill(pError, CFileException::genericException, ERROR_INVALID_PARAMETER, lpszFileName);
            return FALSE;
    }
    DWORD share = 0;
    switch (nOpenFlags & 0x70) {
        case shareCompat:
        case shareExclusive: share = 0; break;
        case shareDenyWrite: share = FILE_SHARE_READ; break;
        case shareDenyRead: share = FILE_SHARE_WRITE; break;
        case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
        default:
            Fill(pError, CFileException::genericException, ERROR_INVALID_PARAMETER, lpszFileName);
            return FALSE;
    }
    DWORD disposition = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        disposition = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, (nOpenFlags & modeNoInherit) ? FALSE : TRUE};
    HANDLE h =
        CreateFileA(lpszFileName, access, share, &sa, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        LONG err = static_cast<LONG>(GetLastError());
        Fill(pError, CFileException::OsErrorToException(err), err, lpszFileName);
        return FALSE;
    }
    m_hFile = h;
    m_bCloseOnDelete = TRUE;
    m_strFileName = FullPathOf(lpszFileName);
    return TRUE;
}

void CFile::CheckOpen() const {
    if (!IsOpen()) AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
    CheckOpen();
    if (nCount == 0) return 0;
    if (!AFX_CHECK(lpBuf != nullptr))
        AfxThrowFileException(CFileException::genericException, ERROR_INVALID_PARAMETER,
                              m_strFileName);
    DWORD got = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &got, nullptr))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
    return got;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
    CheckOpen();
    if (nCount == 0) return;
    if (!AFX_CHECK(lpBuf != nullptr))
        AfxThrowFileException(CFileException::genericException, ERROR_INVALID_PARAMETER,
                              m_strFileName);
    DWORD written = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
    // A short write on a disk file means the disk is full.
    if (written != nCount)
        AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
    CheckOpen();
    DWORD method;
    switch (nFrom) {
        case begin: method = FILE_BEGIN; break;
        case current: method = FILE_CURRENT; break;
        case end: method = FILE_END; break;
        default:
            AfxThrowFileException(CFileException::badSeek, ERROR_INVALID_PARAMETER, m_strFileName);
    }
    LARGE_INTEGER distance, position;
    distance.QuadPart = lOff;
    if (!SetFilePointerEx(m_hFile, distance, &position, method))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const {
    CheckOpen();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
    return static_cast<ULONGLONG>(size.QuadPart);
}

ULONGLONG CFile::GetPosition() const {
    CheckOpen();
    LARGE_INTEGER zero, position;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen) {
    CFile::Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!SetEndOfFile(m_hFile))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
}

void CFile::Flush() {
    if (!IsOpen()) return;
    if (!FlushFileBuffers(m_hFile))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
}

void CFile::Close() {
    if (!IsOpen()) return;
    BOOL ok = CloseHandle(m_hFile);
    LONG err = ok ? 0 : static_cast<LONG>(GetLastError());
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = FALSE;
    CString name = m_strFileName;
    m_strFileName.Empty();
    if (!ok) CFileException::ThrowOsError(err, name);
}

void CFile::Abort() {
    if (IsOpen()) CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

CString CFile::GetFileName() const { return NameOf(m_strFileName); }

CString CFile::GetFileTitle() const { return TitleOf(NameOf(m_strFileName)); }

void CFile::Remove(LPCTSTR lpszFileName) {
    if (!DeleteFileA(lpszFileName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszFileName);
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName) {
    if (!MoveFileA(lpszOldName, lpszNewName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszOldName);
}

// ---------------------------------------------------------------------------
// CStdioFile

CStdioFile::CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags) {
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e))
        AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

BOOL CStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    m_bText = (nOpenFlags & typeBinary) == 0;
    m_pos = m_len = 0;
    return CFile::Open(lpszFileName, nOpenFlags & ~static_cast<UINT>(typeText | typeBinary),
                       pError);
}

size_t CStdioFile::Avail() const { return m_len - m_pos; }

void CStdioFile::FillAhead(size_t need) {
    if (Avail() >= need) return;
    if (m_buf.size() < 4096) m_buf.resize(4096);
    std::memmove(m_buf.data(), m_buf.data() + m_pos, Avail());
    m_len = Avail();
    m_pos = 0;
    while (m_len < need) {
        UINT got = CFile::Read(m_buf.data() + m_len, static_cast<UINT>(m_buf.size() - m_len));
        if (got == 0) break;
        m_len += got;
    }
}

int CStdioFile::PeekAt(size_t k) {
    FillAhead(k + 1);
    return Avail() > k ? static_cast<BYTE>(m_buf[m_pos + k]) : -1;
}

int CStdioFile::NextChar() {
    int c = PeekAt(0);
    if (c < 0) return c;
    ++m_pos;
    if (m_bText && c == '\r' && PeekAt(0) == '\n') {
        ++m_pos;
        return '\n';
    }
    return c;
}

void CStdioFile::DropReadAhead() {
    if (Avail() > 0) CFile::Seek(-static_cast<LONGLONG>(Avail()), current);
    m_pos = m_len = 0;
}

BOOL CStdioFile::ReadString(CString& rString) {
    CheckOpen();
    std::string line;
    bool any = false;
    for (int c; (c = NextChar()) >= 0;) {
        any = true;
        if (c == '\n') break;
        line += static_cast<char>(c);
    }
    rString = CString(line.data(), static_cast<int>(line.size()));
    return any;
}

LPTSTR CStdioFile::ReadString(LPTSTR lpsz, UINT nMax) {
    CheckOpen();
    if (!AFX_CHECK(lpsz != nullptr && nMax > 0)) return nullptr;
    UINT n = 0;
    bool any = false;
    bool secondByteNext = false;  // the last byte taken opened a double-byte character
    while (n + 1 < nMax) {
        int c = PeekAt(0);
        if (c < 0) break;
        bool lead = !secondByteNext && AfxIsLeadByte949(static_cast<BYTE>(c));
        // A double-byte character with room for only its first byte waits
        // for the next call.
        if (lead && n > 0 && n + 2 == nMax && PeekAt(1) > 0) break;
        c = NextChar();
        any = true;
        secondByteNext = lead;
        lpsz[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    lpsz[n] = '\0';
    return any ? lpsz : nullptr;
}

void CStdioFile::WriteString(LPCTSTR lpsz) {
    if (!AFX_CHECK(lpsz != nullptr)) return;
    Write(lpsz, static_cast<UINT>(std::strlen(lpsz)));
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount) {
    CheckOpen();
    char* out = static_cast<char*>(lpBuf);
    UINT n = 0;
    if (m_bText) {
        for (int c; n < nCount && (c = NextChar()) >= 0;) out[n++] = static_cast<char>(c);
        return n;
    }
    size_t take = Avail() < nCount ? Avail() : nCount;
    if (take) std::memcpy(out, m_buf.data() + m_pos, take);
    m_pos += take;
    n = static_cast<UINT>(take);
    if (n < nCount) n += CFile::Read(out + n, nCount - n);
    return n;
}

void CStdioFile::Write(const void* lpBuf, UINT nCount) {
    CheckOpen();
    DropReadAhead();
    if (!m_bText) {
        CFile::Write(lpBuf, nCount);
        return;
    }
    const char* in = static_cast<const char*>(lpBuf);
    std::vector<char> out;
    out.reserve(nCount + nCount / 16 + 2);
    for (UINT i = 0; i < nCount; ++i) {
        if (in[i] == '\n') out.push_back('\r');
        out.push_back(in[i]);
    }
    CFile::Write(out.data(), static_cast<UINT>(out.size()));
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom) {
    CheckOpen();
    DropReadAhead();
    return CFile::Seek(lOff, nFrom);
}

ULONGLONG CStdioFile::GetPosition() const { return CFile::GetPosition() - Avail(); }

void CStdioFile::SetLength(ULONGLONG dwNewLen) {
    CheckOpen();
    DropReadAhead();
    CFile::SetLength(dwNewLen);
}

void CStdioFile::Flush() {
    if (IsOpen()) DropReadAhead();
    CFile::Flush();
}

void CStdioFile::Close() {
    m_pos = m_len = 0;
    CFile::Close();
}

void CStdioFile::Abort() {
    m_pos = m_len = 0;
    CFile::Abort();
}

// ---------------------------------------------------------------------------
// CFileFind

BOOL CFileFind::FindFile(LPCTSTR pstrName, DWORD dwUnused) {
    Close();
    if (!pstrName || !*pstrName) pstrName = "*.*";
    HANDLE h = FindFirstFileA(pstrName, &m_next);
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    m_hFind = h;
    m_hasNext = true;
    m_hasCurrent = false;

    CString full = FullPathOf(pstrName);
    int cut = full.ReverseFind('\\');
    int slash = full.ReverseFind('/');
    if (slash > cut) cut = slash;
    m_strRoot = cut >= 0 ? full.Left(cut) : CString();
    if (m_strRoot.GetLength() == 2 && m_strRoot[1] == ':') m_strRoot += '\\';
    return TRUE;
}

BOOL CFileFind::FindNextFile() {
    if (!AFX_CHECK(m_hFind != INVALID_HANDLE_VALUE)) return FALSE;
    if (!m_hasNext) return FALSE;
    m_current = m_next;
    m_hasCurrent = true;
    m_hasNext = ::FindNextFileA(m_hFind, &m_next) != FALSE;
    return m_hasNext;
}

void CFileFind::Close() {
    if (m_hFind != INVALID_HANDLE_VALUE) FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_hasCurrent = m_hasNext = false;
    m_strRoot.Empty();
}

const WIN32_FIND_DATAA* CFileFind::Current() const {
    return AFX_CHECK(m_hasCurrent) ? &m_current : nullptr;
}

ULONGLONG CFileFind::GetLength() const {
    const WIN32_FIND_DATAA* d = Current();
    if (!d) return 0;
    return (static_cast<ULONGLONG>(d->nFileSizeHigh) << 32) | d->nFileSizeLow;
}

CString CFileFind::GetFileName() const {
    const WIN32_FIND_DATAA* d = Current();
    return d ? CString(d->cFileName) : CString();
}

CString CFileFind::GetFilePath() const {
    if (!Current()) return CString();
    CString path = m_strRoot;
    if (!path.IsEmpty() && path.Right(1) != "\\" && path.Right(1) != "/") path += '\\';
    return path + GetFileName();
}

CString CFileFind::GetFileTitle() const { return TitleOf(GetFileName()); }

CString CFileFind::GetRoot() const { return Current() ? m_strRoot : CString(); }

BOOL CFileFind::GetLastWriteTime(FILETIME* pTimeStamp) const {
    const WIN32_FIND_DATAA* d = Current();
    if (!d || !AFX_CHECK(pTimeStamp != nullptr)) return FALSE;
    *pTimeStamp = d->ftLastWriteTime;
    return TRUE;
}

BOOL CFileFind::GetLastAccessTime(FILETIME* pTimeStamp) const {
    const WIN32_FIND_DATAA* d = Current();
    if (!d || !AFX_CHECK(pTimeStamp != nullptr)) return FALSE;
    *pTimeStamp = d->ftLastAccessTime;
    return TRUE;
}

BOOL CFileFind::GetCreationTime(FILETIME* pTimeStamp) const {
    const WIN32_FIND_DATAA* d = Current();
    if (!d || !AFX_CHECK(pTimeStamp != nullptr)) return FALSE;
    *pTimeStamp = d->ftCreationTime;
    return TRUE;
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const {
    const WIN32_FIND_DATAA* d = Current();
    return d && (d->dwFileAttributes & dwMask) != 0;
}

BOOL CFileFind::IsDots() const {
    if (!IsDirectory()) return FALSE;
    const char* name = m_current.cFileName;
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}
