#include "core/inifile.h"

#include <gtest/gtest.h>

using ini::readValue;
using ini::writeValue;

TEST(IniRead, NamesMatchWithoutCaseAndValuesAreTrimmedAndUnquoted) {
    const QByteArray f =
        "[Setting]\r\n  Zoom =  150  \r\nHome=\"http://a/\"\r\nOne='x'\r\nMixed=\"x'\r\n"
        "Lone=\"\r\n";
    EXPECT_EQ(readValue(f, "setting", "ZOOM"), "150");
    EXPECT_EQ(readValue(f, "SETTING", "home"), "http://a/");
    EXPECT_EQ(readValue(f, "Setting", "One"), "x");
    EXPECT_EQ(readValue(f, "Setting", "Mixed"), "\"x'");  // quotes must be the same
    EXPECT_EQ(readValue(f, "Setting", "Lone"), "\"");
    EXPECT_TRUE(readValue(f, "Setting", "Absent").isNull());
    EXPECT_TRUE(readValue(f, "Other", "Zoom").isNull());
    const QByteArray empty = readValue("[S]\r\nK=\r\n", "S", "K");
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(empty.isEmpty());
}

TEST(IniRead, FirstDuplicateWinsCommentsAndStrayLinesIgnored) {
    const QByteArray f =
        "K=before any section\n"
        "[S] trailing words\n"
        ";K=commented\n"
        "  ; K=indented comment\n"
        "K=first\n"
        "K=second\n"
        "[S]\n"
        "Only=in second copy\n"
        "[T]\n"
        "x;y=semicolon inside a key is a key\n";
    EXPECT_EQ(readValue(f, "S", "K"), "first");
    EXPECT_TRUE(readValue(f, "S", "Only").isNull());  // only the first section is searched
    EXPECT_EQ(readValue(f, "T", "x;y"), "semicolon inside a key is a key");
}

TEST(IniRead, AnyLineEndingAndAByteOrderMark) {
    EXPECT_EQ(readValue("[S]\rA=1\rB=2", "S", "B"), "2");
    EXPECT_EQ(readValue("[S]\nA=1\nB=2\n", "S", "A"), "1");
    EXPECT_EQ(readValue("\xEF\xBB\xBF[S]\r\nA=1\r\n", "S", "A"), "1");
    EXPECT_EQ(readValue("[S]\r\nA=no final break", "S", "A"), "no final break");
}

TEST(IniWrite, ReplacesInPlaceKeepingEveryOtherByte) {
    const QByteArray f = "; top\r\n[Setting]\n  ZOOM = 100 \r\nOther=x\r[Theme]\r\nTheme=a\r\n";
    const QByteArray out = writeValue(f, "setting", "Zoom", "150");
    EXPECT_EQ(out, "; top\r\n[Setting]\nZOOM=150\r\nOther=x\r[Theme]\r\nTheme=a\r\n");
}

TEST(IniWrite, NewKeyGoesAfterTheSectionsLastKeyLine) {
    const QByteArray f = "[A]\r\nk1=1\r\n\r\n; about B\r\n[B]\r\nx=1\r\n";
    EXPECT_EQ(writeValue(f, "A", "k2", "2"),
              "[A]\r\nk1=1\r\nk2=2\r\n\r\n; about B\r\n[B]\r\nx=1\r\n");
    // A section without keys takes the key right after its header.
    EXPECT_EQ(writeValue("[A]\r\n\r\n[B]\r\n", "A", "k", "v"), "[A]\r\nk=v\r\n\r\n[B]\r\n");
    // The last line without a break gets one before the new key.
    EXPECT_EQ(writeValue("[A]\r\nk1=1", "A", "k2", "2"), "[A]\r\nk1=1\r\nk2=2\r\n");
}

TEST(IniWrite, NewSectionAppendedAndFileCreated) {
    EXPECT_EQ(writeValue("", "Form", "Top", "1200"), "[Form]\r\nTop=1200\r\n");
    EXPECT_EQ(writeValue("[A]\r\nx=1", "B", "y", "2"), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    EXPECT_EQ(writeValue("[A]\r\nx=1\r\n", "B", "y", "2"), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
}

TEST(IniWrite, OnlyFirstDuplicateIsWrittenAndBomKept) {
    const QByteArray f = "[S]\r\nK=1\r\nK=2\r\n[S]\r\nK=3\r\n";
    EXPECT_EQ(writeValue(f, "S", "K", "9"), "[S]\r\nK=9\r\nK=2\r\n[S]\r\nK=3\r\n");
    EXPECT_EQ(writeValue("\xEF\xBB\xBF"
                         "A=1\r\n[S]\r\n",
                         "S", "A", "2"),
              "\xEF\xBB\xBF"
              "A=1\r\n[S]\r\nA=2\r\n");
    // A key line before any section is not the section's key.
    EXPECT_EQ(writeValue("\xEF\xBB\xBF[S]\r\nA=1\r\n", "S", "A", "2"),
              "\xEF\xBB\xBF[S]\r\nA=2\r\n");
}

TEST(IniWrite, RandomFilesNeverLoseOtherKeys) {
    // The blank rules: in the file space, TAB and VT around names and values; in the caller's
    // names only spaces; a replaced last line without a break gets CR LF.
    EXPECT_EQ(readValue("[S]\r\n\v\tK \v= \tv\v\r\n", " S ", " K"), "v");
    EXPECT_TRUE(readValue("[S]\r\nK=v\r\n", "S", "\tK").isNull());
    EXPECT_TRUE(readValue("[S]\r\nK=v\r\n", "S\n", "K").isNull());
    EXPECT_EQ(writeValue("[S]\r\nK=1", " S", "K ", "2"), "[S]\r\nK=2\r\n");
    EXPECT_EQ(writeValue("", "S", "\vK", "2"), "[S]\r\n\vK=2\r\n");
    // Files of random lines and bytes: the written key reads back and no other key changes.
    std::srand(7);
    const char *pieces[] = {
        "[S]", "[T]", "[s] x", "K=old", "k = \"q\"", "x=keep",      "y=\x80\xfe", ";K=c",
        "",    "  ",  "=",     "[",     "]",         "\vK\v=\vold", "\tx\t=keep", "[\vT\v]"};
    const char *breaks[] = {"\r\n", "\n", "\r", ""};
    for (int round = 0; round < 300; ++round) {
        QByteArray f;
        for (int i = std::rand() % 30; i > 0; --i) {
            if (std::rand() % 4 == 0) {
                for (int j = std::rand() % 12; j > 0; --j) f.append(char(std::rand()));
            } else {
                f.append(pieces[std::rand() % std::size(pieces)]);
            }
            f.append(breaks[std::rand() % std::size(breaks)]);
        }
        const QByteArray out = writeValue(f, "S", "K", "v");
        const std::string hex = f.toHex().toStdString();
        ASSERT_EQ(readValue(out, "S", "K"), "v") << hex;
        for (const char *sec : {"T", "S"})
            for (const char *key : {"x", "y"})
                EXPECT_EQ(readValue(out, sec, key), readValue(f, sec, key)) << hex;
    }
}
