// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <string>

namespace duvanto {
namespace {

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

}  // namespace
}  // namespace duvanto
