#pragma once
// "历史记录": the visits by day, newest first, each with its title and address; a search box
// that narrows them as the user types (words anywhere in title or address); double-click or
// Return opens one, Delete removes the chosen ones, and the clear button removes the last hour,
// today or everything. "导入…" asks for another browser's history. A removal the file cannot
// take yet is said to wait, its visits still listed, until it is written.
#include <QWidget>

class History;
class QLabel;
class QLineEdit;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class frmHistory : public QWidget {
    Q_OBJECT
  public:
    // now: the clock's time in milliseconds since the epoch.
    frmHistory(History &history, std::function<qint64()> now, QWidget *parent = nullptr);
    void reload();

  signals:
    // The visits since then (ms) are to go; the tabs' back and forward lists go too.
    void ClearRequested(qint64 since);
    void OpenRequested(const QString &url);
    void ImportRequested();

  protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void openItem(QTreeWidgetItem *item);
    void removeChosen();
    void clearSince(qint64 since);
    void showWaiting();

    History &history_;
    std::function<qint64()> now_;
    QLineEdit *txtSearch;
    QTreeWidget *lstHistory;
    QToolButton *cmdClear;
    QLabel *lblWaiting;
    bool removing_ = false;  // a removal asked for and not yet written
};
