#pragma once
// The web view realised with Qt WebEngine.
#include <QPointer>
#include <QUrl>
#include <QWebEngineCertificateError>
#include <memory>
#include <optional>

#include "webengine.h"
#include "webview.h"

class Dialogs;
class QWebEngineDownloadRequest;
class QWebEnginePage;
class QWebEngineView;
class QPrinter;

class QtWebView : public WebView {
    Q_OBJECT
  public:
    QtWebView(WebEngine *engine, QWidget *parent, bool offTheRecord = false);
    ~QtWebView() override;

    QWidget *widget() override;
    void Navigate(const QString &address) override;
    bool GoBack() override;
    bool GoForward() override;
    void Stop() override;
    void Refresh() override;
    void GoHome() override;
    void GoSearch() override;
    void Print(QWidget *dialogParent) override;
    QString LocationURL() const override;
    QString Title() const override;
    std::optional<bool> TitleIsOwn() const override;
    bool SetPageZoom(const QString &percentText) override;
    double PageZoom() const override;
    void SetInputEnabled(bool enabled) override;
    bool IsLoading() const override { return loading_; }
    bool OffTheRecord() const override { return offTheRecord_; }
    bool LoadFailed() const override { return failed_; }
    bool CanGoBack() const override;
    bool CanGoForward() const override;
    void RefreshFromServer() override;
    QByteArray SavedHistory() const override;
    void RestoreHistory(const QByteArray &bytes) override;
    void Find(const QString &text, bool backward, bool matchCase) override;
    void SavePage(const QString &path) override;
    void ExitFullScreen() override;
    void AnswerCertificate(bool proceed) override;
    void AnswerPermission(const QString &origin, int feature, bool allow) override;
    tabrest::Rest RestState() const override;
    tabrest::Rest DeepestRest() const override;
    void SetRest(tabrest::Rest rest) override;
    Dialogs &dialogs() const;
    // A dialog of the page's goes up (+1) or down (-1): while one is up, the page stays awake.
    void countDialog(int change) { dialogsOpen_ += change; }

    QWebEngineView *view() const { return view_; }
    QWebEnginePage *page() const;
    // The page of a new tab for a window a click asked for; none when refused.
    QWebEnginePage *requestNewWindow(bool background = false);

  private:
    friend class WebEngine;
    WebEngine *engine_;
    QWebEngineView *view_;
    bool offTheRecord_;
    bool loading_ = false;
    bool failed_ = false;
    bool fullScreen_ = false;
    int dialogsOpen_ = 0;
    QList<QPointer<QWebEngineDownloadRequest>> downloads_;   // the page's, for its rest
    std::optional<QWebEngineCertificateError> certificate_;  // waiting for the user
    std::unique_ptr<QPrinter> printer_;
};
