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
#include "skins/colour.h"

using settingform::Control;
using settingform::Field;

namespace {

const QString kAskForKey = QStringLiteral("请按键...");
const QSize kPreview(170, 40);

template <typename W>
W *named(W *w, const QString &name) {
    w->setObjectName(name);
    return w;
}

// A password box: "*" for each character, no input method.
QLineEdit *passwordBox(QWidget *parent, const QString &name) {
    auto *e = named(new QLineEdit(parent), name);
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    e->setAttribute(Qt::WA_InputMethodEnabled, false);
    return e;
}

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
    : QDialog(parent), platform_(platform), registerBrowser_(std::move(registerBrowser)) {
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
    ssSet->addWidget(buildProgramPage());
    ssSet->addWidget(buildPrivatePage());
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
    txtPsw = passwordBox(picPassCore, QStringLiteral("txtPsw"));
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

QWidget *frmSetting::buildProgramPage() {
    auto *page = named(new QWidget, QStringLiteral("ssSet0"));
    auto *home = new QGroupBox(QStringLiteral("浏览器主页："), page);
    txtHome = named(new QLineEdit(home), QStringLiteral("txtHome"));
    chkHome = named(new QCheckBox(QStringLiteral("使用内置主页"), home), QStringLiteral("chkHome"));
    auto *homeRow = new QHBoxLayout(home);
    homeRow->addWidget(txtHome, 1);
    homeRow->addWidget(chkHome);

    auto *start = new QGroupBox(QStringLiteral("启动时："), page);
    auto *openGroup = new QButtonGroup(start);
    for (int i = 0; i < 2; ++i) {
        optOpen[i] = named(
            new QRadioButton(
                i == 0 ? QStringLiteral("打开主页") : QStringLiteral("打开最后关闭的网页"), start),
            QStringLiteral("optOpen%1").arg(i));
        openGroup->addButton(optOpen[i]);
    }
    optOpen[0]->setChecked(true);
    auto check = [](QWidget *parent, const char *caption, const char *name) {
        return named(new QCheckBox(QString::fromUtf8(caption), parent), QLatin1String(name));
    };
    chkOpenNav = check(start, "打开导航", "chkOpenNav");
    chkUpdate = check(start, "自动检查更新", "chkUpdate");
    chkHistory = check(start, "自动删除历史记录", "chkHistory");
    chkUnload = check(start, "在关闭多个标签时提醒我", "chkUnload");
    chkAutoSet = check(start, "启动时检查默认浏览器", "chkAutoSet");
    chkAuto = check(start, "使用内置下载管理器", "chkAuto");
    chkAuto->setChecked(true);
    auto *startGrid = new QGridLayout(start);
    startGrid->addWidget(optOpen[0], 0, 0);
    startGrid->addWidget(optOpen[1], 0, 1);
    startGrid->addWidget(chkOpenNav, 1, 0);
    startGrid->addWidget(chkUpdate, 1, 1);
    startGrid->addWidget(chkHistory, 2, 0);
    startGrid->addWidget(chkUnload, 2, 1);
    startGrid->addWidget(chkAutoSet, 3, 0);
    startGrid->addWidget(chkAuto, 3, 1);

    auto *filter = new QGroupBox(QStringLiteral("过滤器："), page);
    chkUseF = check(filter, "使用过滤器", "chkUseF");
    const char *filterCaptions[3] = {"过滤涉及性内容的网页", "过滤涉及暴力、凶杀内容的网页",
                                     "过滤涉及以下内容的网页：(用分号隔开)"};
    auto *filterColumn = new QVBoxLayout(filter);
    filterColumn->addWidget(chkUseF);
    for (int i = 0; i < 3; ++i) {
        chkFilter[i] = named(new QCheckBox(QString::fromUtf8(filterCaptions[i]), filter),
                             QStringLiteral("chkFilter%1").arg(i));
        filterColumn->addWidget(chkFilter[i]);
    }
    txtFilter = named(new QPlainTextEdit(filter), QStringLiteral("txtFilter"));
    txtFilter->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtFilter->setTabChangesFocus(true);
    txtFilter->setFixedHeight(txtFilter->fontMetrics().lineSpacing() * 3 + 12);
    filterColumn->addWidget(txtFilter);

    cmdMore = named(new QPushButton(QStringLiteral("更多设置")), QStringLiteral("cmdMore"));
    cmdSetBrw =
        named(new QPushButton(QStringLiteral("设置为默认浏览器")), QStringLiteral("cmdSetBrw"));
    auto *more = new QHBoxLayout;
    more->addWidget(cmdMore);
    more->addStretch(1);
    more->addWidget(cmdSetBrw);
    for (QPushButton *b : {cmdMore, cmdSetBrw}) b->setAutoDefault(false);
    connect(cmdMore, &QPushButton::clicked, this, [this] { frmMore(platform_, this).exec(); });
    connect(cmdSetBrw, &QPushButton::clicked, this, [this] {
        if (registerBrowser_) registerBrowser_();
        cmdSetBrw->setEnabled(false);
    });

    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(12, 8, 12, 4);
    column->addWidget(home);
    column->addWidget(start);
    column->addWidget(filter);
    column->addLayout(more);
    column->addStretch(1);
    for (QCheckBox *c : {chkHome, chkUseF})
        connect(c, &QCheckBox::toggled, this, &frmSetting::updateEnabling);
    return page;
}

QWidget *frmSetting::buildPrivatePage() {
    auto *page = named(new QWidget, QStringLiteral("ssSet1"));
    auto *search = new QGroupBox(QStringLiteral("搜索引擎："), page);
    auto *searchGroup = new QButtonGroup(search);
    auto *searchRow = new QHBoxLayout(search);
    const char *engines[3] = {"百度", "Google", "Bing"};
    for (int i = 0; i < 3; ++i) {
        optSearch[i] = named(new QRadioButton(QString::fromUtf8(engines[i]), search),
                             QStringLiteral("optSearch%1").arg(i));
        searchGroup->addButton(optSearch[i]);
        searchRow->addWidget(optSearch[i]);
    }
    searchRow->addStretch(1);

    auto *hide = new QGroupBox(QStringLiteral("SuperHide："), page);
    auto *hideGroup = new QButtonGroup(hide);
    const char *pictures[4] = {"搜狗拼音输入法(默认)", "微软拼音输入法 2003", "智能ABC",
                               "自定义："};
    auto *hideGrid = new QGridLayout(hide);
    for (int i = 0; i < 4; ++i) {
        optSH[i] = named(new QRadioButton(QString::fromUtf8(pictures[i]), hide),
                         QStringLiteral("optSH%1").arg(i));
        hideGroup->addButton(optSH[i]);
        hideGrid->addWidget(optSH[i], i, 0);
    }
    // The disguise as it will look, beside the built-in choices; the custom one's preview
    // beside its option.
    picInput = named(new QLabel(hide), QStringLiteral("picInput"));
    picInput->setPixmap(DisguisePicture(disguise::Picture::Pinyin));
    hideGrid->addWidget(picInput, 0, 1, 3, 1, Qt::AlignLeft | Qt::AlignVCenter);
    imgCustom = named(new QLabel(hide), QStringLiteral("imgCustom"));
    imgCustom->setFixedSize(kPreview);
    imgCustom->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    hideGrid->addWidget(imgCustom, 3, 1);
    hideGrid->setColumnStretch(1, 1);
    for (int i = 0; i < 3; ++i)
        connect(optSH[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) picInput->setPixmap(DisguisePicture(disguise::Picture(i)));
        });
    connect(optSH[3], &QRadioButton::clicked, this, &frmSetting::chooseCustomPicture);

    auto *keys = new QGroupBox(QStringLiteral("快捷键："), page);
    cmdKey = named(new QPushButton(QStringLiteral("设置(&S)"), keys), QStringLiteral("cmdKey"));
    cmdKey->setAutoDefault(false);
    cmdKey->setMinimumWidth(90);
    cmdKey->installEventFilter(this);
    connect(cmdKey, &QPushButton::clicked, this, [this] {
        askingForKey_ = true;
        showRestoreKey();
    });
    auto *keyRow = new QHBoxLayout(keys);
    keyRow->addWidget(new QLabel(QStringLiteral("伪装后按此键恢复："), keys));
    keyRow->addWidget(cmdKey);
    keyRow->addStretch(1);

    auto *password = new QGroupBox(QStringLiteral("密码设置："), page);
    txtPass = passwordBox(password, QStringLiteral("txtPass"));
    txtPass->setPlaceholderText(QStringLiteral("新密码（留空则不修改）"));
    chkPass[0] = named(new QCheckBox(QStringLiteral("启动时使用密码保护"), password),
                       QStringLiteral("chkPass0"));
    chkPass[1] = named(new QCheckBox(QStringLiteral("最小化时使用密码保护"), password),
                       QStringLiteral("chkPass1"));
    auto *passGrid = new QGridLayout(password);
    passGrid->addWidget(txtPass, 0, 0, 1, 2);
    passGrid->addWidget(chkPass[0], 1, 0);
    passGrid->addWidget(chkPass[1], 1, 1);

    chkOpenP = named(new QCheckBox(QStringLiteral("启用家长控制")), QStringLiteral("chkOpenP"));
    auto *parentRow = new QHBoxLayout;
    auto word = [parentRow](const char *text) {
        parentRow->addWidget(new QLabel(QString::fromUtf8(text)));
    };
    const char *days[7] = {"一", "二", "三", "四", "五", "六", "日"};
    for (int i = 0; i < 2; ++i) {
        cboWeek[i] = named(new QComboBox, QStringLiteral("cboWeek%1").arg(i));
        for (const char *d : days) cboWeek[i]->addItem(QString::fromUtf8(d));
        cboWeek[i]->setCurrentIndex(-1);
        txtTime[i] = named(new QLineEdit, QStringLiteral("txtTime%1").arg(i));
        txtTime[i]->setFixedWidth(
            txtTime[i]->fontMetrics().horizontalAdvance(QLatin1String("000")) + 16);
    }
    word("星期");
    parentRow->addWidget(cboWeek[0]);
    word("至");
    parentRow->addWidget(cboWeek[1]);
    word("的");
    parentRow->addWidget(txtTime[0]);
    word("点至");
    parentRow->addWidget(txtTime[1]);
    word("点限制上网");
    parentRow->addStretch(1);
    chkMess =
        named(new QCheckBox(QStringLiteral("到时间时使用以下提示：")), QStringLiteral("chkMess"));
    txtMess = named(new QPlainTextEdit, QStringLiteral("txtMess"));
    txtMess->setTabChangesFocus(true);
    txtMess->setFixedHeight(txtMess->fontMetrics().lineSpacing() * 2 + 12);
    connect(txtMess, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = txtMess->toPlainText();
        if (t.size() > settingform::kMessageLength) {
            txtMess->setPlainText(t.left(settingform::kMessageLength));
            txtMess->moveCursor(QTextCursor::End);
        }
    });
    auto *parents = new QVBoxLayout;
    parents->addWidget(chkOpenP);
    parents->addLayout(parentRow);
    parents->addWidget(chkMess);
    parents->addWidget(txtMess);
    connect(chkOpenP, &QCheckBox::toggled, this, &frmSetting::updateEnabling);

    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(12, 8, 12, 4);
    column->addWidget(search);
    column->addWidget(hide);
    column->addWidget(keys);
    column->addWidget(password);
    column->addLayout(parents);
    column->addStretch(1);
    return page;
}

bool frmSetting::isLocked() const {
    return layers_->currentWidget() == picPass;
}

void frmSetting::Load() {
    for (const Field &f : settingform::Fields()) {
        loadField(f, settings::Text(f.key));
        if (f.key == settings::Key::AutoSet && platform_.desktop().IsDefaultBrowser())
            cmdSetBrw->setEnabled(false);
    }
    updateEnabling();
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
            return txtMess->setPlainText(text.left(settingform::kMessageLength));
        case Control::Check:
            if (const auto on = settingform::CheckFromText(text))
                findChild<QCheckBox *>(name)->setChecked(*on);
            return;
        case Control::FilterBoxes:
            for (int i = 0; i < f.choices; ++i)
                if (const auto on = settingform::FilterBoxFromText(text, i))
                    chkFilter[i]->setChecked(*on);
            return;
        case Control::Option:
            if (const auto i = settingform::OptionFromText(text, f.choices))
                options(f).at(*i)->setChecked(true);
            return;
        case Control::List:
            if (const auto i = settingform::ListFromText(text, f.choices))
                findChild<QComboBox *>(name)->setCurrentIndex(*i);
            return;
        case Control::Picture:
            // Kept even when the picture will not show now: Apply must not lose it.
            customPicture_ = text;
            showCustomPicture(text);
            return;
        case Control::RestoreKey:
            restoreKey_ = text;
            showRestoreKey();
            return;
        case Control::NewPassword:
            txtPass->clear();
            return;
    }
}

std::optional<QString> frmSetting::storedField(const Field &f) const {
    const QString name = QLatin1String(f.control_name);
    switch (f.control) {
        case Control::Text:
            return textOf(findChild<QWidget *>(name));
        case Control::Message:
            return settingform::OneLine(txtMess->toPlainText());
        case Control::Check:
            return settingform::TextFromCheck(findChild<QCheckBox *>(name)->isChecked());
        case Control::FilterBoxes:
            return settingform::FilterFromBoxes(
                chkFilter[0]->isChecked(), chkFilter[1]->isChecked(), chkFilter[2]->isChecked());
        case Control::Option: {
            const QList<QRadioButton *> all = options(f);
            for (int i = 0; i < all.size(); ++i)
                if (all[i]->isChecked()) return QString::number(i);
            return std::nullopt;
        }
        case Control::List:
            return QString::number(findChild<QComboBox *>(name)->currentIndex());
        case Control::Picture:
            return customPicture_;
        case Control::RestoreKey:
            // Waiting for a key, or none ever given: what is stored stays.
            if (askingForKey_ || restoreKey_.isEmpty()) return std::nullopt;
            return restoreKey_;
        case Control::NewPassword:
            return settingform::StoredPassword(txtPass->text());
    }
    return std::nullopt;
}

bool frmSetting::cmdApply_Click() {
    if (!settingform::PasswordFits(txtPass->text())) {
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

void frmSetting::updateEnabling() {
    txtHome->setEnabled(!chkHome->isChecked());
    for (QWidget *w : {static_cast<QWidget *>(chkFilter[0]), static_cast<QWidget *>(chkFilter[1]),
                       static_cast<QWidget *>(chkFilter[2]), static_cast<QWidget *>(txtFilter)})
        w->setEnabled(chkUseF->isChecked());
    for (QWidget *w : {static_cast<QWidget *>(cboWeek[0]), static_cast<QWidget *>(cboWeek[1]),
                       static_cast<QWidget *>(txtTime[0]), static_cast<QWidget *>(txtTime[1]),
                       static_cast<QWidget *>(chkMess), static_cast<QWidget *>(txtMess)})
        w->setEnabled(chkOpenP->isChecked());
}

bool frmSetting::showCustomPicture(const QString &path) {
    const QPixmap picture(config::localPath(path));
    if (picture.isNull()) return false;
    imgCustom->setPixmap(
        picture.size().boundedTo(kPreview) == picture.size()
            ? picture
            : picture.scaled(kPreview, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return true;
}

void frmSetting::chooseCustomPicture() {
    const QString chosen = platform_.dialogs().ShowOpen(
        this, QStringLiteral("自定义..."),
        QStringLiteral("所有支持的图片文件|*.jpg;*.jpeg;*.gif;*.bmp;*.ico;*.png"));
    // Cancelled with a picture already chosen: that one stays.
    if (chosen.isEmpty() && !customPicture_.isEmpty()) return;
    if (chosen.isEmpty() || !showCustomPicture(chosen)) {
        optSH[0]->setChecked(true);
        return;
    }
    customPicture_ = chosen;
}

void frmSetting::showRestoreKey() {
    QString caption = askingForKey_ ? kAskForKey : restoreKey_;
    if (caption.isEmpty())
        caption = QStringLiteral("设置(&S)");
    else if (!askingForKey_)
        caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    cmdKey->setText(caption);
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
    if (watched == cmdKey) {
        const QString text = key->text();
        // Space and Enter still press the button; Tab still moves on.
        const bool character = text.size() >= 1 && text.at(0).isPrint() && !text.at(0).isSpace() &&
                               !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (character) {
            restoreKey_ = text;
            askingForKey_ = false;
            showRestoreKey();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
