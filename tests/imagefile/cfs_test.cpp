// CFS and MemAlloc on real files in a temporary folder.
#include <gtest/gtest.h>

#include "e2e.h"
#include "imagefile/cfs.h"
#include "imagefile/mem_alloc.h"

namespace {

class CfsTest : public ::testing::Test {
protected:
    std::string Make(const char* name, const std::string& bytes)
    {
        EXPECT_TRUE(e2e::WriteFileBytes(folder_.File(name), bytes));
        return folder_.File(name);
    }
    std::string Contents(const std::string& path)
    {
        std::string bytes = "(unreadable)";
        e2e::ReadFileBytes(path, &bytes);
        return bytes;
    }
    e2e::TempFolder folder_;
    const std::string missing_ = folder_.File("missing.bin");
    CFS file_;
    char buffer_[100] = {};
};

}  // namespace

TEST_F(CfsTest, OpenReadWriteSeek)
{
    EXPECT_EQ(file_.Open(missing_.c_str(), "rb"), -1);
    EXPECT_EQ(file_.Open(missing_.c_str(), "ab"), -1);
    EXPECT_EQ(GetFileAttributesA(missing_.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(file_.Read(buffer_, 1), -1);  // nothing open
    EXPECT_EQ(file_.GetSize(), -1);

    const std::string path = Make("ten.bin", "0123456789");
    ASSERT_EQ(file_.Open(path.c_str(), "rb"), 0);
    EXPECT_EQ(file_.Seek(4, 0), 4);
    EXPECT_EQ(file_.Seek(3, 3), -1);  // bad origin: position unchanged
    EXPECT_EQ(file_.GetSize(), 10);   // and GetSize keeps it too
    EXPECT_EQ(file_.Read(buffer_, 100), 6);
    EXPECT_EQ(std::string(buffer_, 6), "456789");
    EXPECT_EQ(file_.Read(buffer_, 100), 0);  // at the end: 0, not -1
    EXPECT_EQ(file_.Seek(-2, 2), 8);
    EXPECT_EQ(file_.Seek(1, 1), 9);
    EXPECT_EQ(file_.Read(buffer_, 100), 1);
    EXPECT_EQ(buffer_[0], '9');
    EXPECT_EQ(file_.Read(buffer_, -1), -1);
    EXPECT_EQ(file_.Write("x", 1), -1);  // opened for reading
    file_.Close();
    ASSERT_EQ(file_.Open(path.c_str(), "wb"), 0);  // "wb" empties an existing file
    EXPECT_EQ(file_.GetSize(), 0);
    EXPECT_EQ(file_.Write("abc", 3), 3);
    file_.Close();
    EXPECT_EQ(Contents(path), "abc");
}

TEST_F(CfsTest, WholeFileHelpers)
{
    const std::string shortFile = Make("short.bin", "abc");
    memset(buffer_, '#', 8);
    EXPECT_EQ(file_.LoadToBuffer(missing_.c_str(), buffer_, 0), 0);  // size 0: the file is not looked at
    EXPECT_EQ(file_.LoadToBuffer(missing_.c_str(), buffer_, 8), -1);
    EXPECT_EQ(file_.LoadToBuffer(shortFile.c_str(), nullptr, 8), -1);
    EXPECT_EQ(file_.LoadToBuffer(shortFile.c_str(), buffer_, 8), 0);  // shorter file: the rest stays
    EXPECT_EQ(std::string(buffer_, 8), "abc#####");

    std::string content(70000, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = char(i * 7);
    const std::string big = Make("big.bin", content);
    void* block = file_.LoadToMemory(big.c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(block), content.size()), content);
    MemFree(block);
    block = file_.LoadToMemory(Make("empty.bin", "").c_str());
    EXPECT_NE(block, nullptr);  // an empty file still gives a block
    MemFree(block);
    EXPECT_EQ(file_.LoadToMemory(missing_.c_str()), nullptr);
    std::string whole(content.size(), 'x');
    EXPECT_EQ(file_.LoadWhole(big.c_str(), &whole[0]), 0);
    EXPECT_EQ(whole, content);
    EXPECT_EQ(file_.LoadWhole(missing_.c_str(), &whole[0]), -1);

    EXPECT_EQ(file_.SaveFromBuffer(big.c_str(), nullptr, 3), -1);
    EXPECT_EQ(file_.SaveFromBuffer(big.c_str(), "new", 3), 0);
    EXPECT_EQ(Contents(big), "new");
    EXPECT_EQ(file_.SaveFromBuffer(big.c_str(), "", 0), 0);
    EXPECT_EQ(Contents(big), "");
    EXPECT_EQ(file_.SaveFromBuffer(folder_.File("no\\such\\folder.bin").c_str(), "x", 1), -1);
    EXPECT_EQ(file_.handle, nullptr);  // the helpers leave no file open
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
