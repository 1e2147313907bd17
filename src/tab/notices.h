#pragma once
// What a tab shows when the engine needs the user: a panel over the page (its process died,
// its certificate is not to be trusted) and a bar above it (a feature the page asks for).
#include <QWidget>
#include <functional>
#include <optional>

class PermissionMemory;
class QLabel;
class QPushButton;
class QHBoxLayout;

// Covers the page with a title, a few lines and buttons; hidden until asked. A notice asked for
// while another is up waits for its answer.
class NoticePanel : public QWidget {
    Q_OBJECT
  public:
    explicit NoticePanel(QWidget *parent);
    struct Button {
        QString caption;
        std::function<void()> run;  // the panel hides first
    };
    void showNotice(const QString &title, const QString &text, const QList<Button> &buttons);
    void dismiss();  // this notice and those waiting: a new page came
    QLabel *lblTitle, *lblText;
    QList<QPushButton *> buttons;

  private:
    struct Notice {
        QString title, text;
        QList<Button> buttons;
    };
    void present(const Notice &notice);
    QHBoxLayout *row_;
    QList<Notice> waiting_;
};

// "<site> 想要显示通知" with 允许 / 拒绝; closing it denies.
class PermissionBar : public QWidget {
    Q_OBJECT
  public:
    // memory: the session's answers, where this bar's answer is kept.
    PermissionBar(QWidget *parent, PermissionMemory &memory);
    void ask(const QString &origin, int feature, const QString &what);
    QLabel *lblAsk;
    QPushButton *cmdAllow, *cmdDeny, *cmdClose;

  signals:
    void Answered(const QString &origin, int feature, bool allowed);

  private:
    struct Question {
        QString origin;
        int feature = 0;
        QString what;
    };
    void present(const Question &question);
    void answer(bool allowed);
    Question asked_;
    QList<Question> waiting_;  // asked while another was up: each in turn
    PermissionMemory &memory_;
};
