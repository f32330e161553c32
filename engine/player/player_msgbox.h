// Message boxes for engine error texts (Windows build only): caption
// "Error Message . . .", no owner, one variant per icon.
#pragma once

#ifndef DC_ENGINE_INTERNAL
#error "an engine internal: link engine_internal, or use the public headers of engine/"
#endif

void ShowErrorBoxQuestion(const char* text);     // icon 0x20
void ShowErrorBoxStop(const char* text);         // icon 0x10
void ShowErrorBoxExclamation(const char* text);  // icon 0x30
void ShowErrorBoxInformation(const char* text);  // icon 0x40
