#include "../engine/packet_queue_mt_test.cpp"
