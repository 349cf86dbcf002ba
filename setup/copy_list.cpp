// Copy-list reading: every entry is looked up and counted as it is read.
#include "setup/copy_list.h"

#include "setup/copy_list_text.h"

namespace {

struct ListContext {
    SetupState* state;
    const char* sourceFolder;
    CopyListWriter writer;
};

void ShowListError(const char* format, const char* text)
{
    char message[kListLineBytes + 128];
    snprintf(message, sizeof message, format, text);
    MessageBoxA(nullptr, message, "エラー", MB_OK);
}

long long FileSize(const WIN32_FIND_DATAA& found)
{
    return (static_cast<long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

int OnEntry(void* context, const char* entry, EntryCheck check)
{
    ListContext& list = *static_cast<ListContext*>(context);
    if (check == EntryCheck::Unusable) {
        ShowListError("コピーリストの項目 %s は使用できません", entry);
        return -1;
    }
    char path[kPathBytes];
    if (check == EntryCheck::TooLong || JoinPath(path, sizeof path, list.sourceFolder, entry) != 0) {
        ShowListError("コピーリストの項目のパスが長すぎます\n%s", entry);
        return -1;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) {
        ShowListError("%s のファイルが見つかりません", path);
        return -1;
    }
    FindClose(search);
    bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (AddCopyRecord(list.writer, folder ? kCopyFolder : kCopyFile, entry) != 0) {
        ShowListError("コピーリストの項目が多すぎます\n%s", entry);
        return -1;
    }
    if (folder)
        CountFolderFiles(*list.state, path);
    else
        list.state->totalBytes += FileSize(found);
    return 0;
}

}  // namespace

int ReadCopyList(SetupState& state, const char* sourceFolder, const char* listName)
{
    char listPath[kPathBytes];
    if (state.copyList == nullptr || JoinPath(listPath, sizeof listPath, sourceFolder, listName) != 0) return -1;
    FILE* file = fopen(listPath, "rt");
    if (file == nullptr) return -1;
    state.totalBytes = 0;
    ListContext context{&state, sourceFolder, {}};
    BeginCopyList(context.writer, state.copyList, kCopyListBytes);
    int result = ReadCopyListText(file, OnEntry, &context);
    fclose(file);
    return result == 0 ? 0 : -1;
}

HANDLE FindFolderEntries(const char* folder, WIN32_FIND_DATAA* found)
{
    char pattern[kPathBytes];
    if (JoinPath(pattern, sizeof pattern, folder, "*.*") != 0) return INVALID_HANDLE_VALUE;
    return FindFirstFileA(pattern, found);
}

int CountFolderFiles(SetupState& state, const char* folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFolderEntries(folder, &found);
    if (search == INVALID_HANDLE_VALUE) return -1;
    int result = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (found.cFileName[0] == '.') continue;
            char child[kPathBytes];
            if (JoinPath(child, sizeof child, folder, found.cFileName) != 0 || CountFolderFiles(state, child) != 0) {
                result = -1;
                break;
            }
        } else {
            state.totalBytes += FileSize(found);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return result;
}
