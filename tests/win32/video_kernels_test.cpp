#include "tests/codecs/video/kernels_test.cpp"
