#pragma once

#include <windows.h>

// The application: it runs the main dialog once, in restore mode for a
// command-line tail of exactly "-u".
class CConfigApp {
  public:
    explicit CConfigApp(HINSTANCE instance) : m_hInstance(instance) {}

    // Initialises the common controls, runs the dialog modally and returns
    // the process exit code once it has closed.
    int InitInstance();

  private:
    HINSTANCE m_hInstance;
};
