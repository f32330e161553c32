#include "../engine/video_renderer_test.cpp"
