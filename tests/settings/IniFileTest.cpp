#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <string>

#include "support/TestSupport.h"
#include "util/FileUtilities.h"

namespace duvanto {
namespace {

using test::FixedClock;
using test::ReadFile;
using test::RecordingPrompt;
using test::TempDir;
using test::WriteFile;

TEST(IniDocumentTest, ReadsAsTheProfileFunctionsDo) {
    const IniDocument ini = IniDocument::Parse(
        "top=before any section\n"
        "[ log ]\r\n"
        "  MAXSIZE =  300  \n"
        "maxsize=second one is ignored\n"
        ";Commented=yes\n"
        "Quoted=\"  padded  \"\n"
        "Single='x'\n"
        "Mismatched=\"x'\n"
        "Empty=\n"
        "NoEquals\n"
        "[Other]\n"
        "Commented=other section\n"
        "[LOG]\n"
        "Late=in a repeated section\n");
    EXPECT_EQ(ini.Get("Log", "MaxSize"), "300");
    EXPECT_EQ(ini.Get("log", "quoted"), "  padded  ");
    EXPECT_EQ(ini.Get("Log", "Single"), "x");
    EXPECT_EQ(ini.Get("Log", "Mismatched"), "\"x'");
    EXPECT_EQ(ini.Get("Log", "Empty"), "");
    EXPECT_EQ(ini.GetString("Log", "Empty", "dflt"), "dflt");
    EXPECT_EQ(ini.GetString("Log", "Commented", "dflt"), "dflt");
    EXPECT_EQ(ini.GetString("Log", "NoEquals", "dflt"), "dflt");
    EXPECT_EQ(ini.GetString("Log", "Late", "dflt"), "dflt");
    EXPECT_EQ(ini.GetString("Missing", "MaxSize", "dflt"), "dflt");
    EXPECT_EQ(ini.Get("Other", "Commented"), "other section");
    EXPECT_FALSE(ini.Get("Log", "top"));
}

TEST(IniDocumentTest, WritingKeepsEveryOtherLine) {
    IniDocument ini = IniDocument::Parse(
        "; Written by hand\n"
        "[log]\n"
        "maxsize = 300\n"
        "Extra=kept\n"
        "\n"
        "; about the next section\n"
        "[Other]\n"
        "A=1");
    ini.Set("LOG", "MaxSize", "100");
    ini.Set("Log", "LogOnlyErrors", "False");
    ini.Set("New Section", "Key", "v");
    EXPECT_EQ(ini.Text(),
              "; Written by hand\r\n"
              "[log]\r\n"
              "maxsize=100\r\n"
              "Extra=kept\r\n"
              "LogOnlyErrors=False\r\n"
              "\r\n"
              "; about the next section\r\n"
              "[Other]\r\n"
              "A=1\r\n"
              "[New Section]\r\n"
              "Key=v\r\n");
}

TEST(IniDocumentTest, RefusesWhatALineCannotHold) {
    IniDocument ini;
    EXPECT_THROW(ini.Set("S", "K", "two\r\nlines"), std::invalid_argument);
    EXPECT_THROW(ini.Set("S", "K=1", "v"), std::invalid_argument);
    EXPECT_THROW(ini.Set("S", ";K", "v"), std::invalid_argument);
    EXPECT_EQ(ini.Text(), "");
}

class CIniFileTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordingPrompt prompt;
    FixedClock clock;
    ErrorReporter reporter{dir.Path(), prompt, clock};
    CIniFile ini{dir.Path(), prompt, reporter};

    void Address(const std::string& section, const std::string& key) {
        ini.Section(section);
        ini.Key(key);
    }
    void ExpectOnlyMessage(const std::string& title, const std::string& text, MessageIcon icon) {
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].title, title);
        EXPECT_EQ(prompt.shown[0].text, text);
        EXPECT_EQ(prompt.shown[0].icon, icon);
        prompt.shown.clear();
    }
};

TEST_F(CIniFileTest, MissingPropertiesAreNamedInOrderAndNothingHappens) {
    EXPECT_EQ(ini.GetStringValue("dflt"), "");
    ExpectOnlyMessage("CIniFile Error", "Name property must be set first", MessageIcon::Critical);
    ini.Name("duvanto.ini");
    ini.Key("K");
    EXPECT_FALSE(ini.SetStringValue("v"));
    ExpectOnlyMessage("CIniFile Error", "Section property must be set first.",
                      MessageIcon::Critical);
    EXPECT_EQ(ini.GetIntegerValue(7), 0);
    ExpectOnlyMessage("CIniFile Error", "Section property must be set first",
                      MessageIcon::Critical);
    Address("S", "");
    EXPECT_FALSE(ini.SetStringValue("v"));
    ExpectOnlyMessage("CIniFile Error", "Key property must be set first.", MessageIcon::Critical);
    EXPECT_EQ(ini.GetStringValue("dflt"), "");
    ExpectOnlyMessage("CIniFile Error", "Key property must be set first", MessageIcon::Critical);
    EXPECT_FALSE(FileExists(dir / "duvanto.ini"));
}

TEST_F(CIniFileTest, ASecondNameIsRefused) {
    ini.Name("duvanto.ini");
    ini.Name("other.ini");
    ExpectOnlyMessage("CIniFile Error",
                      "This IniFile Object is already in use by " + dir.Path() +
                          "duvanto.ini\r\nCreate a new object.",
                      MessageIcon::Exclamation);
    EXPECT_EQ(ini.Name(), "duvanto.ini");
    EXPECT_EQ(ini.FullPath(), dir / "duvanto.ini");
}

TEST_F(CIniFileTest, KeysAreWrittenOneAtATimeIntoTheFile) {
    ini.Name("duvanto.ini");
    Address("Log", "MaxSize");
    EXPECT_EQ(ini.GetStringValue("500"), "500");
    EXPECT_EQ(ini.GetIntegerValue(500), 500);
    EXPECT_TRUE(ini.SetStringValue("200"));
    Address("log", "LogOnlyErrors");
    EXPECT_TRUE(ini.SetStringValue("True"));
    Address("Form Dimensions", "Height");
    EXPECT_TRUE(ini.SetStringValue("-12px"));
    EXPECT_EQ(ini.GetIntegerValue(1), -12);
    EXPECT_EQ(
        ReadFile(dir / "duvanto.ini"),
        "[Log]\r\nMaxSize=200\r\nLogOnlyErrors=True\r\n[Form Dimensions]\r\nHeight=-12px\r\n");
    Address("LOG", "maxsize");
    EXPECT_EQ(ini.GetStringValue("500"), "200");
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(CIniFileTest, FailuresGoToTheReporterUnderTheMethodsLabel) {
    WriteFile(dir / "duvanto.ini", "[S]\nBig=40000\n");
    ini.Name("duvanto.ini");
    Address("S", "Big");
    EXPECT_EQ(ini.GetIntegerValue(1), 0);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, "Unexpected Error in cIniFile.GetIntegerValue()");
    EXPECT_NE(prompt.shown[0].text.find("Error: Overflow\r\n"), std::string::npos);

    Address("S", "Other");
    EXPECT_FALSE(ini.SetStringValue("a\nb"));
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[1].title, "Unexpected Error in cIniFile.SetStringValue()");
    EXPECT_EQ(ReadFile(dir / "duvanto.ini"), "[S]\nBig=40000\n");
}

}  // namespace
}  // namespace duvanto
