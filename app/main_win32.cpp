#include <windows.h>

#include "app/config_app_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CConfigApp app(instance);
    return app.InitInstance();
}
