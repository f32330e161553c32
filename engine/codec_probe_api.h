// The codec configuration helpers the MP4 reader and the source call.
#pragma once

#include "engine/codec_names.h"
#include "engine/codec_probe.h"
#include "engine/media_info.h"
