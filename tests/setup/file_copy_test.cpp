// Copying the list under Wine: destinations, file times, read-only files, progress and cancellation.
#include "installer_fixture.h"

#include <algorithm>

#include "setup/copy_list.h"
#include "setup/file_copy.h"
#include "setup/uninstall_log.h"

namespace {

class FileCopy : public InstallerTest {
protected:
    int Run(HWND dialog)
    {
        if (OpenUninstallLog(state_) != 0) return -2;
        int result = RunCopyList(state_, dialog);
        CloseUninstallLog(state_);
        return result;
    }
    void Prepare(const std::string& list)
    {
        WriteList(list);
        ASSERT_EQ(ReadCopyList(state_, state_.sourceFolder, "setup.ini"), 0);
        MakeFolder(state_.installFolder);
    }
};

FILETIME Time(int year)
{
    SYSTEMTIME s{};
    s.wYear = static_cast<WORD>(year);
    s.wMonth = 3;
    s.wDay = 4;
    s.wHour = 5;
    FILETIME f;
    SystemTimeToFileTime(&s, &f);
    return f;
}

bool Same(const FILETIME& a, const FILETIME& b) { return CompareFileTime(&a, &b) == 0; }

void Times(const std::string& path, FILETIME* c, FILETIME* a, FILETIME* w)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(file, c, a, w);
    CloseHandle(file);
}

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
}

}  // namespace

TEST_F(FileCopy, CopiesEveryKindOfEntryWhereItBelongsAndTheReplayUndoesIt)
{
    std::string big = Pattern(200000);
    MakeFile(Source("readme.txt"), "read me");
    MakeFile(Source("nimbra.scr"), "saver");
    MakeFile(Source(".scr"), "four");
    MakeFile(Source("pics\\a.qjx"), big);
    MakeFile(Source("pics\\deep\\x.scr"), "deep saver");
    MakeFile(Source("pics\\.svn\\skip"), "skip");
    MakeFolder(Source("pics\\empty"));
    MakeFile(Source("ソフト\\表示.txt"), "double-byte");
    // The source is read-only and carries its own times.
    FILETIME created = Time(2001), accessed = Time(2002), written = Time(2003);
    HANDLE file = CreateFileA(Source("readme.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, &created, &accessed, &written);
    CloseHandle(file);
    SetFileAttributesA(Source("readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    Prepare("#copystart\nreadme.txt\nnimbra.scr\n.scr\npics\nソフト\\表示.txt\n");

    ProgressWindow dialog(state_);
    ASSERT_EQ(Run(dialog.Handle()), 0);

    EXPECT_EQ(Read(Install("readme.txt")), "read me");
    EXPECT_EQ(GetFileAttributesA(Install("readme.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    // Wine on Linux keeps no creation time and moves the access time on every read: the last-write
    // time is the one that survives the round trip.
    FILETIME c, a, w;
    Times(Install("readme.txt"), &c, &a, &w);
    EXPECT_TRUE(Same(w, written));
    EXPECT_EQ(Read(System("nimbra.scr")), "saver");
    EXPECT_EQ(Read(Install(".scr")), "four");
    EXPECT_EQ(Read(Install("pics\\a.qjx")), big);
    EXPECT_EQ(Read(System("x.scr")), "deep saver");
    EXPECT_FALSE(Exists(Install("pics\\deep")));
    EXPECT_FALSE(Exists(Install("pics\\.svn")));
    EXPECT_FALSE(Exists(Install("pics\\empty")));
    EXPECT_EQ(Read(Install("ソフト\\表示.txt")), "double-byte");

    // Progress: the whole run ends at 100, the file bar never passes 100 and the name is the last file.
    ASSERT_FALSE(dialog.total.empty());
    EXPECT_EQ(dialog.total.back(), 100);
    EXPECT_TRUE(std::is_sorted(dialog.total.begin(), dialog.total.end()));
    ASSERT_FALSE(dialog.file.empty());
    EXPECT_EQ(dialog.file.front(), 0);
    EXPECT_EQ(dialog.file.back(), 100);
    EXPECT_EQ(*std::max_element(dialog.file.begin(), dialog.file.end()), 100);
    EXPECT_EQ(e2e::ControlText(dialog.Handle(), 304), Wide(Install("ソフト\\表示.txt")));
    EXPECT_EQ(state_.copiedBytes, state_.totalBytes);

    std::string log = Read(LogPath());
    for (const std::string& line : {Install("readme.txt"), System("nimbra.scr"), Install("pics\\a.qjx"), System("x.scr"),
                                    "+ " + Install("pics"), "+ " + Install("ソフト")})
        EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << line;

    ASSERT_EQ(ReplayUninstallLog(state_, state_.installFolder), 0);
    EXPECT_FALSE(Exists(Install("pics")));
    EXPECT_FALSE(Exists(Install("ソフト")));
    EXPECT_FALSE(Exists(System("nimbra.scr")));
    EXPECT_FALSE(Exists(Install("readme.txt")));
    EXPECT_TRUE(Exists(Source("readme.txt")));
}

TEST_F(FileCopy, DestinationThatCannotBeCreatedEndsTheRun)
{
    MakeFile(Source("a.txt"), "new a");
    MakeFile(Source("b.txt"), "new b");
    Prepare("#copystart\nb.txt\na.txt\n");
    MakeFile(Install("b.txt\\inside.txt"), "a folder in the way");
    EXPECT_EQ(Run(nullptr), -1);
    EXPECT_TRUE(Exists(Install("b.txt\\inside.txt")));
    EXPECT_FALSE(Exists(Install("a.txt")));
    EXPECT_EQ(Read(LogPath()), "");
}

TEST_F(FileCopy, ReadOnlyDestinationEndsTheRunAndStaysAsItWas)
{
    MakeFile(Source("a.txt"), "new a");
    MakeFile(Source("b.txt"), "new b");
    Prepare("#copystart\nb.txt\na.txt\n");
    MakeFile(Install("b.txt"), "old b");
    SetFileAttributesA(Install("b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE probe = CreateFileA(Install("b.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "read-only files are writable here (Wine run by root)";
    }
    EXPECT_EQ(Run(nullptr), -1);
    EXPECT_EQ(Read(Install("b.txt")), "old b");
    EXPECT_FALSE(Exists(Install("a.txt")));
    EXPECT_EQ(Read(LogPath()), "");
}

TEST_F(FileCopy, CancelBeforeTheFirstEntryCopiesNothingAndKeepsPendingFolders)
{
    MakeFile(Source("a.txt"), "a");
    Prepare("#copystart\na.txt\n");
    ASSERT_EQ(RecordFolder(state_, state_.installFolder), 0);
    ProgressWindow dialog(state_);
    PostMessageA(dialog.Handle(), ProgressWindow::kCancelMessage, 0, 0);
    EXPECT_EQ(Run(dialog.Handle()), -1);
    EXPECT_FALSE(Exists(Install("a.txt")));
    EXPECT_EQ(Read(LogPath()), "");
    EXPECT_EQ(state_.pendingCount, 1);
}

TEST_F(FileCopy, CancelDuringALargeFileRemovesTheIncompleteCopy)
{
    MakeFile(Source("small.txt"), "small");
    MakeFile(Source("large.bin"), Pattern(1 << 20));
    Prepare("#copystart\nsmall.txt\nlarge.bin\n");
    ProgressWindow dialog(state_);
    // Cancel as the second file starts: its first chunk is written, then the flag is seen.
    int starts = 0;
    dialog.onPosition = [&dialog, &starts](int id, int position) {
        if (id == 302 && position == 0 && ++starts == 2)
            PostMessageA(dialog.Handle(), ProgressWindow::kCancelMessage, 0, 0);
    };
    EXPECT_EQ(Run(dialog.Handle()), -1);
    EXPECT_EQ(Read(Install("small.txt")), "small");
    EXPECT_FALSE(Exists(Install("large.bin")));
    EXPECT_EQ(Read(LogPath()), Install("small.txt") + "\r\n");
}

TEST_F(FileCopy, EmptyListStillFlushesThePendingFolders)
{
    Prepare("#copyend\n#copystart\nnothing.txt\n");
    ASSERT_EQ(RecordFolder(state_, state_.installFolder), 0);
    EXPECT_EQ(Run(nullptr), 0);
    EXPECT_EQ(Read(LogPath()), "+ " + std::string(state_.installFolder) + "\r\n");
}

TEST_F(FileCopy, ZeroLengthFilePostsOnlyStartAndEnd)
{
    MakeFile(Source("empty.dat"), "");
    Prepare("#copystart\nempty.dat\n");
    ProgressWindow dialog(state_);
    EXPECT_EQ(Run(dialog.Handle()), 0);
    EXPECT_EQ(dialog.file, (std::vector<int>{0, 100}));
    EXPECT_TRUE(Exists(Install("empty.dat")));
}
