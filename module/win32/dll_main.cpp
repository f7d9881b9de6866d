// The operating system starts and ends the module through DllMain.
#include "module/dmagent_app.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        return TheApp().Start(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
        TheApp().End();
        return TRUE;
    default:
        return TRUE;
    }
}
