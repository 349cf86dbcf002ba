// Line reader shared by the copy list and the uninstall log.
#include "setup/text_line.h"

bool ReadTextLine(FILE* file, char* buffer, size_t size, TextLine* line)
{
    line->length = 0;
    line->overlong = false;
    bool any = false;
    int c;
    while ((c = getc(file)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (line->length + 1 < size)
            buffer[line->length++] = static_cast<char>(c);
        else
            line->overlong = true;
    }
    if (size > 0) buffer[line->length] = '\0';
    return any;
}
