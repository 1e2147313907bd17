#include "core/base64.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include "core/codepage.h"

namespace {

// The encoder as the stored passwords were first made: 24 bits a group, written in
// octal and read back two octal digits at a time.
QString octalEncode(const QString &s) {
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QString out;
    const int n = s.size();
    for (int i = 0; i < n; i += 3) {
        const int v = CharCodeOrZero(s.mid(i, 1)) * 65536 + CharCodeOrZero(s.mid(i + 1, 1)) * 256 +
                      CharCodeOrZero(s.mid(i + 2, 1));
        const QString oct = QString::number(v, 8).rightJustified(8, '0');
        for (int k = 0; k < 8; k += 2) out += QChar(alphabet[oct.mid(k, 2).toInt(nullptr, 8)]);
    }
    if (n % 3 == 1) out.replace(out.size() - 2, 2, "==");
    if (n % 3 == 2) out.replace(out.size() - 1, 1, "=");
    return out;
}

}  // namespace

TEST(Base64Test, KnownVectorsAndPadding) {
    EXPECT_EQ(Base64Encode(""), "");
    EXPECT_EQ(Base64Encode("f"), "Zg==");
    EXPECT_EQ(Base64Encode("fo"), "Zm8=");
    EXPECT_EQ(Base64Encode("foo"), "Zm9v");
    EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64Encode("pass word!"), "cGFzcyB3b3JkIQ==");
}

TEST(Base64Test, AsciiMatchesTheOctalAlgorithmOfStoredPasswords) {
    std::srand(11);
    for (int round = 0; round < 500; ++round) {
        QString s;
        for (int i = std::rand() % 20; i > 0; --i) s += QChar(32 + std::rand() % 95);
        ASSERT_EQ(Base64Encode(s), octalEncode(s)) << s.toStdString();
    }
}

TEST(Base64Test, WideCharactersEncodeTheirCodePageBytes) {
    // "密码" in GB18030 is C3 DC C2 EB.
    EXPECT_EQ(Base64Encode(QString::fromUtf8("密码")),
              QString::fromLatin1(QByteArray("\xC3\xDC\xC2\xEB").toBase64()));
    EXPECT_NE(Base64Encode(QString::fromUtf8("密码")), Base64Encode(QString::fromUtf8("密馬")));
    EXPECT_EQ(CharCodeOrZero(""), 0);
    EXPECT_EQ(CharCodeOrZero("A"), 65);
    EXPECT_EQ(CharCodeOrZero(QString::fromUtf8("密")), qint16(0xC3DC));
    EXPECT_LT(CharCodeOrZero(QString::fromUtf8("密")), 0);
}

TEST(Base64Test, ALoneSurrogateBecomesTheCodePagesQuestionMark) {
    const QString high(QChar(0xD83D)), low(QChar(0xDE00));
    EXPECT_EQ(CharCodeOrZero(high), '?');
    EXPECT_EQ(CharCodeOrZero(low + "x"), '?');
    EXPECT_EQ(Base64Encode("a" + high), QString::fromLatin1(QByteArray("a?").toBase64()));
    EXPECT_EQ(codepage::encode(high + low), codepage::encode(QString::fromUtf8("😀")));
    EXPECT_EQ(codepage::decode(codepage::encode(QString::fromUtf8("😀"))), QString::fromUtf8("😀"));
}
