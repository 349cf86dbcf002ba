// Install-folder text: default folder, completion with the product folder name, the space message.
#include "setup/install_folder_text.h"

#include <cstdio>
#include <cstring>

#include "setup/cp932_path.h"

namespace {

// True when the text's last whole character is a backslash, never the trail byte of a double-byte one;
// "/" does not count here.
bool EndsInBackslash(const char* text)
{
    size_t length = strlen(text);
    return length > 0 && text[length - 1] == '\\' && LastSeparator(text) == static_cast<long>(length) - 1;
}

}  // namespace

int DefaultInstallFolderText(char* out, size_t size, const char* windowsFolder, const char* parent,
                             const char* product)
{
    if (size == 0) return -1;
    out[0] = '\0';
    if (windowsFolder == nullptr || strlen(windowsFolder) < 2 || windowsFolder[1] != ':') return -1;
    char drive[3] = {windowsFolder[0], ':', '\0'};
    char base[kPathBytes];
    int written = snprintf(base, sizeof base, "%s%s", drive, parent);
    if (written < 0 || static_cast<size_t>(written) >= sizeof base) return -1;
    // The parent text decides about its own final backslash.
    bool slash = !EndsInBackslash(base);
    written = snprintf(out, size, "%s%s%s", base, slash ? "\\" : "", product);
    if (written < 0 || static_cast<size_t>(written) >= size) {
        out[0] = '\0';
        return -1;
    }
    return 0;
}

int CompleteInstallFolder(char* folder, size_t size, const char* product)
{
    size_t length = strlen(folder);
    if (EndsInBackslash(folder)) --length;
    size_t productLength = strlen(product);
    // The byte match counts only when it starts on a character boundary of the folder.
    bool endsInProduct = false;
    if (length > productLength && memcmp(folder + length - productLength, product, productLength) == 0) {
        const char* p = folder;
        while (static_cast<size_t>(p - folder) < length - productLength) p += Cp932CharLength(p);
        endsInProduct = static_cast<size_t>(p - folder) == length - productLength;
    }
    size_t total = endsInProduct ? length : length + 1 + productLength;
    if (total >= size) return -1;
    if (!endsInProduct) {
        folder[length] = '\\';
        memcpy(folder + length + 1, product, productLength);
    }
    folder[total] = '\0';
    return 0;
}

void FormatSpaceNeeded(char* out, size_t size, long long totalBytes)
{
    if (totalBytes < 0) totalBytes = 0;
    long long whole = totalBytes / 1048576;
    long long tenths = (totalBytes % 1048576) / 104857;
    if (tenths > 9) tenths = 9;
    snprintf(out, size, "インストールに必要な容量は、約 %lld.%lld MBです", whole, tenths);
}
