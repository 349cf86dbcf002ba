// CFS and MemAlloc on real files in a temporary folder.
#include <gtest/gtest.h>

#include "e2e.h"
#include "imagefile/cfs.h"
#include "imagefile/mem_alloc.h"

TEST(Cfs, OpenReadWriteSeekAndWholeFiles)
{
    e2e::TempFolder folder;
    const std::string path = folder.File("ten.bin"), missing = folder.File("missing.bin");
    CFS file;
    char buffer[100] = {};
    EXPECT_EQ(file.Open(missing.c_str(), "rb"), -1);
    EXPECT_EQ(file.Open(missing.c_str(), "ab"), -1);
    EXPECT_EQ(file.Read(buffer, 1), -1);  // nothing open
    ASSERT_EQ(file.Open(path.c_str(), "wb"), 0);  // "wb" creates a missing file
    EXPECT_EQ(file.Write("0123456789", 10), 10);
    ASSERT_EQ(file.Open(path.c_str(), "rb"), 0);  // closes the file it had first
    EXPECT_EQ(file.Seek(4, 0), 4);
    EXPECT_EQ(file.Seek(3, 3), -1);  // bad origin: position unchanged
    EXPECT_EQ(file.GetSize(), 10);   // and GetSize keeps it too
    EXPECT_EQ(file.Read(buffer, 100), 6);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(file.Read(buffer, 100), 0);  // at the end: 0, not -1
    EXPECT_EQ(file.Seek(-2, 2), 8);
    EXPECT_EQ(file.Seek(1, 1), 9);
    EXPECT_EQ(file.Write("x", 1), -1);  // opened for reading
    file.Close();
    memset(buffer, '#', 30);  // the whole-file helpers, which nothing in the saver uses: each once
    EXPECT_EQ(file.LoadToBuffer(missing.c_str(), buffer, 0), 0);  // size 0: the file is not looked at
    EXPECT_EQ(file.LoadToBuffer(path.c_str(), buffer, 12), 0);     // shorter file: the rest stays
    EXPECT_EQ(file.LoadWhole(path.c_str(), buffer + 12), 0);
    EXPECT_EQ(std::string(buffer, 23), "0123456789##0123456789#");
    void* block = file.LoadToMemory(path.c_str());
    EXPECT_EQ(std::string(block ? static_cast<char*>(block) : "(none)     ", 10), "0123456789");
    MemFree(block);
    EXPECT_EQ(file.SaveFromBuffer(path.c_str(), "", 0), 0);  // "wb" empties an existing file
    EXPECT_EQ(file.LoadWhole(path.c_str(), buffer + 1), 0);
    EXPECT_EQ(buffer[1], '1');
    EXPECT_EQ(file.handle, nullptr);  // the helpers leave no file open
    block = MemAlloc(100000);
    EXPECT_EQ(std::string(block ? static_cast<char*>(block) : "", block ? 100000 : 0), std::string(100000, '\0'));
    MemFree(block);
}

TEST(Cfs, MemAllocRefusesABlockLargerThanTheAddressSpaceLeft)
{
#ifdef _WIN64
    GTEST_SKIP() << "a 64-bit process has room for this block; the i686 build runs this case";
#endif
    EXPECT_EQ(MemAlloc(0xFFFFFFF0u), nullptr);
}
