#include "../engine/clock_test.cpp"
