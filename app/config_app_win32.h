#pragma once

#include <windows.h>

#include <string>

// The application: it keeps the executable's whole path for the life of
// the process and runs the main dialog once.
class CConfigApp {
  public:
    explicit CConfigApp(HINSTANCE instance) : instance_(instance) {}

    // Initialises the common controls, runs the dialog modally (in restore
    // mode for a command-line tail of exactly "-u") and returns the process
    // exit code once it has closed.
    int InitInstance();

  private:
    HINSTANCE instance_;
    std::string exePath_;
};
