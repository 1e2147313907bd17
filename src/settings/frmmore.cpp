#include "frmmore.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/settings.h"
#include "platform/dialogs.h"
#include "platform/platform.h"

frmMore::frmMore(Platform &platform, QWidget *parent) : QDialog(parent), platform_(platform) {
    setObjectName(QStringLiteral("frmMore"));
    setWindowTitle(QStringLiteral("更多设置"));
    auto *intro = new QLabel(QStringLiteral("清除浏览器保存的以下数据："), this);
    chkHistory = new QCheckBox(QStringLiteral("浏览历史记录（访问过的链接、前进后退列表）"), this);
    chkHistory->setObjectName(QStringLiteral("chkHistory"));
    chkCache = new QCheckBox(QStringLiteral("缓存的网页和图片"), this);
    chkCache->setObjectName(QStringLiteral("chkCache"));
    chkCookies = new QCheckBox(QStringLiteral("Cookie（清除后需要重新登录网站）"), this);
    chkCookies->setObjectName(QStringLiteral("chkCookies"));
    chkHistory->setChecked(true);
    cmdClear = new QPushButton(QStringLiteral("清除(&D)"), this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdClose = new QPushButton(QStringLiteral("关闭"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    // Tabs beyond the number rest out of memory, the least recently used first; with none,
    // only while the machine runs short of memory.
    txtTabs = new QSpinBox(this);
    txtTabs->setObjectName(QStringLiteral("txtTabs"));
    txtTabs->setRange(0, 999);
    txtTabs->setSpecialValueText(QStringLiteral("不限（内存不足时才释放）"));
    txtTabs->setValue(qMax(0, settings::Leading(settings::Key::TabsInMemory)));
    connect(txtTabs, &QSpinBox::valueChanged, this,
            [](int n) { settings::Write(settings::Key::TabsInMemory, n); });
    auto *tabsRow = new QHBoxLayout;
    tabsRow->addWidget(new QLabel(QStringLiteral("内存中最多保留的选项卡："), this));
    tabsRow->addWidget(txtTabs);
    tabsRow->addStretch(1);
    auto *tabsNote =
        new QLabel(QStringLiteral("其余后台选项卡会暂时释放内存，点击即可恢复。"), this);
    tabsNote->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdClear);
    buttons->addWidget(cmdClose);
    auto *column = new QVBoxLayout(this);
    column->addWidget(intro);
    for (QCheckBox *c : {chkHistory, chkCache, chkCookies}) {
        column->addWidget(c);
        connect(c, &QCheckBox::toggled, this, [this] {
            cmdClear->setEnabled(chkHistory->isChecked() || chkCache->isChecked() ||
                                 chkCookies->isChecked());
        });
    }
    column->addSpacing(8);
    column->addLayout(tabsRow);
    column->addWidget(tabsNote);
    column->addSpacing(8);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
    connect(cmdClear, &QPushButton::clicked, this, &frmMore::cmdClear_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

void frmMore::cmdClear_Click() {
    int what = 0;
    QStringList names;
    if (chkHistory->isChecked()) what |= Platform::History, names << QStringLiteral("浏览历史记录");
    if (chkCache->isChecked()) what |= Platform::Cache, names << QStringLiteral("缓存");
    if (chkCookies->isChecked()) what |= Platform::Cookies, names << QStringLiteral("Cookie");
    if (!what) return;
    if (what & Platform::History) platform_.ClearTracks();
    if (what & ~Platform::History) platform_.ClearBrowsingData(what & ~Platform::History);
    platform_.dialogs().MsgBox(this, QStringLiteral("已清除：") + names.join(QStringLiteral("、")),
                               QStringLiteral("更多设置"), Dialogs::Information);
    accept();
}
