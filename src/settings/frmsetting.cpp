#include "frmsetting.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "core/base64.h"
#include "core/programfolder.h"
#include "frmmore.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "services/disguisepicture.h"
#include "settingpages.h"
#include "skins/colour.h"

using settingform::Control;
using settingform::Field;

namespace {

using settingpage::named;

QString textOf(const QWidget *w) {
    if (auto *e = qobject_cast<const QLineEdit *>(w)) return e->text();
    return static_cast<const QPlainTextEdit *>(w)->toPlainText();
}

void setTextOf(QWidget *w, const QString &text) {
    if (auto *e = qobject_cast<QLineEdit *>(w)) return e->setText(text);
    static_cast<QPlainTextEdit *>(w)->setPlainText(text);
}

}  // namespace

frmSetting::frmSetting(Platform &platform, const Colours &colours,
                       std::function<void()> registerBrowser, QWidget *parent)
    : QDialog(parent), platform_(platform) {
    setObjectName(QStringLiteral("frmSetting"));
    setWindowTitle(QStringLiteral("程序设置"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    picCapt = named(new QWidget(this), QStringLiteral("picCapt"));
    SetBackground(picCapt, colours.strip);
    lblCapt = named(new QLabel(QStringLiteral("设置"), picCapt), QStringLiteral("lblCapt"));
    QFont big = lblCapt->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    lblCapt->setFont(big);
    QPalette captText = lblCapt->palette();
    // The frame's progress colour, deepened until it reads on the strip.
    captText.setColor(QPalette::WindowText, ReadableOn(colours.cover, colours.strip, 4.5));
    lblCapt->setPalette(captText);
    for (int i = 0; i < 2; ++i)
        optSet[i] = named(
            new QRadioButton(i == 0 ? QStringLiteral("程序") : QStringLiteral("私人"), picCapt),
            QStringLiteral("optSet%1").arg(i));
    optSet[0]->setChecked(true);
    auto *capt = new QHBoxLayout(picCapt);
    capt->setContentsMargins(14, 8, 14, 8);
    capt->addWidget(lblCapt);
    capt->addStretch(1);
    capt->addWidget(optSet[0]);
    capt->addWidget(optSet[1]);

    ssSet = named(new QStackedWidget(this), QStringLiteral("ssSet"));
    program_ = new ProgramPage(platform, std::move(registerBrowser));
    private_ = new PrivatePage(platform);
    ssSet->addWidget(program_);
    ssSet->addWidget(private_);
    for (int i = 0; i < 2; ++i)
        connect(optSet[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) ssSet->setCurrentIndex(i);
        });

    cmdOK = named(new QPushButton(QStringLiteral("确定(&O)")), QStringLiteral("cmdOK"));
    cmdApply = named(new QPushButton(QStringLiteral("应用(&A)")), QStringLiteral("cmdApply"));
    cmdCancel = named(new QPushButton(QStringLiteral("取消(&C)")), QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : {cmdOK, cmdApply, cmdCancel}) {
        b->setAutoDefault(false);  // Enter in a text box must not apply behind the user's back
        buttons->addWidget(b);
    }
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        if (cmdApply_Click()) accept();
    });
    connect(cmdApply, &QPushButton::clicked, this, &frmSetting::cmdApply_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *pages = new QWidget(this);
    auto *pagesColumn = new QVBoxLayout(pages);
    pagesColumn->setContentsMargins(0, 0, 0, 10);
    pagesColumn->addWidget(picCapt);
    pagesColumn->addWidget(ssSet, 1);
    auto *buttonRow = new QWidget(pages);
    buttonRow->setLayout(buttons);
    buttons->setContentsMargins(12, 0, 12, 0);
    pagesColumn->addWidget(buttonRow);

    layers_ = new QStackedWidget(this);
    layers_->addWidget(pages);
    layers_->addWidget(buildLockPanel(colours));
    layers_->setCurrentWidget(picPass);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->addWidget(layers_);

    Load();
    txtPsw->setFocus();
}

QWidget *frmSetting::buildLockPanel(const Colours &colours) {
    picPass = named(new QWidget(this), QStringLiteral("picPass"));
    SetBackground(picPass, colours.cover);
    picPassCore = named(new QWidget(picPass), QStringLiteral("picPassCore"));
    SetBackground(picPassCore, colours.cover);
    lblPass =
        named(new QLabel(QStringLiteral("请输入密码："), picPassCore), QStringLiteral("lblPass"));
    txtPsw = settingpage::passwordBox(picPassCore, QStringLiteral("txtPsw"));
    txtPsw->setMinimumWidth(220);
    txtPsw->installEventFilter(this);
    cmdPass =
        named(new QPushButton(QStringLiteral("确认"), picPassCore), QStringLiteral("cmdPass"));
    cmdPass->setAutoDefault(false);
    connect(cmdPass, &QPushButton::clicked, this, &frmSetting::cmdPass_Click);
    auto *core = new QVBoxLayout(picPassCore);
    core->addWidget(lblPass);
    auto *row = new QHBoxLayout;
    row->addWidget(txtPsw, 1);
    row->addWidget(cmdPass);
    core->addLayout(row);
    auto *centre = new QGridLayout(picPass);
    centre->addWidget(picPassCore, 1, 1);
    centre->setRowStretch(0, 1);
    centre->setRowStretch(2, 1);
    centre->setColumnStretch(0, 1);
    centre->setColumnStretch(2, 1);
    return picPass;
}

bool frmSetting::isLocked() const {
    return layers_->currentWidget() == picPass;
}

void frmSetting::Load() {
    for (const Field &f : settingform::Fields()) {
        loadField(f, settings::Text(f.key));
        if (f.key == settings::Key::AutoSet && platform_.desktop().IsDefaultBrowser())
            program_->setRegistered();
    }
    program_->updateEnabling();
    private_->updateEnabling();
}

QList<QRadioButton *> frmSetting::options(const Field &f) const {
    QList<QRadioButton *> out;
    for (int i = 0; i < f.choices; ++i)
        out << findChild<QRadioButton *>(QLatin1String(f.control_name) + QString::number(i));
    return out;
}

void frmSetting::loadField(const Field &f, const QString &text) {
    const QString name = QLatin1String(f.control_name);
    switch (f.control) {
        case Control::Text:
            return setTextOf(findChild<QWidget *>(name), text);
        case Control::Message:
            return private_->setMessage(text);
        case Control::Check:
            if (const auto on = settingform::CheckFromText(text))
                findChild<QCheckBox *>(name)->setChecked(*on);
            return;
        case Control::FilterBoxes:
            return program_->setFilter(text);
        case Control::Option:
            if (const auto i = settingform::OptionFromText(text, f.choices))
                options(f).at(*i)->setChecked(true);
            return;
        case Control::List:
            if (const auto i = settingform::ListFromText(text, f.choices))
                findChild<QComboBox *>(name)->setCurrentIndex(*i);
            return;
        case Control::Picture:
            return private_->setPicture(text);
        case Control::RestoreKey:
            return private_->setRestoreKey(text);
        case Control::NewPassword:
            return private_->clearPassword();
    }
}

std::optional<QString> frmSetting::storedField(const Field &f) const {
    const QString name = QLatin1String(f.control_name);
    switch (f.control) {
        case Control::Text:
            return textOf(findChild<QWidget *>(name));
        case Control::Message:
            return private_->message();
        case Control::Check:
            return settingform::TextFromCheck(findChild<QCheckBox *>(name)->isChecked());
        case Control::FilterBoxes:
            return program_->filter();
        case Control::Option: {
            const QList<QRadioButton *> all = options(f);
            for (int i = 0; i < all.size(); ++i)
                if (all[i]->isChecked()) return QString::number(i);
            return std::nullopt;
        }
        case Control::List:
            return QString::number(findChild<QComboBox *>(name)->currentIndex());
        case Control::Picture:
            return private_->picture();
        case Control::RestoreKey:
            return private_->restoreKey();
        case Control::NewPassword:
            return settingform::StoredPassword(private_->newPassword());
    }
    return std::nullopt;
}

bool frmSetting::cmdApply_Click() {
    if (!settingform::PasswordFits(private_->newPassword())) {
        platform_.dialogs().MsgBox(
            this,
            QStringLiteral("密码太长，无法保存。\r\n密码最长 %1 个字节：%1 个英文字母、数字或符号，"
                           "或 %2 个汉字。")
                .arg(settingform::kMaxPasswordBytes)
                .arg(settingform::kMaxPasswordBytes / 2),
            QStringLiteral("密码"), Dialogs::Exclamation);
        return false;
    }
    // Parental control with no last weekday would be stored as on and never block.
    if (findChild<QCheckBox *>(QStringLiteral("chkOpenP"))->isChecked() &&
        findChild<QComboBox *>(QStringLiteral("cboWeek1"))->currentIndex() < 0) {
        platform_.dialogs().MsgBox(this, QStringLiteral("请选择家长控制的最后一天（星期）。"),
                                   QStringLiteral("家长控制"), Dialogs::Exclamation);
        return false;
    }
    for (const Field &f : settingform::Fields()) {
        const auto value = storedField(f);
        if (!value) continue;
        // The dialog stays open with what was typed: nothing of it is lost.
        if (const WriteResult written = settings::Write(f.key, *value); !written) {
            platform_.dialogs().MsgBox(this, QStringLiteral("无法保存设置：") + written.error,
                                       QStringLiteral("错误"), Dialogs::Exclamation);
            return false;
        }
    }
    return true;
}

void frmSetting::tryUnlock(const QString &typed) {
    if (!PasswordMatches(typed, settings::Text(settings::Key::PassWord))) return;
    txtPsw->clear();
    layers_->setCurrentIndex(0);
    (optSet[0]->isChecked() ? optSet[0] : optSet[1])->setFocus();
}

void frmSetting::cmdPass_Click() {
    tryUnlock(txtPsw->text());
}

bool frmSetting::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == txtPsw && isLocked()) {
        // The text before this key: the password is confirmed by one more key.
        if (!key->text().isEmpty()) tryUnlock(txtPsw->text());
        if (!isLocked()) return true;  // the key that unlocked is not typed anywhere
        // Enter with a wrong password must not reach a button of the hidden pages.
        return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    }
    return QDialog::eventFilter(watched, event);
}
