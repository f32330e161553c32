#include "tests/engine/stream_test.cpp"
