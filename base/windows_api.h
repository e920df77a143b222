#pragma once

// The Win32 API for base/'s platform seams, without the parts of <windows.h>
// this program never uses and without its min and max macros. Included only
// by base/'s own sources, on Windows.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
