#pragma once
// The frame's memory of pages: it opens the history database, records what every tab that is
// not locked loads (typed when the user gave the address), follows later titles, says once when
// history is off or was made anew, and gives the address box its suggestions from history and
// the bookmark folder.
#include <QHash>
#include <QObject>
#include <QThread>
#include <atomic>
#include <memory>

#include "platform/history.h"

class Form1;
class Platform;
class TabSet;

class HistoryKeeper : public QObject {
    Q_OBJECT
  public:
    // Records what the tabs load, and their pages' titles.
    HistoryKeeper(Platform &platform, TabSet *tabs, QObject *parent);
    ~HistoryKeeper() override;
    void open(const QString &path);
    void typed(Form1 *tab);         // the address this tab goes to next was typed or chosen
    void say(const QString &text);  // with the first page that loads
    // What the address box suggests for the typed text, from the history and the bookmark
    // folder, worked out off the interface's thread: Suggested answers the newest question.
    void suggestLater(const QString &typed);

  signals:
    void Notice(const QString &text);  // once, for the status strip
    void Suggested(const QString &typed, const QList<Suggestion> &found);

  private:
    void loaded(Form1 *tab);
    void retitled(Form1 *tab);
    void forget(Form1 *tab);

    Platform &platform_;
    QHash<Form1 *, bool> typedNext_;
    QHash<Form1 *, QString> recorded_;  // the address each tab last recorded
    QString notice_;                    // said with the first page that loads
    bool noticeRead_ = true;            // the database's own, once it opened
    QThread suggesting_;
    QObject *worker_ = nullptr;  // lives on that thread, once asked
    std::shared_ptr<std::atomic<int>> asked_ = std::make_shared<std::atomic<int>>(0);
};
