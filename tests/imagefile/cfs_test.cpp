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
        std::string path = folder_.File(name);
        EXPECT_TRUE(e2e::WriteFileBytes(path, bytes));
        return path;
    }
    std::string Contents(const std::string& path)
    {
        std::string bytes = "(unreadable)";
        e2e::ReadFileBytes(path, &bytes);
        return bytes;
    }
    e2e::TempFolder folder_;
    CFS file_;
};

}  // namespace

TEST_F(CfsTest, OpenReadWriteSeek)
{
    const std::string missing = folder_.File("missing.bin");
    EXPECT_EQ(file_.Open(missing.c_str(), "rb"), -1);
    EXPECT_EQ(file_.Open(missing.c_str(), "ab"), -1);
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(file_.Read(nullptr, 0), -1);  // nothing open
    EXPECT_EQ(file_.GetSize(), -1);

    const std::string path = Make("ten.bin", "0123456789");
    ASSERT_EQ(file_.Open(path.c_str(), "rb"), 0);
    char buffer[100] = {};
    EXPECT_EQ(file_.Seek(4, 0), 4);
    EXPECT_EQ(file_.Seek(3, 3), -1);  // bad origin: position unchanged
    EXPECT_EQ(file_.GetSize(), 10);   // and GetSize keeps it too
    EXPECT_EQ(file_.Read(buffer, 100), 6);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(file_.Read(buffer, 100), 0);  // at the end: 0, not -1
    EXPECT_EQ(file_.Seek(-2, 2), 8);
    EXPECT_EQ(file_.Seek(1, 1), 9);
    EXPECT_EQ(file_.Read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], '9');
    EXPECT_EQ(file_.Read(buffer, -1), -1);
    EXPECT_EQ(file_.Write("x", 1), -1);  // opened for reading
    file_.Close();

    ASSERT_EQ(file_.Open(path.c_str(), "wb"), 0);  // "wb" empties an existing file
    EXPECT_EQ(file_.GetSize(), 0);
    EXPECT_EQ(file_.Write("abc", 3), 3);
    file_.Close();
    EXPECT_EQ(file_.handle, nullptr);
    EXPECT_EQ(Contents(path), "abc");
}

TEST_F(CfsTest, WholeFileHelpers)
{
    const std::string missing = folder_.File("missing.bin"), shortFile = Make("short.bin", "abc");
    char buffer[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
    EXPECT_EQ(file_.LoadToBuffer(missing.c_str(), buffer, 0), 0);  // size 0: the file is not looked at
    EXPECT_EQ(file_.LoadToBuffer(missing.c_str(), buffer, 8), -1);
    EXPECT_EQ(file_.LoadToBuffer(shortFile.c_str(), nullptr, 8), -1);
    EXPECT_EQ(file_.LoadToBuffer(shortFile.c_str(), buffer, 8), 0);  // shorter file: the rest stays
    EXPECT_EQ(std::string(buffer, 8), "abc#####");

    std::string content(70000, '\0');  // more than one 64 KB read
    for (size_t i = 0; i < content.size(); ++i) content[i] = char(i * 7);
    const std::string big = Make("big.bin", content);
    void* block = file_.LoadToMemory(big.c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(block), content.size()), content);
    MemFree(block);
    EXPECT_EQ(file_.LoadToMemory(missing.c_str()), nullptr);
    block = file_.LoadToMemory(Make("empty.bin", "").c_str());
    EXPECT_NE(block, nullptr);
    MemFree(block);
    std::string whole(content.size(), 'x');
    EXPECT_EQ(file_.LoadWhole(big.c_str(), &whole[0]), 0);
    EXPECT_EQ(whole, content);
    EXPECT_EQ(file_.LoadWhole(missing.c_str(), &whole[0]), -1);

    EXPECT_EQ(file_.SaveFromBuffer(big.c_str(), nullptr, 3), -1);
    EXPECT_EQ(file_.SaveFromBuffer(big.c_str(), "new", 3), 0);
    EXPECT_EQ(Contents(big), "new");
    EXPECT_EQ(file_.SaveFromBuffer(big.c_str(), "", 0), 0);
    EXPECT_EQ(Contents(big), "");
    EXPECT_EQ(file_.SaveFromBuffer(folder_.File("no\\such\\folder.bin").c_str(), "x", 1), -1);
    EXPECT_EQ(file_.handle, nullptr);
}

TEST(MemAlloc, BlocksAreZeroFilled)
{
    unsigned char* block = static_cast<unsigned char*>(MemAlloc(100000));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 100000), std::string(100000, '\0'));
    MemFree(block);
    MemFree(nullptr);
    EXPECT_EQ(MemAlloc(0xFFFFFFF0u), nullptr);
}
