// Times RunCopyList over a tree of 200 files (50 MB, mixed sizes) and one of 2,000 files of 4 KB, each
// next to CopyFileA of the same files. Builds the trees in the temporary folder and removes them.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "setup/copy_list.h"
#include "setup/copy_list_text.h"
#include "setup/file_copy.h"
#include "setup/resource.h"
#include "setup/setup_state.h"
#include "setup/uninstall_log.h"
#include "tools/bench_machine/bench_machine.h"

namespace {

const int kFiles = 200;
const long long kTotalBytes = 50LL * 1024 * 1024;
const int kRounds = 5;
const int kSmallFiles = 2000;
const size_t kSmallFileBytes = 4096;

struct TreeFile {
    std::string relative;  // below the tree folder
    size_t size;
};

unsigned gSeed = 12345;
unsigned NextRandom()
{
    gSeed = gSeed * 1103515245u + 12345u;
    return gSeed >> 8;
}

// Mostly small files, some medium, a few large: sizes scaled so that they add up to kTotalBytes.
std::vector<TreeFile> PlanTree()
{
    std::vector<double> weights;
    double sum = 0;
    for (int i = 0; i < kFiles; ++i) {
        unsigned r = NextRandom() % 100;
        double w = r < 70 ? 1 + NextRandom() % 16 : r < 95 ? 40 + NextRandom() % 80 : 600 + NextRandom() % 600;
        weights.push_back(w);
        sum += w;
    }
    std::vector<TreeFile> files;
    long long assigned = 0;
    for (int i = 0; i < kFiles; ++i) {
        size_t size = i + 1 == kFiles ? static_cast<size_t>(kTotalBytes - assigned)
                                      : static_cast<size_t>(weights[i] / sum * static_cast<double>(kTotalBytes));
        assigned += static_cast<long long>(size);
        char name[64];
        snprintf(name, sizeof name, "%s\\file%03d.dat", i % 4 == 0 ? "a" : i % 4 == 1 ? "a\\deep" : i % 4 == 2 ? "b" : ".",
                 i);
        files.push_back({name, size});
    }
    return files;
}

void MakeFolders(const std::string& path)
{
    for (size_t i = 3; i < path.size(); ++i)
        if (path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

bool WriteTree(const std::string& tree, const std::vector<TreeFile>& files)
{
    std::vector<char> bytes(4 << 20);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(NextRandom());
    for (const TreeFile& f : files) {
        std::string path = tree + "\\" + f.relative;
        MakeFolders(path);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        size_t left = f.size;
        while (left > 0) {
            DWORD chunk = static_cast<DWORD>(left < bytes.size() ? left : bytes.size());
            DWORD written = 0;
            WriteFile(file, bytes.data(), chunk, &written, nullptr);
            left -= chunk;
        }
        CloseHandle(file);
    }
    return true;
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

double Seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A hidden stand-in for the copy dialog with real progress bars, so posting progress costs what it does.
HWND MakeProgressWindow()
{
    HWND window = CreateWindowA("STATIC", "copy", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    for (int id : {IDC_TOTAL_BAR, IDC_FILE_BAR})
        CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, id == IDC_TOTAL_BAR ? 0 : 20, 200, 10, window,
                      reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), nullptr);
    CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 40, 200, 10, window, reinterpret_cast<HMENU>(IDC_FILE_NAME),
                  GetModuleHandleA(nullptr), nullptr);
    return window;
}

// Best-of-kRounds times of RunCopyList and of CopyFileA over the same files; false when a run failed.
bool Measure(const std::string& root, const std::vector<TreeFile>& files, long long totalBytes, HWND dialog,
             double* bestRun, double* bestBare, double* bestCopy)
{
    std::string source = root + "\\src";
    CreateDirectoryA(source.c_str(), nullptr);
    if (!WriteTree(source + "\\tree", files)) {
        fprintf(stderr, "could not write the tree under %s\n", root.c_str());
        return false;
    }
    FILE* list = fopen((source + "\\setup.ini").c_str(), "wt");
    if (list == nullptr) return false;
    fprintf(list, "#copystart\ntree\n#copyend\n");
    fclose(list);

    static char copyList[kCopyListBytes];
    SetupState& state = gSetup;
    state.instance = GetModuleHandleA(nullptr);
    state.copyList = copyList;
    snprintf(state.sourceFolder, kPathBytes, "%s", source.c_str());
    snprintf(state.systemFolder, kPathBytes, "%s\\sys", root.c_str());
    if (ReadCopyList(state, state.sourceFolder, "setup.ini") != 0 || state.totalBytes != totalBytes) {
        fprintf(stderr, "copy list not read\n");
        return false;
    }
    *bestRun = *bestBare = *bestCopy = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        std::string runTarget = root + "\\run" + std::to_string(round);
        snprintf(state.installFolder, kPathBytes, "%s", runTarget.c_str());
        CreateDirectoryA(runTarget.c_str(), nullptr);
        // With the progress controls, then without them: what showing progress costs.
        for (HWND window : {dialog, static_cast<HWND>(nullptr)}) {
            double start = Seconds();
            OpenUninstallLog(state);
            CopyBars bars = BarsOf(window);
            int result = RunCopyList(state, bars);
            CloseUninstallLog(state);
            double runTime = Seconds() - start;
            if (result != 0) {
                fprintf(stderr, "RunCopyList failed\n");
                return false;
            }
            double& best = window ? *bestRun : *bestBare;
            best = runTime < best ? runTime : best;
            RemoveTree(runTarget);
            CreateDirectoryA(runTarget.c_str(), nullptr);
        }

        std::string copyTarget = root + "\\copy" + std::to_string(round);
        double start = Seconds();
        for (const TreeFile& f : files) {
            std::string to = copyTarget + "\\tree\\" + f.relative;
            MakeFolders(to);
            CopyFileA((source + "\\tree\\" + f.relative).c_str(), to.c_str(), FALSE);
        }
        double copyTime = Seconds() - start;
        *bestCopy = copyTime < *bestCopy ? copyTime : *bestCopy;
        RemoveTree(runTarget);
        RemoveTree(copyTarget);
    }
    return true;
}

// 2,000 files of 4 KB in four folders: the cost per file rather than per byte.
std::vector<TreeFile> SmallFiles()
{
    std::vector<TreeFile> files;
    for (int i = 0; i < kSmallFiles; ++i) {
        char name[64];
        snprintf(name, sizeof name, "s%d\\small%04d.dat", i % 4, i);
        files.push_back({name, kSmallFileBytes});
    }
    return files;
}

}  // namespace

int main()
{
    PrintBenchMachine();
    InitCommonControls();
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char rootText[MAX_PATH];
    snprintf(rootText, sizeof rootText, "%snimbra_bench_copy_%lu", temp, GetCurrentProcessId());
    std::string root = rootText;
    HWND dialog = MakeProgressWindow();
    struct {
        const char* name;
        std::vector<TreeFile> files;
        long long bytes;
        double run, bare, copy;
    } cases[] = {{"200 files, 50 MB", PlanTree(), kTotalBytes, 0, 0, 0},
                 {"2000 files of 4 KB", SmallFiles(), static_cast<long long>(kSmallFiles) * kSmallFileBytes, 0, 0, 0}};
    int status = 0;
    for (auto& c : cases) {
        RemoveTree(root);  // left by a run that was ended early (Wine reuses process ids)
        CreateDirectoryA(root.c_str(), nullptr);
        if (!Measure(root, c.files, c.bytes, dialog, &c.run, &c.bare, &c.copy)) status = 1;
        RemoveTree(root);
    }
    DestroyWindow(dialog);
    printf("RunCopyList next to CopyFileA of the same files (best of %d rounds; goal: within 1.3 x)\n", kRounds);
    printf("  %-20s %12s %12s %8s   %s\n", "files", "RunCopyList", "CopyFileA", "ratio", "(without progress controls)");
    for (const auto& c : cases)
        printf("  %-20s %9.1f ms %9.1f ms %7.2f x   (%.1f ms, %.2f x)%s\n", c.name, c.run * 1000, c.copy * 1000,
               c.run / c.copy, c.bare * 1000, c.bare / c.copy, c.run / c.copy > 1.3 ? "  over the goal" : "");
    return status;
}
