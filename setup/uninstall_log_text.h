// The "undelete.ini" uninstall log: its line format and the order in which a replay undoes it.
// Plain code without <windows.h>: the log is read back from disk, where anything may have changed it.
//
// A text file (CR LF on disk through the text-mode streams), no header, two kinds of line in any mix:
//   <path>        a file the installer wrote, as passed to the file system when it was created
//   + <path>      a folder the installer created
// in the order things were created (folders made before the log was open come last).
#pragma once

#include <cstddef>
#include <cstdio>

// Bytes of one log line that are kept; longer lines cannot name a path and are passed over.
constexpr size_t kLogLineBytes = 1024;

enum class LogLine { Skip, File, Folder };

// line holds length bytes without the line feed; a CR before it is not part of the path. Lines that
// cannot name a usable path (empty, too long for a path buffer, holding zero bytes or a broken
// double-byte character) are Skip; otherwise *path and *pathLength give the path inside the line.
LogLine ParseLogLine(const char* line, size_t length, bool overlong, const char** path, size_t* pathLength);

// What a replay does to the file system; the log stream itself is closed by finishLog, which also
// deletes the log file unless told to keep it.
struct ReplayOps {
    void (*deleteFile)(void* context, const char* path);
    void (*finishLog)(void* context, bool keepLog);
    void (*removeFolder)(void* context, const char* path);
    void* context;
};

// Deletes every file line's file (except protectedPath, compared ignoring ASCII letter case), then
// finishes the log, then removes the folders of the folder lines, the last line's folder first.
// Returns -1 only when memory for the folder list ran out: the folders are then left in place and the
// log is kept, so that a replay with more memory can still remove them.
int ReplayLogText(FILE* log, const char* protectedPath, const ReplayOps& ops);
