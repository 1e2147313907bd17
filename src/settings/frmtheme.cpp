#include "frmtheme.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings.h"
#include "skins/skin.h"

namespace {
QFrame *line(QWidget *parent) {
    auto *l = new QFrame(parent);
    l->setFrameShape(QFrame::HLine);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}
}  // namespace

frmTheme::frmTheme(Apply apply, QWidget *parent) : QDialog(parent), apply_(std::move(apply)) {
    setObjectName(QStringLiteral("frmTheme"));
    setWindowTitle(QStringLiteral("皮肤管理器"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    lblShow = new QLabel(QStringLiteral("皮肤文件:"), this);
    lblTFile = new QLabel(this);
    lblTFile->setObjectName(QStringLiteral("lblTFile"));
    lblTFile->setTextFormat(Qt::PlainText);
    filTheme = new QListWidget(this);
    filTheme->setObjectName(QStringLiteral("filTheme"));
    filTheme->setMinimumSize(260, 160);
    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCel->setObjectName(QStringLiteral("cmdCel"));

    auto *current = new QHBoxLayout;
    current->addWidget(lblShow);
    current->addWidget(lblTFile, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCel);
    auto *column = new QVBoxLayout(this);
    column->addLayout(current);
    column->addWidget(line(this));
    column->addWidget(filTheme, 1);
    column->addWidget(line(this));
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border, as a chooser has

    ShowCurrentSkin();
    filTheme->addItems(SkinFiles());  // nothing selected: OK waits for a choice
    cmdOK->setEnabled(false);
    connect(filTheme, &QListWidget::itemSelectionChanged, this,
            [this] { cmdOK->setEnabled(!filTheme->selectedItems().isEmpty()); });
    // Enter reaches OK as the default button; the list passes it on after its own signal, so
    // only a double click is taken from the list.
    connect(filTheme, &QListWidget::itemDoubleClicked, this, &frmTheme::cmdOK_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmTheme::cmdOK_Click);
    connect(cmdCel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmTheme::ShowCurrentSkin() {
    const QString name = settings::Text(settings::Key::Theme);
    lblTFile->setText(name);
    lblTFile->setToolTip(name);
}

void frmTheme::cmdOK_Click() {
    const QList<QListWidgetItem *> chosen = filTheme->selectedItems();
    if (chosen.isEmpty()) return;
    if (apply_(chosen.first()->text())) accept();
}
