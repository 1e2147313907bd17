#include "findbar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

QString FindCountText(const QString &text, int active, int total) {
    if (text.isEmpty()) return {};
    if (total <= 0) return QStringLiteral("无匹配");
    return QStringLiteral("第 %1 / %2 个").arg(active).arg(total);
}

FindBar::FindBar(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picFind"));
    setAutoFillBackground(true);
    auto *label = new QLabel(QStringLiteral("查找："), this);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setClearButtonEnabled(true);
    txtFind->setMinimumWidth(220);
    txtFind->installEventFilter(this);
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblFindCount"));
    lblCount->setMinimumWidth(90);
    auto tool = [this](const QString &text, const QString &tip) {
        auto *b = new QToolButton(this);
        b->setText(text);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        return b;
    };
    cmdPrevious = tool(QStringLiteral("▲"), QStringLiteral("上一个 (Shift+F3)"));
    cmdNext = tool(QStringLiteral("▼"), QStringLiteral("下一个 (F3)"));
    chkCase = new QCheckBox(QStringLiteral("区分大小写"), this);
    cmdClose = tool(QStringLiteral("✕"), QStringLiteral("关闭 (Esc)"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 3, 8, 3);
    row->addWidget(label);
    row->addWidget(txtFind);
    row->addWidget(lblCount);
    row->addWidget(cmdPrevious);
    row->addWidget(cmdNext);
    row->addWidget(chkCase);
    row->addStretch(1);
    row->addWidget(cmdClose);
    connect(txtFind, &QLineEdit::textChanged, this, [this] { find(false); });
    connect(chkCase, &QCheckBox::toggled, this, [this] { find(false); });
    connect(cmdNext, &QToolButton::clicked, this, [this] { find(false); });
    connect(cmdPrevious, &QToolButton::clicked, this, [this] { find(true); });
    connect(cmdClose, &QToolButton::clicked, this, [this] {
        hide();
        emit Closed();
    });
    hide();
}

void FindBar::open() {
    show();
    txtFind->setFocus();
    txtFind->selectAll();
    if (!txtFind->text().isEmpty()) find(false);
}

void FindBar::setColours(const QColor &background, const QColor &text) {
    QPalette p = palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    setPalette(p);
}

void FindBar::showResult(int active, int total) {
    lblCount->setText(FindCountText(txtFind->text(), active, total));
}

QString FindBar::text() const {
    return txtFind->text();
}
bool FindBar::matchCase() const {
    return chkCase->isChecked();
}

void FindBar::find(bool backward) {
    if (txtFind->text().isEmpty()) lblCount->clear();
    emit FindRequested(txtFind->text(), backward, chkCase->isChecked());
}

bool FindBar::eventFilter(QObject *watched, QEvent *event) {
    if (watched == txtFind && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            find(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            cmdClose->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
