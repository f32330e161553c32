// The engine parts the player stands on.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

#include "engine/decode/audio_decoder.h"
#include "engine/output/clock.h"
#include "engine/media_info.h"
#include "engine/input/media_sample.h"
#include "engine/platform/os.h"
#include "engine/decode/packet_queue.h"
#include "engine/player_result.h"
#include "engine/input/source.h"
#include "engine/decode/text_decoder.h"
#include "engine/decode/video_decoder.h"
