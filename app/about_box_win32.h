#pragma once

#include "dialog/modal_dialog.h"

// The About box: template 100; OK, Escape and its close box end it.
class CAboutBox : public dialog::ModalDialog {
  public:
    explicit CAboutBox(HINSTANCE instance);
};
