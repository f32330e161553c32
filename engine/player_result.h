// Engine result codes and their message texts.
//
// A result is a 32-bit value: 0 or positive is success, 0x80000000 plus an
// error number is a failure. Errors up to 0x4F have an English and a Korean
// message; the codes from 0x80000051 on steer the player internally and
// have none, but for PLAYER_E_PREPARE_FAILED, which ends a clip.
#pragma once

#include <stdint.h>

typedef int32_t PlayerResult;

#define PLAYER_E(n) ((PlayerResult)(0x80000000u | (uint32_t)(n)))
#define PLAYER_SUCCEEDED(r) ((PlayerResult)(r) >= 0)
#define PLAYER_FAILED(r) ((PlayerResult)(r) < 0)

#define PLAYER_S_OK 0
// An invalid argument.
#define PLAYER_E_FAIL PLAYER_E(0x00)

// Errors with a message text.
#define PLAYER_E_OUT_OF_MEMORY PLAYER_E(0x01)
#define PLAYER_E_THREAD PLAYER_E(0x02)
#define PLAYER_E_SYSTEM_INIT PLAYER_E(0x03)
#define PLAYER_E_NETWORK_SYSTEM PLAYER_E(0x04)
#define PLAYER_E_FILE_NOT_FOUND PLAYER_E(0x10)
#define PLAYER_E_FILE_CREATE PLAYER_E(0x11)
// A read, seek or write that the file refused (no message text).
#define PLAYER_E_FILE_IO PLAYER_E(0x12)
#define PLAYER_E_UNSUPPORTED_URL PLAYER_E(0x13)
#define PLAYER_E_UNSUPPORTED_FUNCTION PLAYER_E(0x14)
#define PLAYER_E_UNSUPPORTED_FILE PLAYER_E(0x15)
#define PLAYER_E_STREAM_SYNTAX PLAYER_E(0x16)
#define PLAYER_E_RANDOM_ACCESS PLAYER_E(0x17)
#define PLAYER_E_UNSUPPORTED_AUDIO_CODEC PLAYER_E(0x30)
#define PLAYER_E_UNSUPPORTED_VIDEO_CODEC PLAYER_E(0x31)
#define PLAYER_E_UNSUPPORTED_TEXT_CODEC PLAYER_E(0x32)
#define PLAYER_E_AUDIO_DECODER_INIT PLAYER_E(0x33)
#define PLAYER_E_VIDEO_DECODER_INIT PLAYER_E(0x34)
#define PLAYER_E_TEXT_DECODER_INIT PLAYER_E(0x35)
#define PLAYER_E_AUDIO_ENCODER_INIT PLAYER_E(0x36)
#define PLAYER_E_VIDEO_ENCODER_INIT PLAYER_E(0x37)
#define PLAYER_E_TEXT_ENCODER_INIT PLAYER_E(0x38)
#define PLAYER_E_AUDIO_INPUT PLAYER_E(0x39)
#define PLAYER_E_VIDEO_INPUT PLAYER_E(0x3A)
#define PLAYER_E_AUDIO_OUTPUT PLAYER_E(0x3B)
#define PLAYER_E_VIDEO_OUTPUT PLAYER_E(0x3C)
#define PLAYER_E_SOCKET_CREATE PLAYER_E(0x40)
#define PLAYER_E_PROTOCOL_SYNTAX PLAYER_E(0x41)
#define PLAYER_E_SEND PLAYER_E(0x42)
#define PLAYER_E_RECV PLAYER_E(0x43)
#define PLAYER_E_TIMEOUT PLAYER_E(0x44)
#define PLAYER_E_SERVER_INTERNAL PLAYER_E(0x45)
#define PLAYER_E_NO_CONNECTION PLAYER_E(0x46)
#define PLAYER_E_SERVER_DISCONNECTED PLAYER_E(0x47)
#define PLAYER_E_NO_RESPONSE PLAYER_E(0x48)
#define PLAYER_E_NO_DATA PLAYER_E(0x49)
#define PLAYER_E_INVALID_REQUEST PLAYER_E(0x4A)
#define PLAYER_E_CLIENT_DENIED PLAYER_E(0x4B)
#define PLAYER_E_CLIENT_DISCONNECTED PLAYER_E(0x4C)
#define PLAYER_E_NO_REQUEST PLAYER_E(0x4D)
#define PLAYER_E_URL_MOVED PLAYER_E(0x4F)

// Control flow between the engine's own parts; no message text.
#define PLAYER_E_BUFFER_TOO_SMALL PLAYER_E(0x51)  // the needed size is in the sample's length
#define PLAYER_E_NOT_YET PLAYER_E(0x52)           // data not here yet: back to buffering
#define PLAYER_E_END_OF_STREAM PLAYER_E(0x53)     // no more samples, or past the play range
#define PLAYER_E_AUDIO_DECODE PLAYER_E(0x54)      // an audio decode step produced nothing
#define PLAYER_E_PACKET_PENDING PLAYER_E(0x55)    // the packet stays at the head of its queue
#define PLAYER_E_NO_TRACK PLAYER_E(0x56)          // no track of the requested type
#define PLAYER_E_FRAME_LATE PLAYER_E(0x57)        // a late picture, not shown
#define PLAYER_E_FRAME_VERY_LATE PLAYER_E(0x58)   // not shown; skip to the next key frame
#define PLAYER_E_FRAME_EARLY PLAYER_E(0x59)       // an early picture: wait 10 ms

// The status thread could not prepare the clip and no part said why (the
// clock or a queue could not be made). It ends the clip, so it has a text.
#define PLAYER_E_PREPARE_FAILED PLAYER_E(0x5A)

enum PlayerLanguage {
    PLAYER_LANG_ENGLISH = 0,
    PLAYER_LANG_KOREAN = 1,
};

// The message for an error code; an unknown code gets the "Unknown error"
// text. English texts are ASCII; Korean texts are in code page 949 on every
// build (the program's ANSI code page). Never null.
const char* Player_ErrorMessage(PlayerResult code, PlayerLanguage language);
// 1 when the code has its own message (not the default).
int Player_HasErrorMessage(PlayerResult code);
