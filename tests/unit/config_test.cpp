
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <climits>
#include <cmath>
#include <csignal>

#include "core/codepage.h"
#include "core/filewriter.h"
#include "core/numbers.h"
#include "core/programfolder.h"
#include "core/settings.h"
#include "core/store.h"
#include "support/usefolder.h"

namespace {

QByteArray slurp(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int ModeOf(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

void spit(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class ConfigTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        use = std::make_unique<UseFolder>(dir.path());
        ini = dir.filePath("config.ini");
    }
    void TearDown() override { use.reset(); }
    std::unique_ptr<UseFolder> use;
    QTemporaryDir dir;
    QString ini;
};

}  // namespace

TEST(AppDirTest, OneTrailingSlashEvenAtTheRoot) {
    EXPECT_EQ(config::withTrailingSlash("/"), "/");
    EXPECT_EQ(config::withTrailingSlash("/opt/olumetta"), "/opt/olumetta/");
    EXPECT_EQ(config::withTrailingSlash("/opt/olumetta/"), "/opt/olumetta/");
    EXPECT_TRUE(AppDir().endsWith('/'));
}

TEST_F(ConfigTest, WrittenSettingsReadBackAtOnce) {
    EXPECT_EQ(ReadSetting("Zoom"), "");
    WriteSetting("Zoom", "150");
    EXPECT_EQ(ReadSetting("Zoom"), "150");
    WriteSetting("Mouse", "1");
    WriteThemeKey("Theme", "默认.ini");
    EXPECT_EQ(ReadThemeKey("theme"), "默认.ini");
    EXPECT_EQ(slurp(ini), "[Setting]\r\nZoom=150\r\nMouse=1\r\n[Theme]\r\nTheme=" +
                              codepage::encode("默认.ini") + "\r\n");
    WriteSetting("Home", "\"http://quoted/\"");
    EXPECT_EQ(ReadSetting("Home"), "http://quoted/");
}

TEST_F(ConfigTest, ValuesAreCutAt127BytesOnACharacterBoundary) {
    WriteSetting("Long", QString(200, 'a'));
    EXPECT_EQ(ReadSetting("Long"), QString(127, 'a'));
    // 63 two-byte characters fill 126 bytes; the 64th would split.
    WriteSetting("Chinese", QString(100, QChar(0x4E2D)));
    EXPECT_EQ(ReadSetting("Chinese"), QString(63, QChar(0x4E2D)));
    WriteSetting("Mixed", "a" + QString(100, QChar(0x4E2D)));
    EXPECT_EQ(ReadSetting("Mixed"), "a" + QString(63, QChar(0x4E2D)));
    // Four-byte characters of the code page are not split either.
    const QString emoji = QString::fromUtf8("😀");
    WriteSetting("Four", "aaa" + emoji.repeated(40));
    EXPECT_EQ(ReadSetting("Four"), "aaa" + emoji.repeated(31));
    const QString big(100 * 1024, 'x');
    WriteSetting("Huge", big);
    EXPECT_EQ(ReadSetting("Huge"), QString(127, 'x'));
    EXPECT_EQ(ReadIni("Setting", "Huge", ini).size(), 127);
}

TEST_F(ConfigTest, NoCharacterIsLostAndGbkFilesReadAsTheyAre) {
    const QString text = QString::fromUtf8("中文·€ 繁體 한국어");
    WriteSetting("Mess", text);
    EXPECT_EQ(ReadSetting("Mess"), text);
    // A GBK file written elsewhere: "中文" is D6 D0 CE C4.
    spit(ini, "[Setting]\r\nMess=\xD6\xD0\xCE\xC4\r\n");
    EXPECT_EQ(ReadSetting("Mess"), QString::fromUtf8("中文"));
    // A file saved as utf-8 with a byte-order mark stays utf-8.
    spit(ini, "\xEF\xBB\xBF[Setting]\r\nMess=\xE4\xB8\xAD\xE6\x96\x87\r\n");
    EXPECT_EQ(ReadSetting("Mess"), QString::fromUtf8("中文"));
    WriteSetting("Other", QString::fromUtf8("文"));
    EXPECT_EQ(slurp(ini),
              "\xEF\xBB\xBF[Setting]\r\nMess=\xE4\xB8\xAD\xE6\x96\x87\r\nOther=\xE6\x96\x87\r\n");
    // 127 bytes in the code page either way: 63 characters of two bytes each.
    const QString long_(100, QChar(0x4E2D));
    WriteSetting("Long", long_);
    EXPECT_EQ(ReadSetting("Long"), long_.left(63));
}

TEST_F(ConfigTest, LineBreaksInAValueNeverReachTheFile) {
    WriteSetting("A", "1");
    WriteSetting("Mess", "line one\r\nline two\n[Setting]\nA=evil");
    EXPECT_EQ(ReadSetting("A"), "1");
    EXPECT_EQ(ReadSetting("Mess"), "line one line two [Setting] A=evil");
}

TEST_F(ConfigTest, MissingFolderAndReadOnlyFileFailSilently) {
    const QString nowhere = dir.filePath("missing/config.ini");
    EXPECT_FALSE(WriteIni("S", "K", "v", nowhere));
    EXPECT_FALSE(QDir(dir.filePath("missing")).exists());
    EXPECT_EQ(ReadIni("S", "K", nowhere), "");

    spit(ini, "[Setting]\r\nZoom=100\r\n");
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadUser);
    EXPECT_EQ(WriteIni("Setting", "Zoom", "150", ini).error, "没有写入权限");
    EXPECT_EQ(slurp(ini), "[Setting]\r\nZoom=100\r\n");
    EXPECT_EQ(ReadSetting("Zoom"), "100");
}

TEST_F(ConfigTest, HostileFilesReadWithoutHarm) {
    // Random bytes: reading gives text, writing keeps the bytes and adds the key.
    QByteArray noise;
    std::srand(3);
    for (int i = 0; i < 64 * 1024; ++i) noise.append(char(std::rand()));
    noise.replace('\r', 'x').replace('\n', 'y').replace('[', 'z');  // one long junk line
    spit(ini, noise);
    EXPECT_EQ(ReadSetting("Zoom"), "");
    WriteSetting("Zoom", "150");
    const QByteArray after = slurp(ini);
    EXPECT_TRUE(after.startsWith(noise));
    EXPECT_EQ(ReadSetting("Zoom"), "150");

    // A 10 MB file with the key at the very end.
    QByteArray big = "[Setting]\r\n";
    while (big.size() < 10 * 1024 * 1024) big.append("Filler=0123456789012345678901234567890\r\n");
    big.append("Zoom=200\r\n");
    spit(ini, big);
    EXPECT_EQ(ReadSetting("Zoom"), "200");
    WriteSetting("Zoom", "250");
    EXPECT_EQ(slurp(ini).size(), big.size());
    EXPECT_EQ(ReadSetting("Zoom"), "250");

    // A NUL inside a value ends it, as a C string would.
    spit(ini, QByteArray("[Setting]\r\nZoom=1\0"
                         "50\r\n",
                         19));
    EXPECT_EQ(ReadSetting("Zoom"), "1");
}

// A new file is the user's alone, a rewritten one keeps its mode, and nothing is left beside.
TEST_F(ConfigTest, WritesKeepTheModeAndLeaveNoTemporaryFilesBehind) {
    for (int i = 0; i < 20; ++i) WriteSetting("K", QString::number(i));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"config.ini"});
    EXPECT_EQ(ModeOf(ini), 0600);
    ::chmod(QFile::encodeName(ini).constData(), 0644);
    WriteSetting("K", "x");
    EXPECT_EQ(ModeOf(ini), 0644);
}

// A write the disk stops part way (a size limit here, as a full disk would) renames nothing:
// the old file stays byte for byte and its temporary file goes.
TEST_F(ConfigTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    spit(ini, "[Setting]\r\nZoom=100\r\n");
    rlimit was{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &was), 0);
    rlimit small = was;
    small.rlim_cur = 4096;
    const auto onExcess = std::signal(SIGXFSZ, SIG_IGN);  // EFBIG instead of an end
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const WriteResult written = WriteFileWhole(ini, QByteArray(64 * 1024, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &was);
    std::signal(SIGXFSZ, onExcess);
    EXPECT_FALSE(written);
    EXPECT_EQ(slurp(ini), "[Setting]\r\nZoom=100\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"config.ini"});
}

TEST(NumbersTest, SettingsReadAsNumbers) {
    bool ok = true;
    EXPECT_EQ(config::toNumber(" 1 ", &ok), 1);
    EXPECT_TRUE(ok);
    config::toNumber("", &ok);
    EXPECT_FALSE(ok);
    config::toNumber("8点", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(config::numberOrZero("abc"), 0);
    EXPECT_EQ(config::numberOrZero("-1"), -1);
    EXPECT_EQ(config::leadingNumber("8点"), 8);
    EXPECT_EQ(config::leadingNumber("150abc"), 150);
    EXPECT_EQ(config::leadingNumber(" 12.5%"), 12.5);
    EXPECT_EQ(config::leadingNumber("x1"), 0);
    EXPECT_EQ(config::leadingNumber(""), 0);
}

TEST(IniTool, GetAndSetFromTheCommandLine) {
    QTemporaryDir dir;
    const QString file = dir.filePath("config.ini");
    spit(file, "[Setting]\r\nZoom=\"150\"\r\nMess=\xD6\xD0\xCE\xC4\r\n");
    auto run = [](const QStringList &args, QByteArray *out = nullptr) {
        QProcess p;
        p.start(OLUMETTA_INI_TOOL, args);
        p.waitForFinished(10000);
        if (out) *out = p.readAllStandardOutput();
        return p.exitCode();
    };
    QByteArray out;
    EXPECT_EQ(run({"get", file, "setting", "zoom"}, &out), 0);
    EXPECT_EQ(out, "150\n");
    EXPECT_EQ(run({"get", file, "Setting", "Mess"}, &out), 0);
    EXPECT_EQ(out, "中文\n");
    EXPECT_EQ(run({"get", file, "Setting", "Absent"}, &out), 0);
    EXPECT_EQ(out, "\n");
    EXPECT_EQ(run({"set", file, "Setting", "Zoom", "200"}), 0);
    EXPECT_EQ(slurp(file), "[Setting]\r\nZoom=200\r\nMess=\xD6\xD0\xCE\xC4\r\n");
    EXPECT_EQ(run({"get", file, "Setting"}), 2);
    EXPECT_EQ(run({"frobnicate"}), 2);
    EXPECT_EQ(run({}), 2);
}

// The table holds every key the shipped config.ini holds, in its section, with the shipped
// value, and nothing the file lacks; each flag reads as its Part says.
TEST(SettingsTableTest, MatchesTheShippedFileAndReadsFlagsByTheirRules) {
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(OLUMETTA_TEMPLATE_DIR "/config.ini"), dir.filePath("config.ini"));
    UseFolder use(dir.path());
    QSet<QString> shipped;
    QString section;
    QFile file(dir.filePath("config.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith('['))
            section = line.mid(1, line.size() - 2);
        else if (line.contains('='))
            shipped << section + "/" + line.left(line.indexOf('='));
    }
    QSet<QString> listed;
    for (const settings::Entry &e : settings::Table()) {
        if (e.shipped) listed << QString("%1/%2").arg(e.section, e.name);
        EXPECT_EQ(&settings::EntryOf(e.key), &e) << e.name;
        EXPECT_EQ(settings::Text(e.key), QString::fromUtf8(e.shipped)) << e.name;
        EXPECT_EQ(e.kind == settings::Kind::Flag, e.rule != settings::Rule::None) << e.name;
    }
    EXPECT_EQ(listed, shipped);

    using settings::Rule;
    const struct {
        Rule rule;
        const char *text;
        bool on;
    } cases[] = {{Rule::TextIsOne, "1", true},       {Rule::TextIsOne, "1.0", false},
                 {Rule::NumberIsOne, " 1.0 ", true}, {Rule::NumberIsOne, "", false},
                 {Rule::NumberIsNotZero, "", false}, {Rule::NumberIsNotZero, "0.0", false},
                 {Rule::NumberIsNotZero, "2", true}, {Rule::OneOrUnreadable, "", true},
                 {Rule::OneOrUnreadable, "x", true}, {Rule::OneOrUnreadable, "0", false},
                 {Rule::TextIsNotZero, "", true},    {Rule::TextIsNotZero, "0", false}};
    for (const auto &c : cases) EXPECT_EQ(settings::FlagFromText(c.rule, c.text), c.on) << c.text;

    settings::Write(settings::Key::StBar, false);
    EXPECT_EQ(ReadSetting("StBar"), "0");
    settings::Write(settings::Key::Zoom, 150);
    EXPECT_EQ(settings::Leading(settings::Key::Zoom), 150);
}

TEST(ConfigEdgesTest, NumbersBeyondAnIntAreHeldAtItsEnds) {
    EXPECT_EQ(config::leadingInt("150%"), 150);
    EXPECT_EQ(config::leadingInt("-2.5"), -3);
    EXPECT_EQ(config::leadingInt("1e10"), INT_MAX);
    EXPECT_EQ(config::leadingInt("-1.5e31,1,1"), INT_MIN);
    EXPECT_EQ(config::saturatedInt(std::nan("")), 0);
    EXPECT_EQ(config::saturatedAdd(INT_MAX, 50), INT_MAX);
    EXPECT_EQ(config::saturatedAdd(INT_MIN, -50), INT_MIN);
}

TEST(ConfigEdgesTest, ADamagedFileIsToldApartAndStaleTemporariesGo) {
    QTemporaryDir dir;
    const QString path = dir.filePath("config.ini");
    auto write = [&](const QByteArray &bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    EXPECT_TRUE(config::configDamaged(path));  // missing
    for (const QByteArray &bad : {QByteArray(), QByteArray("\x8f\x01\xff garbage\x00\x13", 12),
                                  QByteArray("[Theme]\r\nTheme=a.ini\r\n")}) {
        write(bad);
        EXPECT_TRUE(config::configDamaged(path)) << bad.toHex().constData();
    }
    for (const QByteArray &good : {QByteArray("[Setting]\r\nMouse=1\r\n"),
                                   QByteArray("\xEF\xBB\xBF; c\r\n [ SETTING ]\r\n")}) {
        write(good);
        EXPECT_FALSE(config::configDamaged(path)) << good.constData();
    }
    QFile::remove(path);
    ASSERT_TRUE(QDir(dir.path()).mkdir("config.ini"));
    EXPECT_TRUE(config::configDamaged(path));  // a folder

    for (const char *name : {"config.ini.Ab12Cd", "Form.ini.xY9z0Q", "a.zvb.QWERTY",
                             "session.dat.olw-k3z9", "config.ini.Ab12C", "notes.txt.Ab12Cd"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    config::removeStaleTemporaries(dir.path());
    QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left, (QStringList{"config.ini", "config.ini.Ab12C", "notes.txt.Ab12Cd"}));
}

// An installed program: its folder is the user's, made from the template once and only
// completed later; a folder beside the binary with its own config.ini stays the folder.
TEST(ProgramFolderTest, AnInstalledProgramFillsTheUsersFolderWithoutReplacingAnything) {
    QTemporaryDir root;
    const QString bin = root.filePath("usr/bin"), shared = root.filePath("usr/share/olumetta");
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(shared + "/皮肤/默认"));
    EXPECT_EQ(programfolder::InstalledTemplate(bin), "");
    spit(shared + "/config.ini", "[Setting]\r\nHomePage=shipped\r\n");
    spit(shared + "/皮肤/默认/tb1.png", "picture");
    QFile::setPermissions(shared + "/config.ini", QFile::ReadOwner | QFile::ReadOther);
    EXPECT_EQ(programfolder::InstalledTemplate(bin), shared + "/");
    spit(bin + "/config.ini", "[Setting]\r\n");  // a program folder of its own
    EXPECT_EQ(programfolder::InstalledTemplate(bin), "");

    const QString user = root.filePath("home/.local/share/olumetta/");
    ASSERT_TRUE(QDir().mkpath(user));
    spit(user + "config.ini", "[Setting]\r\nHomePage=mine\r\n");
    EXPECT_TRUE(programfolder::FillFromTemplate(shared + "/", user));
    EXPECT_EQ(slurp(user + "config.ini"), "[Setting]\r\nHomePage=mine\r\n");
    EXPECT_EQ(slurp(user + "皮肤/默认/tb1.png"), "picture");
    QFile::remove(user + "config.ini");  // a lost file comes back from the template
    EXPECT_TRUE(programfolder::FillFromTemplate(shared + "/", user));
    EXPECT_EQ(slurp(user + "config.ini"), "[Setting]\r\nHomePage=shipped\r\n");
    EXPECT_EQ(ModeOf(user + "config.ini"), 0600);  // the user's alone, in a folder of theirs
    EXPECT_EQ(ModeOf(user), 0700);
    EXPECT_FALSE(QFileInfo::exists(user + "config.ini.new"));

    qputenv("XDG_DATA_HOME", "relative/data");  // to be ignored, as the rules say
    EXPECT_EQ(programfolder::UserFolder(), QDir::homePath() + "/.local/share/olumetta/");
    qputenv("XDG_DATA_HOME", root.filePath("data").toUtf8());
    EXPECT_EQ(programfolder::UserFolder(), root.filePath("data") + "/olumetta/");
    qunsetenv("XDG_DATA_HOME");
}
