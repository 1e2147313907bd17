#include "frmhistory.h"

#include <QDateTime>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/history.h"

namespace {
constexpr int kVisitId = Qt::UserRole;
constexpr int kUrl = Qt::UserRole + 1;
}  // namespace

frmHistory::frmHistory(History &history, std::function<qint64()> now, QWidget *parent)
    : QWidget(parent, Qt::Window), history_(history), now_(std::move(now)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("历史记录"));
    connect(&history_, &History::Written, this, &frmHistory::reload);
    connect(&history_, &History::Held, this, &frmHistory::showWaiting);
    resize(640, 480);
    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setPlaceholderText(QStringLiteral("搜索历史记录"));
    txtSearch->setClearButtonEnabled(true);
    cmdClear = new QToolButton(this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdClear->setText(QStringLiteral("清除历史记录"));
    cmdClear->setPopupMode(QToolButton::InstantPopup);
    auto *clear = new QMenu(cmdClear);
    clear->addAction(QStringLiteral("最近一小时"), this,
                     [this] { clearSince(now_() - 3600 * 1000); });
    clear->addAction(QStringLiteral("今天"), this, [this] {
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(now_());
        clearSince(at.date().startOfDay().toMSecsSinceEpoch());
    });
    clear->addAction(QStringLiteral("全部"), this, [this] { clearSince(0); });
    cmdClear->setMenu(clear);
    auto *import = new QToolButton(this);
    import->setObjectName(QStringLiteral("cmdImport"));
    import->setText(QStringLiteral("导入…"));
    import->setToolTip(QStringLiteral("导入其他浏览器的书签和历史记录"));
    connect(import, &QToolButton::clicked, this, &frmHistory::ImportRequested);
    lstHistory = new QTreeWidget(this);
    lstHistory->setObjectName(QStringLiteral("lstHistory"));
    lstHistory->setHeaderLabels(
        {QStringLiteral("标题"), QStringLiteral("网址"), QStringLiteral("时间")});
    lstHistory->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstHistory->setUniformRowHeights(true);
    lstHistory->header()->resizeSection(0, 260);
    lstHistory->header()->resizeSection(1, 260);
    lstHistory->installEventFilter(this);
    lblWaiting = new QLabel(this);
    lblWaiting->setObjectName(QStringLiteral("lblWaiting"));
    lblWaiting->setWordWrap(true);
    lblWaiting->hide();
    txtSearch->installEventFilter(this);
    auto *top = new QHBoxLayout;
    top->addWidget(txtSearch, 1);
    top->addWidget(import);
    top->addWidget(cmdClear);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblWaiting);
    layout->addWidget(lstHistory, 1);
    connect(txtSearch, &QLineEdit::textChanged, this, &frmHistory::reload);
    connect(lstHistory, &QTreeWidget::itemActivated, this, &frmHistory::openItem);
}

void frmHistory::showEvent(QShowEvent *e) {
    reload();
    txtSearch->setFocus();
    QWidget::showEvent(e);
}

// Visits under a line for each day, the newest day open.
void frmHistory::reload() {
    lstHistory->clear();
    QTreeWidgetItem *day = nullptr;
    QDate shownDay;
    const QDate today = QDateTime::fromMSecsSinceEpoch(now_()).date();
    for (const Visit &v : history_.Visits(txtSearch->text())) {
        const QDateTime when = QDateTime::fromMSecsSinceEpoch(v.when);
        if (!day || when.date() != shownDay) {
            shownDay = when.date();
            const QString name = shownDay == today ? QStringLiteral("今天")
                                 : shownDay == today.addDays(-1)
                                     ? QStringLiteral("昨天")
                                     : shownDay.toString(QStringLiteral("yyyy年M月d日"));
            day = new QTreeWidgetItem(lstHistory, {name});
            day->setFirstColumnSpanned(true);
            day->setExpanded(lstHistory->topLevelItemCount() == 1 || !txtSearch->text().isEmpty());
        }
        auto *item = new QTreeWidgetItem(day, {v.title.isEmpty() ? v.url : v.title, v.url,
                                               when.toString(QStringLiteral("HH:mm"))});
        item->setData(0, kVisitId, v.id);
        item->setData(0, kUrl, v.url);
        item->setToolTip(0, v.title);
        item->setToolTip(1, v.url);
    }
}

void frmHistory::openItem(QTreeWidgetItem *item) {
    const QString url = item ? item->data(0, kUrl).toString() : QString();
    if (!url.isEmpty()) emit OpenRequested(url);
}

void frmHistory::removeChosen() {
    QList<qint64> ids;
    for (QTreeWidgetItem *item : lstHistory->selectedItems()) {
        if (item->data(0, kVisitId).isValid()) ids << item->data(0, kVisitId).toLongLong();
        for (int i = 0; i < item->childCount(); ++i)  // a day chosen: all of it
            ids << item->child(i)->data(0, kVisitId).toLongLong();
    }
    history_.Remove(ids);  // the list follows once it is written
    removing_ = true;
    showWaiting();
}

void frmHistory::clearSince(qint64 since) {
    emit ClearRequested(since);
    removing_ = true;
    showWaiting();
}

void frmHistory::showWaiting() {
    const QString why = history_.heldBecause();
    if (why.isEmpty()) removing_ = false;
    lblWaiting->setText(QStringLiteral("正在等待删除：历史记录暂时无法写入（%1），"
                                       "可以写入时会自动删除，在此之前这些记录仍会列出。")
                            .arg(why));
    lblWaiting->setVisible(removing_);
}

bool frmHistory::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (watched == lstHistory && key == Qt::Key_Delete) {
        removeChosen();
        return true;
    }
    if (watched == lstHistory && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        openItem(lstHistory->currentItem());
        return true;
    }
    // Down from the search box into the list.
    if (watched == txtSearch && key == Qt::Key_Down && lstHistory->topLevelItemCount() > 0) {
        lstHistory->setFocus();
        QTreeWidgetItem *first = lstHistory->topLevelItem(0);
        lstHistory->setCurrentItem(first->childCount() ? first->child(0) : first);
        return true;
    }
    if (watched == txtSearch && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        QTreeWidgetItem *first = lstHistory->topLevelItem(0);
        openItem(first && first->childCount() ? first->child(0) : nullptr);
        return true;
    }
    return false;
}
