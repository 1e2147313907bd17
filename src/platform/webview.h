#pragma once
// What the browser relies on from a web view: operations, properties and events.
// Qt WebEngine realises it for the program, a fake for the widget tests.
#include <QIcon>
#include <QObject>
#include <QString>
#include <optional>

#include "core/tabrest.h"

class QWidget;
class Transfer;

// A file a page offers.
struct DownloadOffer {
    QString url;            // the download request's own address
    QString suggestedName;  // the engine's, from Content-Disposition and the MIME type
    // The engine's own fetch of it, the one request the page made (a one-time link, a form's
    // post, a script's blob); the engine's unless the answer says it was taken.
    Transfer *engineTransfer = nullptr;
};

// What becomes of an offered file: dropped, taken (a task runs the engine's fetch and owns
// it), or saved by the engine itself to savePath.
struct DownloadAnswer {
    enum Kind { Cancel, Taken, SaveByEngine } kind = Cancel;
    QString savePath;
};

class WebView;

// Whoever holds a view answers what its page asks of the browser.
class ViewHost {
  public:
    virtual ~ViewHost() = default;
    // The view of a new tab for the page's new window, behind this one when background;
    // none when refused.
    virtual WebView *openWindow(bool background) = 0;
    virtual DownloadAnswer offerDownload(const DownloadOffer &offer) = 0;
};

class WebView : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~WebView() override;

    virtual QWidget *widget() = 0;

    virtual void Navigate(const QString &address) = 0;
    virtual bool GoBack() = 0;  // false when there is no history that way
    virtual bool GoForward() = 0;
    virtual void Stop() = 0;
    virtual void Refresh() = 0;
    virtual void GoHome() = 0;    // the start page bundled in the program folder
    virtual void GoSearch() = 0;  // the front page of the chosen search engine
    virtual void Print(QWidget *dialogParent) = 0;

    virtual QString LocationURL() const = 0;
    virtual QString Title() const = 0;
    // Whether the title is the page's own, not the address the engine shows in its place;
    // none where the view cannot tell.
    virtual std::optional<bool> TitleIsOwn() const { return std::nullopt; }
    // The page zoom as the setting holds it, "150%"; false when the text is no zoom.
    virtual bool SetPageZoom(const QString &percentText) = 0;
    virtual double PageZoom() const = 0;
    // A locked page gets no keyboard focus or input.
    virtual void SetInputEnabled(bool enabled) = 0;
    virtual bool IsLoading() const { return false; }
    // The last load ended on the engine's error page (no server, no such host).
    virtual bool LoadFailed() const { return false; }
    virtual bool CanGoBack() const { return false; }
    virtual bool CanGoForward() const { return false; }
    // Reloads from the server, past the cache (Ctrl+F5).
    virtual void RefreshFromServer() { Refresh(); }
    // The back and forward list as bytes, for a closed tab to come back with it.
    virtual QByteArray SavedHistory() const { return {}; }
    virtual void RestoreHistory(const QByteArray &bytes) = 0;
    // Finds in the page, highlighting every match; an empty text ends the search. The
    // count comes back as FindResult.
    virtual void Find(const QString &text, bool backward, bool matchCase) = 0;
    // The page with its resources, as a single file.
    virtual void SavePage(const QString &path) = 0;
    virtual void ExitFullScreen() = 0;
    // The answer to CertificateProblem: go on to the page, or not.
    virtual void AnswerCertificate(bool proceed) = 0;
    // The answer to PermissionRequested.
    virtual void AnswerPermission(const QString &origin, int feature, bool allow) = 0;
    // The page's rest in the background (the engine's lifecycle state), the deepest it allows
    // now (none while it loads, shows a dialog, plays sound, fills the screen or downloads),
    // and a new one; the engine wakes a page when it is shown.
    virtual tabrest::Rest RestState() const { return tabrest::Rest::Awake; }
    virtual tabrest::Rest DeepestRest() const { return tabrest::Rest::Awake; }
    virtual void SetRest(tabrest::Rest rest) = 0;
    // On the private profile: nothing of the page is kept on disk.
    virtual bool OffTheRecord() const { return false; }
    // Who answers the page's new windows and files; none refuses them.
    void setHost(ViewHost *host) { host_ = host; }
    ViewHost *host() const { return host_; }

  signals:
    void StatusTextChange(const QString &text);
    void ProgressChange(int progress, int progressMax);  // progress -1 once loaded
    void DownloadComplete();
    void TitleChange(const QString &text);
    void NavigateComplete2(const QString &url);
    void NavigateError(const QString &url);
    // A link to one of our bookmark files was followed: the file is not shown as text, the
    // receiver opens the address it holds.
    void BookmarkFileOpened(const QString &path);
    // A new window no click asked for (a script's window.open): not opened.
    void PopupBlocked(const QString &url);
    // A file the engine saved itself to the answer's savePath: whole, or failed.
    void DownloadSaved(const QString &path, bool ok);
    void IconChange(const QIcon &icon);  // null: the page has none (yet)
    void HistoryChange();                // CanGoBack or CanGoForward may differ now
    void FindResult(int active, int total);
    // The page's process ended (a crash, out of memory, killed): the page is gone.
    void RenderProcessGone();
    // The server's certificate is not to be trusted; the page waits for AnswerCertificate.
    void CertificateProblem(const QString &url, const QString &description);
    // The page asks for a feature (what: its name in Chinese); AnswerPermission answers.
    void PermissionRequested(const QString &origin, int feature, const QString &what);
    void FullScreenRequested(bool on);
    // The page's script asks to close its window (window.close()).
    void CloseRequested();

  private:
    ViewHost *host_ = nullptr;
};
