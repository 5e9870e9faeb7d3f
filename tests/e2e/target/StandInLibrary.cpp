// An empty library that the tests name wnaspi32.dll, to see which of the
// libraries of that name Wine loads. Its one export tells it apart from
// Wine's own.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

extern "C" __declspec(dllexport) int StandInLibraryMarker() { return 1; }
