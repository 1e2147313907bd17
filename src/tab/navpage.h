#pragma once
// The navigation page picNav: a search box and nine quick-link tiles over the tab's page,
// with the tile editor picAddNav. Its tiles are built the first time it is shown.
#include <QWidget>
#include <functional>
#include <utility>

#include "navigation.h"

class Dialogs;
class QLabel;
class QLineEdit;
class QScrollBar;

class NavPage : public QWidget {
    Q_OBJECT
  public:
    // The page it covers, as a new tile would hold it: its address and its caption.
    using PageNow = std::function<std::pair<QString, QString>()>;
    NavPage(Dialogs &dialogs, PageNow pageNow, QWidget *parent);

    void ReadNav();
    void setColours(const QColor &page, const QColor &editor, const QColor &title);

    QWidget *picNavCore;
    // Built on first show:
    QLabel *lblShow0 = nullptr;
    QLineEdit *txtSearch = nullptr;
    QWidget *picWebs[9] = {};
    QWidget *picAddNav = nullptr;
    QLineEdit *txtUrl = nullptr;
    QLineEdit *txtCap = nullptr;
    QWidget *picClr = nullptr;
    QString editorTag;  // index of the tile being edited

    NavTile tiles[9];
    bool built() const { return txtSearch != nullptr; }
    void ensureBuilt();
    // A twips rectangle of the core in pixels, at the core's present scale.
    QRect px(const QRect &twips) const;

    // The controls' events.
    void TileReleased(int index, Qt::MouseButton button);
    void cmdOK_Click();
    void cmdCel_Click();
    void picClr_Click();
    void txtSearch_Enter();

  signals:
    // A tile's address, or the search for the typed words: for the page under it.
    void NavigateRequested(const QString &address);

  protected:
    void showEvent(QShowEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void wheelEvent(QWheelEvent *e) override;

  private:
    void build();
    void layoutCore();
    QColor clrColour() const;
    void setClrColour(const QColor &c);
    Dialogs &dialogs_;
    PageNow pageNow_;
    QColor editorColour_ = QColor(155, 203, 255), titleColour_ = QColor(155, 203, 255);
    double scale_ = 1.0;     // the core shrinks on small pages
    QScrollBar *scroll_[2];  // across and down, while the core does not fit
};
