#include "app/about_box_win32.h"

#include "res/resource.h"

CAboutBox::CAboutBox(HINSTANCE instance) : ModalDialog(instance, IDD_ABOUTBOX) {}
