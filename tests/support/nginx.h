#pragma once
// Debian's nginx on 127.0.0.1 with a minimal configuration of ours, serving a folder.
#include <QProcess>
#include <QTemporaryDir>

class Nginx {
  public:
    Nginx();
    ~Nginx();
    bool started() const { return started_; }
    QString root() const { return dir_.filePath("root"); }
    QString url(const QString &name) const;

  private:
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
    bool started_ = false;
};
