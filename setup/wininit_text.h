// The text of "WININIT.INI", the Windows 95 family's list of file operations for its next start.
// Plain code without <windows.h>: the file may hold anything.
#pragma once

#include <cstddef>

#include "setup/grow_buffer.h"

// Longest "[Rename]" section the installer writes; Windows 95 reads no more of it.
constexpr size_t kRenameSectionLimit = 30000;

enum class WininitEdit { Done, TooLarge, NoMemory };

// out = text with one more entry, "NUL=" path, asking for path to be deleted: every other section
// stays byte for byte; every "[Rename]" section (the name in any letter case) is taken out and its
// lines (blank lines dropped), in their order and each with its own value, come back at the end in
// one "[Rename]" section followed by the new entry. A final end-of-file mark 0x1A is dropped and
// every written line ends in CR LF. TooLarge when that section would exceed kRenameSectionLimit.
// On any result but Done, out is empty.
WininitEdit AddDeleteEntry(const char* text, size_t length, const char* path, GrowBuffer& out);
