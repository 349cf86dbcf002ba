// Uninstall-log lines and the replay order.
#include "setup/uninstall_log_text.h"

#include <cstring>

#include "setup/cp932_path.h"
#include "setup/grow_buffer.h"
#include "setup/text_line.h"

LogLine ParseLogLine(const char* line, size_t length, bool overlong, const char** path, size_t* pathLength)
{
    *path = nullptr;
    *pathLength = 0;
    if (overlong) return LogLine::Skip;
    // A file written on another system may still carry the CR of its line ends.
    if (length > 0 && line[length - 1] == '\r') --length;
    if (length == 0 || memchr(line, '\0', length) != nullptr) return LogLine::Skip;
    LogLine kind = LogLine::File;
    const char* text = line;
    if (line[0] == '+') {
        if (length < 3 || line[1] != ' ') return LogLine::Skip;
        kind = LogLine::Folder;
        text += 2;
        length -= 2;
    }
    if (length >= kPathBytes) return LogLine::Skip;
    for (size_t i = 0; i < length; i += IsCp932LeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1)
        if (IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 >= length) return LogLine::Skip;
    *path = text;
    *pathLength = length;
    return kind;
}

int ReplayLogText(FILE* log, const char* protectedPath, const ReplayOps& ops)
{
    char line[kLogLineBytes];
    TextLine read;
    GrowBuffer folders;  // zero-terminated paths one after another, in line order
    bool folderListLost = false;
    while (ReadTextLine(log, line, sizeof line, &read)) {
        const char* path;
        size_t pathLength;
        LogLine kind = ParseLogLine(line, read.length, read.overlong, &path, &pathLength);
        if (kind == LogLine::Skip) continue;
        char target[kPathBytes];  // the parser accepted a path shorter than kPathBytes
        memcpy(target, path, pathLength);
        target[pathLength] = '\0';
        if (kind == LogLine::Folder) {
            if (!folderListLost && GrowAppend(folders, target, pathLength + 1) != 0) folderListLost = true;
        } else if (!SamePathIgnoringCase(target, protectedPath)) {
            ops.deleteFile(ops.context, target);
        }
    }
    ops.finishLog(ops.context, folderListLost);
    if (!folderListLost) {
        // Walk the list backwards: each path begins after the zero byte of the one before it.
        size_t end = folders.size;
        while (end > 0) {
            size_t begin = end - 1;
            while (begin > 0 && folders.data[begin - 1] != '\0') --begin;
            ops.removeFolder(ops.context, folders.data + begin);
            end = begin;
        }
    }
    GrowFree(folders);
    return folderListLost ? -1 : 0;
}
