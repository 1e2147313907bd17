#pragma once
// The find bar above the status strip: what to find, the count "第 3 / 12 个", letter case.
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

class FindBar : public QWidget {
    Q_OBJECT
  public:
    explicit FindBar(QWidget *parent);
    void open();  // shown with its text selected, to type over
    void setColours(const QColor &background, const QColor &text);
    // The engine's count for the text now in the box.
    void showResult(int active, int total);
    QString text() const;
    bool matchCase() const;

    QLineEdit *txtFind;
    QLabel *lblCount;
    QCheckBox *chkCase;
    QToolButton *cmdPrevious, *cmdNext, *cmdClose;

  signals:
    void FindRequested(const QString &text, bool backward, bool matchCase);
    void Closed();  // the highlights are to go

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void find(bool backward);
};

// "第 3 / 12 个"; "无匹配" when there is none; nothing for an empty text.
QString FindCountText(const QString &text, int active, int total);
