#pragma once

#include <string_view>

// Reads an integer the way the C runtime's atoi does: leading white space,
// an optional sign, then decimal digits up to the first other character; 0
// when the text does not begin with a number. Values beyond the range of
// int are held at its limits.
int TextToInt(std::string_view text);
