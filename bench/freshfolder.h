#pragma once
// A bench's program folder: a fresh copy of the template beside the bench's program, the
// program folder of this process while it lives, so no list or session of an earlier run
// comes back.
#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "core/programfolder.h"

class FreshFolder : public ProgramFolderSource {
  public:
    // Says why on stderr, under the bench's name, when there is no template to copy.
    explicit FreshFolder(const char *bench) {
        const QString clean = QCoreApplication::applicationDirPath() + QStringLiteral("/template");
        ok_ = QFileInfo::exists(clean + QStringLiteral("/config.ini")) && dir_.isValid() &&
              programfolder::FillFromTemplate(clean, dir_.path());
        if (!ok_) std::fprintf(stderr, "%s: no program template at %s\n", bench, qPrintable(clean));
    }
    bool ok() const { return ok_; }
    QString path() const { return dir_.path(); }
    QString programFolder() const override { return dir_.path(); }

  private:
    QTemporaryDir dir_;
    bool ok_ = false;
};
