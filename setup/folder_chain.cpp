// Folder chains: walked by whole code page 932 characters, created outermost first.
#include "setup/folder_chain.h"

#include <cstring>

#include "setup/uninstall_log.h"

namespace {

bool AskToCreate(const char* path)
{
    char text[kPathBytes + 128];
    snprintf(text, sizeof text, "フォルダ %s は存在しません。\n作成しますか？", path);
    return MessageBoxA(nullptr, text, "コピー", MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

}  // namespace

int MakeFolderChain(SetupState& state, const char* path, int flags)
{
    if (path == nullptr || strlen(path) >= kPathBytes) return -1;
    FolderChainWalk walk(path, (flags & kPathIsFolder) != 0);
    if (!walk.Valid()) return -1;
    bool confirm = (flags & kConfirmCreate) != 0;
    char folder[kPathBytes];
    size_t length;
    while (walk.Next(&length)) {
        memcpy(folder, path, length);
        folder[length] = '\0';
        if (GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES) continue;
        if (confirm) {
            if (!AskToCreate(path)) return -1;
            confirm = false;
        }
        if (!CreateDirectoryA(folder, nullptr)) return -1;
        if (RecordFolder(state, folder) != 0) return -1;
    }
    return 0;
}
