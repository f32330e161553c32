#include "tests/codecs/video/m4v_kernels_test.cpp"
