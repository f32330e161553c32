#include "engine/output/default_outputs.h"

// The portable build has no output devices of its own: tests install theirs.
void Outputs_InstallDefaults() {}
