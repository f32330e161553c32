#include "../engine/player_paths_mt_test.cpp"
