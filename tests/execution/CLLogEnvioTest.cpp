#include "execution/CLLogEnvio.h"

#include "support/TempAppFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::TempAppFolder;

TEST(CLLogEnvioTest, OpenFreshTruncatesAndEveryLineIsOnDiskAtOnce) {
    TempAppFolder folder(TempAppFolder::Contents::Empty);
    folder.WriteFile("log.txt", "old contents\r\n");
    CLLogEnvio writer;
    ASSERT_TRUE(writer.OpenFresh(folder.File("log.txt")));
    EXPECT_EQ(folder.ReadFile("log.txt"), "");
    EXPECT_TRUE(writer.WriteLine("first"));
    // Readable by others before the writer closes: nothing waits in a buffer.
    EXPECT_EQ(folder.ReadFile("log.txt"), "first\r\n");
    EXPECT_TRUE(writer.WriteLine(""));
    EXPECT_TRUE(writer.WriteLine("third"));
    EXPECT_EQ(folder.ReadFile("log.txt"), "first\r\n\r\nthird\r\n");
    EXPECT_EQ(writer.FileName(), folder.File("log.txt"));
}

TEST(CLLogEnvioTest, OpenAppendKeepsEarlierLines) {
    TempAppFolder folder(TempAppFolder::Contents::Empty);
    folder.WriteFile("log.txt", "kept\r\n");
    CLLogEnvio writer;
    ASSERT_TRUE(writer.OpenAppend(folder.File("log.txt")));
    writer.WriteLine("added");
    EXPECT_EQ(folder.ReadFile("log.txt"), "kept\r\nadded\r\n");
    ASSERT_TRUE(writer.OpenAppend(folder.File("new.txt")));
    writer.WriteLine("x");
    EXPECT_EQ(folder.ReadFile("new.txt"), "x\r\n");
}

TEST(CLLogEnvioTest, CloseFileDeletesABlankFileOnly) {
    TempAppFolder folder(TempAppFolder::Contents::Empty);
    CLLogEnvio writer;
    ASSERT_TRUE(writer.OpenFresh(folder.File("blank.txt")));
    writer.WriteLine("  \t");
    writer.WriteLine("");
    writer.CloseFile();
    EXPECT_FALSE(std::filesystem::exists(folder.File("blank.txt")));

    ASSERT_TRUE(writer.OpenFresh(folder.File("kept.txt")));
    writer.WriteLine("  x  ");
    writer.CloseFile();
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(folder.ReadFile("kept.txt"), "  x  \r\n");
}

TEST(CLLogEnvioTest, WritesWithoutAnOpenFileAreRefusedQuietly) {
    TempAppFolder folder(TempAppFolder::Contents::Empty);
    CLLogEnvio writer;
    EXPECT_FALSE(writer.WriteLine("lost"));
    writer.CloseFile(); // never opened: nothing to close or delete
    EXPECT_FALSE(writer.OpenFresh(folder.File("missing-folder/log.txt")));
    EXPECT_FALSE(writer.WriteLine("lost"));
    writer.CloseFile();
}

TEST(CLLogEnvioTest, OpeningAnotherFileClosesTheFirst) {
    TempAppFolder folder(TempAppFolder::Contents::Empty);
    CLLogEnvio writer;
    ASSERT_TRUE(writer.OpenFresh(folder.File("a.txt")));
    writer.WriteLine("a");
    ASSERT_TRUE(writer.OpenFresh(folder.File("b.txt")));
    writer.WriteLine("b");
    EXPECT_EQ(folder.ReadFile("a.txt"), "a\r\n");
    EXPECT_EQ(folder.ReadFile("b.txt"), "b\r\n");
}

} // namespace
} // namespace harvexa
