// The "setup.ini" copy list: its line grammar, the checks on entries and the in-memory record list.
// Plain code without <windows.h>: the list is untrusted text.
//
// The file, read in text mode one line at a time (a line may be of any length):
//   leading blanks and tabs are skipped; the line ends at its first CR or LF; trailing blanks stay.
//   ""                                  ignored everywhere
//   "#copystart" (any case, alone)      the list begins
//   "#copyend"   (any case, alone)      reading stops, also before "#copystart" (the list is then empty)
//   "#..."                              comment
//   ";..." inside the list              comment
//   anything else before the start      ignored
//   anything else inside the list       an entry: a file or folder relative to the list's own folder
// The end of the file ends the list as "#copyend" does.
//
// In memory (a fixed buffer): records of  kind byte (0 file, 1 folder) | entry text | 0
// and a final record with empty text, so the list ends in two zero bytes.
#pragma once

#include <cstddef>
#include <cstdio>

constexpr size_t kCopyListBytes = 65536;
// Bytes of one list line that are kept; an entry never needs more (see CheckListEntry).
constexpr size_t kListLineBytes = 1024;

enum class ListLine { Blank, Start, End, Comment, Ignored, Entry };

struct ListLineInfo {
    ListLine kind;
    const char* entry;  // Entry only: the entry text inside the line
    size_t entryLength;
};

// line holds length bytes without the line feed; listOn tells whether "#copystart" was seen.
ListLineInfo ClassifyListLine(const char* line, size_t length, bool listOn);

enum class EntryCheck {
    Usable,
    TooLong,    // cannot be a path of the installer's buffers
    Unusable,   // not a plain relative path: absolute, "..", wildcards, device or stream syntax, control bytes
};
EntryCheck CheckListEntry(const char* entry, size_t length);

// Called for each entry in order with the text zero-terminated; a non-zero result stops the reading.
using ListEntryFn = int (*)(void* context, const char* entry, EntryCheck check);
// Reads the whole list; 0 at "#copyend" or the end of the file, otherwise the callback's result.
int ReadCopyListText(FILE* file, ListEntryFn onEntry, void* context);

enum : unsigned char { kCopyFile = 0, kCopyFolder = 1 };

// Writes records into a fixed buffer that always holds a complete list (the end record follows the
// last record written), so a list abandoned half-way is still well formed.
struct CopyListWriter {
    char* buffer;
    size_t capacity;
    size_t used;  // bytes before the end record
};
void BeginCopyList(CopyListWriter& writer, char* buffer, size_t capacity);
// -1 when the record and the end record would not fit; the list is then left as it was.
int AddCopyRecord(CopyListWriter& writer, unsigned char kind, const char* text);

struct CopyRecord {
    unsigned char kind;
    const char* text;
};
// The record at *position, which then moves behind it; false at the end record or when the buffer
// ends before a complete record.
bool NextCopyRecord(const char* list, size_t capacity, size_t* position, CopyRecord* record);
