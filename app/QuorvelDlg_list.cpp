// The main dialog's play list: building the records from the clip folder,
// filling and sorting the list, playing a row, advancing, and taking an
// unplayable clip out.
#include <vector>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeListCtrl.h"
#include "app/QuorvelDlg.h"
#include "app/player_ctrl.h"

namespace {

// The play list's matches through the class library's file finder, with
// the length and last-write time from the file's standard attributes.
class FileFindClips : public ClipFinder {
public:
    bool Find(const std::string& pattern, std::vector<ClipMatch>* out) override {
        CFileFind find;
        BOOL more = find.FindFile(pattern.c_str());
        if (!more) return false;
        while (more) {
            more = find.FindNextFile();
            ClipMatch m;
            m.name = std::string(find.GetFileName());
            m.path = std::string(find.GetFilePath());
            m.isDirectory = find.IsDirectory() != FALSE;
            WIN32_FILE_ATTRIBUTE_DATA attr;
            if (!m.isDirectory && !find.IsDots() &&
                ::GetFileAttributesExA(m.path.c_str(), GetFileExInfoStandard, &attr)) {
                m.length = (uint64_t(attr.nFileSizeHigh) << 32) | attr.nFileSizeLow;
                SYSTEMTIME st;
                if (::FileTimeToSystemTime(&attr.ftLastWriteTime, &st))
                    m.written = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
            }
            out->push_back(m);
        }
        return true;
    }
};

}  // namespace

int CQuorvelDlg::BuildPlayList() {
    FileFindClips finder;
    m_nEntryCount = PlayList_Build(m_szFolder, finder, m_Entries, PLAYLIST_RECORDS);
    FillPlayList();
    return m_nEntryCount;
}

void CQuorvelDlg::FillPlayList() {
    if (!m_pPlayList) return;
    // One repaint for the whole fill and sort, not one per row.
    m_pPlayList->SendMessage(WM_SETREDRAW, FALSE, 0);
    m_pPlayList->DeleteAllItems();
    m_pPlayList->SetSortType(1);
    for (int i = 0; i < m_nEntryCount; ++i) {
        if (m_Entries[i].strPath.empty()) continue;
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = m_pPlayList->GetItemCount();
        item.pszText = const_cast<char*>(m_Entries[i].strDateText.c_str());
        item.cchTextMax = 20;
        item.lParam = i;
        m_pPlayList->InsertItem(&item);
    }
    m_pPlayList->GetHeadCtrl().SortByColumn(MK_LBUTTON, CPoint(78, 76));
    m_pPlayList->SendMessage(WM_SETREDRAW, TRUE, 0);
    m_pPlayList->Invalidate();
}

int CQuorvelDlg::RecordOfRow(int nRow) const {
    if (!m_pPlayList || nRow < 0 || nRow >= m_pPlayList->GetItemCount()) return -1;
    const DWORD_PTR data = m_pPlayList->GetItemData(nRow);
    return data < DWORD_PTR(PLAYLIST_RECORDS) ? int(data) : -1;
}

void CQuorvelDlg::PlayRow(int nRow) {
    const int record = RecordOfRow(nRow);
    if (record < 0) return;
    m_strPlayingPath = m_Entries[record].strPath;
    OpenAndPlay(m_Entries[record].strPath.c_str());
}

void CQuorvelDlg::OnDblclkPlayList(NMHDR*, LRESULT* pResult) {
    m_bPlayFromList = TRUE;
    if (!m_pPlayer || !m_pPlayList || m_pPlayer->GetState() == CTRL_STATE_BUSY) return;
    m_nCurItem = m_pPlayList->GetSelectionMark();
    if (m_nCurItem == -1) return;
    PlayRow(m_nCurItem);
    if (pResult) *pResult = 0;
}

void CQuorvelDlg::OpenAndPlay(CString strPath) {
    if (!m_pPlayer) return;
    m_pPlayer->Close();
    if (!m_pPlayer->Open(strPath, 0, 0, 0, 0)) {
        AfxMessageBox(IDS_OPEN_FAILED, MB_OK);
        return;
    }
    SetPlayFace(IDB_PAUSE);
    UpdateSpeedLabel();
    for (int i = 0; i < 100 && m_pPlayer->GetState() != CTRL_STATE_PLAYING; ++i) ::Sleep(10);
    m_pPlayer->SetSpeed(int(m_nSpeed));
}

void CQuorvelDlg::PlayNext() {
    if (!m_pPlayList) return;
    const int mark = m_pPlayList->GetSelectionMark();
    if (mark == -1) return;
    m_pPlayList->SetItemState(mark, 0, LVIS_SELECTED);
    m_nCurItem = PlayList_NextRow(m_nCurItem, m_pPlayList->GetItemCount());
    if (m_nCurItem < 0) return;
    m_pPlayList->SetSelectionMark(m_nCurItem);
    m_pPlayList->SetItemState(m_nCurItem, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    m_pPlayList->SetFocus();
    m_pPlayList->EnsureVisible(m_nCurItem, TRUE);
    PlayRow(m_nCurItem);
}

void CQuorvelDlg::OnPlayerBadFile() {
    // The row that goes is the one showing the failing clip's record, found
    // by its item data: the list may have been rebuilt or re-sorted since
    // the clip started, so neither the current row nor row 0 names it.
    int record = -1;
    for (int i = 0; i < m_nEntryCount && !m_strPlayingPath.empty(); ++i)
        if (m_Entries[i].strPath == m_strPlayingPath) {
            record = i;
            break;
        }
    std::vector<int> rows;
    if (m_pPlayList)
        for (int i = 0; i < m_pPlayList->GetItemCount(); ++i) rows.push_back(RecordOfRow(i));
    const PlayListRemoval plan = PlayList_PlanRemoval(rows, record, m_nCurItem);
    auto removeRow = [&] {
        if (record >= 0) m_Entries[record].strPath.clear();
        if (plan.row >= 0) m_pPlayList->DeleteItem(plan.row);
        m_strPlayingPath.clear();
    };
    if (m_bPlayFromList) {
        AfxMessageBox(IDS_DAMAGED_FILE);
        removeRow();
        m_nCurItem = plan.curItemAfter;
        if (!m_pPlayList || m_pPlayList->GetItemCount() == 0) return;
        // The next step starts from the row before the removed one; the
        // mark must name a row for it to go on.
        m_pPlayList->SetSelectionMark(m_nCurItem >= 0 ? m_nCurItem : 0);
        PlayNext();
    } else {
        SetPlayFace(IDB_PLAY);
        AfxMessageBox(IDS_DAMAGED_FILE);
        if (m_pPlayer) m_pPlayer->Close();
        removeRow();
    }
}

void CQuorvelDlg::ChooseFolder(LPCTSTR lpszFolder) {
    lstrcpynA(m_szFolder, lpszFolder ? lpszFolder : "", sizeof m_szFolder);
    BuildPlayList();
    m_nCurItem = -1;
}
