// Result codes and their message tables. The Korean texts are checked by
// converting them from the ANSI code page (949) to UTF-16, natively with
// the built-in converter and under Wine with the platform's.
#include <string>

#include <gtest/gtest.h>

#include "engine/player_result.h"
#include "engine/platform/strutil.h"

namespace {

std::u16string Korean(PlayerResult code) {
    char16_t wide[128];
    Ansi_ToWide(Player_ErrorMessage(code, PLAYER_LANG_KOREAN), -1, wide, 128);
    return wide;
}

}  // namespace

TEST(PlayerResult, EveryMessageInBothLanguages) {
    struct Row {
        PlayerResult code;
        const char* english;
        const char16_t* korean;
    };
    const Row rows[] = {
        {PLAYER_E_OUT_OF_MEMORY, "Memory allocation failed.", u"메모리가 부족합니다."},
        {PLAYER_E_THREAD, "Thread creation failed", u"스레드를 생성할 수 없습니다."},
        {PLAYER_E_SYSTEM_INIT, "System init failed", u"시스템 초기화에 실패했습니다."},
        {PLAYER_E_NETWORK_SYSTEM, "Network system failed", u"네트워크 시스템이 Fail입니다."},
        {PLAYER_E_FILE_NOT_FOUND, "File not found", u"파일을 찾을 수가 없습니다."},
        {PLAYER_E_FILE_CREATE, "File creation failed", u"파일을 생성 할 수가 없습니다."},
        {PLAYER_E_UNSUPPORTED_URL, "Unsupported URL", u"지원하지 않는 URL 형식입니다."},
        {PLAYER_E_UNSUPPORTED_FUNCTION, "Unsupported function", u"지원하지 않는 기능입니다."},
        {PLAYER_E_UNSUPPORTED_FILE, "Unsupported file", u"지원하지 않는 파일 형식입니다."},
        {PLAYER_E_STREAM_SYNTAX, "Stream syntax error", u"스트림 에러가 발생하였습니다."},
        {PLAYER_E_RANDOM_ACCESS, "Random access failed", u"랜덤 액세스에 실패했습니다."},
        {PLAYER_E_UNSUPPORTED_AUDIO_CODEC, "Unsupported audio codec",
         u"지원하지 않는 오디오 형식입니다."},
        {PLAYER_E_UNSUPPORTED_VIDEO_CODEC, "Unsupported video codec",
         u"지원하지 않는 비디오 형식입니다."},
        {PLAYER_E_UNSUPPORTED_TEXT_CODEC, "Unsupported text codec",
         u"지원하지 않는 텍스트 형식입니다."},
        {PLAYER_E_AUDIO_DECODER_INIT, "Audio decoder init failed",
         u"오디오 디코더를 초기화하기 못했습니다."},
        {PLAYER_E_VIDEO_DECODER_INIT, "Video decoder init failed",
         u"비디오 디코더를 초기화하기 못했습니다."},
        {PLAYER_E_TEXT_DECODER_INIT, "Text decoder init failed",
         u"텍스트 디코더를 초기화하기 못했습니다."},
        {PLAYER_E_AUDIO_ENCODER_INIT, "Audio encoder init failed",
         u"오디오 인코더를 초기화하기 못했습니다."},
        {PLAYER_E_VIDEO_ENCODER_INIT, "Video encoder init failed",
         u"비디오 인코더를 초기화하기 못했습니다."},
        {PLAYER_E_TEXT_ENCODER_INIT, "Text encoder init failed",
         u"텍스트 인코더를 초기화하기 못했습니다."},
        {PLAYER_E_AUDIO_INPUT, "Audio input device init failed",
         u"오디오 입력장치를 초기화하기 못했습니다."},
        {PLAYER_E_VIDEO_INPUT, "Video input device init failed",
         u"비디오 입력장치를 초기화하기 못했습니다."},
        {PLAYER_E_AUDIO_OUTPUT, "Audio output device init failed",
         u"오디오 출력장치를 초기화하기 못했습니다."},
        {PLAYER_E_VIDEO_OUTPUT, "Video output device init failed",
         u"비디오 출력장치를 초기화하기 못했습니다."},
        {PLAYER_E_SOCKET_CREATE, "Socket creation failed", u"소켓 생성에 실패했습니다."},
        {PLAYER_E_PROTOCOL_SYNTAX, "Protocol syntax error",
         u"프로토콜 Syntax 에러가 발생하였습니다."},
        {PLAYER_E_SEND, "Send error", u"Send 실패"},
        {PLAYER_E_RECV, "Recv error", u"Recv 실패"},
        {PLAYER_E_TIMEOUT, "Time out is occurerd", u"시간을 초과하였습니다."},
        {PLAYER_E_SERVER_INTERNAL, "Internal server error", u"서버에서 에러가 발생했습니다."},
        {PLAYER_E_NO_CONNECTION, "No connection to server", u"서버와 연결할 수가 없습니다."},
        {PLAYER_E_SERVER_DISCONNECTED, "Disconnected from sever", u"서버와의 연결이 끊어졌습니다."},
        {PLAYER_E_NO_RESPONSE, "No response from server", u"서버로부터 응답이 없습니다."},
        {PLAYER_E_NO_DATA, "No data is received from server",
         u"서버로부터 전송되는 데이터가 없습니다."},
        {PLAYER_E_INVALID_REQUEST, "Invalid request", u"잘못된 요청을 시도하였습니다."},
        {PLAYER_E_CLIENT_DENIED, "Acception from client is denied",
         u"단말의 연결 요청이 거부되었습니다."},
        {PLAYER_E_CLIENT_DISCONNECTED, "Disconnected from client",
         u"단말과의 연결이 끊어졌습니다."},
        {PLAYER_E_NO_REQUEST, "No request from client", u"단말로부터 요청이 없습니다."},
        {PLAYER_E_URL_MOVED, "Requested URL is moved.", u"요청한 URL이 변경되었습니다."},
    };
    for (const Row& r : rows) {
        EXPECT_STREQ(r.english, Player_ErrorMessage(r.code, PLAYER_LANG_ENGLISH))
            << std::hex << r.code;
        EXPECT_EQ(std::u16string(r.korean), Korean(r.code)) << std::hex << r.code;
        EXPECT_EQ(1, Player_HasErrorMessage(r.code)) << std::hex << r.code;
    }
    EXPECT_EQ(39u, sizeof rows / sizeof rows[0]);
}

TEST(PlayerResult, CodesWithoutTextGetTheDefault) {
    const PlayerResult codes[] = {
        PLAYER_E_FAIL,
        PLAYER_E_FILE_IO,
        PLAYER_E(0x4E),
        PLAYER_E_BUFFER_TOO_SMALL,
        PLAYER_E_NOT_YET,
        PLAYER_E_END_OF_STREAM,
        PLAYER_E_AUDIO_DECODE,
        PLAYER_E_PACKET_PENDING,
        PLAYER_E_NO_TRACK,
        PLAYER_E_FRAME_LATE,
        PLAYER_E_FRAME_VERY_LATE,
        PLAYER_E_FRAME_EARLY,
        PLAYER_S_OK,
        1,
        0x01,
        PLAYER_E(0x7FFFFFFF),
    };
    for (PlayerResult c : codes) {
        EXPECT_STREQ("Unknown error", Player_ErrorMessage(c, PLAYER_LANG_ENGLISH)) << std::hex << c;
        EXPECT_EQ(std::u16string(u"알수없는 에러가 발생했습니다."), Korean(c)) << std::hex << c;
        EXPECT_EQ(0, Player_HasErrorMessage(c)) << std::hex << c;
    }
}

TEST(PlayerResult, CodeValues) {
    struct Row {
        const char* name;
        PlayerResult code;
        uint32_t value;
    };
    const Row rows[] = {
        {"fail", PLAYER_E_FAIL, 0x80000000u},
        {"file io", PLAYER_E_FILE_IO, 0x80000012u},
        {"no data", PLAYER_E_NO_DATA, 0x80000049u},
        {"buffer too small", PLAYER_E_BUFFER_TOO_SMALL, 0x80000051u},
        {"not yet", PLAYER_E_NOT_YET, 0x80000052u},
        {"end of stream", PLAYER_E_END_OF_STREAM, 0x80000053u},
        {"audio decode", PLAYER_E_AUDIO_DECODE, 0x80000054u},
        {"packet pending", PLAYER_E_PACKET_PENDING, 0x80000055u},
        {"no track", PLAYER_E_NO_TRACK, 0x80000056u},
        {"frame late", PLAYER_E_FRAME_LATE, 0x80000057u},
        {"frame very late", PLAYER_E_FRAME_VERY_LATE, 0x80000058u},
        {"frame early", PLAYER_E_FRAME_EARLY, 0x80000059u},
        {"prepare failed", PLAYER_E_PREPARE_FAILED, 0x8000005Au},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.value, (uint32_t)r.code) << r.name;
        EXPECT_TRUE(PLAYER_FAILED(r.code)) << r.name;
    }
    EXPECT_TRUE(PLAYER_SUCCEEDED(PLAYER_S_OK));
    EXPECT_TRUE(PLAYER_SUCCEEDED(5));
}

// The status thread's failure that no part explained ends the clip, so the
// application has a text to show for it.
TEST(PlayerResult, PrepareFailureHasItsOwnText) {
    EXPECT_STREQ("Playback could not be prepared",
                 Player_ErrorMessage(PLAYER_E_PREPARE_FAILED, PLAYER_LANG_ENGLISH));
    EXPECT_EQ(std::u16string(u"재생을 준비하지 못했습니다."), Korean(PLAYER_E_PREPARE_FAILED));
    EXPECT_EQ(1, Player_HasErrorMessage(PLAYER_E_PREPARE_FAILED));
    EXPECT_STRNE(Player_ErrorMessage(PLAYER_E_OUT_OF_MEMORY, PLAYER_LANG_ENGLISH),
                 Player_ErrorMessage(PLAYER_E_PREPARE_FAILED, PLAYER_LANG_ENGLISH));
}
