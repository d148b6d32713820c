#include <windows.h>

#include "app/config_app_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Nothing the program does may end it with an exception; memory running
    // out before the dialog exists ends it quietly.
    try {
        CConfigApp app(instance);
        return app.InitInstance();
    } catch (...) {
        return 0;
    }
}
