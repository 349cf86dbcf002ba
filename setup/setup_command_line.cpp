// Run-mode decoding, with the unquoted uninstall command of a folder with blanks recognised.
#include "setup/setup_command_line.h"

#include <cstring>

#include "setup/ascii_text.h"
#include "setup/cp932_path.h"

namespace {

// "/r" or "/x" in any case, exactly these two bytes.
SetupMode SwitchMode(const char* text, size_t length)
{
    if (length != 2 || text[0] != '/') return SetupMode::Interactive;
    if (AsciiLower(text[1]) == 'r') return SetupMode::Relocate;
    if (AsciiLower(text[1]) == 'x') return SetupMode::Uninstall;
    return SetupMode::Interactive;
}

// True when the first length bytes of text end, on a character boundary and after a separator or
// at the start, in name (ASCII letters folded).
bool EndsInProgramName(const char* text, size_t length, const char* name)
{
    size_t nameLength = strlen(name);
    if (nameLength == 0 || nameLength > length) return false;
    size_t start = length - nameLength;
    const char* p = text;
    const char* previous = nullptr;
    while (static_cast<size_t>(p - text) < start) {
        previous = p;
        p += Cp932CharLength(p);
    }
    if (static_cast<size_t>(p - text) != start) return false;
    if (previous != nullptr && *previous != '\\' && *previous != '/' && *previous != ':') return false;
    for (size_t i = 0; i < nameLength; ++i) {
        // Double-byte characters must match exactly; folding applies to single bytes below 0x80 only.
        unsigned char a = static_cast<unsigned char>(text[start + i]);
        unsigned char b = static_cast<unsigned char>(name[i]);
        if (a >= 0x80 || b >= 0x80) {
            if (a != b) return false;
        } else if (AsciiLower(static_cast<char>(a)) != AsciiLower(static_cast<char>(b))) {
            return false;
        }
    }
    return true;
}

}  // namespace

SetupMode ParseSetupCommandLine(const char* commandLine, const char* programName)
{
    if (commandLine == nullptr) return SetupMode::Interactive;
    const char* p = commandLine;
    while (IsBlank(*p)) ++p;
    const char* program = p;
    bool quoted = *p == '"';
    if (quoted) {
        ++p;
        while (*p && *p != '"') p += Cp932CharLength(p);
        if (*p == '"') ++p;
    } else {
        while (*p && !IsBlank(*p)) p += Cp932CharLength(p);
    }
    while (IsBlank(*p)) ++p;
    SetupMode mode = SwitchMode(p, strlen(p));
    if (mode != SetupMode::Interactive || quoted || programName == nullptr) return mode;

    // Unquoted: the program's path may itself hold blanks. Take the last blank-separated word as the
    // switch when everything before it names this program.
    size_t length = strlen(program);
    if (length < 3 || IsBlank(program[length - 1])) return SetupMode::Interactive;
    mode = SwitchMode(program + length - 2, 2);
    if (mode == SetupMode::Interactive || !IsBlank(program[length - 3])) return SetupMode::Interactive;
    // The switch's two bytes are single-byte characters only if they start on a character boundary.
    size_t before = length - 3;
    const char* q = program;
    while (static_cast<size_t>(q - program) < before) q += Cp932CharLength(q);
    if (static_cast<size_t>(q - program) != before) return SetupMode::Interactive;
    while (before > 0 && IsBlank(program[before - 1])) --before;
    return EndsInProgramName(program, before, programName) ? mode : SetupMode::Interactive;
}
