#include "../engine/player_state_test.cpp"
