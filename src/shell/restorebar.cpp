#include "restorebar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

RestoreBar::RestoreBar(QWidget *parent) : QFrame(parent) {
    setObjectName(QStringLiteral("barRestore"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xCE));
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
    auto *text = new QLabel(QStringLiteral("上次未正常关闭。恢复选项卡？"), this);
    auto *restore = new QPushButton(QStringLiteral("恢复"), this);
    restore->setObjectName(QStringLiteral("cmdRestore"));
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("cmdRestoreClose"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 2, 8, 2);
    row->addWidget(text);
    row->addWidget(restore);
    row->addWidget(close);
    row->addStretch(1);
    connect(restore, &QPushButton::clicked, this, [this] {
        hide();
        emit RestoreClicked();
    });
    connect(close, &QPushButton::clicked, this, [this] {
        hide();
        emit DismissClicked();
    });
    hide();
}
