// The outputs a player uses unless its caller installed others: on Windows
// the wave output, the DirectDraw output and the window-rectangle source;
// nothing elsewhere.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

// Once per process; a device type that already has a device keeps it.
void Outputs_InstallDefaults();
