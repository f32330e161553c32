// The random-text CString suite in the Windows build as well.
#include "../classlib/afxstr_model_test.cpp"
