#include "../engine/media_info_image_test.cpp"
