// The program's version, in the one place everything takes it from: the
// version block (TolvaneConfig.rc) and the release zip's name
// (tools/release.sh reads TOLVANE_VERSION).
#pragma once

#define TOLVANE_VERSION 6, 0, 9, 0
#define TOLVANE_VERSION_TEXT "6, 0, 9, 0"
