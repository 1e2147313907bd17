#pragma once
// The boss key's disguise: a small borderless picture in the screen's bottom-right corner,
// above everything, that looks like an input method's status bar. Typing the restore
// character into it asks for the browser back.
#include <QPixmap>
#include <QWidget>

#include "services/disguisepicture.h"

class frmSH : public QWidget {
    Q_OBJECT
  public:
    explicit frmSH(QWidget *parent = nullptr);
    // Reads "SHKey", "SuperHide" and "SHCustom" afresh, takes its picture and its place.
    void Load();
    QString restoreCharacter() const { return restore_; }

  signals:
    void RestoreRequested();

  protected:
    void paintEvent(QPaintEvent *) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    QPixmap picture_;
    QString restore_;
};
