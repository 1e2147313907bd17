#pragma once
// The address box: an editable list whose first two items are "转到" and "搜索", then every
// address the tabs reached, each once, the newest last. While the user types, those that
// hold the text are suggested below it, after the visited and bookmarked pages that match
// (Up/Down choose, Delete forgets a listed one); Enter opens
// the chosen one or exactly what was typed, never a completion of it. Escape closes the
// suggestions, then asks for the tab's own address back; a first click selects it all;
// files dropped on it are handed on. What it shows is the frame's to say.
#include <QComboBox>
#include <functional>

#include "drops.h"
#include "platform/history.h"

class QLabel;
class QMimeData;
class SuggestionPopup;

class AddressBox : public QComboBox {
    Q_OBJECT
  public:
    explicit AddressBox(QWidget *parent);

    // The page's address in the box, as "转到" will use it; selected when asked.
    void showAddress(const QString &url, bool selected = false);
    // A tab reached an address: it joins the list (once, the newest last). The front tab's
    // shows, unless the user is typing; another tab's leaves the box as it is.
    // listed: joins the list (a locked tab's address shows, but is not kept).
    void append(const QString &url, bool show = true, bool listed = true);
    // Cleared history: these addresses leave the list, or every one.
    void forget(const QStringList &urls, bool everything);
    // The keyboard into the box, its text selected to type over.
    void focusSelected();
    // A box that has the keyboard and was not typed into: selected, to type over.
    void selectIfUntouched();
    QString tag() const { return tag_; }  // what "转到" and "搜索" use
    // What the box says of the front page at its left: "无痕" for a private tab, "不安全"
    // for a site the user went on to past its certificate.
    void setMarks(bool offTheRecord, bool insecure);
    // Where suggestions come from besides the list: asked for the visited and bookmarked
    // pages that match what was typed, it answers later through showSuggestions. Meanwhile
    // the last answer's pages that hold the new text show.
    void setSuggestionSource(std::function<void(const QString &)> ask) { ask_ = std::move(ask); }
    // The best first; shown while the box still holds that text and its suggestions are open.
    void showSuggestions(const QString &typed, const QList<Suggestion> &found);

  signals:
    // Enter, or "转到"/"搜索"/an address chosen from the list: the address to open; empty
    // for a search with no engine (nothing opens, the navigation page still goes).
    void NavigateRequested(const QString &address);
    void EscapePressed();
    // Delete on a suggestion: the address is to go from the history.
    void ForgetRequested(const QString &url);
    void FilesDropped(const QStringList &paths);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void submit();
    void changeList(const std::function<void()> &change);
    void suggest(const QString &typed);
    void showLines(const QString &typed);
    void closeSuggestions();
    bool suggestionKey(int key);  // true when the suggestions took the key
    bool takeDrop(QEvent *event);
    QString tag_;               // what was last typed, or the page's address
    bool updating_ = false;     // the list is being changed, not chosen from
    bool clickSelects_ = true;  // until the box has been clicked since it had the focus
    SuggestionPopup *suggestions_;
    std::function<void(const QString &)> ask_;
    QList<Suggestion> found_;       // the last answer
    QString asked_;                 // what the open suggestions are for; empty when closed
    QLabel *lblInsecure = nullptr;  // made when first needed
    QLabel *lblPrivate = nullptr;
};
