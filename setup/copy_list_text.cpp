// Copy-list grammar, entry checks and the record list.
#include "setup/copy_list_text.h"

#include <cstring>

#include "setup/ascii_text.h"
#include "setup/cp932_path.h"
#include "setup/text_line.h"

namespace {

// A path component made of dots and blanks only, other than ".": Windows reads such names as ".."
// or trims them away, so they could lead out of the folder.
bool IsDotComponent(const char* begin, size_t length)
{
    if (length == 1 && begin[0] == '.') return false;
    if (length == 0) return false;
    for (size_t i = 0; i < length; ++i)
        if (begin[i] != '.' && begin[i] != ' ') return false;
    return true;
}

}  // namespace

ListLineInfo ClassifyListLine(const char* line, size_t length, bool listOn)
{
    size_t start = 0;
    while (start < length && IsBlank(line[start])) ++start;
    size_t end = start;
    while (end < length && line[end] != '\r' && line[end] != '\n') ++end;
    const char* text = line + start;
    size_t textLength = end - start;

    ListLineInfo info{ListLine::Blank, nullptr, 0};
    if (textLength == 0) return info;
    if (IsWordIgnoringCase(text, textLength, "#copystart")) {
        info.kind = ListLine::Start;
    } else if (IsWordIgnoringCase(text, textLength, "#copyend")) {
        info.kind = ListLine::End;
    } else if (text[0] == '#' || (listOn && text[0] == ';')) {
        info.kind = ListLine::Comment;
    } else if (!listOn) {
        info.kind = ListLine::Ignored;
    } else {
        info.kind = ListLine::Entry;
        info.entry = text;
        info.entryLength = textLength;
    }
    return info;
}

EntryCheck CheckListEntry(const char* entry, size_t length)
{
    if (length >= kPathBytes) return EntryCheck::TooLong;
    if (length == 0 || entry[0] == '\\' || entry[0] == '/') return EntryCheck::Unusable;
    size_t componentStart = 0;
    size_t i = 0;
    while (i <= length) {
        if (i == length || entry[i] == '\\' || entry[i] == '/') {
            if (IsDotComponent(entry + componentStart, i - componentStart)) return EntryCheck::Unusable;
            componentStart = i + 1;
            ++i;
            continue;
        }
        unsigned char c = static_cast<unsigned char>(entry[i]);
        if (IsCp932LeadByte(c)) {
            if (i + 1 >= length || entry[i + 1] == '\0') return EntryCheck::Unusable;
            i += 2;
            continue;
        }
        if (c < 0x20 || c == 0x7F || strchr(":*?\"<>|", c) != nullptr) return EntryCheck::Unusable;
        ++i;
    }
    return EntryCheck::Usable;
}

int ReadCopyListText(FILE* file, ListEntryFn onEntry, void* context)
{
    char line[kListLineBytes];
    TextLine read;
    bool listOn = false;
    while (ReadTextLine(file, line, sizeof line, &read)) {
        ListLineInfo info = ClassifyListLine(line, read.length, listOn);
        switch (info.kind) {
        case ListLine::Start:
            listOn = true;
            break;
        case ListLine::End:
            return 0;
        case ListLine::Entry: {
            // An entry that runs to the end of the kept bytes of an overlong line goes on beyond them.
            bool cut = read.overlong && info.entry + info.entryLength == line + read.length;
            char* text = line + (info.entry - line);
            text[info.entryLength] = '\0';
            EntryCheck check = cut ? EntryCheck::TooLong : CheckListEntry(text, info.entryLength);
            int result = onEntry(context, text, check);
            if (result != 0) return result;
            break;
        }
        default:
            break;
        }
    }
    return 0;
}

void BeginCopyList(CopyListWriter& writer, char* buffer, size_t capacity)
{
    writer.buffer = buffer;
    writer.capacity = capacity;
    writer.used = 0;
    if (capacity >= 2) buffer[0] = buffer[1] = '\0';
}

int AddCopyRecord(CopyListWriter& writer, unsigned char kind, const char* text)
{
    size_t length = strlen(text);
    if (writer.capacity < 2 || length == 0) return -1;
    size_t record = 1 + length + 1;
    if (record > writer.capacity - 2 - writer.used) return -1;
    char* out = writer.buffer + writer.used;
    out[0] = static_cast<char>(kind);
    memcpy(out + 1, text, length + 1);
    writer.used += record;
    writer.buffer[writer.used] = '\0';
    writer.buffer[writer.used + 1] = '\0';
    return 0;
}

bool NextCopyRecord(const char* list, size_t capacity, size_t* position, CopyRecord* record)
{
    size_t at = *position;
    if (at + 1 >= capacity) return false;
    const char* text = list + at + 1;
    const void* end = memchr(text, '\0', capacity - at - 1);
    if (end == nullptr || text[0] == '\0') return false;
    record->kind = static_cast<unsigned char>(list[at]);
    record->text = text;
    *position = static_cast<size_t>(static_cast<const char*>(end) - list) + 1;
    return true;
}
