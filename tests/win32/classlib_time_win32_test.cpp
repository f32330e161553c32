// The CTime suite, run under Wine against the C runtime of Windows.
#include "../classlib/afxtime_test.cpp"
