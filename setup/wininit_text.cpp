// Rebuilding "WININIT.INI" with one more "[Rename]" entry, reading the section's lines directly.
#include "setup/wininit_text.h"

#include <cstring>

#include "setup/ascii_text.h"

namespace {

// A section header line ("[name]" after optional blanks): sets *isRename. False for other lines.
bool SectionHeader(const char* line, size_t length, bool* isRename)
{
    size_t i = 0;
    while (i < length && IsBlank(line[i])) ++i;
    if (i == length || line[i] != '[') return false;
    ++i;
    const char* close = static_cast<const char*>(memchr(line + i, ']', length - i));
    size_t end = close ? static_cast<size_t>(close - line) : length;
    while (i < end && IsBlank(line[i])) ++i;
    while (end > i && IsBlank(line[end - 1])) --end;
    *isRename = IsWordIgnoringCase(line + i, end - i, "rename");
    return true;
}

bool Append(GrowBuffer& buffer, const char* bytes, size_t length, bool* ok)
{
    if (*ok && GrowAppend(buffer, bytes, length) != 0) *ok = false;
    return *ok;
}

}  // namespace

WininitEdit AddDeleteEntry(const char* text, size_t length, const char* path, GrowBuffer& out)
{
    GrowClear(out);
    if (length > 0 && static_cast<unsigned char>(text[length - 1]) == 0x1A) --length;
    GrowBuffer section;
    bool ok = true;
    Append(section, "[Rename]\r\n", 10, &ok);
    bool inRename = false;
    size_t position = 0;
    while (ok && position < length) {
        const char* line = text + position;
        const char* feed = static_cast<const char*>(memchr(line, '\n', length - position));
        size_t withEnd = feed ? static_cast<size_t>(feed - line) + 1 : length - position;
        position += withEnd;
        size_t content = withEnd;
        while (content > 0 && (line[content - 1] == '\n' || line[content - 1] == '\r')) --content;
        bool isRename = false;
        if (SectionHeader(line, content, &isRename)) {
            inRename = isRename;
            if (inRename) continue;
        }
        if (!inRename) {
            Append(out, line, withEnd, &ok);
            continue;
        }
        size_t start = 0;
        while (start < content && IsBlank(line[start])) ++start;
        if (start == content) continue;
        Append(section, line, content, &ok);
        Append(section, "\r\n", 2, &ok);
    }
    // The section must start on a line of its own.
    if (out.size > 0 && out.data[out.size - 1] != '\n') Append(out, "\r\n", 2, &ok);
    Append(section, "NUL=", 4, &ok);
    Append(section, path, strlen(path), &ok);
    Append(section, "\r\n", 2, &ok);
    WininitEdit result = WininitEdit::Done;
    if (!ok)
        result = WininitEdit::NoMemory;
    else if (section.size > kRenameSectionLimit)
        result = WininitEdit::TooLarge;
    else if (!Append(out, section.data, section.size, &ok))
        result = WininitEdit::NoMemory;
    GrowFree(section);
    if (result != WininitEdit::Done) GrowClear(out);
    return result;
}
