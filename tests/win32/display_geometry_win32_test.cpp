#include "../engine/display_geometry_test.cpp"
