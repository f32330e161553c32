#include "../engine/strutil_test.cpp"
