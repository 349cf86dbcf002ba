// The pictures that makeshow's arguments stand for: a file for itself, a folder for every picture in it
// and its subfolders, recognised by their first bytes and put in a stable order.
#pragma once

#include <cstddef>
#include <cstdint>

// "BMP", "JPEG", "PNG" or "GIF" by a file's first bytes (eight are enough), or null for anything else.
const char* PictureFormat(const uint8_t* start, size_t size);

struct PictureList {
    char** paths = nullptr;  // each from malloc, as are the table and its growth
    uint32_t count = 0, capacity = 0;
    // Files met in the folders and left out, by why.
    uint32_t notPictures = 0;  // the first bytes are no BMP, JPEG, PNG or GIF
    uint32_t unreadable = 0;   // could not be opened or read
    uint32_t tooLong = 0;      // the path does not fit the 260 bytes of the Win32 file functions
};

// Appends, for each argument in turn, the argument itself when it is not a folder (whatever it is: the
// slide maker says why it cannot read it), or the pictures in and below the folder, sorted by their
// whole paths compared byte by byte as code page 932 text. False when memory ran out.
bool ListPictures(const char* const* arguments, int count, PictureList* list);

void FreePictureList(PictureList* list);
