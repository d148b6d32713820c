#pragma once

#include <string>

// 1 when anything, file or folder, exists at the path, else 0.
int FileExists(const std::string& path);
