// The uninstall log: recording while installing, replaying while uninstalling.
#include "setup/uninstall_log.h"

#include <cstring>

#include "setup/uninstall_log_text.h"

namespace {

const char kLogName[] = "undelete.ini";

struct ReplayContext {
    FILE* log;
    const char* logPath;
};

void DeleteOne(void*, const char* path) { DeleteFileA(path); }

void FinishLog(void* context, bool keepLog)
{
    ReplayContext* replay = static_cast<ReplayContext*>(context);
    fclose(replay->log);
    if (!keepLog) DeleteFileA(replay->logPath);
}

void RemoveOne(void*, const char* path) { RemoveDirectoryA(path); }

}  // namespace

int OpenUninstallLog(SetupState& state)
{
    char path[kPathBytes];
    if (JoinPath(path, sizeof path, state.installFolder, kLogName) != 0) return -1;
    FILE* file = fopen(path, "wt");
    if (file == nullptr) return -1;
    state.logFile = file;
    return 0;
}

void CloseUninstallLog(SetupState& state)
{
    if (state.logFile) fclose(state.logFile);
    state.logFile = nullptr;
}

// Each line is flushed at once so that the log matches the disk even if the program is ended mid-copy.
void RecordFile(SetupState& state, const char* path)
{
    if (!state.logFile) return;
    fprintf(state.logFile, "%s\n", path);
    fflush(state.logFile);
}

int RecordFolder(SetupState& state, const char* path)
{
    if (state.logFile) {
        fprintf(state.logFile, "+ %s\n", path);
        fflush(state.logFile);
        return 0;
    }
    // A line is added whole or not at all: the flush writes the table to the log as it stands.
    const size_t before = state.pendingFolders.size;
    if (GrowAppend(state.pendingFolders, "+ ", 2) != 0 || GrowAppend(state.pendingFolders, path, strlen(path)) != 0 ||
        GrowAppend(state.pendingFolders, "\n", 1) != 0) {
        state.pendingFolders.size = before;
        return -1;
    }
    return 0;
}

void FlushPendingFolders(SetupState& state)
{
    if (state.logFile && state.pendingFolders.size > 0) {
        fwrite(state.pendingFolders.data, 1, state.pendingFolders.size, state.logFile);
        fflush(state.logFile);
    }
    ResetPendingFolders(state);
}

int ReplayUninstallLog(SetupState& state, const char* folder)
{
    // The running setup.exe may be the copy the installation placed in the folder; it stays.
    char protectedPath[kPathBytes];
    JoinPath(protectedPath, sizeof protectedPath, state.sourceFolder, "setup.exe");
    char logPath[kPathBytes];
    if (JoinPath(logPath, sizeof logPath, folder, kLogName) != 0) return -1;
    FILE* log = fopen(logPath, "rt");
    if (log == nullptr) return -1;
    ReplayContext context{log, logPath};
    ReplayOps ops{DeleteOne, FinishLog, RemoveOne, &context};
    return ReplayLogText(log, protectedPath, ops);
}
