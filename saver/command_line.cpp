// Command-line decoding: skip the program path, then one optional "-" or "/", then the switch letter.
#include "saver/command_line.h"

#include <climits>

namespace {

bool IsCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

const char* SkipBlanksAndColons(const char* p)
{
    while (*p == ' ' || *p == ':') ++p;
    return p;
}

}  // namespace

int32_t ReadDecimal(const char* text, const char** end)
{
    const char* p = text;
    while (IsCSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value <= static_cast<int64_t>(INT32_MAX) + 1) value = value * 10 + (*p - '0');
        ++p;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    if (end != nullptr) *end = p;
    return static_cast<int32_t>(value);
}

DecodedCommandLine DecodeCommandLine(const char* text)
{
    DecodedCommandLine result = {RunMode::None, 0, false};
    const char* p = text != nullptr ? text : "";

    // The program path: quoted up to the closing quote, otherwise up to the first space.
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') ++p;
    } else {
        while (*p != '\0' && *p != ' ') ++p;
    }
    if (*p != '\0') ++p;
    while (*p == ' ') ++p;

    if (*p == '\0') {
        result.mode = RunMode::Configure;
        return result;
    }
    if (*p == '-' || *p == '/') ++p;

    switch (*p) {
    case 'p': case 'P': case 'l': case 'L':
        result.mode = RunMode::Preview;
        result.handle = ReadDecimal(SkipBlanksAndColons(p + 1), nullptr);
        break;
    case 's': case 'S':
        result.mode = RunMode::Saver;
        break;
    case 'c': case 'C':
        result.mode = RunMode::Configure;
        p = SkipBlanksAndColons(p + 1);
        if (*p == '\0')
            result.ownerFromForeground = true;
        else
            result.handle = ReadDecimal(p, nullptr);
        break;
    case 'a': case 'A':
        result.mode = RunMode::ChangePassword;
        result.handle = ReadDecimal(SkipBlanksAndColons(p + 1), nullptr);
        break;
    default:
        break;
    }
    return result;
}
