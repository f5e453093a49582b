// A DLL that exists only in the test programs' folder, as one planted in a game folder would.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
