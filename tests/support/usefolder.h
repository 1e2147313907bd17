#pragma once
// A test's folder as the program folder while this lives.
#include <QString>

#include "core/programfolder.h"

class UseFolder : public ProgramFolderSource {
  public:
    explicit UseFolder(const QString &dir) : dir_(dir) {}
    QString programFolder() const override { return dir_; }

  private:
    QString dir_;
};
