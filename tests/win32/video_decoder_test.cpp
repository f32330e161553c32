#include "tests/engine/video_decoder_test.cpp"
