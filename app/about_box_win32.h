#pragma once

#include "platform/win32/modal_dialog.h"

// The About box: template 100; OK, Escape and its close box end it.
class CAboutBox : public platform::ModalDialog {
  public:
    explicit CAboutBox(HINSTANCE instance);
};
