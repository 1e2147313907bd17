#pragma once
// Downloads over real HTTP: the task fixture on a scripted platform, and what several of the
// download tests read back: a file's hash, what a server was asked for, a task's end.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QList>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "downloads/frmdownload.h"
#include "downloads/ucdownload.h"
#include "support/httpserver.h"
#include "support/scriptedplatform.h"

inline QByteArray sha256(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result().toHex();
}

inline void writeRandomFile(const QString &path, qint64 size) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QRandomGenerator gen{quint32(size)};
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 left = size; left > 0;) {
        const qint64 n = qMin<qint64>(left, block.size());
        gen.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        ASSERT_EQ(f.write(block.constData(), n), n);
        left -= n;
    }
}

// Where each ranged GET of the path asked to start.
inline QList<qint64> RangesAsked(const TestHttpServer &server, const QString &path) {
    QList<qint64> from;
    for (const QByteArray &head : server.requestHeads)
        if (head.startsWith("GET " + path.toUtf8() + ' ') && head.contains("Range: bytes="))
            from << head.mid(head.indexOf("Range: bytes=") + 13).split('-')[0].toLongLong();
    return from;
}

inline bool ended(const ucDownload *t) {
    const auto s = t->state();
    return s == ucDownload::State::Completed || s == ucDownload::State::Failed ||
           s == ucDownload::State::Stopped;
}

class DownloadsE2E : public ::testing::Test {
  protected:
    ucDownload *fetch(const QString &url, const QString &name) {
        const int before = manager.tasks().size();
        manager.NewDownload(dir.filePath(name), url);
        EXPECT_EQ(manager.tasks().size(), before + 1);
        return manager.tasks().last();
    }
    QByteArray pattern(int n) {
        QByteArray b(n, Qt::Uninitialized);
        for (int i = 0; i < n; ++i) b[i] = char(i * 13 + 1);
        return b;
    }
    ScriptedPlatform platform;
    frmDownload manager{platform};
    QTemporaryDir dir;
    TestHttpServer server;
};
