#include "app/player_ctrl.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

const PlayerEngineApi* g_defaultApi = nullptr;
PlayerWindowPort* g_defaultPort = nullptr;
CPlayerCtrl* g_instance = nullptr;
// The controller that registered the frame-text callback last.
std::atomic<CPlayerCtrl*> g_frameTextTarget{nullptr};

void SplitTime(int32_t ms, int* h, int* m, int* s) {
    *h = *m = *s = 0;
    if (ms <= 0) return;
    *h = ms / 3600000;
    *m = (ms / 60000) % 60;
    *s = ms / 1000 - (ms / 60000) * 60;
}

}  // namespace

bool ClipEndedShort(int32_t durationMs, int32_t endMs) {
    if (durationMs <= 0 || endMs < 0) return false;
    return int64_t(endMs) + CTRL_CUT_MARGIN_MS < int64_t(durationMs);
}

void FormatTimeText(char* out, size_t outSize, int32_t durationMs, int32_t positionMs) {
    int dh, dm, ds, ph, pm, ps;
    SplitTime(durationMs, &dh, &dm, &ds);
    SplitTime(positionMs, &ph, &pm, &ps);
    if (dh < 1)
        std::snprintf(out, outSize, "%02d:%02d/%02d:%02d", pm, ps, dm, ds);
    else
        std::snprintf(out, outSize, "%02d:%02d:%02d/%02d:%02d:%02d", ph, pm, ps, dh, dm, ds);
}

CPlayerCtrl::CPlayerCtrl(const PlayerEngineApi* api, PlayerWindowPort* port)
    : m_api(api), m_port(port), m_samples(new TextSampleTable()) {
    FormatTimeText(m_szTimeText, sizeof(m_szTimeText), 0, 0);
    std::memset(m_samples, 0, sizeof(*m_samples));

    PlayerCreateConfig config = {};
    config.onOpened = &CPlayerCtrl::OnOpened;
    config.onEnded = &CPlayerCtrl::OnEndOfStream;
    config.onStatus = &CPlayerCtrl::OnStatusChange;
    config.user = this;
    m_hEngine = m_api->create(&config);

    VideoOutConfig video = {};
    video.flags = 1 | 2 | 4;
    video.fields[0] = 1;  // the DirectDraw output
    video.fields[1] = reinterpret_cast<uintptr_t>(m_hVideoWnd);
    video.fields[6] = 1;
    m_api->setVideoConfig(m_hEngine, &video);

    AudioOutConfig audio = {};
    audio.flags = 1 | 2;
    audio.fields[0] = 2;
    audio.fields[1] = m_nVolume;
    m_api->setAudioConfig(m_hEngine, &audio);
}

CPlayerCtrl::~CPlayerCtrl() {
    CPlayerCtrl* self = this;
    g_frameTextTarget.compare_exchange_strong(self, nullptr);
    delete m_samples;
}

void CPlayerCtrl::SetDefaultBindings(const PlayerEngineApi* api, PlayerWindowPort* port) {
    g_defaultApi = api;
    g_defaultPort = port;
}

CPlayerCtrl* CPlayerCtrl::GetInstance() {
    if (!g_instance && g_defaultApi && g_defaultPort)
        g_instance = new (std::nothrow) CPlayerCtrl(g_defaultApi, g_defaultPort);
    return g_instance;
}

void CPlayerCtrl::DestroyInstance() {
    if (!g_instance) return;
    // The engine's threads must be gone before the player is freed.
    g_instance->Close();
    g_instance->m_api->destroy(g_instance->m_hEngine);
    g_instance->m_hEngine = nullptr;
    delete g_instance;
    g_instance = nullptr;
}

int CPlayerCtrl::Open(const char* path, int noWait, int spare, int startMs, int postTwice) {
    if (m_nState.load() != CTRL_STATE_CLOSED) return 0;
    m_bPostTwice = 0;
    const size_t len = path ? std::strlen(path) : 0;
    if (len >= sizeof(m_szPath)) {
        // Longer than the path buffers: refused, not cut to another name.
        Close();
        return 0;
    }
    std::memcpy(m_szPath, path ? path : "", len + 1);
    if (!m_port->IsEnabledWindow(m_hVideoWnd) || len == 0) {
        Close();
        return 0;
    }
    std::memset(&m_openParams, 0, sizeof(m_openParams));
    if (!m_port->ToWide(m_szPath, m_wszOpenPath, int(CTRL_PATH_MAX))) {
        Close();
        return 0;
    }
    m_openParams.fileName = m_wszOpenPath;
    m_nOpenReserved = 0;
    m_openParams.opaque = &m_nOpenReserved;
    m_openParams.startMs = uint32_t(startMs);
    m_openParams.rewindAtEnd = 1;
    // Always without waiting: a stop must never wait for the status thread,
    // which may itself be waiting for the window thread in a sent message.
    // Close waits instead, handling those messages.
    (void)noWait;
    m_openParams.noWait = 1;
    m_bPostTwice = postTwice;
    std::memset(m_samples, 0, sizeof(*m_samples));
    m_bRangeEndTaken = false;
    return m_api->open(m_hEngine, &m_openParams);
}

void CPlayerCtrl::Close() {
    if (m_nAuxFlag) m_nAuxFlag = 0;
    if (m_hEngine) {
        m_api->stop(m_hEngine);
        WaitUntilIdle();
    }
    m_nState = CTRL_STATE_CLOSED;
    FormatTimeText(m_szTimeText, sizeof(m_szTimeText), 0, 0);
}

void CPlayerCtrl::WaitUntilIdle() {
    for (uint32_t step = 0; step < CTRL_CLOSE_STEPS; ++step) {
        uint32_t state;
        if (m_api->getState) {
            if (m_api->getState(m_hEngine, &state) < 0) return;
        } else {
            // The status read clears the engine's error: keep it here.
            PlayerStatus status = {};
            m_api->getStatus(m_hEngine, &status);
            KeepError(status);
            state = status.state;
        }
        if (state == PLAYER_STATE_IDLE) return;
        m_port->PumpSentMessages(CTRL_CLOSE_STEP_MS);
    }
}

int CPlayerCtrl::Pause() {
    if (m_hEngine && m_nState.load() == CTRL_STATE_PLAYING) {
        m_api->pause(m_hEngine);
        m_nState = CTRL_STATE_PAUSED;
    }
    return 1;
}

int CPlayerCtrl::Play() {
    if (m_nState.load() == CTRL_STATE_STEPPING) {
        SeekFlagged(GetPosition());
        m_port->Wait(100);
    }
    return m_api->play(m_hEngine) ? 1 : 0;
}

int CPlayerCtrl::SeekWith(int positionMs, uint32_t exact) {
    if (m_nState.load() == CTRL_STATE_CLOSED) return 0;
    const int duration = int(m_info.duration);
    if (positionMs > duration) positionMs = duration;
    if (positionMs < 0) positionMs = 0;
    const int r = m_api->seek(m_hEngine, uint32_t(positionMs), exact);
    // Moving away from the end arms the range end again.
    if (r) m_bRangeEndTaken = false;
    return r;
}

int CPlayerCtrl::Seek(int positionMs) { return SeekWith(positionMs, 0); }
int CPlayerCtrl::SeekFlagged(int positionMs) { return SeekWith(positionMs, 1); }

int CPlayerCtrl::SetVolume(int percent) {
    // Outside 0..100 the level would spill into the other channel's half.
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    const uint32_t level = uint32_t(percent) * 65535u / 100u;
    m_nVolume = level | level << 16;
    AudioOutConfig audio = {};
    audio.flags = 2;
    audio.fields[1] = m_nVolume;
    return m_api->setAudioConfig(m_hEngine, &audio);
}

int CPlayerCtrl::SetSpeed(int percent) {
    m_api->setSpeed(m_hEngine, uint32_t(percent < 1 ? 10 : percent));
    return 1;
}

int CPlayerCtrl::SetWindows(CtrlWindow notifyWnd, CtrlWindow videoWnd) {
    if (!notifyWnd || !videoWnd) return 0;
    m_hNotifyWnd = notifyWnd;
    m_hVideoWnd = videoWnd;
    VideoOutConfig video = {};
    video.flags = 2;
    video.fields[1] = reinterpret_cast<uintptr_t>(videoWnd);
    return m_api->setVideoConfig(m_hEngine, &video);
}

const char* CPlayerCtrl::GetLastErrorText() {
    m_port->Post(m_hNotifyWnd, WM_PLAYER_BADFILE, 0, 0);
    const int32_t error = m_nLastError.load();
    const int32_t at = m_nErrorPosition.load();
    if (error != 0 && (at == 0 || at == int32_t(m_openParams.startMs))) {
        const char* text = m_api->getErrorText(error);
        std::snprintf(m_szErrorText, sizeof(m_szErrorText), "%s", text ? text : "");
        m_nLastError = 0;
        return m_szErrorText;
    }
    return nullptr;
}

bool CPlayerCtrl::TakeRangeEnd() {
    bool atEnd = m_nState.load() == CTRL_STATE_RANGE_END;
    uint32_t state;
    if (atEnd && m_api->getState && m_api->getState(m_hEngine, &state) >= 0)
        atEnd = state == PLAYER_STATE_RANGE_END;
    if (!atEnd) return false;
    return !m_bRangeEndTaken.exchange(true);
}

int CPlayerCtrl::StepForward() {
    Pause();
    m_nState = CTRL_STATE_STEPPING;
    m_api->stepForward(m_hEngine, 0, 4);
    return 1;
}

int CPlayerCtrl::StepBackward() {
    Pause();
    m_nState = CTRL_STATE_STEPPING;
    m_api->stepBackward(m_hEngine, 0, 4);
    return 1;
}

int CPlayerCtrl::SetVideoDevice(int value) {
    VideoOutConfig video = {};
    video.flags = 1;
    video.fields[0] = uintptr_t(value);
    return m_api->setVideoConfig(m_hEngine, &video);
}

int CPlayerCtrl::SetVideoShowFlag(int value) {
    VideoOutConfig video = {};
    video.flags = 8;
    video.fields[11] = uintptr_t(value);
    return m_api->setVideoConfig(m_hEngine, &video);
}

int CPlayerCtrl::SetVideoParam(int value) {
    m_nVideoParam = value;
    VideoOutConfig video = {};
    video.flags = 4;
    video.fields[6] = uintptr_t(value);
    return m_api->setVideoConfig(m_hEngine, &video);
}

int CPlayerCtrl::GetVideoConfig(int* device, int* param) {
    VideoOutConfig video = {};
    m_api->getVideoConfig(m_hEngine, &video);
    if (device) *device = int(video.fields[0]);
    if (param) *param = int(video.fields[6]);
    return int(video.fields[6]);
}

bool CPlayerCtrl::IsAudioOnly() const { return m_info.videoCount == 0 && m_info.audioCount > 0; }

bool CPlayerCtrl::GetVideoSize(int* width, int* height) const {
    if (m_nState.load() == CTRL_STATE_CLOSED || IsAudioOnly()) return false;
    *width = int(m_info.video[0].width);
    *height = int(m_info.video[0].height);
    return true;
}

int CPlayerCtrl::GetEngineVersion() const {
    uint32_t a = 0, b = 0;
    m_api->getVersion(&a, &b);
    return int(b);
}

void CPlayerCtrl::KeepError(const PlayerStatus& status) {
    if (status.lastError != 0) {
        m_nLastError = int32_t(status.lastError);
        m_nErrorPosition = int32_t(status.positionMs);
    }
}

void CPlayerCtrl::RebuildTimeText() {
    FormatTimeText(m_szTimeText, sizeof(m_szTimeText), int32_t(m_info.duration),
                   int32_t(m_status.positionMs));
}

void CPlayerCtrl::ReadSamples() {
    m_samples->count = 0;
    while (m_samples->count < TEXT_SAMPLE_MAX) {
        uint8_t buffer[TEXT_SAMPLE_BYTES];
        std::memset(buffer, 0, sizeof(buffer));
        uint32_t length = TEXT_SAMPLE_BYTES;
        uint32_t timeMs = 0;
        const int32_t r = m_api->readTextSample(m_hEngine, buffer, &length, &timeMs);
        const void* nul = std::memchr(buffer, 0, sizeof(buffer));
        const size_t textLen =
            nul ? size_t(static_cast<const uint8_t*>(nul) - buffer) : sizeof(buffer);
        std::memcpy(m_szLastText, buffer, textLen);
        m_szLastText[textLen] = '\0';
        m_nLastLength = int(length);
        m_nLastResult = r;
        m_nLastTime = timeMs;
        if (r < 0) break;
        TextTrackSample& s = m_samples->samples[m_samples->count];
        s.timeMs = timeMs;
        std::memcpy(s.data, buffer, length < TEXT_SAMPLE_BYTES ? length : TEXT_SAMPLE_BYTES);
        ++m_samples->count;
    }
}

void CPlayerCtrl::OnOpened(void* user) { static_cast<CPlayerCtrl*>(user)->Opened(); }
void CPlayerCtrl::OnStatusChange(void* user) { static_cast<CPlayerCtrl*>(user)->StatusChange(); }
void CPlayerCtrl::OnEndOfStream(void* user) { static_cast<CPlayerCtrl*>(user)->EndOfStream(); }

void CPlayerCtrl::OnFrameText(uint32_t* timeMs, char* text, uint32_t* length) {
    CPlayerCtrl* target = g_frameTextTarget.load();
    if (target) {
        target->FrameText(timeMs, text, length);
    } else if (length) {
        if (text) std::memset(text, 0, *length);
        *length = 0;
    }
}

void CPlayerCtrl::Opened() {
    m_nState = CTRL_STATE_BUSY;
    m_nLastError = 0;
    m_nErrorPosition = 0;
    m_api->getMediaInfo(&m_openParams, &m_info, m_infoExtra);
    m_api->getStatus(m_hEngine, &m_status);
    KeepError(m_status);
    m_nPosition = m_status.positionMs;
    ReadSamples();
    Seek(0);
    g_frameTextTarget = this;
    if (m_api->setTextCallback) m_api->setTextCallback(&CPlayerCtrl::OnFrameText);
    m_nState = CTRL_STATE_PLAYING;
    m_port->Send(m_hNotifyWnd, WM_PLAYER_OPENED, uintptr_t(m_info.duration), 0);
}

void CPlayerCtrl::StatusChange() {
    m_api->getStatus(m_hEngine, &m_status);
    KeepError(m_status);
    m_nPosition = m_status.positionMs;
    int state;
    switch (m_status.state) {
        case PLAYER_STATE_PLAYING: state = CTRL_STATE_PLAYING; break;
        case PLAYER_STATE_RANGE_END: state = CTRL_STATE_RANGE_END; break;
        case PLAYER_STATE_OPENED:
        case PLAYER_STATE_BUFFER_START:
        case PLAYER_STATE_READY: state = CTRL_STATE_BUSY; break;
        default: state = CTRL_STATE_PAUSED; break;
    }
    m_nState = state;
    if (m_bPostTwice && state == CTRL_STATE_PLAYING) {
        m_bPostTwice = 0;
        RebuildTimeText();
        m_port->Post(m_hNotifyWnd, WM_PLAYER_POSITION, uintptr_t(m_status.positionMs), state);
    }
    RebuildTimeText();
    m_port->Post(m_hNotifyWnd, WM_PLAYER_POSITION, uintptr_t(m_status.positionMs), state);
}

void CPlayerCtrl::EndOfStream() {
    m_nState = CTRL_STATE_PAUSED;
    m_port->Send(m_hNotifyWnd, WM_PLAYER_ENDOFSTREAM, 0, 0);
}

void CPlayerCtrl::FrameText(uint32_t* timeMs, char* text, uint32_t* length) {
    if (!timeMs || !text || !length) return;
    if (*length > DDRAW_TEXT_BUFFER_SIZE) *length = DDRAW_TEXT_BUFFER_SIZE;
    const int32_t k = FindDueSample(*m_samples, *timeMs, &m_cursor);
    if (k < 0) {
        std::memset(text, 0, *length);
        *length = 0;
        return;
    }
    char line[96];
    FormatLookupTrace(*m_samples, *timeMs, k, line, sizeof(line));
    m_port->Trace(line);
    const TextTrackSample& s = m_samples->samples[k];
    if (IsGSensorRecord(s.data)) {
        m_port->Post(m_hNotifyWnd, WM_PLAYER_GSENSOR, uintptr_t(k), 0);
        *length = GSensor_FormatOverlay(s, text, *length);
    } else {
        m_port->Post(m_hNotifyWnd, WM_PLAYER_GPS, uintptr_t(k), 0);
    }
}
