// The Win32 API as the Windows platform files take it: without the parts
// of windows.h that they never use, and without its min and max macros.
#ifndef PLATFORM_SISTEMA_WINDOWS_H_
#define PLATFORM_SISTEMA_WINDOWS_H_

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#endif  // PLATFORM_SISTEMA_WINDOWS_H_
