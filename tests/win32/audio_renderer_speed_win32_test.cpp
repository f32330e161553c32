#include "../engine/audio_renderer_speed_test.cpp"
