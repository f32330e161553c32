#include "tests/engine/source_test.cpp"
