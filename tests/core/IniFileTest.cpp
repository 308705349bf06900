#include "core/IniFile.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>
#include <thread>

namespace harvexa {
namespace {

using test::TempAppFolder;

TEST(IniFile, MatchesSectionsAndKeysIgnoringCase) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("a.ini", "[SYS CONFIG]\nProxy_Port_socks5 = 1080 \n");
    const IniFile ini(app.File("a.ini"));
    EXPECT_EQ(ini.ReadString("sys config", "PROXY_PORT_SOCKS5", "x"), "1080");
    EXPECT_EQ(ini.ReadInteger("Sys Config", "proxy_port_socks5", -1), 1080);
    EXPECT_EQ(ini.ReadString("sys config", "Missing", "dflt"), "dflt");
}

TEST(IniFile, GarbageLinesAreIgnoredAndKeptOnWrite) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    const std::string original = "; comment\n\x01\x02 garbage without equals\n[LOG]\n=novalue\nPROCESSAR_LOGS=1\n[broken\n"
                                 "[DATA LOCATION]\nBINARIES=b.txt\n";
    app.WriteFile("a.ini", original);
    IniFile ini(app.File("a.ini"));
    EXPECT_EQ(ini.ReadString("LOG", "PROCESSAR_LOGS", ""), "1");
    EXPECT_EQ(ini.ReadString("LOG", "", "none"), "none");
    ASSERT_TRUE(ini.WriteString("log", "limpar_log", "100"));
    const std::string after = app.ReadFile("a.ini");
    EXPECT_NE(after.find("; comment\n\x01\x02 garbage without equals\n"), std::string::npos);
    EXPECT_NE(after.find("[broken\n"), std::string::npos);
    EXPECT_EQ(ini.ReadString("LOG", "LIMPAR_LOG", ""), "100");
    EXPECT_EQ(ini.ReadString("DATA LOCATION", "BINARIES", ""), "b.txt");
}

TEST(IniFile, WriteReplacesExistingKeyAndAddsSection) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("a.ini", "[A]\nkey=1\n\n[B]\nx=y\n");
    IniFile ini(app.File("a.ini"));
    ASSERT_TRUE(ini.WriteString("a", "KEY", "2"));
    ASSERT_TRUE(ini.WriteString("A", "other", "3"));
    ASSERT_TRUE(ini.WriteString("C", "new", "4"));
    EXPECT_EQ(app.ReadFile("a.ini"), "[A]\nkey=2\nother=3\n\n[B]\nx=y\n\n[C]\nnew=4\n");
}

TEST(IniFile, MissingFileReadsDefaultsAndFirstWriteCreatesIt) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    IniFile ini(app.File("new.ini"));
    EXPECT_EQ(ini.ReadString("5000", "48", "d"), "d");
    ASSERT_TRUE(ini.WriteString("5000", "48", "text"));
    EXPECT_EQ(IniFile(app.File("new.ini")).ReadString("5000", "48", ""), "text");
}

TEST(IniFile, SeesChangesMadeByOthers) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("a.ini", "[S]\nk=1\n");
    IniFile ini(app.File("a.ini"));
    EXPECT_EQ(ini.ReadString("S", "k", ""), "1");
    app.WriteFile("a.ini", "[S]\nk=22\n");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "22");
}

TEST(IniFile, RefusesValuesThatWouldBreakTheFile) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    IniFile ini(app.File("a.ini"));
    EXPECT_FALSE(ini.WriteString("S", "k", "two\nlines"));
    EXPECT_FALSE(ini.WriteString("S", "a=b", "v"));
}

TEST(IniFile, Windows1252FileIsReadAsUtf8) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("a.ini", "[400]\r\n5=Descri\xe7\xe3o\r\n");
    IniFile ini(app.File("a.ini"));
    EXPECT_EQ(ini.ReadString("400", "5", ""), "Descri\xc3\xa7\xc3\xa3o");
    ASSERT_TRUE(ini.WriteString("400", "6", "x"));
    EXPECT_EQ(app.ReadFile("a.ini"), "[400]\r\n5=Descri\xc3\xa7\xc3\xa3o\r\n6=x\r\n");
}

TEST(IniFile, InvalidIntegerReadsAsDefault) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("a.ini", "[S]\nport=abc\nneg=-5\nempty=\nplus=+7\n");
    const IniFile ini(app.File("a.ini"));
    EXPECT_EQ(ini.ReadInteger("S", "port", 42), 42);
    EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -5);
    EXPECT_EQ(ini.ReadInteger("S", "empty", 3), 3);
    EXPECT_EQ(ini.ReadInteger("S", "plus", 0), 7);
}

TEST(IniFile, ConcurrentWritersLoseNoKey) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    const std::string path = app.File("a.ini");
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([path, t] {
            IniFile ini(path);
            for (int i = 0; i < 25; ++i)
                EXPECT_TRUE(ini.WriteString("S" + std::to_string(t), "k" + std::to_string(i), std::to_string(i)));
        });
    for (auto& writer : writers)
        writer.join();
    const IniFile ini(path);
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(ini.ReadSection("S" + std::to_string(t)).size(), 25u);
}

} // namespace
} // namespace harvexa
