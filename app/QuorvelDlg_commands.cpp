// The main dialog's commands: buttons, sliders, keys, the sound switch, the
// child dialogs, the one close sequence and the look of the dialog and its
// controls.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeConfig.h"
#include "ThemeClass/ThemeListCtrl.h"
#include "ThemeClass/ThemeRadio.h"
#include "ThemeClass/ThemeSlider.h"
#include "ThemeClass/ThemeStatic.h"
#include "app/QuorvelDlg.h"
#include "app/StylePreset_win32.h"
#include "app/instruments.h"
#include "app/player_ctrl.h"

namespace {

const char kWindowText[] = "Trellmar";

int CALLBACK BrowseCallbackProc(HWND hWnd, UINT uMsg, LPARAM, LPARAM lpData) {
    if (uMsg == BFFM_INITIALIZED) ::SendMessageA(hWnd, BFFM_SETSELECTIONA, TRUE, lpData);
    return 0;
}

}  // namespace

// --- Keys -------------------------------------------------------------------------

BOOL CQuorvelDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN) {
        switch (pMsg->wParam) {
            case VK_RETURN:
            case VK_ESCAPE: return TRUE;
            case VK_LEFT:
            case VK_RIGHT:
                if (m_pPlayer && m_pSliderSeek)
                    m_pPlayer->SeekFlagged(m_pSliderSeek->GetPos() +
                                           (pMsg->wParam == VK_LEFT ? -100 : 100));
                break;
            case VK_UP:
            case VK_DOWN:
                if (m_pSliderVolume) {
                    const int pos = m_pSliderVolume->GetPos();
                    const int volume = pMsg->wParam == VK_UP ? Volume_Up(pos) : Volume_Down(pos);
                    if (m_pPlayer) m_pPlayer->SetVolume(volume);
                    m_pSliderVolume->SetPos(volume);
                }
                break;
            case VK_SPACE:
                if (m_pPlayer) {
                    const int state = m_pPlayer->GetState();
                    if (state == CTRL_STATE_PAUSED || state == CTRL_STATE_STEPPING) {
                        SetPlayFace(IDB_PAUSE);
                        m_pPlayer->Play();
                    } else {
                        SetPlayFace(IDB_PLAY);
                        m_pPlayer->Pause();
                    }
                }
                return TRUE;
            default: break;
        }
    }
    return CThemeDialog::PreTranslateMessage(pMsg);
}

// --- Playback ---------------------------------------------------------------------

void CQuorvelDlg::SetPlayFace(UINT nBitmap) {
    m_nPlayFace = nBitmap;
    if (m_pBtnPlay) SetButtonImage(m_pBtnPlay, nBitmap);
}

void CQuorvelDlg::OnPlayPause() {
    if (!m_pPlayer) return;
    const int state = m_pPlayer->GetState();
    if (state == CTRL_STATE_PAUSED || state == CTRL_STATE_STEPPING) {
        SetPlayFace(IDB_PAUSE);
        m_pPlayer->Play();
        for (int i = 0; i < 101 && m_pPlayer->GetState() != CTRL_STATE_PLAYING; ++i) ::Sleep(10);
        m_pPlayer->SetSpeed(int(m_nSpeed));
    } else if (state == CTRL_STATE_PLAYING) {
        SetPlayFace(IDB_PLAY);
        m_pPlayer->Pause();
    }
}

int CQuorvelDlg::ShowOpenFileDialog(CWnd* pOwner, LPCTSTR lpszFilter, DWORD dwFlags,
                                    char* pszPath) {
    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the 76-byte record
    ofn.hwndOwner = pOwner ? pOwner->m_hWnd : nullptr;
    ofn.lpstrFilter = lpszFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.Flags = dwFlags;
    const int result = ::GetOpenFileNameA(&ofn);
    if (!result || !pszPath) return 0;
    lstrcpynA(pszPath, file, MAX_PATH);
    m_bGraphDirty = TRUE;
    return result;
}

void CQuorvelDlg::OnOpenFile() {
    static const char kFilter[] = "RivavEzu File(*.mp4)\0*.mp4\0";
    char path[MAX_PATH] = {};
    if (!ShowOpenFileDialog(this, kFilter, 0, path)) return;
    OpenSingleFile(path);
}

void CQuorvelDlg::OpenSingleFile(LPCTSTR lpszPath) {
    m_fSpeedKmh = 0;
    if (!m_pPlayer || m_pPlayer->GetState() == CTRL_STATE_BUSY) return;
    m_bPlayFromList = FALSE;
    CFileFind find;
    if (!lpszPath || !find.FindFile(lpszPath)) return;
    find.FindNextFile();
    PlayListEntry& e = m_Entries[0];
    e.strPath = std::string(find.GetFilePath());
    e.strExtra.clear();
    e.nKind = 0;
    WIN32_FILE_ATTRIBUTE_DATA attr;
    if (!::GetFileAttributesExA(e.strPath.c_str(), GetFileExInfoStandard, &attr)) return;
    const uint64_t length = (uint64_t(attr.nFileSizeHigh) << 32) | attr.nFileSizeLow;
    if (length < uint64_t(PLAYLIST_MIN_LENGTH)) {
        AfxMessageBox(IDS_CANNOT_PLAY);
        return;
    }
    SYSTEMTIME st = {};
    ::FileTimeToSystemTime(&attr.ftLastWriteTime, &st);
    e.strDateText = PlayList_DateText({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                                       st.wSecond});
    m_nEntryCount = 1;
    FillPlayList();
    m_nCurItem = -1;
    m_strPlayingPath = e.strPath;
    OpenAndPlay(e.strPath.c_str());
}

void CQuorvelDlg::UpdateSpeedLabel() {
    if (m_pLabelSpeed) m_pLabelSpeed->SetText(Speed_Label(m_nSpeed));
}

void CQuorvelDlg::OnSlower() {
    m_nSpeed = Speed_Slower(m_nSpeed);
    if (m_pPlayer && m_pPlayer->GetState() == CTRL_STATE_PLAYING) m_pPlayer->SetSpeed(int(m_nSpeed));
    UpdateSpeedLabel();
}

void CQuorvelDlg::OnFaster() {
    m_nSpeed = Speed_Faster(m_nSpeed);
    if (m_pPlayer && m_pPlayer->GetState() == CTRL_STATE_PLAYING) m_pPlayer->SetSpeed(int(m_nSpeed));
    UpdateSpeedLabel();
}

void CQuorvelDlg::OnNext() {
    if (m_bPlayFromList) PlayNext();
}

void CQuorvelDlg::OnRadioAll() {
    m_bPlayFromList = FALSE;
    FillPlayList();
}

void CQuorvelDlg::OnBtnHidden() {}

void CQuorvelDlg::OnSeekSlider(NMHDR* pNMHDR, LRESULT* pResult) {
    if (m_pPlayer && m_pSliderSeek) m_pPlayer->Seek(m_pSliderSeek->GetPos());
    if (pResult) *pResult = 0;
}

void CQuorvelDlg::OnVolumeSlider(NMHDR* pNMHDR, LRESULT* pResult) {
    if (m_pPlayer && m_pSliderVolume) m_pPlayer->SetVolume(m_pSliderVolume->GetPos());
    if (pResult) *pResult = 0;
}

void CQuorvelDlg::ToggleSound() {
    if (m_bSoundOn) {
        m_bSoundOn = FALSE;
        m_nSoundFace = IDB_SOUND_OFF;
        if (m_pStaticSound) SetStaticImage(m_pStaticSound, IDB_SOUND_OFF);
        if (m_pPlayer) m_pPlayer->SetVolume(0);
    } else {
        m_bSoundOn = TRUE;
        m_nSoundFace = IDB_SOUND_ON;
        if (m_pStaticSound) SetStaticImage(m_pStaticSound, IDB_SOUND_ON);
        if (m_pPlayer && m_pSliderVolume) m_pPlayer->SetVolume(m_pSliderVolume->GetPos());
    }
    if (m_pStaticSound) m_pStaticSound->Invalidate(FALSE);
}

// --- Child dialogs ----------------------------------------------------------------

void CQuorvelDlg::CreateMapDialog() {
    if (m_bMapCreated) return;
    if (m_dlgMap.Create(CDlgGoogle::IDD, this)) m_bMapCreated = TRUE;
}

void CQuorvelDlg::CreateDetailDialog() {
    m_dlgDetail.m_pMainDlg = this;
    if (m_bDetailCreated) return;
    if (m_dlgDetail.Create(CDlgDetail::IDD, this)) m_bDetailCreated = TRUE;
}

void CQuorvelDlg::OnMap() {
    if (!m_bMapCreated) return;
    m_dlgMap.ShowWindow(SW_SHOW);
    m_dlgMap.SetForegroundWindow();
    m_dlgMap.SetMapFocus();
}

void CQuorvelDlg::OnDetail() {
    if (!m_bDetailCreated) return;
    CRect rcMain, rcDetail;
    GetWindowRect(&rcMain);
    m_dlgDetail.GetWindowRect(&rcDetail);
    // The detail dialog is a child of no kind here but a popup: screen
    // coordinates place it.
    m_dlgDetail.MoveWindow(rcMain.left + 661, rcMain.top + 354, rcDetail.Width(),
                           rcDetail.Height(), TRUE);
    m_dlgDetail.ShowWindow(SW_SHOW);
}

void CQuorvelDlg::OnConfig() {
    CConfigDlg dlg(nullptr);
    dlg.DoModal();
}

void CQuorvelDlg::OnFolder() {
    CString strTitle;
    strTitle.LoadString(IDS_SELECT_FOLDER);
    BROWSEINFOA bi = {};
    bi.hwndOwner = m_hWnd;
    bi.pszDisplayName = m_szFolder;
    bi.lpszTitle = strTitle;
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    bi.lpfn = BrowseCallbackProc;
    bi.lParam = reinterpret_cast<LPARAM>(m_szFolder);
    LPITEMIDLIST pidl = ::SHBrowseForFolderA(&bi);
    if (!pidl) return;
    char path[MAX_PATH] = {};
    const BOOL ok = ::SHGetPathFromIDListA(pidl, path);
    ::CoTaskMemFree(pidl);
    if (ok) ChooseFolder(path);
}

void CQuorvelDlg::ShowControlGroup(int nCmdShow) {
    CThemeStatic* labels[5] = {m_dlgDetail.m_pValueX, m_dlgDetail.m_pValueY, m_dlgDetail.m_pValueZ,
                               m_dlgDetail.m_pValueLat, m_dlgDetail.m_pValueLng};
    for (CThemeStatic* p : labels)
        if (p && p->GetSafeHwnd()) p->ShowWindow(nCmdShow);
}

LRESULT CQuorvelDlg::OnNcHitTest(CPoint point) {
    if (m_bDetailCreated && m_dlgDetail.GetSafeHwnd() && m_dlgDetail.IsWindowVisible())
        return HTNOWHERE;
    return CThemeDialog::OnNcHitTest(point);
}

HBRUSH CQuorvelDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (pWnd && pWnd->GetDlgCtrlID() == IDC_VIDEO) {
        pDC->SetBkMode(TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
    return CThemeDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

// --- Closing ----------------------------------------------------------------------

void CQuorvelDlg::Shutdown() {
    if (m_bClosed) return;
    m_bClosed = TRUE;
    if (m_pPlayer) {
        if (m_pPlayer->GetState() != CTRL_STATE_CLOSED) m_pPlayer->Close();
        CPlayerCtrl::DestroyInstance();
        m_pPlayer = nullptr;
    }
    // The buffers let go of the images before they are freed.
    if (m_dcGraphBack.m_hDC && m_hOldGraphBack) {
        m_dcGraphBack.SelectObject(m_hOldGraphBack);
        m_hOldGraphBack = nullptr;
    }
    m_bmpGraphBack.DeleteObject();
    m_bmpDialFace.DeleteObject();
}

void CQuorvelDlg::OnCloseButton() { Close(); }

void CQuorvelDlg::OnMinimize() { ShowWindow(SW_MINIMIZE); }

void CQuorvelDlg::OnOK() {}

void CQuorvelDlg::OnCancel() {
    Shutdown();
    CThemeDialog::OnCancel();
}

// --- Look -------------------------------------------------------------------------

void CQuorvelDlg::SetButtonCaptions() {
    static const struct {
        UINT id, text;
    } kCaptions[] = {{IDC_MAP, IDS_MAP}, {IDC_CONFIG, IDS_CONFIG}, {IDC_FOLDER, IDS_FOLDER},
                     {IDC_DETAIL, IDS_DETAIL}};
    for (const auto& c : kCaptions) {
        CString s;
        s.LoadString(c.text);
        SetDlgItemText(c.id, s);
    }
}

void CQuorvelDlg::ApplyDialogSkin() {
    SetFontColor(0xE6E6E6);
    SetShadowColor(0xC8C8C8);
    SetFontBold(FALSE);
    SetFontSize(16);
    SetAlignFormat(5);
    SetCaptionArea(CRect(1, 1, -1, 40));
    SetBackImage(GetAppFolder() + "Image\\IDB_DLG_POPUP_COMMON.gif");
    SetCaption(kWindowText);
    SetWindowText(kWindowText);
    SetMouseDragMove(1);
}

void CQuorvelDlg::ApplyControlStyles() {
    ApplyCloseButtonStyle(dynamic_cast<CThemeButton*>(ReplaceControl(IDC_CLOSE)));
    ApplyMinimizeButtonStyle(dynamic_cast<CThemeButton*>(ReplaceControl(IDC_MINIMIZE)));
    static const struct {
        UINT id, bitmap;
    } kImageButtons[] = {
        {IDC_OPEN_FILE, IDB_OPEN}, {IDC_NEXT, IDB_NEXT}, {IDC_FASTER, IDB_FASTER},
        {IDC_SLOWER, IDB_SLOWER}};
    for (const auto& b : kImageButtons)
        SetButtonImage(dynamic_cast<CThemeButton*>(ReplaceControl(b.id)), b.bitmap);
    m_pBtnPlay = dynamic_cast<CThemeButton*>(ReplaceControl(IDC_PLAY_PAUSE));
    SetPlayFace(IDB_PLAY);
    for (UINT id : {IDC_DETAIL, IDC_MAP, IDC_CONFIG, IDC_FOLDER})
        ApplyTextButtonStyle(dynamic_cast<CThemeButton*>(ReplaceControl(id)));
    m_pLabelSpeed = dynamic_cast<CThemeStatic*>(ReplaceControl(IDC_SPEED_LABEL));
    ApplyLabelStyle(m_pLabelSpeed);
    m_pLabelTime = dynamic_cast<CThemeStatic*>(ReplaceControl(IDC_TIME_LABEL));
    ApplyValueLabelStyle(m_pLabelTime);
    m_pLabelDate = dynamic_cast<CThemeStatic*>(ReplaceControl(IDC_DATE_LABEL));
    ApplyValueLabelStyle(m_pLabelDate);
    m_pStaticSound = dynamic_cast<CThemeStatic*>(ReplaceControl(IDC_SOUND));
    SetStaticImage(m_pStaticSound, IDB_SOUND_ON);
    m_pSliderSeek = dynamic_cast<CThemeSlider*>(ReplaceControl(IDC_SEEK_SLIDER));
    ApplySliderStyle(m_pSliderSeek);
    m_pSliderVolume = dynamic_cast<CThemeSlider*>(ReplaceControl(IDC_VOLUME_SLIDER));
    ApplySliderStyle(m_pSliderVolume);
    m_pPlayList = dynamic_cast<CThemeListCtrl*>(ReplaceControl(IDC_PLAYLIST));
    ApplyListStyle(m_pPlayList);
    CThemeRadio* pPlay = dynamic_cast<CThemeRadio*>(ReplaceControl(IDC_RADIO_PLAY));
    ApplyPlayRadioStyle(pPlay);
    if (pPlay) pPlay->SetCheck(1);
}
