// CFS and MemAlloc on real files in a temporary folder.
#include <gtest/gtest.h>

#include "e2e.h"
#include "imagefile/cfs.h"
#include "imagefile/mem_alloc.h"

TEST(Cfs, OpenReadWriteSeek)
{
    e2e::TempFolder folder;
    const std::string path = folder.File("ten.bin"), missing = folder.File("missing.bin");
    CFS file;
    char buffer[100] = {};
    EXPECT_EQ(file.Open(missing.c_str(), "rb"), -1);
    EXPECT_EQ(file.Open(missing.c_str(), "ab"), -1);
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(file.Read(buffer, 1), -1);  // nothing open
    EXPECT_EQ(file.GetSize(), -1);

    ASSERT_EQ(file.Open(path.c_str(), "wb"), 0);  // "wb" creates a missing file
    EXPECT_EQ(file.Write("0123456789", 10), 10);
    EXPECT_EQ(file.Read(buffer, 1), -1);  // opened for writing
    file.Close();
    ASSERT_EQ(file.Open(path.c_str(), "rb"), 0);
    EXPECT_EQ(file.Seek(4, 0), 4);
    EXPECT_EQ(file.Seek(3, 3), -1);  // bad origin: position unchanged
    EXPECT_EQ(file.GetSize(), 10);   // and GetSize keeps it too
    EXPECT_EQ(file.Read(buffer, 100), 6);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(file.Read(buffer, 100), 0);  // at the end: 0, not -1
    EXPECT_EQ(file.Seek(-2, 2), 8);
    EXPECT_EQ(file.Seek(1, 1), 9);
    EXPECT_EQ(file.Read(buffer, -1), -1);
    EXPECT_EQ(file.Write("x", 1), -1);  // opened for reading
    file.Close();
    ASSERT_EQ(file.Open(path.c_str(), "wb"), 0);  // "wb" empties an existing file
    EXPECT_EQ(file.GetSize(), 0);
}

TEST(Cfs, WholeFileHelpers)
{
    e2e::TempFolder folder;
    const std::string path = folder.File("file.bin"), missing = folder.File("missing.bin");
    CFS file;
    char buffer[8];
    memset(buffer, '#', 8);
    EXPECT_EQ(file.SaveFromBuffer(path.c_str(), nullptr, 3), -1);
    EXPECT_EQ(file.SaveFromBuffer(path.c_str(), "abc", 3), 0);
    EXPECT_EQ(file.LoadToBuffer(missing.c_str(), buffer, 0), 0);  // size 0: the file is not looked at
    EXPECT_EQ(file.LoadToBuffer(missing.c_str(), buffer, 8), -1);
    EXPECT_EQ(file.LoadToBuffer(path.c_str(), nullptr, 8), -1);
    EXPECT_EQ(file.LoadToBuffer(path.c_str(), buffer, 8), 0);  // shorter file: the rest stays
    EXPECT_EQ(std::string(buffer, 8), "abc#####");

    std::string content(70000, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = char(i * 7);
    ASSERT_EQ(file.SaveFromBuffer(path.c_str(), content.data(), int(content.size())), 0);
    void* block = file.LoadToMemory(path.c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(block), content.size()), content);
    MemFree(block);
    EXPECT_EQ(file.LoadToMemory(missing.c_str()), nullptr);
    std::string whole(content.size(), 'x');
    EXPECT_EQ(file.LoadWhole(path.c_str(), &whole[0]), 0);
    EXPECT_EQ(whole, content);
    EXPECT_EQ(file.LoadWhole(missing.c_str(), &whole[0]), -1);
    EXPECT_EQ(file.SaveFromBuffer(path.c_str(), "", 0), 0);  // an empty file, which still loads to a block
    block = file.LoadToMemory(path.c_str());
    EXPECT_NE(block, nullptr);
    MemFree(block);
    ASSERT_EQ(file.Open(path.c_str(), "rb"), 0);
    EXPECT_EQ(file.GetSize(), 0);
    file.Close();
    EXPECT_EQ(file.SaveFromBuffer(folder.File("no\\such\\folder.bin").c_str(), "x", 1), -1);
    EXPECT_EQ(file.handle, nullptr);  // the helpers leave no file open
}

TEST(MemAlloc, BlocksAreZeroFilled)
{
    void* block = MemAlloc(100000);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(block), 100000), std::string(100000, '\0'));
    MemFree(block);
    MemFree(nullptr);
    EXPECT_EQ(MemAlloc(0xFFFFFFF0u), nullptr);
}
