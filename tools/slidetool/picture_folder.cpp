// Walks picture folders with FindFirstFileA, depth first, and keeps the files whose first bytes begin a
// picture; cameras and phones name files in every way, so the content decides, never the name.
#include "tools/slidetool/picture_folder.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "tools/slidetool/whole_file.h"

namespace {

bool Append(PictureList* list, const char* path)
{
    if (list->count == list->capacity) {
        const uint32_t capacity = list->capacity ? 2 * list->capacity : 64;
        char** paths = static_cast<char**>(std::realloc(list->paths, sizeof(char*) * capacity));
        if (!paths) return false;
        list->paths = paths;
        list->capacity = capacity;
    }
    const size_t length = std::strlen(path) + 1;
    char* copy = static_cast<char*>(std::malloc(length));
    if (!copy) return false;
    std::memcpy(copy, path, length);
    list->paths[list->count++] = copy;
    return true;
}

void Sort(char** paths, uint32_t count)
{
    std::qsort(paths, count, sizeof(char*), [](const void* a, const void* b) {
        return std::strcmp(*static_cast<char* const*>(a), *static_cast<char* const*>(b));  // as unsigned bytes
    });
}

bool Walk(const char* folder, PictureList* list)
{
    char pattern[MAX_PATH];
    if (!JoinPath(folder, "*", pattern)) {
        ++list->tooLong;
        return true;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return true;  // an empty or unreadable folder holds no pictures
    bool ok = true;
    do {
        if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) continue;
        char path[MAX_PATH];
        if (!JoinPath(folder, found.cFileName, path)) {
            ++list->tooLong;
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A link back up the tree would be walked for ever.
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) ok = Walk(path, list);
        } else {
            uint8_t start[8];
            const long got = ReadFileStart(path, start, sizeof start);
            if (got < 0) ++list->unreadable;
            else if (!PictureFormat(start, size_t(got))) ++list->notPictures;
            else ok = Append(list, path);
        }
    } while (ok && FindNextFileA(search, &found));
    FindClose(search);
    return ok;
}

}  // namespace

const char* PictureFormat(const uint8_t* b, size_t size)
{
    if (size >= 2 && b[0] == 'B' && b[1] == 'M') return "BMP";
    if (size >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return "JPEG";
    if (size >= 8 && std::memcmp(b, "\x89PNG\r\n\x1A\n", 8) == 0) return "PNG";
    if (size >= 4 && std::memcmp(b, "GIF8", 4) == 0) return "GIF";
    return nullptr;
}

bool ListPictures(const char* const* arguments, int count, PictureList* list)
{
    for (int i = 0; i < count; ++i) {
        const DWORD attributes = GetFileAttributesA(arguments[i]);
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (!Append(list, arguments[i])) return false;
            continue;
        }
        const uint32_t first = list->count;
        if (!Walk(arguments[i], list)) return false;
        Sort(list->paths + first, list->count - first);
    }
    return true;
}

void FreePictureList(PictureList* list)
{
    for (uint32_t i = 0; i < list->count; ++i) std::free(list->paths[i]);
    std::free(list->paths);
    *list = PictureList();
}
