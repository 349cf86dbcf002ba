// Paths as code page 932 text, walked by whole characters so that a trail byte 0x5C is never a separator.
// Plain code without <windows.h>: it also builds natively for the sanitizer tests.
#pragma once

#include <cstddef>

// ANSI path buffers of the installer, terminator included.
constexpr size_t kPathBytes = 260;

bool IsCp932LeadByte(unsigned char byte);
// Bytes of the character that starts at text: 2 for a lead byte followed by another byte, else 1
// (a lead byte right before the terminator stands alone).
size_t Cp932CharLength(const char* text);
// False when a lead byte has no byte after it.
bool IsWellFormedCp932(const char* text);

// True when the last character (not merely the last byte) is "\" or "/".
bool EndsInSeparator(const char* path);
// Offset of the last "\" or "/" character, or -1.
long LastSeparator(const char* path);
// The text before the last separator into folder (at least as large as path); empty when there is none.
void FolderOf(const char* path, char* folder);

// out = folder, a backslash unless the folder already ends in "\" or "/", then name.
// Returns -1 and leaves out empty when the result does not fit outSize bytes.
int JoinPath(char* out, size_t outSize, const char* folder, const char* name);

// A name of at least 5 bytes that ends in ".SCR" in any letter case: a screen saver.
bool IsScreenSaverName(const char* name);

// Path comparison that folds ASCII letters of single-byte characters only; double-byte characters
// must match exactly (folding their trail bytes would equate different characters).
bool SamePathIgnoringCase(const char* a, const char* b);

// The walk of the folder-creation routine: a path is "X:" followed by at least two characters, or a
// network path "\\server" followed by "\" and at least one more character.
// Each "\" after the starting point ends one folder path; with wholeIsFolder the end of the text does too.
class FolderChainWalk {
public:
    FolderChainWalk(const char* path, bool wholeIsFolder);
    // False when the path is refused: empty, no drive letter and colon, a bare drive, a broken character.
    bool Valid() const { return valid_; }
    // Length of the next folder path, outermost first; false when there is none left.
    bool Next(size_t* length);

private:
    const char* path_;
    size_t position_ = 0;
    bool wholeIsFolder_;
    bool valid_ = false;
    bool finished_ = false;
};
