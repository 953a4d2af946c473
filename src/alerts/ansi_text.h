#pragma once

#include <string>

// Conversion between the program's UTF-8 strings and the single-byte ANSI code page the rule
// files and the remote login frame are written in (Windows-1252: Latin-1 plus the typographic characters at 0x80..0x9F).
// Characters the code page lacks become '?'; invalid UTF-8 bytes are taken as Latin-1.
std::string utf8_to_ansi(const std::string& text);
std::string ansi_to_utf8(const std::string& bytes);
