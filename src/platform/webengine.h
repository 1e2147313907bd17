#pragma once
// The one persistent web profile all tabs share, and the downloads its pages offer.
#include <QHash>
#include <QObject>
#include <QPointer>

class Dialogs;
class QWebEngineDownloadRequest;
class QWebEnginePage;
class QWebEngineProfile;
class QWidget;
class QtWebView;
class EngineTransfer;

class WebEngine : public QObject {
    Q_OBJECT
  public:
    // Profile data (cookies, cache, local storage) lives under storageDir.
    // The pages' own questions (script dialogs, logins) are asked through dialogs.
    WebEngine(const QString &storageDir, Dialogs &dialogs, QObject *parent = nullptr);
    ~WebEngine() override;
    QWebEngineProfile *profile() const { return profile_; }
    QtWebView *createView(QWidget *parent, bool offTheRecord = false);
    // The private profile: made for the first private view, thrown away after the last.
    QWebEngineProfile *privateProfile();
    // The browsing history only: visited links and every view's back and forward list;
    // cookies and the cache stay.
    void ClearHistory();

  private:
    friend class QtWebView;
    void onDownloadRequested(QWebEngineDownloadRequest *request);
    void setUp(QWebEngineProfile *profile);
    static void keepLinksPrivate(const QString &profileDir);
    void privateViewGone();
    QWebEngineProfile *profile_;
    QWebEngineProfile *private_ = nullptr;
    int privateViews_ = 0;
    Dialogs *dialogs_;
    QHash<QWebEnginePage *, QtWebView *> views_;
    // Every download offered so far by id, with the transfer a task follows it by.
    using Offer = QPair<const QObject *, quint32>;  // the profile, its download's id
    QHash<Offer, QPointer<EngineTransfer>> offered_;
};
