#pragma once
// A page's own question (alert, confirm, prompt, leaving the page) over that page alone: the
// rest of the frame works meanwhile, and a tab behind keeps its question until it is in front.
// open() shows it and Answered() tells when it is answered; exec() waits for that in an
// event loop of its own, for the questions the engine asks synchronously.
#include <QFrame>
#include <QPointer>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

class PageDialog : public QWidget {
    Q_OBJECT
  public:
    enum Kind { Alert, Confirm, Prompt, Login };
    // page: the widget the question covers. offerSilence: a page that asked before may be
    // told to ask no more.
    PageDialog(QWidget *page, Kind kind, const QString &title, const QString &text,
               const QString &value, bool offerSilence);
    void open();
    std::optional<QString> exec();
    // The text of a prompt (empty for the others) when answered with OK; none when cancelled
    // or when the page went away.
    std::optional<QString> answer() const;
    bool silenced() const;
    QString user() const;  // a login's
    QString password() const;
    void cancel();

  signals:
    void Answered();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void finish(bool ok);
    QFrame *card_;
    QLineEdit *value_ = nullptr;
    QLineEdit *user_ = nullptr, *password_ = nullptr;
    QCheckBox *silence_ = nullptr;
    QPushButton *ok_;
    std::optional<bool> answer_;
    QPointer<QWidget> focused_;  // where the keyboard is in the question
};
