#include "tests/engine/color_convert_test.cpp"
