#pragma once
// <windows.h> as the plugin's Windows sources include it: without the min and max macros and
// the rarely used parts. Include it after the project's own headers, whose names (such as
// Platform::LoadLibrary) the Win32 macros would otherwise rename.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
