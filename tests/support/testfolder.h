#pragma once
// A fresh copy of the clean program folder (build/template/) for each test, so no test sees
// another's state.
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "usefolder.h"

class TestFolder {
  public:
    // withBinary: also copy the program itself (for tests that start it as a process).
    explicit TestFolder(bool withBinary = false);
    ~TestFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString &relative) const { return dir_.filePath(relative); }
    QString binary() const { return file("olumetta"); }
    // Makes the store read and write this folder in-process.
    void useAsAppDir() const;

  private:
    QTemporaryDir dir_;
    mutable std::unique_ptr<UseFolder> use_;
};

QByteArray ReadBytes(const QString &path);
void WriteBytes(const QString &path, const QByteArray &bytes);
// The permission bits (07777), or -1 when there is no such file.
int ModeOf(const QString &path);

// Every file below root with its bytes, by its path there: two trees compared whole.
QMap<QString, QByteArray> FilesUnder(const QString &root);
