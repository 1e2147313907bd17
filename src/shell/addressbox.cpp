#include "addressbox.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QSet>
#include <QUrl>

#include "core/search.h"
#include "core/settings.h"
#include "core/suggest.h"
#include "suggestionpopup.h"

namespace {
constexpr int kFixedItems = 2;  // "转到" and "搜索" head the list
}  // namespace

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
    // What is typed is what opens: no completion writes into the box.
    setCompleter(nullptr);
    suggestions_ = new SuggestionPopup(this);
    connect(suggestions_, &SuggestionPopup::Clicked, this, [this](const QString &line) {
        closeSuggestions();
        emit NavigateRequested(line);
    });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString &t) {
        tag_ = t;
        suggest(t);
    });
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

// The list changes under the box: what it shows stays, with the cursor, the selection and
// whether it was typed.
void AddressBox::changeList(const std::function<void()> &change) {
    QLineEdit *edit = lineEdit();
    const QString text = edit->text();
    const int cursor = edit->cursorPosition(), from = edit->selectionStart(),
              length = int(edit->selectedText().size());
    const bool typed = edit->isModified();
    updating_ = true;
    change();
    setEditText(text);
    if (from >= 0)
        edit->setSelection(from, length);
    else
        edit->setCursorPosition(cursor);
    edit->setModified(typed);
    updating_ = false;
}

void AddressBox::append(const QString &url, bool show, bool listed) {
    if (listed) {
        changeList([&] {
            for (int i = count() - 1; i >= 0; --i)
                if (itemText(i) == url) removeItem(i);
            addItem(url);
        });
    }
    QLineEdit *edit = lineEdit();
    if (!show || (edit->hasFocus() && edit->isModified())) return;
    // The new address shows; a box with the focus has it selected to type over.
    updating_ = true;
    if (listed)
        setCurrentIndex(count() - 1);
    else
        setEditText(url);
    updating_ = false;
    tag_ = url;
    if (edit->hasFocus()) edit->selectAll();
}

void AddressBox::forget(const QStringList &urls, bool everything) {
    if (urls.isEmpty() && !everything) return;
    changeList([&] {
        for (int i = count() - 1; i >= kFixedItems; --i)
            if (everything || urls.contains(itemText(i))) removeItem(i);
    });
}

void AddressBox::setMarks(bool offTheRecord, bool insecure) {
    int x = 4;
    auto mark = [&](QLabel *&label, const char *name, const char *text, const char *style,
                    bool on) {
        if (!on && !label) return;
        if (!label) {
            label = new QLabel(QString::fromUtf8(text), lineEdit());
            label->setObjectName(QLatin1String(name));
            label->setStyleSheet(QLatin1String(style));
            label->adjustSize();
        }
        label->setVisible(on);
        if (!on) return;
        label->move(x, (lineEdit()->height() - label->height()) / 2);
        x += label->width() + 4;
    };
    mark(lblPrivate, "lblPrivate", "无痕",
         "QLabel { color: white; background: #5b4a8b; border-radius: 3px; padding: 0 4px; }",
         offTheRecord);
    mark(lblInsecure, "lblInsecure", "不安全", "QLabel { color: #c5221f; font-weight: bold; }",
         insecure);
    lineEdit()->setTextMargins(x > 4 ? x + 4 : 0, 0, 0, 0);
}

void AddressBox::focusSelected() {
    setFocus(Qt::ShortcutFocusReason);
    lineEdit()->selectAll();
}

void AddressBox::selectIfUntouched() {
    if (lineEdit()->hasFocus() && !lineEdit()->isModified()) lineEdit()->selectAll();
}

void AddressBox::suggest(const QString &typed) {
    const QStringList words = typed.simplified().split(u' ', Qt::SkipEmptyParts);
    found_.removeIf(
        [&](const Suggestion &s) { return !HoldsEveryWord(s.title + u' ' + s.url, words); });
    showLines(typed);
    asked_ = typed;
    if (ask_) ask_(typed);
}

void AddressBox::showSuggestions(const QString &typed, const QList<Suggestion> &found) {
    if (typed != asked_ || typed != lineEdit()->text()) return;
    found_ = found;
    const QString chosen = suggestions_->chosen();
    showLines(typed);
    suggestions_->choose(chosen);  // the user's choice stays where it is still offered
}

void AddressBox::showLines(const QString &typed) {
    QList<SuggestionPopup::Line> lines;
    QSet<QString> shown;
    for (const Suggestion &s : std::as_const(found_)) {
        const QString text = s.title.isEmpty() ? s.url : s.title + QStringLiteral("  —  ") + s.url;
        lines.append({(s.bookmark ? QStringLiteral("★ ") : QString()) + text, s.url});
        shown.insert(s.url);
    }
    QStringList addresses;
    for (int i = kFixedItems; i < count(); ++i) addresses << itemText(i);
    for (const QString &a : Suggestions(addresses, typed, 10 - int(lines.size())))
        if (!shown.contains(a)) lines.append({a, a});
    suggestions_->showUnder(this, lines, typed);
}

// A new round of typing starts from nothing: no page a cleared history held shows again.
void AddressBox::closeSuggestions() {
    asked_.clear();
    found_.clear();
    suggestions_->hide();
}

bool AddressBox::suggestionKey(int key) {
    if (!suggestions_->isVisible()) return false;
    switch (key) {
        case Qt::Key_Down:
        case Qt::Key_Up:
            suggestions_->step(key == Qt::Key_Down ? 1 : -1);
            return true;
        case Qt::Key_Delete: {
            const QString line = suggestions_->chosen();
            if (line.isEmpty()) return false;  // none chosen: deletes in the text as usual
            const int listed = findText(line, Qt::MatchFixedString | Qt::MatchCaseSensitive);
            if (listed >= kFixedItems) changeList([&] { removeItem(listed); });
            emit ForgetRequested(line);  // from the history too
            found_.removeIf([&](const Suggestion &s) { return s.url == line; });
            suggestions_->removeChosen();
            return true;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            const QString line = suggestions_->chosen();
            closeSuggestions();
            if (line.isEmpty()) return false;  // exactly the typed text
            emit NavigateRequested(line);
            return true;
        }
        case Qt::Key_Escape:
            closeSuggestions();
            return true;
        default:
            return false;
    }
}

void AddressBox::submit() {
    closeSuggestions();
    const QString text = currentText();
    const QString engine = settings::Text(settings::Key::Search);
    if (text == QStringLiteral("转到")) {
        emit NavigateRequested(tag_);
    } else if (text == QStringLiteral("搜索")) {
        // No engine: nothing is opened, but the tab is made and its navigation page goes.
        emit NavigateRequested(SearchAddress(engine, tag_));
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
            const auto *ke = static_cast<QKeyEvent *>(event);
            const int key = ke->key();
            // F4 is the lock key (read from the keyboard itself), not the list's own key.
            if (key == Qt::Key_F4 && ke->modifiers() == Qt::NoModifier) return true;
            if (suggestionKey(key)) return true;
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
            closeSuggestions();
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

// Files are handed on; a link or text is as if typed and entered.
bool AddressBox::takeDrop(QEvent *event) {
    auto *de = static_cast<QDropEvent *>(event);
    // Its own text dragged within it opens nothing.
    if (!CanTakeDrop(de->mimeData()) || de->source() == lineEdit()) {
        de->ignore();
        return true;
    }
    de->acceptProposedAction();
    if (event->type() != QEvent::Drop) return true;
    const DropContent d = ReadDrop(de->mimeData());
    if (!d.files.isEmpty()) {
        emit FilesDropped(d.files);
    } else if (!d.text.isEmpty()) {
        closeSuggestions();
        showAddress(d.text);
        emit NavigateRequested(d.address);
    }
    return true;
}
