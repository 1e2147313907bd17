#pragma once
// The small painted controls of the frame's chrome.
#include <QAbstractButton>
#include <QIcon>
#include <QPixmap>

// The icon of a tab whose page has none: a sheet with a folded corner. Drawn here: the
// style's own file icon costs a search of the icon themes while the first page starts.
QIcon BlankPageIcon();

// A toolbar button that is its picture: sized to it, pressed picture swapped in by the frame.
class PictureButton : public QAbstractButton {
    Q_OBJECT
  public:
    explicit PictureButton(QWidget *parent);
    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return picture_; }
    QSize sizeHint() const override;

  signals:
    void doubleClicked();

  protected:
    void paintEvent(QPaintEvent *) override;
    void mouseDoubleClickEvent(QMouseEvent *) override;
    void enterEvent(QEnterEvent *) override { update(); }
    void leaveEvent(QEvent *) override { update(); }

  private:
    QPixmap picture_;
};

// Close, maximise/restore and minimise: a coloured square with its glyph.
class CaptionButton : public QAbstractButton {
    Q_OBJECT
  public:
    enum Kind { Close, Adjust, Minimise };
    CaptionButton(Kind kind, QWidget *parent);
    QColor restColour() const;
    QColor backColour() const { return back_; }
    void setMaximisedGlyph(bool maximised);

  protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseReleaseEvent(QMouseEvent *) override;

  private:
    Kind kind_;
    QColor back_;
    bool maximised_ = false;
};

// The logo area: background picture, a line through the middle and two rings.
class LogoArea : public QWidget {
  public:
    explicit LogoArea(QWidget *parent);
    QPixmap background;
    QRect shape[2];  // pixels
    int lineY = 0;
    QColor border;

  protected:
    void paintEvent(QPaintEvent *) override;
};

// What the frame shows while no tab is open: how to open one. A double-click opens one.
class EmptyPage : public QWidget {
    Q_OBJECT
  public:
    explicit EmptyPage(QWidget *parent);

  signals:
    void newTabRequested();

  protected:
    void paintEvent(QPaintEvent *) override;
    void mouseDoubleClickEvent(QMouseEvent *) override;
};
