#include "navpage.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include "core/search.h"
#include "core/settings.h"
#include "core/store.h"
#include "platform/dialogs.h"
#include "services/windowhelpers.h"
#include "skins/colour.h"

// One tile: a coloured card with the title's first character and the title under it.
class NavTileWidget : public QWidget {
  public:
    NavTileWidget(NavPage *page, int index)
        : QWidget(page->picNavCore), page_(page), index_(index) {
        setCursor(Qt::PointingHandCursor);
        setObjectName(QStringLiteral("picWebs%1").arg(index));
    }
    const NavTile &tile() const { return page_->tiles[index_]; }

  protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const NavTile &t = tile();
        const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
        const QColor fill = t.colour ? ColourFromBgr(*t.colour) : palette().color(QPalette::Window);
        const bool empty = t.address.isEmpty();
        p.setPen(empty ? QPen(QColor(150, 170, 200), 1.2, Qt::DashLine)
                       : QPen(fill.darker(hover_ ? 135 : 115), hover_ ? 2 : 1));
        p.setBrush(hover_ ? fill.lighter(104) : fill);
        p.drawRoundedRect(r, 8, 8);
        const bool dark = fill.lightness() < 150;
        const QColor ink = dark ? Qt::white : QColor(40, 60, 90);
        QFont big = font();
        big.setPixelSize(int(height() * 0.36));
        big.setBold(!empty);
        p.setFont(big);
        p.setPen(ink);
        const QRect glyph(0, 0, width(), int(height() * 0.68));
        p.drawText(glyph, Qt::AlignCenter,
                   empty ? QStringLiteral("+") : t.caption.left(1).toUpper());
        QFont small = font();
        small.setPointSize(9);
        p.setFont(small);
        const QRect cap = page_->px(navlayout::caption());
        p.drawText(cap, Qt::AlignCenter,
                   QFontMetrics(small).elidedText(t.caption, Qt::ElideRight, cap.width()));
    }
    void enterEvent(QEnterEvent *) override { hover_ = true, update(); }
    void leaveEvent(QEvent *) override { hover_ = false, update(); }
    void mouseReleaseEvent(QMouseEvent *e) override {
        if (rect().contains(e->position().toPoint())) page_->TileReleased(index_, e->button());
    }

  private:
    NavPage *page_;
    int index_;
    bool hover_ = false;
};

NavPage::NavPage(Dialogs &dialogs, PageNow pageNow, QWidget *parent)
    : QWidget(parent), dialogs_(dialogs), pageNow_(std::move(pageNow)) {
    setObjectName(QStringLiteral("picNav"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(192, 220, 254));
    setPalette(p);
    picNavCore = new QWidget(this);
    picNavCore->setObjectName(QStringLiteral("picNavCore"));
    // Tiles that do not fit are scrolled to, never cut off.
    for (QScrollBar *&bar : scroll_) {
        bar = new QScrollBar(&bar == &scroll_[0] ? Qt::Horizontal : Qt::Vertical, this);
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, &NavPage::layoutCore);
    }
    scroll_[0]->setObjectName(QStringLiteral("hsbNav"));
    scroll_[1]->setObjectName(QStringLiteral("vsbNav"));
    hide();
}

void NavPage::ensureBuilt() {
    if (!built()) build();
}

void NavPage::build() {
    lblShow0 = new QLabel(QStringLiteral("导航"), this);
    QFont titleFont = lblShow0->font();
    titleFont.setBold(true);
    titleFont.setPointSize(36);
    lblShow0->setFont(titleFont);
    lblShow0->setGeometry(TwipsToPixels(navlayout::title(), this));

    txtSearch = new QLineEdit(picNavCore);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setPlaceholderText(QStringLiteral("搜索..."));
    txtSearch->setStyleSheet(QStringLiteral(
        "QLineEdit { border: 1px solid #9dbbe4; border-radius: 12px; padding: 0 10px;"
        " background: white; } QLineEdit:focus { border-color: #3c78d8; }"));
    connect(txtSearch, &QLineEdit::returnPressed, this, &NavPage::txtSearch_Enter);

    for (int i = 0; i < 9; ++i) picWebs[i] = new NavTileWidget(this, i);

    picAddNav = new QWidget(picNavCore);
    picAddNav->setObjectName(QStringLiteral("picAddNav"));
    picAddNav->setAutoFillBackground(true);
    picAddNav->resize(TwipsToPixels(navlayout::editor(), this).size());
    auto *intro = new QLabel(QStringLiteral("即将添加以下网址为导航，您可以通过导航页快速访问网页"),
                             picAddNav);
    intro->setWordWrap(true);
    intro->setGeometry(12, 8, picAddNav->width() - 24, 40);
    auto row = [this](const QString &label, int y, QWidget *field) {
        auto *l = new QLabel(label, picAddNav);
        l->setGeometry(12, y, 48, 24);
        field->setParent(picAddNav);
        field->setGeometry(60, y, picAddNav->width() - 76, 24);
    };
    txtUrl = new QLineEdit;
    txtCap = new QLineEdit;
    txtUrl->setObjectName(QStringLiteral("txtUrl"));
    txtCap->setObjectName(QStringLiteral("txtCap"));
    picClr = new QPushButton;
    picClr->setObjectName(QStringLiteral("picClr"));
    picClr->setToolTip(QStringLiteral("点击选择颜色"));
    picClr->setCursor(Qt::PointingHandCursor);
    row(QStringLiteral("网址: "), 54, txtUrl);
    row(QStringLiteral("标题: "), 84, txtCap);
    row(QStringLiteral("颜色: "), 114, picClr);
    picClr->setFixedWidth(60);
    setClrColour(Qt::white);
    connect(static_cast<QPushButton *>(picClr), &QPushButton::clicked, this,
            &NavPage::picClr_Click);
    auto *ok = new QPushButton(QStringLiteral("添加(&A)"), picAddNav);
    auto *cancel = new QPushButton(QStringLiteral("取消(&C)"), picAddNav);
    ok->setObjectName(QStringLiteral("cmdOK"));
    cancel->setObjectName(QStringLiteral("cmdCel"));
    ok->setGeometry(picAddNav->width() - 184, picAddNav->height() - 38, 80, 28);
    cancel->setGeometry(picAddNav->width() - 96, picAddNav->height() - 38, 80, 28);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &NavPage::cmdOK_Click);
    // The editor is no dialog: Return in its fields presses "添加(&A)" here.
    for (QLineEdit *field : {txtUrl, txtCap})
        connect(field, &QLineEdit::returnPressed, ok, &QPushButton::click);
    connect(cancel, &QPushButton::clicked, this, &NavPage::cmdCel_Click);
    picAddNav->hide();
    // Made while the page is already shown: they show only when told.
    for (QWidget *w : std::initializer_list<QWidget *>{lblShow0, txtSearch}) w->show();
    for (QWidget *w : picWebs) w->show();
    setColours(palette().color(QPalette::Window), editorColour_, titleColour_);
    ReadNav();
    layoutCore();
}

void NavPage::setColours(const QColor &page, const QColor &editor, const QColor &title) {
    for (QWidget *w : {static_cast<QWidget *>(this), picNavCore}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, page);
        w->setPalette(p);
    }
    editorColour_ = editor;
    titleColour_ = title;
    if (!built()) return;
    // A framed card, so the editor stands out from a page of a similar colour.
    picAddNav->setAttribute(Qt::WA_StyledBackground);
    picAddNav->setStyleSheet(
        QStringLiteral("#picAddNav { background: %1; border: 1px solid %2; border-radius: 6px; }")
            .arg(editor.name(), editor.darker(150).name()));
    QPalette tp = lblShow0->palette();
    tp.setColor(QPalette::WindowText, ReadableOn(title, page));
    lblShow0->setPalette(tp);
}

void NavPage::ReadNav() {
    if (!built()) return;  // read when the page is first shown
    const QString file = NavFilePath();
    for (int i = 0; i < 9; ++i) {
        ApplyNavValue(ReadIni(QStringLiteral("Navi"), NavKey(i), file), tiles[i]);
        picWebs[i]->setToolTip(tiles[i].tooltip);
        picWebs[i]->update();
    }
}

void NavPage::TileReleased(int index, Qt::MouseButton button) {
    const NavTile &t = tiles[index];
    if (button == Qt::RightButton) {
        NavTile stored;
        const QString value = ReadIni(QStringLiteral("Navi"), NavKey(index), NavFilePath());
        if (value != QLatin1String("e") && !value.isEmpty()) {
            ApplyNavValue(value, stored);
            txtUrl->setText(stored.address);
            txtCap->setText(stored.tooltip);
            if (stored.colour) setClrColour(ColourFromBgr(*stored.colour));
        }
    } else if (!t.address.isEmpty()) {
        emit NavigateRequested(t.address);
        hide();
        picAddNav->hide();
        return;
    } else {
        const auto [url, caption] = pageNow_();
        txtUrl->setText(url);
        txtCap->setText(caption);
        setClrColour(t.colour ? ColourFromBgr(*t.colour) : palette().color(QPalette::Window));
    }
    editorTag = QString::number(index);
    picAddNav->show();
    picAddNav->raise();
    txtUrl->setFocus();
}

void NavPage::cmdOK_Click() {
    const int index = editorTag.toInt();
    const qint32 colour = BgrFromColour(clrColour());
    const auto storable = StorableNavTile(txtUrl->text(), txtCap->text(), colour);
    if (!storable) {
        dialogs_.MsgBox(this, QStringLiteral("网址太长，无法保存。"), QStringLiteral("提示"),
                        Dialogs::Exclamation);
        return;
    }
    // What cannot be kept is shown taken out, for the user to see before it is saved.
    if (storable->address != txtUrl->text().trimmed() || storable->title != txtCap->text()) {
        txtUrl->setText(storable->address);
        txtCap->setText(storable->title);
        dialogs_.MsgBox(this,
                        QStringLiteral("“@@”和网址、标题末尾的“@”无法保存，过长的标题也无法完整"
                                       "保存，已替您修改。请确认后再点“确定”。"),
                        QStringLiteral("提示"), Dialogs::Exclamation);
        return;
    }
    const WriteResult written =
        WriteIni(QStringLiteral("Navi"), NavKey(index),
                 NavValue(storable->address, storable->title, colour), NavFilePath());
    if (!written) {  // the editor stays open with what was typed
        dialogs_.MsgBox(this, QStringLiteral("无法保存网址：") + written.error,
                        QStringLiteral("错误"), Dialogs::Exclamation);
        return;
    }
    picAddNav->hide();
    ReadNav();
}

void NavPage::cmdCel_Click() {
    picAddNav->hide();
}

void NavPage::picClr_Click() {
    if (const auto c = dialogs_.ShowColor(this, clrColour())) setClrColour(*c);
}

void NavPage::txtSearch_Enter() {
    const QString address = SearchAddress(settings::Text(settings::Key::Search), txtSearch->text());
    if (!address.isEmpty()) emit NavigateRequested(address);
    hide();
}

QColor NavPage::clrColour() const {
    return picClr->property("colour").value<QColor>();
}

void NavPage::setClrColour(const QColor &c) {
    picClr->setProperty("colour", c);
    picClr->setStyleSheet(QStringLiteral("QPushButton { background: %1; border: 1px solid #7a93b8;"
                                         " border-radius: 3px; }")
                              .arg(c.name()));
}

void NavPage::showEvent(QShowEvent *) {
    ensureBuilt();
    layoutCore();
}

void NavPage::resizeEvent(QResizeEvent *) {
    layoutCore();
}

void NavPage::wheelEvent(QWheelEvent *e) {
    QScrollBar *bar = scroll_[1]->isVisible() ? scroll_[1] : scroll_[0];
    if (!bar->isVisible()) return e->ignore();
    bar->setValue(bar->value() - e->angleDelta().y() / 2);
}

QRect NavPage::px(const QRect &twips) const {
    return TwipsToPixels(navlayout::scaled(twips, scale_), this);
}

void NavPage::layoutCore() {
    const double tpp = TwipsPerPixel(this);
    const navlayout::CorePlace place =
        navlayout::placeCore(int(width() * tpp), int(height() * tpp));
    scale_ = place.scale;
    QRect core(TwipsToPixels(QRect(place.origin, QSize()), this).topLeft(),
               px(QRect(0, 0, navlayout::kCoreWidth, navlayout::kCoreHeight)).size());
    // A page too small for the core at its smallest: scroll bars move it.
    const int margin = 8, bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int top = std::max(core.top(), margin);
    const bool wide = core.width() + 2 * margin > width();
    const bool tall = top + core.height() + margin > height() - (wide ? bar : 0);
    const QSize view(width() - (tall ? bar : 0), height() - (wide ? bar : 0));
    scroll_[0]->setVisible(wide);
    scroll_[1]->setVisible(tall);
    scroll_[0]->setGeometry(0, height() - bar, view.width(), bar);
    scroll_[1]->setGeometry(width() - bar, 0, bar, view.height());
    if (wide) {
        scroll_[0]->setRange(0, core.width() + 2 * margin - view.width());
        scroll_[0]->setPageStep(view.width());
        core.moveLeft(margin - scroll_[0]->value());
    }
    if (tall) {
        scroll_[1]->setRange(0, top + core.height() + margin - view.height());
        scroll_[1]->setPageStep(view.height());
        core.moveTop(top - scroll_[1]->value());
    }
    for (QScrollBar *b : scroll_) b->raise();
    picNavCore->setGeometry(core);
    if (!built()) return;
    for (int i = 0; i < 9; ++i) picWebs[i]->setGeometry(px(navlayout::tile(i)));
    QRect search = px(navlayout::search());
    search.setHeight(std::max(search.height(), txtSearch->minimumSizeHint().height()));
    txtSearch->setGeometry(search);
    // The editor keeps its size; on shrunk tiles it stays within them.
    const QPoint at = px(navlayout::editor()).topLeft();
    picAddNav->move(std::clamp(at.x(), 0, std::max(0, picNavCore->width() - picAddNav->width())),
                    std::clamp(at.y(), 0, std::max(0, picNavCore->height() - picAddNav->height())));
}
