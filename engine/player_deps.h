// The engine parts the player stands on.
#pragma once

#include "engine/audio_decoder.h"
#include "engine/clock.h"
#include "engine/media_info.h"
#include "engine/media_sample.h"
#include "engine/os.h"
#include "engine/packet_queue.h"
#include "engine/player_result.h"
#include "engine/source.h"
#include "engine/text_decoder.h"
#include "engine/video_decoder.h"
