// Code page 932 path walking: lead bytes, separators, joins and the folder-creation walk.
#include "setup/cp932_path.h"

#include <cstring>

#include "setup/ascii_text.h"

bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

size_t Cp932CharLength(const char* text)
{
    return IsCp932LeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

bool IsWellFormedCp932(const char* text)
{
    for (; *text; text += Cp932CharLength(text))
        if (IsCp932LeadByte(static_cast<unsigned char>(*text)) && text[1] == '\0') return false;
    return true;
}

long LastSeparator(const char* path)
{
    long last = -1;
    for (const char* p = path; *p; p += Cp932CharLength(p))
        if (*p == '\\' || *p == '/') last = static_cast<long>(p - path);
    return last;
}

void FolderOf(const char* path, char* folder)
{
    long last = LastSeparator(path);
    size_t length = last < 0 ? 0 : static_cast<size_t>(last);
    memmove(folder, path, length);
    folder[length] = '\0';
}

bool EndsInSeparator(const char* path)
{
    size_t length = strlen(path);
    long last = LastSeparator(path);
    return length > 0 && last == static_cast<long>(length) - 1;
}

int JoinPath(char* out, size_t outSize, const char* folder, const char* name)
{
    size_t folderLength = strlen(folder);
    size_t nameLength = strlen(name);
    bool slash = !EndsInSeparator(folder);
    size_t total = folderLength + (slash ? 1 : 0) + nameLength;
    if (outSize == 0) return -1;
    if (total >= outSize) {
        out[0] = '\0';
        return -1;
    }
    // memmove: callers may join onto a buffer that already holds the folder.
    memmove(out, folder, folderLength);
    if (slash) out[folderLength] = '\\';
    memmove(out + folderLength + (slash ? 1 : 0), name, nameLength);
    out[total] = '\0';
    return 0;
}

bool IsScreenSaverName(const char* name)
{
    // "." is never a trail byte, so the last four bytes are four whole single-byte characters here.
    size_t length = strlen(name);
    if (length < 5) return false;
    const char* tail = name + length - 4;
    return IsWordIgnoringCase(tail, 4, ".scr");
}

bool SamePathIgnoringCase(const char* a, const char* b)
{
    for (;;) {
        size_t na = Cp932CharLength(a);
        size_t nb = Cp932CharLength(b);
        if (na != nb) return false;
        if (na == 2) {
            if (a[0] != b[0] || a[1] != b[1]) return false;
        } else {
            if (AsciiLower(*a) != AsciiLower(*b)) return false;
            if (*a == '\0') return true;
        }
        a += na;
        b += nb;
    }
}

FolderChainWalk::FolderChainWalk(const char* path, bool wholeIsFolder) : path_(path), wholeIsFolder_(wholeIsFolder)
{
    if (path == nullptr || path[0] == '\0' || !IsWellFormedCp932(path)) return;
    size_t start;
    if (path[0] == '\\' && path[1] == '\\') {
        // Network path: the walk starts at the backslash that ends the server name.
        const char* p = path + 2;
        while (*p && *p != '\\') p += Cp932CharLength(p);
        if (*p != '\\') return;
        start = static_cast<size_t>(p - path);
    } else {
        // ':' is never a trail byte, so path[0] is then a whole single-byte character.
        if (path[1] != ':') return;
        start = 2;
    }
    // At least two characters from the starting point on, so a bare drive ("C:", "C:\") is refused.
    const char* p = path + start;
    if (*p == '\0') return;
    p += Cp932CharLength(p);
    if (*p == '\0') return;
    position_ = start + Cp932CharLength(path + start);
    valid_ = true;
}

bool FolderChainWalk::Next(size_t* length)
{
    if (!valid_ || finished_) return false;
    while (path_[position_] != '\0') {
        size_t here = position_;
        position_ += Cp932CharLength(path_ + here);
        if (path_[here] == '\\') {
            *length = here;
            return true;
        }
    }
    finished_ = true;
    if (!wholeIsFolder_) return false;
    *length = position_;
    return true;
}
