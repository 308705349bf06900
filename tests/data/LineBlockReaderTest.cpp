#include "data/LineBlockReader.h"

#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::TempAppFolder;

// Reads the file block by block; checks every block but the last ends with a line end.
std::string ReadAllBlocks(const std::string& path, std::size_t& blocks) {
    LineBlockReader reader;
    EXPECT_TRUE(reader.Open(path));
    std::string all;
    std::string_view block;
    std::string previous;
    blocks = 0;
    while (reader.NextBlock(block)) {
        if (blocks > 0) {
            EXPECT_TRUE(previous.back() == '\n' || previous.back() == '\r') << "block " << blocks;
        }
        EXPECT_FALSE(block.empty());
        previous.assign(block);
        all += block;
        ++blocks;
    }
    EXPECT_EQ(reader.Error(), "");
    return all;
}

TEST(LineBlockReaderTest, LargeFileComesBackWholeInBlocksOfWholeLines) {
    TempAppFolder folder(TempAppFolder::Contents::Empty);
    std::string contents;
    for (int i = 0; contents.size() < (std::size_t{9} << 20); ++i)
        contents += "line " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 97), 'x') + "\r\n";
    contents += std::string(5u << 20, 'L') + "\r\n"; // one line longer than the buffer
    contents += "last line without an end";
    folder.WriteFile("big.txt", contents);
    std::size_t blocks = 0;
    EXPECT_EQ(ReadAllBlocks(folder.File("big.txt"), blocks), contents);
    EXPECT_GT(blocks, 2u);
}

TEST(LineBlockReaderTest, FileOfCarriageReturnsOnly) {
    TempAppFolder folder(TempAppFolder::Contents::Empty);
    std::string contents;
    for (int i = 0; contents.size() < (std::size_t{6} << 20); ++i)
        contents += "mac line " + std::to_string(i) + "\r";
    folder.WriteFile("cr.txt", contents);
    std::size_t blocks = 0;
    EXPECT_EQ(ReadAllBlocks(folder.File("cr.txt"), blocks), contents);
    EXPECT_GT(blocks, 1u);
}

TEST(LineBlockReaderTest, EmptyAndMissingFiles) {
    TempAppFolder folder(TempAppFolder::Contents::Empty);
    folder.WriteFile("empty.txt", "");
    LineBlockReader reader;
    ASSERT_TRUE(reader.Open(folder.File("empty.txt")));
    std::string_view block;
    EXPECT_FALSE(reader.NextBlock(block));
    EXPECT_EQ(reader.Error(), "");
    EXPECT_FALSE(reader.Open(folder.File("missing.txt")));
    EXPECT_NE(reader.Error().find("missing.txt"), std::string::npos);
    EXPECT_FALSE(reader.NextBlock(block));
}

} // namespace
} // namespace harvexa
