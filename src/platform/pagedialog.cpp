#include "pagedialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QEventLoop>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

PageDialog::PageDialog(QWidget *page, Kind kind, const QString &title, const QString &text,
                       const QString &value, bool offerSilence)
    : QWidget(page) {
    setObjectName(QStringLiteral("pageDialog"));
    // The page under it dims, as it waits for the answer.
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        QStringLiteral("#pageDialog { background: rgba(0, 0, 0, 70); }"
                       "#pageDialogCard { background: white; color: black;"
                       " border: 1px solid #8a94a6; border-radius: 6px; }"));
    card_ = new QFrame(this);
    card_->setObjectName(QStringLiteral("pageDialogCard"));
    auto *column = new QVBoxLayout(card_);
    column->setContentsMargins(18, 14, 18, 14);
    auto *heading = new QLabel(title, card_);
    heading->setTextFormat(Qt::PlainText);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto *message = new QLabel(QString(text).left(4000), card_);
    message->setTextFormat(Qt::PlainText);  // a page's words are never markup here
    message->setWordWrap(true);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(heading);
    column->addWidget(message);
    if (kind == Prompt) {
        value_ = new QLineEdit(value, card_);
        value_->selectAll();
        column->addWidget(value_);
    }
    if (kind == Login) {
        user_ = new QLineEdit(card_);
        password_ = new QLineEdit(card_);
        password_->setEchoMode(QLineEdit::Password);
        auto *form = new QFormLayout;
        form->addRow(QStringLiteral("用户名："), user_);
        form->addRow(QStringLiteral("密码："), password_);
        column->addLayout(form);
    }
    if (offerSilence) {
        silence_ = new QCheckBox(QStringLiteral("禁止此网页再显示对话框"), card_);
        column->addWidget(silence_);
    }
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    ok_ = new QPushButton(kind == Login ? QStringLiteral("登录") : QStringLiteral("确定"), card_);
    ok_->setDefault(true);
    row->addWidget(ok_);
    connect(ok_, &QPushButton::clicked, this, [this] { finish(true); });
    if (kind != Alert) {
        auto *cancel = new QPushButton(QStringLiteral("取消"), card_);
        row->addWidget(cancel);
        connect(cancel, &QPushButton::clicked, this, [this] { finish(false); });
    }
    column->addLayout(row);
    page->installEventFilter(this);
    setGeometry(page->rect());
    // The page may take the keyboard back as it goes on from an earlier question: while this
    // one waits, the keyboard stays where the user left it in the question.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (!now || answer_ || !isVisible()) return;
        if (isAncestorOf(now))
            focused_ = now;
        else if (focused_ && parentWidget()->isAncestorOf(now))
            focused_->setFocus(Qt::OtherFocusReason);
    });
}

bool PageDialog::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    // Its tab comes to the front: the keyboard goes back into the question, as it was left.
    if (watched == parent() && event->type() == QEvent::Show && !answer_ && focused_)
        QTimer::singleShot(0, focused_, [f = focused_] { f->setFocus(Qt::OtherFocusReason); });
    return QWidget::eventFilter(watched, event);
}

void PageDialog::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) return finish(false);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return finish(true);
    QWidget::keyPressEvent(event);
}

// Tab goes round the question's own fields, never out to the page it covers.
bool PageDialog::focusNextPrevChild(bool next) {
    QList<QWidget *> fields;
    for (QWidget *w : card_->findChildren<QWidget *>())
        if (w->isVisibleTo(this) && (w->focusPolicy() & Qt::TabFocus)) fields.append(w);
    if (fields.isEmpty()) return false;
    const int at = fields.indexOf(QApplication::focusWidget());
    const int n = int(fields.size());
    fields[at < 0 ? 0 : (at + (next ? 1 : n - 1)) % n]->setFocus(next ? Qt::TabFocusReason
                                                                      : Qt::BacktabFocusReason);
    return true;
}

void PageDialog::open() {
    const int width = qBound(260, parentWidget()->width() - 40, 460);
    card_->setFixedWidth(width);
    card_->adjustSize();
    card_->move((parentWidget()->width() - width) / 2, 24);
    show();
    raise();
    QWidget *first = value_ ? value_ : user_;
    focused_ = first ? first : ok_;
    focused_->setFocus(Qt::OtherFocusReason);
}

std::optional<QString> PageDialog::exec() {
    open();
    QEventLoop loop;
    connect(this, &PageDialog::Answered, &loop, &QEventLoop::quit);
    loop.exec();  // also ended when the program ends
    hide();
    return answer();
}

std::optional<QString> PageDialog::answer() const {
    if (!answer_.value_or(false)) return std::nullopt;
    return value_ ? value_->text() : QString();
}

QString PageDialog::user() const {
    return user_ ? user_->text() : QString();
}

QString PageDialog::password() const {
    return password_ ? password_->text() : QString();
}

bool PageDialog::silenced() const {
    return silence_ && silence_->isChecked();
}

void PageDialog::cancel() {
    finish(false);
}

void PageDialog::finish(bool ok) {
    if (answer_) return;
    answer_ = ok;
    // The keyboard goes back to the page, not on to whatever follows in the frame.
    if (isAncestorOf(QApplication::focusWidget())) parentWidget()->setFocus(Qt::OtherFocusReason);
    hide();
    emit Answered();
}
