// TMemIniFile against real files: load at construction, Reload, Flush.
#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quindle {
namespace {

class IniFile : public ::testing::Test {
protected:
    std::string path_ = ::testing::TempDir() + "ini_file_test.ini";
    void TearDown() override { std::remove(path_.c_str()); }
    void Write(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Read() {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(IniFile, MissingFileIsAnEmptyIni) {
    TMemIniFile ini(path_ + ".missing");
    EXPECT_TRUE(ini.Sections.empty());
    EXPECT_EQ(ini.GetInt("Settings", "Width", 640), 640);
}

TEST_F(IniFile, LoadsAtConstructionAndFlushesWithCrLf) {
    Write("junk\n[Settings]\r\nWidth=800\r;c\n\n[Other]\nA=b");
    TMemIniFile ini(path_);
    EXPECT_EQ(ini.FileName, path_);
    EXPECT_EQ(ini.GetInt("SETTINGS", "width", 0), 800);
    ini.SetText("New", "k", "v");
    ini.Flush();
    EXPECT_EQ(Read(), "[Settings]\r\nWidth=800\r\n\r\n[Other]\r\nA=b\r\n\r\n[New]\r\nk=v\r\n\r\n");
}

TEST_F(IniFile, ReloadReplacesMemoryWithTheFile) {
    Write("[S]\nA=1\n");
    TMemIniFile ini(path_);
    ini.SetText("S", "A", "2");
    Write("[S]\nA=3\n");
    ini.Reload();
    EXPECT_EQ(ini.GetText("S", "A", ""), "3");
    std::remove(path_.c_str());
    ini.Reload();
    EXPECT_TRUE(ini.Sections.empty());
}

TEST_F(IniFile, FlushToAnImpossiblePathThrows) {
    TMemIniFile ini(::testing::TempDir() + "no/such/folder/x.ini");
    ini.SetText("S", "A", "1");
    EXPECT_THROW(ini.Flush(), std::runtime_error);
}

}  // namespace
}  // namespace quindle
