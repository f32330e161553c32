#include "../engine/packet_queue_test.cpp"
