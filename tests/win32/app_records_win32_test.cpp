// The recorder records under Windows: the portable suite, so the label and
// overlay texts are checked against this build's own formatting.
#include "../app/recorder_records_test.cpp"
