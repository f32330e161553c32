#include "../engine/text_decoder_test.cpp"
