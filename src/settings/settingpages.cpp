#include "settingpages.h"

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
#include <QVBoxLayout>

#include "core/programfolder.h"
#include "frmmore.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "services/disguisepicture.h"
#include "settingfields.h"

using settingpage::named;

namespace {
const QString kAskForKey = QStringLiteral("请按键...");
const QSize kPreview(170, 40);
}  // namespace

QLineEdit *settingpage::passwordBox(QWidget *parent, const QString &name) {
    auto *e = named(new QLineEdit(parent), name);
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    e->setAttribute(Qt::WA_InputMethodEnabled, false);
    return e;
}

ProgramPage::ProgramPage(Platform &platform, std::function<void()> registerBrowser)
    : platform_(platform), registerBrowser_(std::move(registerBrowser)) {
    setObjectName(QStringLiteral("ssSet0"));
    QRadioButton *optOpen[2];
    QCheckBox *chkOpenNav, *chkUpdate, *chkHistory, *chkUnload, *chkAutoSet, *chkAuto;
    QPushButton *cmdMore;
    auto *home = new QGroupBox(QStringLiteral("浏览器主页："), this);
    txtHome = named(new QLineEdit(home), QStringLiteral("txtHome"));
    chkHome = named(new QCheckBox(QStringLiteral("使用内置主页"), home), QStringLiteral("chkHome"));
    auto *homeRow = new QHBoxLayout(home);
    homeRow->addWidget(txtHome, 1);
    homeRow->addWidget(chkHome);

    auto *start = new QGroupBox(QStringLiteral("启动时："), this);
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

    auto *filter = new QGroupBox(QStringLiteral("过滤器："), this);
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

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 8, 12, 4);
    column->addWidget(home);
    column->addWidget(start);
    column->addWidget(filter);
    column->addLayout(more);
    column->addStretch(1);
    for (QCheckBox *c : {chkHome, chkUseF})
        connect(c, &QCheckBox::toggled, this, &ProgramPage::updateEnabling);
}

void ProgramPage::setFilter(const QString &text) {
    for (int i = 0; i < 3; ++i)
        if (const auto on = settingform::FilterBoxFromText(text, i)) chkFilter[i]->setChecked(*on);
}

QString ProgramPage::filter() const {
    return settingform::FilterFromBoxes(chkFilter[0]->isChecked(), chkFilter[1]->isChecked(),
                                        chkFilter[2]->isChecked());
}

void ProgramPage::setRegistered() {
    cmdSetBrw->setEnabled(false);
}

void ProgramPage::updateEnabling() {
    txtHome->setEnabled(!chkHome->isChecked());
    for (QWidget *w : {static_cast<QWidget *>(chkFilter[0]), static_cast<QWidget *>(chkFilter[1]),
                       static_cast<QWidget *>(chkFilter[2]), static_cast<QWidget *>(txtFilter)})
        w->setEnabled(chkUseF->isChecked());
}

PrivatePage::PrivatePage(Platform &platform) : platform_(platform) {
    setObjectName(QStringLiteral("ssSet1"));
    QRadioButton *optSearch[3];
    QCheckBox *chkPass[2];
    auto *search = new QGroupBox(QStringLiteral("搜索引擎："), this);
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

    auto *hide = new QGroupBox(QStringLiteral("SuperHide："), this);
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
    connect(optSH[3], &QRadioButton::clicked, this, &PrivatePage::chooseCustomPicture);

    auto *keys = new QGroupBox(QStringLiteral("快捷键："), this);
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

    auto *password = new QGroupBox(QStringLiteral("密码设置："), this);
    txtPass = settingpage::passwordBox(password, QStringLiteral("txtPass"));
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
    connect(chkOpenP, &QCheckBox::toggled, this, &PrivatePage::updateEnabling);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 8, 12, 4);
    column->addWidget(search);
    column->addWidget(hide);
    column->addWidget(keys);
    column->addWidget(password);
    column->addLayout(parents);
    column->addStretch(1);
}

void PrivatePage::setMessage(const QString &text) {
    txtMess->setPlainText(text.left(settingform::kMessageLength));
}

QString PrivatePage::message() const {
    return settingform::OneLine(txtMess->toPlainText());
}

void PrivatePage::setPicture(const QString &path) {
    customPicture_ = path;
    showCustomPicture(path);
}

void PrivatePage::setRestoreKey(const QString &key) {
    restoreKey_ = key;
    askingForKey_ = false;
    showRestoreKey();
}

std::optional<QString> PrivatePage::restoreKey() const {
    if (askingForKey_ || restoreKey_.isEmpty()) return std::nullopt;
    return restoreKey_;
}

QString PrivatePage::newPassword() const {
    return txtPass->text();
}

void PrivatePage::clearPassword() {
    txtPass->clear();
}

void PrivatePage::updateEnabling() {
    for (QWidget *w : {static_cast<QWidget *>(cboWeek[0]), static_cast<QWidget *>(cboWeek[1]),
                       static_cast<QWidget *>(txtTime[0]), static_cast<QWidget *>(txtTime[1]),
                       static_cast<QWidget *>(chkMess), static_cast<QWidget *>(txtMess)})
        w->setEnabled(chkOpenP->isChecked());
}

bool PrivatePage::showCustomPicture(const QString &path) {
    const QPixmap picture(config::localPath(path));
    if (picture.isNull()) return false;
    imgCustom->setPixmap(
        picture.size().boundedTo(kPreview) == picture.size()
            ? picture
            : picture.scaled(kPreview, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return true;
}

void PrivatePage::chooseCustomPicture() {
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

void PrivatePage::showRestoreKey() {
    QString caption = askingForKey_ ? kAskForKey : restoreKey_;
    if (caption.isEmpty())
        caption = QStringLiteral("设置(&S)");
    else if (!askingForKey_)
        caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    cmdKey->setText(caption);
}

bool PrivatePage::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == cmdKey) {
        const QString text = key->text();
        // Space and Enter still press the button; Tab still moves on.
        const bool character = text.size() >= 1 && text.at(0).isPrint() && !text.at(0).isSpace() &&
                               !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (character) {
            setRestoreKey(text);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
