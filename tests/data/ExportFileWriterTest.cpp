#include "data/ExportFileWriter.h"

#include "support/TempAppFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace harvexa {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::size_t FilesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(ExportFileWriterTest, CommitReplacesTheFileWithAllData) {
    test::TempAppFolder folder(test::TempAppFolder::Contents::Empty);
    folder.WriteFile("out.csv", "old contents");
    const std::string big(3 * 1024 * 1024 + 17, 'x'); // larger than the writer's buffer
    ExportFileWriter writer;
    ASSERT_TRUE(writer.Open(folder.File("out.csv")));
    ASSERT_TRUE(writer.Write("head;"));
    ASSERT_TRUE(writer.Write(big));
    ASSERT_TRUE(writer.Write(";tail"));
    EXPECT_EQ(folder.ReadFile("out.csv"), "old contents"); // nothing visible before the commit
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(folder.ReadFile("out.csv"), "head;" + big + ";tail");
    EXPECT_EQ(FilesIn(folder.Path()), 1u);
}

TEST(ExportFileWriterTest, AbandonLeavesTheOldFileAndNoTemporaryFile) {
    test::TempAppFolder folder(test::TempAppFolder::Contents::Empty);
    folder.WriteFile("out.csv", "old contents");
    {
        ExportFileWriter writer;
        ASSERT_TRUE(writer.Open(folder.File("out.csv")));
        ASSERT_TRUE(writer.Write("new"));
    } // destroyed without a commit
    EXPECT_EQ(folder.ReadFile("out.csv"), "old contents");
    EXPECT_EQ(FilesIn(folder.Path()), 1u);
}

TEST(ExportFileWriterTest, MissingFolderFailsAtOpenWithAReason) {
    test::TempAppFolder folder(test::TempAppFolder::Contents::Empty);
    ExportFileWriter writer;
    EXPECT_FALSE(writer.Open(folder.File("missing/out.csv")));
    EXPECT_NE(writer.Error().find("missing/out.csv"), std::string::npos);
    EXPECT_FALSE(writer.Write("x"));
    EXPECT_FALSE(writer.Commit());
}

TEST(ExportFileWriterTest, AFolderIsNoTarget) {
    test::TempAppFolder folder(test::TempAppFolder::Contents::Empty);
    ExportFileWriter writer;
    EXPECT_FALSE(writer.Open(folder.Path().string()));
}

TEST(ExportFileWriterTest, FullDeviceReportsFailure) {
    ExportFileWriter writer;
    ASSERT_TRUE(writer.Open("/dev/full"));
    // Buffered data reaches the device at the latest on commit, which must then fail.
    (void)writer.Write("some data");
    EXPECT_FALSE(writer.Commit());
    EXPECT_NE(writer.Error().find("No space left on device"), std::string::npos) << writer.Error();
}

TEST(ExportFileWriterTest, FullDeviceFailsWritesBeyondTheBuffer) {
    ExportFileWriter writer;
    ASSERT_TRUE(writer.Open("/dev/full"));
    EXPECT_FALSE(writer.Write(std::string(2 * 1024 * 1024, 'x')));
    EXPECT_FALSE(writer.Commit());
}

TEST(ExportFileWriterTest, SymbolicLinkKeepsPointingAtTheNewContents) {
    test::TempAppFolder folder(test::TempAppFolder::Contents::Empty);
    folder.WriteFile("real.csv", "old");
    fs::create_symlink(folder.File("real.csv"), folder.File("link.csv"));
    ExportFileWriter writer;
    ASSERT_TRUE(writer.Open(folder.File("link.csv")));
    ASSERT_TRUE(writer.Write("new"));
    ASSERT_TRUE(writer.Commit());
    EXPECT_TRUE(fs::is_symlink(folder.File("link.csv")));
    EXPECT_EQ(Read(folder.File("real.csv")), "new");
}

TEST(ExportFileWriterTest, KeepsThePermissionsOfTheReplacedFile) {
    test::TempAppFolder folder(test::TempAppFolder::Contents::Empty);
    folder.WriteFile("out.csv", "old");
    fs::permissions(folder.File("out.csv"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ExportFileWriter writer;
    ASSERT_TRUE(writer.Open(folder.File("out.csv")));
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(fs::status(folder.File("out.csv")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(folder.ReadFile("out.csv"), "");
}

} // namespace
} // namespace harvexa
