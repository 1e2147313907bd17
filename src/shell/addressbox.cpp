#include "addressbox.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "core/search.h"
#include "core/settings.h"

AddressBox::AddressBox(QWidget *parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("cboAddress"));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    addItems({QStringLiteral("转到"), QStringLiteral("搜索")});
    setEditText(QString());
    lineEdit()->setPlaceholderText(QStringLiteral("输入网址或搜索内容"));
    resize(width(), sizeHint().height());
    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(lineEdit())}) {
        w->setAcceptDrops(true);
        w->installEventFilter(this);
    }
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString &t) { tag_ = t; });
    connect(this, &QComboBox::activated, this, [this] {
        if (!updating_) submit();
    });
    // The combo box also "activates" when the box merely loses the focus with the text of a
    // list item; only a choice from the list or Enter may navigate.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
}

void AddressBox::showAddress(const QString &url, bool selected) {
    setEditText(url);
    tag_ = currentText();
    if (selected) lineEdit()->selectAll();
}

void AddressBox::append(const QString &url) {
    for (int i = count() - 1; i >= 0; --i)
        if (itemText(i) == url) removeItem(i);
    updating_ = true;
    QLineEdit *edit = lineEdit();
    // What the user is typing stays; otherwise the new address shows, and a box with the
    // focus has it selected so that typing replaces it.
    const QString typing = edit->hasFocus() && edit->isModified() ? edit->text() : QString();
    addItem(url);
    setCurrentIndex(count() - 1);
    if (!typing.isNull()) {
        setEditText(typing);
        edit->setModified(true);
    } else {
        tag_ = url;
        if (edit->hasFocus()) edit->selectAll();
    }
    updating_ = false;
}

void AddressBox::focusSelected() {
    setFocus(Qt::ShortcutFocusReason);
    lineEdit()->selectAll();
}

void AddressBox::selectIfUntouched() {
    if (lineEdit()->hasFocus() && !lineEdit()->isModified()) lineEdit()->selectAll();
}

void AddressBox::submit() {
    const QString text = currentText();
    const QString engine = settings::Text(settings::Key::Search);
    if (text == QStringLiteral("转到")) {
        emit NavigateRequested(tag_);
    } else if (text == QStringLiteral("搜索")) {
        const QString address = SearchAddress(engine, tag_);
        if (!address.isEmpty()) emit NavigateRequested(address);
    } else {
        emit NavigateRequested(AddressOrSearch(text, engine));
    }
}

bool AddressBox::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
        case QEvent::MouseButtonRelease:
            // The first click into the box selects it all, unless it dragged a selection.
            if (watched == lineEdit() && clickSelects_) {
                clickSelects_ = false;
                if (!lineEdit()->hasSelectedText()) lineEdit()->selectAll();
            }
            break;
        case QEvent::KeyPress: {
            // A real keyboard's keys reach the combo box, which hands them on to its line
            // edit; whichever sees Enter first goes.
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (!updating_) submit();
                return true;
            }
            if (key == Qt::Key_Escape && !view()->isVisible()) {
                emit EscapePressed();
                return true;
            }
            break;
        }
        case QEvent::FocusOut:
            clickSelects_ = true;
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return takeDrop(event);
        default:
            break;
    }
    return QComboBox::eventFilter(watched, event);
}

// Only files are taken; dropped text is ignored.
bool AddressBox::takeDrop(QEvent *event) {
    auto *de = static_cast<QDropEvent *>(event);
    QStringList files;
    for (const QUrl &u : de->mimeData()->urls())
        if (u.isLocalFile()) files << u.toLocalFile();
    if (files.isEmpty()) {
        de->ignore();
        return true;
    }
    de->acceptProposedAction();
    if (event->type() == QEvent::Drop) emit FilesDropped(files);
    return true;
}
