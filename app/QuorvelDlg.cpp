// The main dialog: construction, initialisation, the player controller's
// messages and the painting of the G-sensor graph and the speedometer.
#include "app/QuorvelDlg.h"

#include <cstdio>
#include <cstring>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeConfig.h"
#include "ThemeClass/ThemeListCtrl.h"
#include "ThemeClass/ThemeSlider.h"
#include "ThemeClass/ThemeStatic.h"
#include "app/StylePreset_win32.h"
#include "app/instruments.h"
#include "app/player_ctrl.h"
#include "app/player_ctrl_win32.h"

namespace {

// Client places of the instruments.
const int kGraphX = 14, kGraphY = 602;
const int kDialX = 685, kDialY = 520;
// The cursor's strip, invalidated by every position report.
const RECT kCursorRect = {54, 602, 563, 699};
const RECT kDialRect = {685, 520, 859, 694};

const COLORREF kPenX = 0xBC7200, kPenY = 0x1EC81E, kPenZ = 0x1E1EC8;

}  // namespace

BEGIN_MESSAGE_MAP(CQuorvelDlg, CThemeDialog)
ON_WM_PAINT()
ON_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIconMessage)
ON_WM_CTLCOLOR()
ON_WM_NCHITTEST()
ON_BN_CLICKED(IDC_PLAY_PAUSE, OnPlayPause)
ON_BN_CLICKED(IDC_OPEN_FILE, OnOpenFile)
ON_BN_CLICKED(IDC_MAP, OnMap)
ON_BN_CLICKED(IDC_CONFIG, OnConfig)
ON_BN_CLICKED(IDC_FOLDER, OnFolder)
ON_BN_CLICKED(IDC_CLOSE, OnCloseButton)
ON_BN_CLICKED(IDC_MINIMIZE, OnMinimize)
ON_BN_CLICKED(IDC_SLOWER, OnSlower)
ON_BN_CLICKED(IDC_FASTER, OnFaster)
ON_BN_CLICKED(IDC_NEXT, OnNext)
ON_BN_CLICKED(IDC_RADIO_PLAY, OnRadioAll)
ON_BN_CLICKED(IDC_RADIO_HIDDEN, OnBtnHidden)
ON_BN_CLICKED(IDC_DETAIL, OnDetail)
ON_NOTIFY(NM_DBLCLK, IDC_PLAYLIST, OnDblclkPlayList)
ON_NOTIFY(kSkinPosChanging, IDC_SEEK_SLIDER, OnSeekSlider)
ON_NOTIFY(kSkinPosChanging, IDC_VOLUME_SLIDER, OnVolumeSlider)
END_MESSAGE_MAP()

CQuorvelDlg::CQuorvelDlg(CWnd* pParent)
    : CThemeDialog(IDD, pParent), m_dlgMap(nullptr), m_dlgDetail(nullptr) {
    m_Entries = new PlayListEntry[PLAYLIST_RECORDS];
    m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CQuorvelDlg::~CQuorvelDlg() {
    Shutdown();
    delete[] m_Entries;
    // The buffers give back what was selected into them before they go.
    if (m_dcGraphBack.m_hDC && m_hOldGraphBack) m_dcGraphBack.SelectObject(m_hOldGraphBack);
    if (m_dcGraph.m_hDC && m_hOldGraph) m_dcGraph.SelectObject(m_hOldGraph);
    if (m_dcGraphWork.m_hDC && m_hOldGraphWork) m_dcGraphWork.SelectObject(m_hOldGraphWork);
    if (m_dcDial.m_hDC && m_hOldDial) m_dcDial.SelectObject(m_hOldDial);
}

void CQuorvelDlg::DoDataExchange(CDataExchange* pDX) { CThemeDialog::DoDataExchange(pDX); }

LRESULT CQuorvelDlg::OnQueryDragIconMessage(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(OnQueryDragIcon());
}

HCURSOR CQuorvelDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

BOOL CQuorvelDlg::OnInitDialog() {
    CThemeDialog::OnInitDialog();

    CString strAbout;
    HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (hSysMenu && strAbout.LoadString(IDS_ABOUTBOX) && !strAbout.IsEmpty()) {
        ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAbout);
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    SetButtonCaptions();
    SetWindowPos(nullptr, 0, 0, 897, 720, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
    m_nSpeed = 100;
    m_penX.CreatePen(PS_SOLID, 1, kPenX);
    m_penZ.CreatePen(PS_SOLID, 1, kPenZ);
    m_penY.CreatePen(PS_SOLID, 1, kPenY);

    ApplyDialogSkin();
    ApplyControlStyles();

    if (m_pPlayList) {
        CString strColumn;
        strColumn.LoadString(IDS_PLAYLIST);
        m_pPlayList->InsertColumn(0, strColumn, LVCFMT_LEFT, 218);
    }
    if (m_pSliderVolume) {
        m_pSliderVolume->SetRange(0, 100);
        m_pSliderVolume->SetPos(100);
    }

    CreateMapDialog();
    CreateDetailDialog();
    InitPlayer();
    m_fSpeedKmh = 0;

    const std::string folder = PlayList_DefaultFolder(std::string(GetAppFolder()));
    if (::GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES) {
        lstrcpynA(m_szFolder, folder.c_str(), sizeof m_szFolder);
        BuildPlayList();
    }
    return TRUE;
}

void CQuorvelDlg::InitPlayer() {
    m_pPlayer = CPlayerCtrl::GetInstance();
    if (!m_pPlayer) {
        // Nobody chose the controller's bindings: the real engine and windows.
        PlayerCtrl_UseWin32Bindings();
        m_pPlayer = CPlayerCtrl::GetInstance();
    }
    if (!m_pPlayer) return;
    CWnd* pVideo = GetDlgItem(IDC_VIDEO);
    m_pPlayer->SetWindows(m_hWnd, pVideo ? pVideo->m_hWnd : nullptr);
    m_pPlayer->SetVolume(100);
}

LRESULT CQuorvelDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SKIN_LBUTTONDOWN:
            if (wParam == IDC_SOUND) ToggleSound();
            break;
        case WM_PLAYER_OPENED:
            if (m_pSliderSeek) m_pSliderSeek->SetRange(0, int(wParam));
            m_bGraphDirty = TRUE;
            break;
        case WM_PLAYER_POSITION: OnPlayerPosition(wParam, lParam); break;
        case WM_PLAYER_ENDOFSTREAM: OnPlayerEndOfStream(); break;
        case WM_PLAYER_GPS: OnPlayerGps(wParam); break;
        case WM_PLAYER_GSENSOR: OnPlayerGSensor(wParam); break;
        case WM_PLAYER_BADFILE: OnPlayerBadFile(); break;
        default: break;
    }
    return CThemeDialog::WindowProc(message, wParam, lParam);
}

void CQuorvelDlg::OnPlayerPosition(WPARAM wParam, LPARAM lParam) {
    if (lParam == CTRL_STATE_PLAYING || lParam == CTRL_STATE_PAUSED) {
        if (m_pSliderSeek) m_pSliderSeek->SetPos(int(wParam));
        InvalidateRect(&kCursorRect, FALSE);
        if (m_pLabelTime && m_pPlayer) m_pLabelTime->SetText(m_pPlayer->GetTimeText());
    }
    // Playing again (a seek back or play after the end): its end counts anew.
    if (lParam == CTRL_STATE_PLAYING) m_bClipEndHandled = FALSE;
    // The reports of the end come in a row while the engine stands there;
    // the first one counts. Reports of a closed clip never reach here: the
    // next clip's start drops them from the queue. The engine's own state is
    // not asked: by the time a posted report is handled the engine may have
    // rewound already.
    if (lParam != CTRL_STATE_RANGE_END || !m_pPlayer) return;
    // An end well before the clip's duration is a recording cut short: the
    // index promised more than the file holds. It goes as a damaged clip
    // does (string 105, out of the list, the next one plays), once.
    if (!m_bClipEndHandled && !m_pPlayer->IsAudioOnly() &&
        ClipEndedShort(int32_t(m_pPlayer->Info().duration), int32_t(wParam))) {
        m_bClipEndHandled = TRUE;
        m_pPlayer->GetLastErrorText();  // posts the bad-file message
        return;
    }
    OnClipEnd();
}

void CQuorvelDlg::OnClipEnd() {
    if (m_bClipEndHandled) return;
    m_bClipEndHandled = TRUE;
    if (m_bPlayFromList)
        PlayNext();
    else
        SetPlayFace(IDB_PLAY);
}

void CQuorvelDlg::OnPlayerEndOfStream() {
    if (!m_pPlayer) return;
    const bool played = m_pPlayer->GetPosition() != 0;
    if (!played) m_pPlayer->GetLastErrorText();  // posts the bad-file message
    ::Sleep(100);
    m_pPlayer->Seek(0);
    if (m_pSliderSeek) m_pSliderSeek->SetPos(0);
    // The range-end report is posted, this one is sent: when it comes first
    // the rewind has already taken the engine off the end, and the posted
    // report would no longer be taken. The end counts here too.
    if (played && m_pPlayer->GetState() != CTRL_STATE_CLOSED) OnClipEnd();
}

void CQuorvelDlg::OnPlayerGps(WPARAM index) {
    if (!m_pPlayer || index >= m_pPlayer->Samples().count) return;
    GpsFix fix;
    if (!Gps_Decode(m_pPlayer->Samples().samples[index], &fix)) return;
    if (m_bMapCreated) m_dlgMap.SetLatLng(fix.latitude, fix.longitude);
    ShowSpeed(fix.speedKmh);
    if (m_dlgDetail.m_pValueLat) m_dlgDetail.m_pValueLat->SetText(fix.latitudeText);
    if (m_dlgDetail.m_pValueLng) m_dlgDetail.m_pValueLng->SetText(fix.longitudeText);
}

void CQuorvelDlg::ShowSpeed(float fSpeedKmh) {
    m_fSpeedKmh = fSpeedKmh;
    InvalidateRect(&kDialRect, FALSE);
}

void CQuorvelDlg::OnPlayerGSensor(WPARAM index) {
    if (!m_pPlayer || index >= m_pPlayer->Samples().count) return;
    GSensorLabels::Update u;
    if (!m_gLabels.Apply(m_pPlayer->Samples().samples[index], &u)) return;
    if (u.axesChanged) {
        CThemeStatic* labels[3] = {m_dlgDetail.m_pValueX, m_dlgDetail.m_pValueY,
                                   m_dlgDetail.m_pValueZ};
        for (int a = 0; a < 3; ++a)
            if (labels[a]) labels[a]->SetText(u.axisText[a]);
    }
    if (u.timeChanged && m_pLabelDate) m_pLabelDate->SetText(u.dateText);
}

// --- Painting ---------------------------------------------------------------------

void CQuorvelDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        const int cxIcon = ::GetSystemMetrics(SM_CXICON), cyIcon = ::GetSystemMetrics(SM_CYICON);
        CRect rc;
        GetClientRect(&rc);
        dc.DrawIcon((rc.Width() - cxIcon + 1) / 2, (rc.Height() - cyIcon + 1) / 2, m_hIcon);
        return;
    }
    CPaintDC dc(this);
    EnsureBuffers(&dc);
    DrawGraph(&dc);
    DrawDial(&dc);
}

void CQuorvelDlg::EnsureBuffers(CDC* pDC) {
    if (!m_bFirstPaint) return;
    m_bFirstPaint = FALSE;
    m_dcGraphBack.CreateCompatibleDC(pDC);
    m_bmpGraphBack.LoadBitmap(IDB_GRAPH_BACK);
    m_hOldGraphBack = m_dcGraphBack.SelectObject(m_bmpGraphBack.GetSafeHandle());
    m_bmpGraph.CreateCompatibleBitmap(pDC, GRAPH_WIDTH, GRAPH_BUFFER_HEIGHT);
    m_dcGraph.CreateCompatibleDC(pDC);
    m_hOldGraph = m_dcGraph.SelectObject(m_bmpGraph.GetSafeHandle());
    // No clip is open yet at the first paint: the graph shows its back.
    m_bmpGraphWork.CreateCompatibleBitmap(pDC, GRAPH_WIDTH, GRAPH_BUFFER_HEIGHT);
    m_dcGraphWork.CreateCompatibleDC(pDC);
    m_hOldGraphWork = m_dcGraphWork.SelectObject(m_bmpGraphWork.GetSafeHandle());
    m_bmpDialFace.LoadBitmap(IDB_DIAL);
    m_bmpDial.CreateCompatibleBitmap(pDC, DIAL_SIZE, DIAL_SIZE);
    m_dcDial.CreateCompatibleDC(pDC);
    m_hOldDial = m_dcDial.SelectObject(m_bmpDial.GetSafeHandle());
    m_bGraphDirty = TRUE;
}

void CQuorvelDlg::DrawGraph(CDC* pDC) {
    const uint32_t duration = m_pPlayer ? uint32_t(m_pPlayer->Info().duration) : 0;
    if (m_bGraphDirty) {
        m_dcGraph.BitBlt(0, 0, GRAPH_WIDTH, GRAPH_BUFFER_HEIGHT, &m_dcGraphBack, 0, 0, SRCCOPY);
        if (m_pPlayer && m_pPlayer->GetState() != CTRL_STATE_CLOSED) {
            const TextSampleTable& t = m_pPlayer->Samples();
            CPen* pens[3] = {&m_penX, &m_penY, &m_penZ};
            HGDIOBJ hOld = ::SelectObject(m_dcGraph.m_hDC, m_penX.GetSafeHandle());
            for (const GraphSegment& s : Graph_BuildCurves(t, t.count, duration)) {
                for (int a = 0; a < 3; ++a) {
                    ::SelectObject(m_dcGraph.m_hDC, pens[a]->GetSafeHandle());
                    m_dcGraph.MoveTo(s.from.x, s.from.y[a]);
                    m_dcGraph.LineTo(s.to.x, s.to.y[a]);
                }
            }
            ::SelectObject(m_dcGraph.m_hDC, hOld);
        }
        m_bGraphDirty = FALSE;
    }
    m_dcGraphWork.BitBlt(0, 0, GRAPH_WIDTH, GRAPH_BUFFER_HEIGHT, &m_dcGraph, 0, 0, SRCCOPY);
    const uint32_t position = m_pPlayer && m_pPlayer->GetState() != CTRL_STATE_CLOSED
                                  ? uint32_t(m_pPlayer->GetPosition())
                                  : 0;
    const int x = Graph_CursorX(position, duration);
    CPen white(PS_SOLID, 3, RGB(255, 255, 255));
    HGDIOBJ hOld = ::SelectObject(m_dcGraphWork.m_hDC, white.GetSafeHandle());
    m_dcGraphWork.MoveTo(x, 0);
    m_dcGraphWork.LineTo(x, GRAPH_HEIGHT);
    ::SelectObject(m_dcGraphWork.m_hDC, hOld);
    pDC->BitBlt(kGraphX, kGraphY, GRAPH_WIDTH, GRAPH_HEIGHT, &m_dcGraphWork, 0, 0, SRCCOPY);
}

void CQuorvelDlg::DrawDial(CDC* pDC) {
    {
        CDC face;
        face.CreateCompatibleDC(pDC);
        HGDIOBJ hOld = face.SelectObject(m_bmpDialFace.GetSafeHandle());
        m_dcDial.BitBlt(0, 0, DIAL_SIZE, DIAL_SIZE, &face, 0, 0, SRCCOPY);
        face.SelectObject(hOld);
    }
    char text[32];
    Dial_SpeedText(m_fSpeedKmh, text, sizeof text);
    m_dcDial.SetBkMode(TRANSPARENT);
    m_dcDial.SetTextColor(RGB(255, 255, 255));
    if (m_dlgDetail.m_pValueSpeed && m_strLastDialText != text) {
        m_dlgDetail.m_pValueSpeed->SetText(text);
        m_strLastDialText = text;
    }
    m_dcDial.ExtTextOut(DIAL_TEXT_X, DIAL_TEXT_Y, 0, nullptr, text, UINT(std::strlen(text)),
                        nullptr);
    const DialPoint tip = Dial_NeedleTip(m_fSpeedKmh);
    CPen red(PS_SOLID, 2, RGB(255, 0, 0));
    HGDIOBJ hOld = ::SelectObject(m_dcDial.m_hDC, red.GetSafeHandle());
    m_dcDial.MoveTo(DIAL_CENTER_X, DIAL_CENTER_Y);
    m_dcDial.LineTo(tip.x, tip.y);
    ::SelectObject(m_dcDial.m_hDC, hOld);
    pDC->BitBlt(kDialX, kDialY, DIAL_SIZE, DIAL_SIZE, &m_dcDial, 0, 0, SRCCOPY);
}
