// CFS and the memory helpers on real files in a temporary folder.
#include <gtest/gtest.h>

#include "e2e.h"
#include "imagefile/cfs.h"
#include "imagefile/critical_section.h"
#include "imagefile/mem_alloc.h"

namespace {

class CfsTest : public ::testing::Test {
protected:
    std::string Make(const char* name, const std::string& bytes)
    {
        std::string path = folder_.File(name);
        EXPECT_TRUE(e2e::WriteFileBytes(path, bytes));
        return path;
    }
    e2e::TempFolder folder_;
    CFS file_;
};

}  // namespace

TEST_F(CfsTest, OpenModes)
{
    std::string missing = folder_.File("missing.bin");
    EXPECT_EQ(file_.Open(missing.c_str(), "rb"), -1);
    EXPECT_EQ(file_.handle, nullptr);
    EXPECT_EQ(file_.Open(missing.c_str(), "ab"), -1);
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(file_.Read(nullptr, 0), -1);  // nothing open
    EXPECT_EQ(file_.Seek(0, 0), -1);
    EXPECT_EQ(file_.GetSize(), -1);
    file_.Close();  // harmless

    // "wb" creates, and empties an existing file.
    std::string path = Make("data.bin", "0123456789");
    ASSERT_EQ(file_.Open(path.c_str(), "wb"), 0);
    EXPECT_EQ(file_.GetSize(), 0);
    EXPECT_EQ(file_.Write("abc", 3), 3);
    file_.Close();
    EXPECT_EQ(file_.handle, nullptr);
    std::string bytes;
    ASSERT_TRUE(e2e::ReadFileBytes(path, &bytes));
    EXPECT_EQ(bytes, "abc");
}

TEST_F(CfsTest, ReadsArePartialAtTheEnd)
{
    std::string path = Make("ten.bin", "0123456789");
    ASSERT_EQ(file_.Open(path.c_str(), "rb"), 0);
    char buffer[100] = {};
    EXPECT_EQ(file_.Read(buffer, 100), 10);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    EXPECT_EQ(file_.Read(buffer, 100), 0);  // at the end: 0, not -1
    EXPECT_EQ(file_.Read(buffer, -1), -1);
    EXPECT_EQ(file_.Write("x", 1), -1);     // opened for reading
}

TEST_F(CfsTest, SeekAndGetSizeKeepThePosition)
{
    std::string path = Make("ten.bin", "0123456789");
    ASSERT_EQ(file_.Open(path.c_str(), "rb"), 0);
    EXPECT_EQ(file_.Seek(4, 0), 4);
    EXPECT_EQ(file_.Seek(3, 3), -1);        // bad origin
    EXPECT_EQ(file_.Seek(0, 1), 4);         // unchanged
    EXPECT_EQ(file_.GetSize(), 10);
    EXPECT_EQ(file_.Seek(0, 1), 4);
    EXPECT_EQ(file_.Seek(-2, 2), 8);
    EXPECT_EQ(file_.Seek(1, 1), 9);
    char c = 0;
    EXPECT_EQ(file_.Read(&c, 1), 1);
    EXPECT_EQ(c, '9');
}

TEST_F(CfsTest, LoadToBuffer)
{
    char buffer[8];
    memset(buffer, '#', sizeof buffer);
    std::string missing = folder_.File("missing.bin");
    EXPECT_EQ(file_.LoadToBuffer(missing.c_str(), buffer, 0), 0);   // size 0: the file is not looked at
    EXPECT_EQ(file_.LoadToBuffer(missing.c_str(), nullptr, 8), -1);
    EXPECT_EQ(file_.LoadToBuffer(missing.c_str(), buffer, 8), -1);

    std::string path = Make("short.bin", "abc");
    EXPECT_EQ(file_.LoadToBuffer(path.c_str(), buffer, 8), 0);      // shorter file: the rest stays
    EXPECT_EQ(std::string(buffer, 8), "abc#####");
    EXPECT_EQ(file_.handle, nullptr);
}

TEST_F(CfsTest, LoadToMemoryAndLoadWhole)
{
    std::string content(70000, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    std::string path = Make("big.bin", content);

    void* block = file_.LoadToMemory(path.c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(memcmp(block, content.data(), content.size()), 0);
    MemFree(block);
    EXPECT_EQ(file_.LoadToMemory(folder_.File("missing.bin").c_str()), nullptr);

    std::string empty = Make("empty.bin", "");
    block = file_.LoadToMemory(empty.c_str());
    EXPECT_NE(block, nullptr);
    MemFree(block);

    std::string whole(content.size(), 'x');
    EXPECT_EQ(file_.LoadWhole(path.c_str(), &whole[0]), 0);
    EXPECT_EQ(whole, content);
    EXPECT_EQ(file_.LoadWhole(folder_.File("missing.bin").c_str(), &whole[0]), -1);
}

TEST_F(CfsTest, SaveFromBuffer)
{
    std::string path = Make("out.bin", "old contents");
    EXPECT_EQ(file_.SaveFromBuffer(path.c_str(), nullptr, 3), -1);
    EXPECT_EQ(file_.SaveFromBuffer(path.c_str(), "new", 3), 0);
    std::string bytes;
    ASSERT_TRUE(e2e::ReadFileBytes(path, &bytes));
    EXPECT_EQ(bytes, "new");
    EXPECT_EQ(file_.SaveFromBuffer(path.c_str(), "", 0), 0);
    ASSERT_TRUE(e2e::ReadFileBytes(path, &bytes));
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(file_.SaveFromBuffer(folder_.File("no\\such\\folder.bin").c_str(), "x", 1), -1);
}

TEST(MemAlloc, BlocksAreZeroFilledAndFreed)
{
    unsigned char* block = static_cast<unsigned char*>(MemAlloc(100000));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 100000; ++i) ASSERT_EQ(block[i], 0) << i;
    block[99999] = 1;
    MemFree(block);
    MemFree(nullptr);
    EXPECT_EQ(MemAlloc(0xFFFFFFF0u), nullptr);
}

TEST(CriticalSectionTest, CanBeEnteredWhileAlive)
{
    CCriticalSection lock;
    EnterCriticalSection(&lock.section);
    EXPECT_TRUE(TryEnterCriticalSection(&lock.section));
    LeaveCriticalSection(&lock.section);
    LeaveCriticalSection(&lock.section);
}
