// The operating system starts and ends the module through DllMain.
#include "module/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        StartModule(instance);
        return TRUE;
    case DLL_PROCESS_DETACH:
        EndModule();
        return TRUE;
    default:
        return TRUE;
    }
}
