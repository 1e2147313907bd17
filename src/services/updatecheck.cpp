#include "updatecheck.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include "core/filewriter.h"
#include "core/programfolder.h"
#include "core/textfiles.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/transfer.h"

namespace {

// The page, or nothing when it could not be fetched in time. The windows wait for it, as
// they would for any short blocking fetch, but take no input meanwhile.
std::optional<QByteArray> fetchPage(Platform &platform) {
    Transfer *t = platform.createTransfer(nullptr);
    QByteArray body;
    bool ok = false;
    QEventLoop loop;
    QObject::connect(t, &Transfer::DataAvailable,
                     [&] { body += t->GetChunk(t->BytesAvailable()); });
    QObject::connect(t, &Transfer::Finished, [&](bool good, const QString &) {
        body += t->GetChunk(t->BytesAvailable());
        ok = good && t->HttpStatus() < 400;
        loop.quit();
    });
    QTimer::singleShot(kUpdateTimeoutMs, &loop, &QEventLoop::quit);
    t->Execute(QUrl(QStringLiteral("http://%1%2")
                        .arg(QLatin1String(kUpdateHost), QLatin1String(kVersionPath))));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    t->Cancel();
    delete t;
    if (!ok) return std::nullopt;
    return body;
}

}  // namespace

int CheckForUpdate(Platform &platform, QWidget *parent,
                   const std::function<void(const QString &, const QString &)> &startDownload) {
    const QString ver = AppDir() + QStringLiteral("ver");
    const auto page = fetchPage(platform);
    if (!page) return -1;
    if (!WriteFileWhole(ver, *page)) return -1;
    const QStringList fields = ReadTextFile(ver).split(QLatin1Char(','));
    if (fields.size() < 3) return -1;
    int result = 0;
    if (IsNewer(PublishedVersion(fields), kProgramVersion)) {
        if (fields.size() < 6) return -1;
        result = 1;
        const auto answer = platform.dialogs().MsgBox(
            parent, UpdateQuestion(kProgramVersion, fields), QStringLiteral("新版本"),
            Dialogs::Information, Dialogs::YesNo);
        if (answer == Dialogs::AnswerYes)
            startDownload(AppDir() + QStringLiteral("Orvex Lumetta.zip"), fields[3]);
    }
    if (!QFile::remove(ver)) return -1;
    return result;
}

void CheckForUpdateAndSay(
    Platform &platform, QWidget *parent,
    const std::function<void(const QString &, const QString &)> &startDownload) {
    const int result = CheckForUpdate(platform, parent, startDownload);
    if (result == 0)
        platform.dialogs().MsgBox(parent, QStringLiteral("您的Telvano已是最新版本！"),
                                  QStringLiteral("更新"), Dialogs::Information);
    else if (result == -1)
        platform.dialogs().MsgBox(
            parent, QStringLiteral("检查更新中出现错误！请确保您的网络连通，然后再试一次。"),
            QStringLiteral("出错"), Dialogs::Exclamation);
}
