#pragma once
// Fakes of the platform layer for widget tests: a web view that records what it was
// told and emits events on request, dialogs that record and answer from a script.
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/keystate.h"
#include "platform/platform.h"
#include "platform/transfer.h"
#include "platform/webview.h"

class FakeWebView : public WebView {
    Q_OBJECT
  public:
    explicit FakeWebView(QWidget *parent);
    QWidget *widget() override { return widget_; }
    void Navigate(const QString &address) override;
    bool GoBack() override;
    bool GoForward() override { return false; }
    void Stop() override { calls << "Stop"; }
    void Refresh() override { calls << "Refresh"; }
    void GoHome() override;
    void GoSearch() override { calls << "GoSearch"; }
    void Print(QWidget *) override { calls << "Print"; }
    QString LocationURL() const override { return url; }
    QString Title() const override { return title; }
    bool SetPageZoom(const QString &percentText) override;
    double PageZoom() const override {
        return zoomText.isEmpty() ? 1 : zoomText.chopped(1).toDouble() / 100;
    }
    void Find(const QString &text, bool, bool) override { calls << "Find " + text; }
    void SavePage(const QString &path) override { calls << "SavePage " + path; }
    bool OffTheRecord() const override { return offTheRecord; }
    void SetInputEnabled(bool enabled) override { inputEnabled = enabled; }
    bool CanGoBack() const override { return canGoBack; }
    QByteArray SavedHistory() const override { return history.join('|').toUtf8(); }
    void RestoreHistory(const QByteArray &bytes) override { calls << "Restore " + bytes; }
    void ExitFullScreen() override { calls << "ExitFullScreen"; }
    void AnswerCertificate(bool proceed) override {
        calls << QStringLiteral("AnswerCertificate %1").arg(int(proceed));
    }
    void AnswerPermission(const QString &origin, int feature, bool allow) override {
        calls
            << QStringLiteral("AnswerPermission %1 %2 %3").arg(origin).arg(feature).arg(int(allow));
    }
    void SetRest(tabrest::Rest rest) override {
        calls << QStringLiteral("SetRest %1").arg(int(rest));
    }

    // A whole page load as the engine reports it.
    void finishLoad(const QString &address, const QString &pageTitle);

    QStringList calls;  // "Navigate <address>", "GoHome", ...
    QString url, title, zoomText;
    QStringList history;
    bool inputEnabled = true;
    bool offTheRecord = false;
    bool canGoBack = false;

  private:
    QWidget *widget_;
};

class FakeDialogs : public Dialogs {
  public:
    struct Shown {
        QString text, title;
        Icon icon;
        Buttons buttons;
    };
    Answer MsgBox(QWidget *, const QString &text, const QString &title, Icon icon,
                  Buttons buttons) override;
    void Notice(QWidget *, const QString &text, const QString &title, Icon icon) override {
        notices.push_back({text, title, icon, Ok});
    }
    QString ShowSave(QWidget *, const QString &title, const QString &filter,
                     const QString &fileName) override;
    QString ShowOpen(QWidget *, const QString &, const QString &) override;
    std::optional<QColor> ShowColor(QWidget *, const QColor &) override;
    std::optional<QString> InputBox(QWidget *, const QString &, const QString &,
                                    const QString &) override;

    std::vector<Shown> shown;
    std::vector<Shown> notices;  // messages that did not wait
    std::deque<Answer> answers;  // AnswerOk when empty
    std::deque<QString> files;   // save/open answers; empty text = cancelled
    std::deque<QString> inputs;  // input box answers; none left = cancelled
    // When set, answers every save dialog from the proposed path.
    std::function<QString(const QString &proposed)> saveAs;
    QStringList saveRequests;                   // "title|filter|fileName"
    std::deque<std::optional<QColor>> colours;  // colour dialog answers; none = cancelled
};

// A transfer the test drives: it answers, feeds bytes and ends when told.
class FakeTransfer : public Transfer {
    Q_OBJECT
  public:
    using Transfer::Transfer;
    void Execute(const QUrl &u, Method m) override {
        url = u;
        method = m;
    }
    bool CanResume() const override { return true; }
    void ExecuteFrom(const QUrl &u, qint64 f, const QByteArray &v) override {
        url = u;
        from = f;
        validator = v;
    }
    void Cancel() override { cancelled = true; }
    int HttpStatus() const override { return status; }
    std::optional<qint64> ContentLength() const override { return length; }
    QByteArray Header(const QByteArray &name) const override { return headers.value(name); }
    qint64 BytesAvailable() const override { return buffer.size(); }
    QByteArray GetChunk(qint64 maxBytes) override {
        const QByteArray out = buffer.left(maxBytes);
        buffer.remove(0, out.size());
        reads << out.size();
        return out;
    }
    void respond(int httpStatus, std::optional<qint64> contentLength) {
        status = httpStatus;
        length = contentLength;
        emit ResponseStarted();
    }
    void feed(const QByteArray &bytes) {
        buffer += bytes;
        emit DataAvailable();
    }
    void finish(bool ok) {
        emit Finished(ok, ok ? QString() : QStringLiteral("连接中断"));  // as the real one says
    }

    QUrl url;
    Method method = Method::Get;
    qint64 from = -1;  // a resume's first byte
    QByteArray validator;
    QHash<QByteArray, QByteArray> headers;
    int status = 0;
    std::optional<qint64> length;
    QByteArray buffer;
    QList<qint64> reads;
    bool cancelled = false;
};

class FakeKeys : public KeyState {
  public:
    bool isDown(Qt::Key key) override { return down.contains(key); }
    // As X input's raw events do: no poll needed.
    bool watch(std::function<void()> changed) override {
        watched = std::move(changed);
        return watches;
    }
    QSet<int> down;
    bool watches = false;
    std::function<void()> watched;
};

// Records what was opened; answers as told.
class FakeDesktop : public Desktop {
  public:
    bool Open(const QString &pathOrAddress) override {
        opened << pathOrAddress;
        return openSucceeds;
    }
    QIcon FileIcon(const QString &) override { return {}; }
    QString DesktopFolder() override { return desktopFolder; }
    bool WindowManagerRunning() override { return false; }
    bool GlassAvailable() override { return glass; }
    bool glass = false;  // a compositing manager runs
    bool WriteLauncher(const QString &path, const QString &contents) override {
        launchers[path] = contents;
        return true;
    }
    void RegisterDefaultBrowser(const QString &entry, const QStringList &) override {
        browserEntry = entry;
        isDefault = true;
    }
    bool IsDefaultBrowser() override { return isDefault; }
    QMap<QString, QString> launchers;
    QString browserEntry;
    bool isDefault = false;
    QStringList opened;
    bool openSucceeds = true;
    QString desktopFolder;
};

// A clock that stands where a test puts it (the real time while it has none) and whose
// steady count moves only when the test moves it.
class FakeClock : public Clock {
  public:
    QDateTime now() const override { return fixedNow.isValid() ? fixedNow : Clock::now(); }
    qint64 steadyMs() const override { return steady; }
    QDateTime fixedNow;
    qint64 steady = 0;
};

class FakePlatform : public Platform {
  public:
    Clock &clock() override { return clock_; }
    FakeClock clock_;
    WebView *createWebView(QWidget *parent, bool offTheRecord) override;
    Transfer *createTransfer(QObject *parent) override;
    // When set, runs on every new transfer once control is back in the event loop.
    std::function<void(FakeTransfer *)> script;
    QList<QPointer<FakeTransfer>> transfers;
    void ClearBrowsingData(int what) override {
        if (what & History) ++tracksCleared;
        cleared |= what;
    }
    int tracksCleared = 0;
    int cleared = 0;
    tabrest::Memory memory() override { return memory_; }
    tabrest::Memory memory_;  // not known, unless a test says
    Dialogs &dialogs() override { return dialogs_; }
    Desktop &desktop() override { return desktop_; }
    KeyState &keys() override { return keys_; }
    QList<FakeWebView *> views;
    FakeDesktop desktop_;
    FakeDialogs dialogs_;
    FakeKeys keys_;
};
