#pragma once
// One tab: a web view with two panels that can cover it, the navigation page picNav
// and the lock panel picPass. The tab reports its view's events to the frame.
#include <QWidget>

class Dialogs;
class LockPanel;
class NavPage;
class mdiBrowser;
class Platform;
class WebView;

class Form1 : public QWidget {
    Q_OBJECT
  public:
    Form1(mdiBrowser *frame, Platform &platform, QWidget *parent = nullptr);
    ~Form1() override;

    // Load steps: home page remembered, shown, locked or on the navigation page as set.
    void Load();
    // The tab became the active one.
    void GotFocus();
    // Before the tab goes: the address bar's text becomes "LastPage".
    void Unload();

    QString caption() const { return windowTitle(); }
    // Reloads the navigation tiles from 数据/navi.ini.
    void ReadNav();
    bool isLocked() const;
    void setLocked(bool locked);

    WebView *brwWebBrowser;
    NavPage *picNav;
    LockPanel *picPass;

  protected:
    void resizeEvent(QResizeEvent *) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    bool isActive() const;
    void onStatusTextChange(const QString &text);
    void onProgressChange(int progress, int progressMax);
    void onDownloadComplete();
    void onTitleChange(const QString &text);
    void onNewWindow2(WebView **ppDisp, bool *cancel);
    void onNavigateComplete2(const QString &url);
    void onFileDownload(const QString &url, const QString &suggestedName, bool *cancel);
    void layoutCovers();

    mdiBrowser *frame_;
    Dialogs &dialogs_;
};
