#include "notices.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/permissions.h"

NoticePanel::NoticePanel(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picNotice"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#picNotice { background: #f4f6f9; }"));
    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblNoticeTitle"));
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblText = new QLabel(this);
    lblText->setWordWrap(true);
    lblText->setTextFormat(Qt::PlainText);
    lblText->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblText->setFixedWidth(520);
    row_ = new QHBoxLayout;
    auto *column = new QVBoxLayout(this);
    column->addStretch(2);
    column->addWidget(lblTitle, 0, Qt::AlignHCenter);
    column->addWidget(lblText, 0, Qt::AlignHCenter);
    column->addSpacing(16);
    column->addLayout(row_);
    column->addStretch(3);
    hide();
}

void NoticePanel::showNotice(const QString &title, const QString &text,
                             const QList<Button> &wanted) {
    if (isHidden())
        present({title, text, wanted});
    else
        waiting_.append({title, text, wanted});
}

void NoticePanel::dismiss() {
    waiting_.clear();
    hide();
}

void NoticePanel::present(const Notice &notice) {
    while (QLayoutItem *item = row_->takeAt(0)) {  // the last notice's buttons and spacing
        delete item->widget();
        delete item;
    }
    buttons.clear();
    lblTitle->setText(notice.title);
    lblText->setText(notice.text);
    lblText->setFixedHeight(lblText->heightForWidth(lblText->width()));  // every line shows
    row_->addStretch(1);
    for (const Button &b : notice.buttons) {
        auto *button = new QPushButton(b.caption, this);
        button->setMinimumWidth(110);
        connect(button, &QPushButton::clicked, this, [this, run = b.run] {
            hide();
            run();
            if (isHidden() && !waiting_.isEmpty()) present(waiting_.takeFirst());
        });
        row_->addWidget(button);
        buttons << button;
    }
    row_->addStretch(1);
    show();
    raise();
    if (!buttons.isEmpty()) buttons.first()->setFocus();
}

PermissionBar::PermissionBar(QWidget *parent, PermissionMemory &memory)
    : QWidget(parent), memory_(memory) {
    setObjectName(QStringLiteral("picPermission"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        QStringLiteral("#picPermission { background: #fff6d6;"
                       " border-bottom: 1px solid #d9c27a; }"));
    lblAsk = new QLabel(this);
    lblAsk->setTextFormat(Qt::PlainText);
    cmdAllow = new QPushButton(QStringLiteral("允许"), this);
    cmdAllow->setObjectName(QStringLiteral("cmdAllow"));
    cmdDeny = new QPushButton(QStringLiteral("拒绝"), this);
    cmdDeny->setObjectName(QStringLiteral("cmdDeny"));
    cmdClose = new QPushButton(QStringLiteral("×"), this);
    cmdClose->setFlat(true);
    cmdClose->setToolTip(QStringLiteral("关闭（拒绝）"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 4, 6, 4);
    row->addWidget(lblAsk, 1);
    row->addWidget(cmdAllow);
    row->addWidget(cmdDeny);
    row->addWidget(cmdClose);
    connect(cmdAllow, &QPushButton::clicked, this, [this] { answer(true); });
    connect(cmdDeny, &QPushButton::clicked, this, [this] { answer(false); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { answer(false); });
    hide();
}

void PermissionBar::ask(const QString &origin, int feature, const QString &what) {
    const Question question{origin, feature, what};
    if (isHidden()) return present(question);
    const auto same = [&](const Question &q) { return q.origin == origin && q.feature == feature; };
    if (!same(asked_) && std::none_of(waiting_.cbegin(), waiting_.cend(), same))
        waiting_.append(question);  // one question at a time, none answered for the user
}

void PermissionBar::present(const Question &question) {
    asked_ = question;
    const QString host = QUrl(question.origin).host();
    lblAsk->setText((host.isEmpty() ? question.origin : host) + QStringLiteral(" 想要") +
                    question.what);
    show();
}

void PermissionBar::answer(bool allowed) {
    hide();
    memory_.remember(asked_.origin, asked_.feature, allowed);
    emit Answered(asked_.origin, asked_.feature, allowed);
    if (!waiting_.isEmpty()) present(waiting_.takeFirst());
}
