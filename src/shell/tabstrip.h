#pragma once
// The tab strip over the tabs: a tab per page with its caption, whole title as tool tip and
// icon, in the skin's colours. A double-click on its empty part asks for a new tab, a middle
// click or the close button to close one, a right click for a menu. Links, text and files
// dragged onto it are handed on with the place they fell on.
#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QSet>
#include <QTabBar>
#include <utility>

class QMimeData;
class QPainter;

class TabStrip : public QTabBar {
    Q_OBJECT
  public:
    explicit TabStrip(QWidget *parent);

    void insertPage(int index, QWidget *page);  // captioned "空白页" until it has a title
    void removePage(QWidget *page);
    QWidget *pageAt(int index) const;
    int indexOfPage(const QWidget *page) const;
    void setCaption(QWidget *page, const QString &title);
    void setPageIcon(QWidget *page, const QIcon &icon);  // none: the blank-page icon
    // A private tab: its mark instead of the page's icon, the tab tinted in the private colour
    // with a band of it along its top.
    void markPrivate(QWidget *page);
    static inline const QColor kPrivateColour{0x5b, 0x4a, 0x8b};  // when the skin names none
    void setColours(const QColor &bar, const QColor &privateTab);
    // Many tabs added at once: each addition lays out the strip and shortens every caption
    // to fit; in a batch the strip is hidden and the captions wait until the end.
    void setBatch(bool on);

  signals:
    void NewTabRequested();
    void CloseRequested(QWidget *page);
    // A right click: over a tab (now current) or over an empty strip, the tab menu.
    void MenuRequested(const QPoint &global, bool tabMenu);
    // Something dropped: onto the middle of a tab, or else between tabs or on the empty
    // part, where a new tab goes at `at`.
    void DropReceived(QWidget *onto, int at, const QMimeData *data);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    QSize tabSizeHint(int index) const override;
    void initStyleOption(QStyleOptionTab *option, int index) const override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

  private:
    QSize closeSize() const;
    QRect closeRect(int index) const;
    int closeAt(const QPoint &at) const;  // the tab whose close button is there, or -1
    void paintClose(QPainter &p, int index, const QRect &at) const;
    void setHoveredClose(int index);
    bool closeButtonEvent(QEvent *event);
    std::pair<QWidget *, int> dropPlace(const QPoint &at) const;
    void markDrop(const QPoint &at, bool on);
    void paintMovingTab(QWidget *moving);
    QIcon blankPageIcon_, privateIcon_;
    QSet<const QWidget *> private_;
    QColor privateColour_ = kPrivateColour;
    bool batch_ = false, shownBeforeBatch_ = false;
    QHash<const QWidget *, QString> pendingCaptions_;
    mutable QHash<QString, QSize> sizes_;  // by caption and place: see tabSizeHint
    QRect dropMark_;                       // where a drag over the strip would land
    bool dropOntoTab_ = false;
    QPointer<QWidget> movingTab_;
    int hoveredClose_ = -1,
        pressedClose_ = -1;  // tabs by index  // the picture of a tab being dragged along, Qt's own
};
