// The grid's text files: Save writes every row's texts separated by ","
// in a text-mode file; Load rebuilds the grid from one, whole lines at a
// time.
#include "ThemeClass/ThemeGrid.h"

#include "ThemeClass/ThemeGridTextFile.h"

namespace {

// The file error in the class library's message box for it.
void ReportFileError(CFileException& e) {
    char text[512] = {};
    if (!e.GetErrorMessage(text, sizeof(text))) lstrcpynA(text, "File error", sizeof(text));
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}

}  // namespace

BOOL CThemeGrid::Save(LPCTSTR lpszFileName) {
    CStdioFile file;
    CFileException error;
    if (!file.Open(lpszFileName, CFile::modeWrite | CFile::modeCreate | CFile::typeText, &error)) {
        ReportFileError(error);
        return FALSE;
    }
    try {
        // The portable text has CR LF line ends; the text-mode file makes
        // them of "\n".
        std::string text = GridFormatTextFile(*this);
        std::string lines;
        lines.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i)
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
        file.WriteString(lines.c_str());
        file.Close();
    } catch (CException* e) {
        e->Delete();
        AfxMessageBox("Unable to save grid list");
        return FALSE;
    }
    return TRUE;
}

BOOL CThemeGrid::Load(LPCTSTR lpszFileName) {
    CStdioFile file;
    CFileException error;
    if (!file.Open(lpszFileName, CFile::modeRead | CFile::typeText, &error)) {
        ReportFileError(error);
        return FALSE;
    }
    std::vector<std::vector<CString>> lines;
    try {
        CString line;
        while (file.ReadString(line))
            lines.push_back(GridSplitTextLine(line, static_cast<size_t>(line.GetLength())));
        file.Close();
    } catch (CException* e) {
        e->Delete();
        DeleteAllItems();
        AfxMessageBox("Unable to load grid data");
        return FALSE;
    }
    GridBuildFromText(*this, lines);
    return TRUE;
}
