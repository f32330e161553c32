#include "../engine/player_result_test.cpp"
