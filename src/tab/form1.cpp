#include "form1.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QResizeEvent>
#include <QUrl>
#include <cmath>

#include "lockpanel.h"
#include "navpage.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/webview.h"
#include "services/contentfilter.h"
#include "core/textfiles.h"
#include "core/config.h"
#include "shell/mdibrowser.h"

Form1::Form1(mdiBrowser *frame, Platform &platform, QWidget *parent)
    : QWidget(parent), frame_(frame), dialogs_(platform.dialogs()) {
    setObjectName(QStringLiteral("Form1"));
    brwWebBrowser = platform.createWebView(this);
    // The navigation page lies above the lock panel: made later, it stacks higher.
    picPass = new LockPanel(this);
    picNav = new NavPage(this, platform.dialogs(), this);
    picPass->installEventFilter(this);

    WebView *v = brwWebBrowser;
    connect(v, &WebView::StatusTextChange, this, &Form1::onStatusTextChange);
    connect(v, &WebView::ProgressChange, this, &Form1::onProgressChange);
    connect(v, &WebView::DownloadComplete, this, &Form1::onDownloadComplete);
    connect(v, &WebView::TitleChange, this, &Form1::onTitleChange);
    connect(v, &WebView::NewWindow2, this, &Form1::onNewWindow2);
    connect(v, &WebView::NavigateComplete2, this, &Form1::onNavigateComplete2);
    connect(v, &WebView::FileDownload, this, &Form1::onFileDownload);
}

Form1::~Form1() = default;

void Form1::Load() {
    brwWebBrowser->SetSilent(true);
    frame_->CurrentHomePage = ReadSetting(QStringLiteral("HomePage"));
    show();
    if (config::oneOrUnreadable(ReadSetting(QStringLiteral("OpenPass")))) setLocked(true);
    if (config::oneOrUnreadable(ReadSetting(QStringLiteral("OpenNav")))) picNav->show();
    ReadNav();
}

void Form1::ReadNav() {
    picNav->ReadNav();
}

bool Form1::isLocked() const {
    return !picPass->isHidden();
}

void Form1::setLocked(bool locked) {
    if (locked) picPass->ensureBuilt();
    picPass->setVisible(locked);
}

// The lock panel's visibility decides whether the page may take input, whoever shows it.
bool Form1::eventFilter(QObject *watched, QEvent *event) {
    if (watched == picPass &&
        (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        brwWebBrowser->SetInputEnabled(picPass->isHidden());
    return QWidget::eventFilter(watched, event);
}

void Form1::resizeEvent(QResizeEvent *) {
    layoutCovers();
}

void Form1::layoutCovers() {
    const QRect all = rect();
    brwWebBrowser->widget()->setGeometry(all);
    picPass->setGeometry(all);  // each centres its own core
    picNav->setGeometry(all);
}

void Form1::GotFocus() {
    frame_->cboAddress->setEditText(brwWebBrowser->LocationURL());
    frame_->addressTag = frame_->cboAddress->currentText();
    frame_->lblSta->clear();
    frame_->lblPro->hide();
}

void Form1::Unload() {
    frame_->lblPro->hide();
    frame_->lblSta->clear();
    WriteSetting(QStringLiteral("LastPage"), frame_->cboAddress->currentText());
}

bool Form1::isActive() const {
    return frame_->ActiveForm() == this;
}

void Form1::onStatusTextChange(const QString &text) {
    if (isActive()) frame_->lblSta->setText(text);
}

void Form1::onProgressChange(int progress, int progressMax) {
    if (!isActive() || !frame_->showsLoadProgress()) return;
    frame_->ShowProgress(progress, progressMax);
}

void Form1::onDownloadComplete() {
    const QString zoom = ReadSetting(QStringLiteral("Zoom"));
    brwWebBrowser->SetPageZoom(zoom + QLatin1Char('%'));
    frame_->lblZoom->setText(zoom + QStringLiteral(" %"));
    frame_->CurrentZoom = int(std::floor(config::leadingNumber(zoom)));
    frame_->showRefreshButton();
    frame_->lblPro->hide();
}

void Form1::onTitleChange(const QString &text) {
    setWindowTitle(text);
    frame_->tabCaptionChanged(this);
    if (!TitleIsAddress(text, QUrl(brwWebBrowser->LocationURL())) && IsPageFiltered(text))
        setLocked(true);
}

void Form1::onNewWindow2(WebView **ppDisp, bool *) {
    Form1 *tab = frame_->CreateTab();
    tab->brwWebBrowser->SetRegisterAsBrowser(true);
    *ppDisp = tab->brwWebBrowser;
    tab->setLocked(isLocked());  // a window opened from a locked tab starts locked
    frame_->ColourTab(tab, false);
    frame_->ShowTab(tab);
}

void Form1::onNavigateComplete2(const QString &) {
    frame_->AddressListAppend(brwWebBrowser->LocationURL());
    frame_->showStopButton();
}

// A file the page offers goes to the download manager, unless "AutoDownload" is "0".
void Form1::onFileDownload(const QString &url, const QString &, bool *cancel) {
    if (ReadSetting(QStringLiteral("AutoDownload")) == QLatin1String("0")) return;
    *cancel = true;
    const QString path = dialogs_.ShowSave(this, QStringLiteral("下载文件另存为"),
                                           QStringLiteral("所有文件|*.*"), FileNameFromUrl(url));
    if (path.isEmpty()) return;  // a cancelled dialog starts nothing
    frame_->NewDownload(path, url);
}
