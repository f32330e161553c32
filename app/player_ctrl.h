// The player controller: the one road from the window side to the media
// engine. It owns one engine player, keeps its own play state, the clip's
// data-track samples and the time text, and turns the engine's callbacks
// (engine threads) into private messages for the main dialog.
//
// The engine is reached through a table of its public operations and the
// windows through a small port, so the Win32 side is a thin binding and the
// logic runs natively against fakes.
#pragma once

#include <atomic>
#include <cstdint>

#include "app/recorder_records.h"
#include "engine/media_info.h"
#include "engine/player.h"
#include "engine/win_outputs.h"

enum : uint32_t {
    WM_PLAYER_OPENED = 0x2401,
    WM_PLAYER_POSITION = 0x2402,
    WM_PLAYER_ENDOFSTREAM = 0x2403,
    WM_PLAYER_GPS = 0x2404,
    WM_PLAYER_GSENSOR = 0x2405,
    WM_PLAYER_BADFILE = 0x2406,
};

enum : int {
    CTRL_STATE_PLAYING = 1,
    CTRL_STATE_PAUSED = 2,
    CTRL_STATE_CLOSED = 3,
    CTRL_STATE_BUSY = 4,
    CTRL_STATE_STEPPING = 6,
    CTRL_STATE_RANGE_END = 7,
};

// The engine operations the controller uses. `getState` (the engine state
// without clearing the kept error) may be empty.
struct PlayerEngineApi {
    PlayerContext* (*create)(const PlayerCreateConfig*);
    void (*destroy)(PlayerContext*);
    int (*open)(PlayerContext*, const PlayerOpenParams*);
    int (*stop)(PlayerContext*);
    int (*pause)(PlayerContext*);
    int (*play)(PlayerContext*);
    int (*seek)(PlayerContext*, uint32_t positionMs, uint32_t exact);
    int (*stepForward)(PlayerContext*, uint32_t deltaMs, uint32_t mode);
    int (*stepBackward)(PlayerContext*, uint32_t deltaMs, uint32_t mode);
    int (*setSpeed)(PlayerContext*, uint32_t percent);
    int (*setAudioConfig)(PlayerContext*, const AudioOutConfig*);
    int (*setVideoConfig)(PlayerContext*, const VideoOutConfig*);
    int (*getVideoConfig)(PlayerContext*, VideoOutConfig*);
    void (*getStatus)(PlayerContext*, PlayerStatus*);
    int32_t (*getMediaInfo)(PlayerOpenParams*, MediaInfoSummary*, void*);
    int32_t (*readTextSample)(PlayerContext*, uint8_t*, uint32_t*, uint32_t*);
    const char* (*getErrorText)(int32_t);
    void (*getVersion)(uint32_t*, uint32_t*);
    void (*setTextCallback)(FrameTextCallback);
    int (*getState)(PlayerContext*, uint32_t* state);
};

// A window handle, pointer-sized.
typedef void* CtrlWindow;

class PlayerWindowPort {
public:
    virtual ~PlayerWindowPort() = default;
    virtual void Post(CtrlWindow wnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) = 0;
    // Returns after the window's thread handled the message.
    virtual void Send(CtrlWindow wnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) = 0;
    virtual bool IsEnabledWindow(CtrlWindow wnd) = 0;
    // ANSI code page to UTF-16 with its terminator; false when it does not fit.
    virtual bool ToWide(const char* text, char16_t* out, int capacity) = 0;
    virtual void Wait(uint32_t ms) = 0;
    // Handles messages sent to this thread by others, waiting up to ms for one.
    virtual void PumpSentMessages(uint32_t ms) = 0;
    virtual void Trace(const char* line) = 0;
};

enum : uint32_t {
    CTRL_PATH_MAX = 260,
    CTRL_TIME_TEXT = 128,
    CTRL_INFO_EXTRA = 104,
    // How long Close waits for the engine to come to rest, in pump steps of
    // CTRL_CLOSE_STEP_MS.
    CTRL_CLOSE_STEPS = 3000,
    CTRL_CLOSE_STEP_MS = 10,
};

enum : int32_t {
    // How far short of its duration a clip with pictures may reach its end
    // and still count as played through.
    CTRL_CUT_MARGIN_MS = 1000,
};

// True when a clip with pictures reached its end at endMs well before its
// duration: its index promises samples that its media data does not hold
// (a recording cut short), and the engine stopped at the last one it had.
bool ClipEndedShort(int32_t durationMs, int32_t endMs);

// "mm:ss/mm:ss", or "hh:mm:ss/hh:mm:ss" from a duration of one hour.
void FormatTimeText(char* out, size_t outSize, int32_t durationMs, int32_t positionMs);

class CPlayerCtrl {
public:
    CPlayerCtrl(const PlayerEngineApi* api, PlayerWindowPort* port);
    virtual ~CPlayerCtrl();
    CPlayerCtrl(const CPlayerCtrl&) = delete;
    CPlayerCtrl& operator=(const CPlayerCtrl&) = delete;

    // The process's instance, built on first use from the default bindings.
    static void SetDefaultBindings(const PlayerEngineApi* api, PlayerWindowPort* port);
    static CPlayerCtrl* GetInstance();
    static void DestroyInstance();

    int Open(const char* path, int noWait, int spare, int startMs, int postTwice);
    void Close();
    int Pause();
    int Play();
    int Seek(int positionMs);
    int SeekFlagged(int positionMs);
    int SetVolume(int percent);
    int SetSpeed(int percent);
    int SetWindows(CtrlWindow notifyWnd, CtrlWindow videoWnd);
    int GetState() const { return m_nState.load(); }
    const char* GetTimeText() const { return m_szTimeText; }
    int GetPosition() const { return int(m_nPosition.load()); }
    const char* GetLastErrorText();
    // The main dialog asks this when a position report carries the range-end
    // state: true only while the engine is at the end of the clip, and once
    // per clip (again after a seek), so a stale or repeated report is not
    // taken for the end of the next clip.
    bool TakeRangeEnd();

    int StepForward();
    int StepBackward();
    int SetVideoDevice(int value);
    int SetVideoShowFlag(int value);
    int SetVideoParam(int value);
    int GetVideoParam() const { return m_nVideoParam; }
    int GetVideoConfig(int* device, int* param);
    void SetAuxFlag(int value) { m_nAuxFlag = value; }
    int GetAuxFlag() const { return m_nAuxFlag; }
    bool IsAudioOnly() const;
    bool GetVideoSize(int* width, int* height) const;
    int GetEngineVersion() const;
    int GetReserved() const { return 0; }

    uint32_t GetVolume() const { return m_nVolume; }
    const TextSampleTable& Samples() const { return *m_samples; }
    const MediaInfoSummary& Info() const { return m_info; }

    // The engine's callbacks; `user` is the controller.
    static void OnOpened(void* user);
    static void OnStatusChange(void* user);
    static void OnEndOfStream(void* user);
    // The video output's per-frame callback; goes to the controller that
    // registered it last.
    static void OnFrameText(uint32_t* timeMs, char* text, uint32_t* length);

    void Opened();
    void StatusChange();
    void EndOfStream();
    void FrameText(uint32_t* timeMs, char* text, uint32_t* length);

private:
    void KeepError(const PlayerStatus& status);
    void RebuildTimeText();
    void ReadSamples();
    int SeekWith(int positionMs, uint32_t exact);
    // After a stop: waits until the engine's status thread has ended,
    // handling the messages it sends meanwhile.
    void WaitUntilIdle();

    const PlayerEngineApi* m_api;
    PlayerWindowPort* m_port;

    char m_szLastText[TEXT_SAMPLE_BYTES + 1] = {};
    int m_nLastLength = 0;
    int m_nLastResult = 0;
    uint32_t m_nLastTime = 0;
    TextSampleTable* m_samples;
    MediaInfoSummary m_info = {};
    PlayerStatus m_status = {};
    std::atomic<int> m_nState{CTRL_STATE_CLOSED};
    std::atomic<uint32_t> m_nPosition{0};
    std::atomic<bool> m_bRangeEndTaken{false};
    int m_nAuxFlag = 0;
    int m_nVideoParam = 1;
    CtrlWindow m_hNotifyWnd = nullptr;
    CtrlWindow m_hVideoWnd = nullptr;
    char m_szPath[CTRL_PATH_MAX] = {};
    char16_t m_wszOpenPath[CTRL_PATH_MAX] = {};
    uint32_t m_nOpenReserved = 0;
    PlayerContext* m_hEngine = nullptr;
    PlayerOpenParams m_openParams = {};
    uint8_t m_infoExtra[CTRL_INFO_EXTRA] = {};
    uint32_t m_nVolume = 0xFFFFFFFFu;
    int m_bPostTwice = 0;
    std::atomic<int32_t> m_nLastError{0};
    std::atomic<int32_t> m_nErrorPosition{0};
    char m_szErrorText[CTRL_PATH_MAX] = {};
    char m_szTimeText[CTRL_TIME_TEXT] = {};
    SampleCursor m_cursor;
};
