// The container suite in the Windows build, where long is 32 bits and
// pointers may be 64: map keys are pointer-sized there too.
#include "../classlib/afxcoll_test.cpp"
