#include "tests/engine/write_ring_mt_test.cpp"
