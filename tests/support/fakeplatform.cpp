#include "fakeplatform.h"

#include <QTimer>

FakeWebView::FakeWebView(QWidget *parent) : WebView(parent), widget_(new QWidget(parent)) {}

void FakeWebView::Navigate(const QString &address) {
    calls << "Navigate " + address;
}

bool FakeWebView::GoBack() {
    calls << "GoBack";
    return canGoBack;
}

void FakeWebView::GoHome() {
    calls << "GoHome";
}

bool FakeWebView::SetPageZoom(const QString &percentText) {
    bool ok = false;
    if (!percentText.endsWith('%')) return false;
    percentText.chopped(1).toDouble(&ok);
    if (ok) zoomText = percentText;
    return ok;
}

void FakeWebView::finishLoad(const QString &address, const QString &pageTitle) {
    url = address;
    title = pageTitle;
    emit StatusTextChange("正在打开网页...");
    emit ProgressChange(10, 100);
    emit NavigateComplete2(address);
    emit ProgressChange(60, 100);
    emit TitleChange(pageTitle);
    emit ProgressChange(-1, 100);
    emit DownloadComplete();
}

Dialogs::Answer FakeDialogs::MsgBox(QWidget *, const QString &text, const QString &title, Icon icon,
                                    Buttons buttons) {
    shown.push_back({text, title, icon, buttons});
    if (answers.empty()) return AnswerOk;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

QString FakeDialogs::ShowSave(QWidget *, const QString &title, const QString &filter,
                              const QString &fileName) {
    saveRequests << title + "|" + filter + "|" + fileName;
    if (saveAs) return saveAs(fileName);
    if (files.empty()) return {};
    const QString f = files.front();
    files.pop_front();
    return f;
}

QString FakeDialogs::ShowOpen(QWidget *, const QString &, const QString &) {
    if (files.empty()) return {};
    const QString f = files.front();
    files.pop_front();
    return f;
}

std::optional<QColor> FakeDialogs::ShowColor(QWidget *, const QColor &) {
    if (colours.empty()) return std::nullopt;
    const auto c = colours.front();
    colours.pop_front();
    return c;
}

std::optional<QString> FakeDialogs::InputBox(QWidget *, const QString &, const QString &,
                                             const QString &) {
    if (inputs.empty()) return std::nullopt;
    const QString text = inputs.front();
    inputs.pop_front();
    return text;
}

WebView *FakePlatform::createWebView(QWidget *parent, bool offTheRecord) {
    auto *v = new FakeWebView(parent);
    v->offTheRecord = offTheRecord;
    views << v;
    QObject::connect(v, &QObject::destroyed, [this, v] { views.removeAll(v); });
    return v;
}

Transfer *FakePlatform::createTransfer(QObject *parent) {
    auto *t = new FakeTransfer(parent);
    transfers << t;
    if (script) QTimer::singleShot(0, t, [t, s = script] { s(t); });
    return t;
}
