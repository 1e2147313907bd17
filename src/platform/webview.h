#pragma once
// What the browser relies on from a web view: operations, properties and events.
// Qt WebEngine realises it for the program, a fake for the widget tests.
#include <QObject>
#include <QString>

class QWidget;

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
    // The page zoom as the setting holds it, "150%"; false when the text is no zoom.
    virtual bool SetPageZoom(const QString &percentText) = 0;
    virtual double PageZoom() const = 0;
    // A locked page gets no keyboard focus or input.
    virtual void SetInputEnabled(bool enabled) = 0;
    // No script-error dialogs, and a view made for a page's new window: nothing to do here.
    void SetSilent(bool) {}
    void SetRegisterAsBrowser(bool) {}

  signals:
    void StatusTextChange(const QString &text);
    void ProgressChange(int progress, int progressMax);  // progress -1 once loaded
    void DownloadComplete();
    void TitleChange(const QString &text);
    // The receiver hands back the view that shows the page's new window.
    void NewWindow2(WebView **ppDisp, bool *cancel);
    void NavigateComplete2(const QString &url);
    void NavigateError(const QString &url);
    // A file offered by the page: url is the download request's own address.
    // Setting cancel drops the engine's own download.
    void FileDownload(const QString &url, const QString &suggestedName, bool *cancel);
};
