#include "qtdialogs.h"
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
const QMessageBox::Icon kIcons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                    QMessageBox::Warning, QMessageBox::Critical,
                                    QMessageBox::Question};
// Line breaks come as CR LF, as the messages are written.
QString shown(const QString &text) {
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A box at least as wide as its title needs: the window manager cuts a title that does not
// fit ("1…" for "127.0.0.1 显示"). Room is left for the title bar's own buttons.
void fitTitle(QMessageBox &box) {
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid) return;
    const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + 160;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

void chineseButtons(QMessageBox &box) {
    const std::pair<QMessageBox::StandardButton, const char *> names[] = {
        {QMessageBox::Ok, "确定"},
        {QMessageBox::Cancel, "取消"},
        {QMessageBox::Yes, "是(&Y)"},
        {QMessageBox::No, "否(&N)"}};
    for (const auto &[which, name] : names)
        if (QAbstractButton *b = box.button(which)) b->setText(QString::fromUtf8(name));
}
}  // namespace

void QtDialogs::hold(bool on) {
    Dialogs::hold(on);
    if (on) return;
    emit Released();
    for (const auto &show : std::exchange(waiting_, {})) show();
}

// A question asked while held is asked once the disguise is gone; what asked it waits.
void QtDialogs::waitForRelease() {
    if (!held()) return;
    QEventLoop loop;
    connect(this, &QtDialogs::Released, &loop, &QEventLoop::quit);
    loop.exec();
}

void QtDialogs::Notice(QWidget *parent, const QString &text, const QString &title, Icon icon) {
    if (held()) {
        QPointer<QWidget> owner = parent;
        waiting_ << [this, owner, text, title, icon] { Notice(owner, text, title, icon); };
        return;
    }
    auto *box = new QMessageBox(kIcons[icon], title, shown(text), QMessageBox::Ok, parent);
    chineseButtons(*box);
    fitTitle(*box);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

Dialogs::Answer QtDialogs::MsgBox(QWidget *parent, const QString &text, const QString &title,
                                  Icon icon, Buttons buttons) {
    waitForRelease();
    QMessageBox::StandardButtons b = QMessageBox::Ok;
    switch (buttons) {
        case Ok:
            b = QMessageBox::Ok;
            break;
        case OkCancel:
            b = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case YesNo:
        case RestoreQuit:
            b = QMessageBox::Yes | QMessageBox::No;
            break;
        case YesNoCancel:
            b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
    }
    QMessageBox box(kIcons[icon], title, shown(text), b, parent);
    chineseButtons(box);
    if (buttons == RestoreQuit) {
        box.button(QMessageBox::Yes)->setText(QStringLiteral("恢复默认设置(&R)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("退出(&Q)"));
    }
    fitTitle(box);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return AnswerYes;
        case QMessageBox::No:
            return AnswerNo;
        case QMessageBox::Cancel:
            return AnswerCancel;
        default:
            return AnswerOk;
    }
}

QString QtDialogs::ShowSave(QWidget *parent, const QString &title, const QString &filter,
                            const QString &fileName) {
    waitForRelease();
    return QFileDialog::getSaveFileName(parent, title, fileName, QtNameFilter(filter));
}

QString QtDialogs::ShowOpen(QWidget *parent, const QString &title, const QString &filter) {
    waitForRelease();
    return QFileDialog::getOpenFileName(parent, title, QString(), QtNameFilter(filter));
}

std::optional<QColor> QtDialogs::ShowColor(QWidget *parent, const QColor &initial) {
    waitForRelease();
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid()) return std::nullopt;
    return c;
}

std::optional<QString> QtDialogs::InputBox(QWidget *parent, const QString &prompt,
                                           const QString &title, const QString &defaultText) {
    waitForRelease();
    bool ok = false;
    const QString t =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return t;
}
