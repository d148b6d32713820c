#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace platform {

// The ANSI code page that names files, as far as splitting names needs it:
// in a double-byte code page (932 Japanese, 936, 949, 950) a lead byte
// starts a two-byte character whose second byte may be any byte, "\"
// (0x5C) and "/" among them, and is then no separator.
class CodePage {
  public:
    // A single-byte code page: Windows-1252.
    CodePage() = default;
    // The code page of that number; the double-byte ones Windows has get
    // their lead bytes, every other one none.
    explicit CodePage(int number);
    // The lead bytes as the system tells them (Windows: IsDBCSLeadByte).
    CodePage(int number, const std::array<bool, 256>& leadBytes)
        : number_(number), lead_(leadBytes) {}

    int Number() const { return number_; }
    bool IsLeadByte(char byte) const { return lead_[static_cast<unsigned char>(byte)]; }

    // The index just past the character that starts at i: 1 byte, or 2
    // for a lead byte with a byte after it.
    size_t Next(std::string_view text, size_t i) const {
        return IsLeadByte(text[i]) && i + 1 < text.size() ? i + 2 : i + 1;
    }

  private:
    int number_ = 1252;
    std::array<bool, 256> lead_{};
};

// The code page of this system's ANSI text: on Windows the system's own;
// elsewhere Windows-1252, unless a Wine prefix says otherwise (its file
// system knows).
CodePage SystemCodePage();

}  // namespace platform
