#include "../engine/audio_renderer_mt_test.cpp"
