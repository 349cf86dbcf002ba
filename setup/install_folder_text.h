// The install folder as text: the default folder, the completion with the product's own folder name
// and the space message. Plain code without <windows.h>: the folder is typed by the user.
#pragma once

#include <cstddef>

// out = drive letter and colon of windowsFolder, parent, a backslash unless parent already ends in
// one, product. -1 (out empty) when it does not fit or windowsFolder has no drive.
int DefaultInstallFolderText(char* out, size_t size, const char* windowsFolder, const char* parent,
                             const char* product);

// Drops one trailing backslash, then appends a backslash and product unless the folder is longer than
// product and already ends in exactly that text. -1 (folder unchanged) when the result would not fit.
int CompleteInstallFolder(char* folder, size_t size, const char* product);

// "インストールに必要な容量は、約 %d.%d MBです" with whole megabytes and a tenths digit (cut, not rounded).
void FormatSpaceNeeded(char* out, size_t size, long long totalBytes);
