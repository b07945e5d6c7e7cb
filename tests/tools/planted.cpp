// A DLL that does nothing. Tests copy it beside a program under the name of a
// DLL that Windows loads on the program's behalf, to see whether the program
// folder is searched for it.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
