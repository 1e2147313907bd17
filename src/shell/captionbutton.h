#pragma once
#include <QAbstractButton>
#include <QColor>

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
