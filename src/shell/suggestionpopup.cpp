#include "suggestionpopup.h"

#include <QPainter>
#include <QStyledItemDelegate>

#include "core/suggest.h"

namespace {

// A line with each place of a typed word in bold.
class HighlightDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString typed;

  protected:
    void paint(QPainter *p, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        const QString text = o.text;
        o.text.clear();
        o.widget->style()->drawControl(QStyle::CE_ItemViewItem, &o, p, o.widget);
        const bool chosen = o.state & QStyle::State_Selected;
        p->save();
        p->setPen(o.palette.color(chosen ? QPalette::HighlightedText : QPalette::Text));
        QRect r = o.rect.adjusted(6, 0, -6, 0);
        QFont bold = o.font;
        bold.setBold(true);
        const auto spans = MatchSpans(text, typed);
        qsizetype next = 0;  // the first span not yet drawn
        for (qsizetype at = 0; at < text.size() && r.width() > 0;) {
            const bool inSpan = next < spans.size() && spans[next].first == at;
            const qsizetype end = inSpan                ? at + spans[next].second
                                  : next < spans.size() ? spans[next].first
                                                        : text.size();
            if (inSpan) ++next;
            const QString part = text.mid(at, end - at);
            p->setFont(inSpan ? bold : o.font);
            p->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, part);
            r.setLeft(r.left() + QFontMetrics(p->font()).horizontalAdvance(part));
            at = end;
        }
        p->restore();
    }
};

}  // namespace

SuggestionPopup::SuggestionPopup(QWidget *owner) : QListWidget(owner) {
    setObjectName(QStringLiteral("lstSuggest"));
    // A tool tip's window: over everything, never activated, the box keeps the keyboard.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new HighlightDelegate(this));
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { emit Clicked(item->data(Qt::UserRole).toString()); });
}

void SuggestionPopup::showUnder(QWidget *anchor, const QList<Line> &lines, const QString &typed) {
    clear();
    if (lines.isEmpty()) return hide();
    static_cast<HighlightDelegate *>(itemDelegate())->typed = typed.trimmed();
    for (const Line &line : lines) {
        auto *item = new QListWidgetItem(line.text, this);
        item->setData(Qt::UserRole, line.address);
    }
    choose(-1);
    const int rowHeight = sizeHintForRow(0);
    setGeometry(QRect(anchor->mapToGlobal(QPoint(0, anchor->height())),
                      QSize(anchor->width(), rowHeight * int(lines.size()) + 2 * frameWidth())));
    show();
    raise();
}

void SuggestionPopup::step(int delta) {
    const int next = currentRow() + delta;
    choose(next < -1 ? count() - 1 : next >= count() ? -1 : next);
}

void SuggestionPopup::choose(int row) {
    setCurrentRow(row);
    if (row < 0) clearSelection();
}

void SuggestionPopup::choose(const QString &address) {
    int row = -1;
    for (int i = 0; i < count() && !address.isEmpty() && row < 0; ++i)
        if (item(i)->data(Qt::UserRole).toString() == address) row = i;
    choose(row);
}

QString SuggestionPopup::chosen() const {
    return currentRow() >= 0 ? currentItem()->data(Qt::UserRole).toString() : QString();
}

void SuggestionPopup::removeChosen() {
    delete takeItem(currentRow());
    choose(-1);
    if (count() == 0) return hide();
    resize(width(), sizeHintForRow(0) * count() + 2 * frameWidth());
}
