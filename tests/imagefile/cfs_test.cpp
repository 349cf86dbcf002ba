// CFS and MemAlloc on real files in a temporary folder.
#include <gtest/gtest.h>

#include "e2e.h"
#include "imagefile/cfs.h"
#include "imagefile/mem_alloc.h"

namespace {

// A file holding "0123456789", opened for reading.
struct TenBytes {
    e2e::TempFolder folder;
    std::string path = folder.File("ten.bin");
    CFS file;
    TenBytes()
    {
        EXPECT_EQ(file.SaveFromBuffer(path.c_str(), "0123456789", 10), 0);
        EXPECT_EQ(file.Open(path.c_str(), "rb"), 0);
    }
};

}  // namespace

TEST(Cfs, AMissingFileDoesNotOpenForReadingOrAppending)
{
    e2e::TempFolder folder;
    CFS file;
    EXPECT_EQ(file.Open(folder.File("missing.bin").c_str(), "rb"), -1);
    EXPECT_EQ(file.Open(folder.File("missing.bin").c_str(), "ab"), -1);
}

TEST(Cfs, ReadingWithNothingOpenFails)
{
    CFS file;
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, 1), -1);
}

TEST(Cfs, WriteCreatesTheFileAndReadGivesItBack)
{
    e2e::TempFolder folder;
    const std::string path = folder.File("new.bin");
    CFS file;
    ASSERT_EQ(file.Open(path.c_str(), "wb"), 0);
    EXPECT_EQ(file.Write("0123456789", 10), 10);
    ASSERT_EQ(file.Open(path.c_str(), "rb"), 0);  // closes the file it had first
    char buffer[100] = {};
    EXPECT_EQ(file.Read(buffer, 100), 10);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    EXPECT_EQ(file.Read(buffer, 100), 0) << "at the end: 0, not -1";
}

TEST(Cfs, SeekCountsFromEachOriginAndRefusesOthers)
{
    TenBytes ten;
    EXPECT_EQ(ten.file.Seek(4, 0), 4);
    EXPECT_EQ(ten.file.Seek(3, 3), -1);
    EXPECT_EQ(ten.file.GetSize(), 10);
    char c = 0;
    EXPECT_EQ(ten.file.Read(&c, 1), 1);
    EXPECT_EQ(c, '4') << "neither the bad origin nor GetSize moved the position";
    EXPECT_EQ(ten.file.Seek(-2, 2), 8);
    EXPECT_EQ(ten.file.Seek(1, 1), 9);
}

TEST(Cfs, WritingAFileOpenForReadingFails)
{
    TenBytes ten;
    EXPECT_EQ(ten.file.Write("x", 1), -1);
}

TEST(Cfs, WholeFileHelpersReadIntoBuffersAndMemory)
{
    TenBytes ten;
    ten.file.Close();
    char buffer[30];
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(ten.file.LoadToBuffer("missing.bin", buffer, 0), 0) << "size 0: the file is not looked at";
    EXPECT_EQ(ten.file.LoadToBuffer(ten.path.c_str(), buffer, 12), 0);  // shorter file: the rest stays
    EXPECT_EQ(ten.file.LoadWhole(ten.path.c_str(), buffer + 12), 0);
    EXPECT_EQ(std::string(buffer, 23), "0123456789##0123456789#");
    void* block = ten.file.LoadToMemory(ten.path.c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(block), 10), "0123456789");
    MemFree(block);
    EXPECT_EQ(ten.file.handle, nullptr) << "the helpers leave no file open";
}

TEST(Cfs, SavingNothingEmptiesAFile)
{
    TenBytes ten;
    ten.file.Close();
    char buffer[16] = {'#'};  // room for the file, should it keep its bytes
    EXPECT_EQ(ten.file.SaveFromBuffer(ten.path.c_str(), "", 0), 0);
    EXPECT_EQ(ten.file.LoadWhole(ten.path.c_str(), buffer), 0);
    EXPECT_EQ(buffer[0], '#');
}

TEST(Cfs, MemAllocGivesZeroedMemory)
{
    void* block = MemAlloc(100000);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(block), 100000), std::string(100000, '\0'));
    MemFree(block);
}

TEST(Cfs, MemAllocRefusesABlockLargerThanTheAddressSpaceLeft)
{
#ifdef _WIN64
    GTEST_SKIP() << "a 64-bit process has room for this block; the i686 build runs this case";
#endif
    EXPECT_EQ(MemAlloc(0xFFFFFFF0u), nullptr);
}
