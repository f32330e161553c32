// The program's main window: a skinned dialog on template 102 titled
// "Trellmar". It shows the picture in control 1001, the play list of the
// card's clips, the playback buttons and sliders, the time and date labels,
// the G-sensor graph and the speedometer, and owns the detail and map
// dialogs. The player controller's messages end here.
#pragma once

#include <string>

#include "ThemeClass/ThemeDialog.h"
#include "app/ConfigDlg.h"
#include "app/DlgDetail.h"
#include "app/DlgGoogle.h"
#include "app/play_list.h"
#include "app/recorder_records.h"
#include "app/res/resource.h"

class CPlayerCtrl;
class CThemeButton;
class CThemeListCtrl;
class CThemeSlider;
class CThemeStatic;

class CQuorvelDlg : public CThemeDialog {
public:
    enum { IDD = IDD_QUORVEL_DIALOG };
    explicit CQuorvelDlg(CWnd* pParent = nullptr);
    ~CQuorvelDlg() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Enter does not end the dialog; the cancel road (Escape is swallowed
    // before) is the one close sequence of X, WM_CLOSE and Alt+F4.
    void OnOK() override;
    void OnCancel() override;

    // Play list (rows are sorted; each row's item data is its record).
    int BuildPlayList();
    void FillPlayList();
    void OpenAndPlay(CString strPath);
    void PlayNext();
    // What the FOLDER command does once a folder is chosen.
    void ChooseFolder(LPCTSTR lpszFolder);

    int ShowOpenFileDialog(CWnd* pOwner, LPCTSTR lpszFilter, DWORD dwFlags, char* pszPath);
    // The open-file command after the choice: the single-file road.
    void OpenSingleFile(LPCTSTR lpszPath);
    void ShowControlGroup(int nCmdShow);
    // The speed the speedometer shows (km/h), redrawn at once.
    void ShowSpeed(float fSpeedKmh);

    // Read by tests and the program-level driver.
    int GetSpeed() const { return int(m_nSpeed); }
    BOOL IsSoundOn() const { return m_bSoundOn; }
    BOOL IsPlayFromList() const { return m_bPlayFromList; }
    int GetCurItem() const { return m_nCurItem; }
    int GetEntryCount() const { return m_nEntryCount; }
    const PlayListEntry& GetEntry(int i) const { return m_Entries[i]; }
    const char* GetFolder() const { return m_szFolder; }
    float GetSpeedKmh() const { return m_fSpeedKmh; }
    CPlayerCtrl* GetPlayer() const { return m_pPlayer; }
    CDlgDetail& GetDetailDialog() { return m_dlgDetail; }
    CDlgGoogle& GetMapDialog() { return m_dlgMap; }
    CThemeListCtrl* GetPlayList() const { return m_pPlayList; }
    CThemeSlider* GetVolumeSlider() const { return m_pSliderVolume; }
    CThemeSlider* GetSeekSlider() const { return m_pSliderSeek; }
    UINT GetPlayFace() const { return m_nPlayFace; }
    UINT GetSoundFace() const { return m_nSoundFace; }
    BOOL IsClosed() const { return m_bClosed; }

protected:
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg LRESULT OnQueryDragIconMessage(WPARAM wParam, LPARAM lParam);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnPlayPause();
    afx_msg void OnOpenFile();
    afx_msg void OnMap();
    afx_msg void OnConfig();
    afx_msg void OnFolder();
    afx_msg void OnCloseButton();
    afx_msg void OnMinimize();
    afx_msg void OnSlower();
    afx_msg void OnFaster();
    afx_msg void OnNext();
    afx_msg void OnRadioAll();
    afx_msg void OnBtnHidden();
    afx_msg void OnDetail();
    afx_msg void OnDblclkPlayList(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSeekSlider(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnVolumeSlider(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    void InitPlayer();
    void SetButtonCaptions();
    void ApplyDialogSkin();
    void ApplyControlStyles();
    void CreateMapDialog();
    void CreateDetailDialog();
    void UpdateSpeedLabel();
    void ToggleSound();
    void SetPlayFace(UINT nBitmap);
    void OnPlayerPosition(WPARAM wParam, LPARAM lParam);
    void OnPlayerEndOfStream();
    void OnPlayerGps(WPARAM index);
    void OnPlayerGSensor(WPARAM index);
    void OnPlayerBadFile();
    // Stops and destroys the controller and frees the instruments' images,
    // once, whichever road closes the dialog.
    void Shutdown();
    void DrawGraph(CDC* pDC);
    void DrawDial(CDC* pDC);
    void EnsureBuffers(CDC* pDC);
    // The record shown in a row, or -1.
    int RecordOfRow(int nRow) const;
    void PlayRow(int nRow);

    CDlgGoogle m_dlgMap;
    CDlgDetail m_dlgDetail;
    CThemeStatic* m_pLabelSpeed = nullptr;
    CThemeButton* m_pBtnPlay = nullptr;
    CThemeStatic* m_pLabelTime = nullptr;
    CThemeStatic* m_pLabelDate = nullptr;
    CThemeStatic* m_pStaticSound = nullptr;
    CThemeSlider* m_pSliderVolume = nullptr;
    CThemeSlider* m_pSliderSeek = nullptr;
    CThemeListCtrl* m_pPlayList = nullptr;
    int m_nEntryCount = 0;
    HICON m_hIcon = nullptr;
    CPlayerCtrl* m_pPlayer = nullptr;
    CPen m_penX, m_penY, m_penZ;
    CDC m_dcGraphBack, m_dcGraph, m_dcGraphWork, m_dcDial;
    CBitmap m_bmpGraphBack, m_bmpGraph, m_bmpGraphWork, m_bmpDialFace, m_bmpDial;
    BOOL m_bFirstPaint = TRUE;
    BOOL m_bGraphDirty = TRUE;
    BOOL m_bMapCreated = FALSE;
    BOOL m_bDetailCreated = FALSE;
    BOOL m_bPlayFromList = FALSE;
    BOOL m_bSoundOn = TRUE;
    int m_nCurItem = -1;
    float m_fSpeedKmh = 0;
    unsigned m_nSpeed = 100;
    char m_szFolder[MAX_PATH] = {};
    PlayListEntry* m_Entries;

    // The clip last started, so that an unplayable one leaves the list by
    // its own row whatever the list did meanwhile (FOLDER rebuilds the
    // records and the rows).
    std::string m_strPlayingPath;
    UINT m_nPlayFace = IDB_PLAY;
    UINT m_nSoundFace = IDB_SOUND_ON;
    BOOL m_bClosed = FALSE;
    // Selected into the buffers' DCs at creation, put back before they go.
    HGDIOBJ m_hOldGraphBack = nullptr, m_hOldGraph = nullptr, m_hOldGraphWork = nullptr,
            m_hOldDial = nullptr;
    GSensorLabels m_gLabels;
    CString m_strLastDialText;
};
