#pragma once

namespace platform {

// An owner window as the core sees it: an HWND on Windows, unused elsewhere.
using WindowHandle = void*;

}  // namespace platform
