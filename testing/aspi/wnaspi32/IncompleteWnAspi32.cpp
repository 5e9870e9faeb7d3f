// A wnaspi32.dll that exports only one of the two entry points, as a broken
// installation would.
#include <windows.h>

extern "C" DWORD GetASPI32SupportInfo(void) { return 0; }
