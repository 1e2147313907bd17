#include "frmaddfav.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/bookmarks.h"
#include "core/programfolder.h"
#include "platform/dialogs.h"

frmAddFav::frmAddFav(Dialogs &dialogs, QWidget *parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmAddFav"));
    setWindowTitle(QStringLiteral("添加书签"));
    setModal(true);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setHorizontalSpacing(8);
    imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    if (parent && !parent->windowIcon().isNull())
        imgIcon->setPixmap(parent->windowIcon().pixmap(32, 32));
    auto *intro =
        new QLabel(QStringLiteral("即将添加当前网页至书签，您可以通过书签快速访问该网页"), this);
    intro->setWordWrap(true);
    txtName = new QLineEdit(this);
    txtUrl = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtUrl->setObjectName(QStringLiteral("txtUrl"));
    txtName->setMinimumWidth(320);
    cmdAdd = new QPushButton(QStringLiteral("添加(&A)"), this);
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdAdd->setDefault(true);  // Enter adds; Escape cancels, as in every dialog
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdCancel);
    grid->addWidget(imgIcon, 0, 0, Qt::AlignTop);
    grid->addWidget(intro, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("名称:"), this), 1, 1);
    grid->addWidget(txtName, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("地址:"), this), 2, 1);
    grid->addWidget(txtUrl, 2, 2);
    grid->addLayout(buttons, 3, 1, 1, 2);
    connect(cmdAdd, &QPushButton::clicked, this, &frmAddFav::cmdAdd_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmAddFav::Fill(const QString &name, const QString &url) {
    txtName->setText(name);
    txtUrl->setText(url);
    txtName->selectAll();  // ready to be typed over
    txtName->setFocus();
}

void frmAddFav::cmdAdd_Click() {
    const QString folder = AppDir() + QStringLiteral("书签/");
    if (!QDir(folder).exists()) {
        dialogs_.MsgBox(this, QStringLiteral("书签文件夹丢失！"), QStringLiteral("错误"),
                        Dialogs::Exclamation);
        reject();
        return;
    }
    QString why;
    if (WriteBookmarkFile(txtUrl->text(), folder + BookmarkFileName(txtName->text()), &why) != 0) {
        // Not closed as if it had worked: the user may change the name and try again.
        dialogs_.MsgBox(this, QStringLiteral("书签保存失败：") + why, QStringLiteral("错误"),
                        Dialogs::Exclamation);
        return;
    }
    accept();
}
