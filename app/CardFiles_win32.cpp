#include "app/CardFiles.h"

#include <cstdlib>

#include "classlib/afxfile.h"

bool CCardFiles::ReadByte(const std::string& path, int* byte) {
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeRead)) return false;
    unsigned char b = 0;
    UINT n = 0;
    try {
        n = file.Read(&b, 1);
    } catch (CFileException* e) {
        e->Delete();
    }
    *byte = n == 1 ? b : -1;
    file.Abort();
    return true;
}

bool CCardFiles::Write(const std::string& path, const void* data, size_t size, int* cause) {
    CFile file;
    CFileException error;
    if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite, &error)) {
        *cause = error.m_cause;
        return false;
    }
    try {
        file.Write(data, static_cast<UINT>(size));
        file.Close();
    } catch (CFileException* e) {
        *cause = e->m_cause;
        e->Delete();
        file.Abort();
        return false;
    }
    return true;
}

void CCardFiles::RunCommand(const std::string& command) {
    // The command processor makes the folder; its exit code is not needed:
    // the open that follows tells.
    (void)std::system(command.c_str());
}
