#include "app/file_search.h"

// The native build has no folder source of its own: tests set one.
DirectorySource* FileList_PlatformSource() { return nullptr; }
