#include "../engine/player_mt_test.cpp"
