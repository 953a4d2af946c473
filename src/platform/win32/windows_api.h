#pragma once

// <windows.h> for files that also include the core's headers: the core's alert action kinds
// OpenFile and PlaySound are a function and a macro of the Windows API as well. Included
// before any of the core's headers.
#define OpenFile windows_api_OpenFile
#include <windows.h>
#undef OpenFile
#undef PlaySound
