#pragma once
// The about box: a small picture fades in and vanishes, a larger one fades in and stays, and
// the program's name and version slide up into the middle. Every tick is about::Tick; the
// window only draws the state and drives the timer.
#include <QDialog>
#include <QPixmap>
#include <QTimer>

#include "animation.h"

class Desktop;
class QPushButton;

// The guestbook the feedback button opens, on a host of its own like the update check's.
constexpr const char *kFeedbackHost = "www.olumetta.cn";
QString FeedbackAddress();

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    frmAbout(Desktop &desktop, QWidget *parent = nullptr);
    const about::State &state() const { return state_; }
    void tick();  // one step of the animation, as the timer makes it

    QWidget *picShow;
    QPushButton *cmdResult, *Command1;

  private:
    friend class AboutStage;
    Desktop &desktop_;
    QPixmap picAlpha_[2];
    about::State state_;
    about::Sizes sizes_;
    QTimer timer_;
};

// The two pictures, drawn here: 75×72 and 340×150.
QPixmap AboutPicture(int index);
