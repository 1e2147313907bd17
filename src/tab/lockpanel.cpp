#include "lockpanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/base64.h"
#include "core/settings.h"

LockPanel::LockPanel(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picPass"));
    setAutoFillBackground(true);
    hide();
}

void LockPanel::ensureBuilt() {
    if (picPassCore) return;
    picPassCore = new QWidget(this);
    picPassCore->setObjectName(QStringLiteral("picPassCore"));
    auto *col = new QVBoxLayout(picPassCore);
    col->setContentsMargins(24, 20, 24, 20);
    col->setSpacing(10);
    lblCant = new QLabel(QStringLiteral("您不能浏览该网页！"), picPassCore);
    QFont bold = lblCant->font();
    bold.setBold(true);
    bold.setPointSize(15);
    lblCant->setFont(bold);
    lblPass = new QLabel(QStringLiteral("请输入密码："), picPassCore);
    txtPass = new QLineEdit(picPassCore);
    txtPass->setObjectName(QStringLiteral("txtPass"));
    txtPass->setEchoMode(QLineEdit::Password);
    txtPass->setStyleSheet(
        QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));  // '*'
    txtPass->setAttribute(Qt::WA_InputMethodEnabled, false);
    txtPass->setMinimumWidth(240);
    cmdPass = new QPushButton(QStringLiteral("确认"), picPassCore);
    cmdPass->setObjectName(QStringLiteral("cmdPass"));
    auto *row = new QHBoxLayout;
    row->addWidget(txtPass, 1);
    row->addWidget(cmdPass);
    col->addWidget(lblCant);
    col->addWidget(lblPass);
    col->addLayout(row);
    picPassCore->adjustSize();
    picPassCore->show();
    connect(cmdPass, &QPushButton::clicked, this, &LockPanel::cmdPass_Click);
    connect(txtPass, &QLineEdit::returnPressed, this, &LockPanel::cmdPass_Click);
    applyColour();
    resizeEvent(nullptr);
}

void LockPanel::setColour(const QColor &c) {
    colour_ = c;
    QPalette p = palette();
    p.setColor(QPalette::Window, c);
    setPalette(p);
    applyColour();
}

void LockPanel::applyColour() {
    if (!picPassCore || !colour_.isValid()) return;
    picPassCore->setAttribute(Qt::WA_StyledBackground);
    picPassCore->setStyleSheet(
        QStringLiteral("#picPassCore { background: %1; border: 1px solid %2; border-radius: 8px; }")
            .arg(colour_.lighter(108).name(), colour_.darker(140).name()));
}

void LockPanel::cmdPass_Click() {
    ensureBuilt();
    if (!PasswordMatches(txtPass->text(), settings::Text(settings::Key::PassWord))) return;
    hide();
    txtPass->clear();
}

void LockPanel::resizeEvent(QResizeEvent *) {
    if (!picPassCore) return;
    picPassCore->move((width() - picPassCore->width()) / 2, (height() - picPassCore->height()) / 2);
}

void LockPanel::showEvent(QShowEvent *) {
    ensureBuilt();
    if (isVisibleTo(window())) txtPass->setFocus();
}
