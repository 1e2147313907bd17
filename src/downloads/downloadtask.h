#pragma once
// One download as a task: the request followed through its states, the body written block
// by block into a partial file of its own and moved onto the name once whole, the 60-second stall
// rule, stop, and the texts its line shows. It needs no window: the task widget draws it.
#include <QFile>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <optional>

#include "core/downloadlist.h"
#include "progress.h"

class Clock;
class Transfer;
class WritingTransfer;

class DownloadTask : public QObject {
    Q_OBJECT
  public:
    // Paused by the user, or Interrupted by a break (tried again by itself a few times): the
    // partial file stays, and Resume goes on from its end.
    enum class State {
        Idle,
        Requesting,
        Transferring,
        Completed,
        Stopped,
        Failed,
        Paused,
        Interrupted
    };
    static constexpr qint64 kStallMs = 60000;  // a task that gets no byte for this long fails
    static constexpr int kRetries = 3;         // a break is tried again 2, 8 and 30 s later

    explicit DownloadTask(Clock &clock, QObject *parent = nullptr);
    // A task that goes while it runs leaves no partial file; a paused or interrupted one
    // keeps it, for its record to go on from.
    ~DownloadTask() override;

    // A new direct transfer, for going on after a break or in a later run.
    void SetTransferMaker(std::function<Transfer *()> make) { make_ = std::move(make); }
    // Follows the transfer (adopted) for the address; the file is named target once whole.
    void Start(const QString &target, const QUrl &url, Transfer *transfer);
    // What the list keeps of it across starts; and a task of an earlier run from that: one
    // that was running comes back interrupted, to go on from its partial file.
    DownloadRecord record() const;
    void Restore(const DownloadRecord &record);
    // The program closes: a page's download still running leaves the engine with its file
    // under a name of the task's own, to go on from in the next run.
    void Hold();
    void Stop();  // the partial file goes too
    // Only a task whose server can send the rest (the direct transfer, the server taking
    // ranges or naming the file's version), or the engine's own, which it holds.
    bool CanPause() const;
    void Pause();
    void Resume();
    // Deletes the downloaded file, stopping a running task first: false when it could not.
    bool DeleteFile();
    // Once a second while it runs: the speed, and the end of a task whose server went quiet.
    void tick();

    State state() const { return state_; }
    bool running() const { return state_ == State::Requesting || state_ == State::Transferring; }
    bool resumable() const { return state_ == State::Paused || state_ == State::Interrupted; }
    qint64 bytesWritten() const { return written_; }
    std::optional<qint64> expected() const { return expected_; }
    QString targetPath() const { return target_; }
    QString partialPath() const { return partial_; }
    QUrl url() const { return url_; }
    // The progress line: the figure, with sizes, speed and time left while it runs (without
    // the speed when short is asked for), or what became of it ("下载失败：连接中断").
    QString progressText(bool withSpeed = true) const;
    // The bar's width on a track of this many pixels; at least 1.
    int barWidth(int track) const;

  signals:
    void Progressed();  // more bytes written (once a block: cheap to follow)
    void Changed();     // the state, the speed or the texts moved
    void Completed();   // whole, under its name

  private:
    void adopt(Transfer *transfer);
    void goOn(State state);  // from a pause or a break
    void restartRate();
    void onResponseStarted();
    void transferring();
    void askWhole(const QString &note);
    void onDataAvailable();
    void onFinished(bool ok, const QString &error);
    void writeBlocks(bool drain);
    void complete();
    bool land();
    void fail(const QString &reason);
    // A break: a task that can go on keeps its file and tries again, else it fails.
    void interrupt(const QString &reason);
    bool takeOver();
    QString landing() const;             // where the file is once the transfer has it whole
    QString fileFault(int error) const;  // error: errno
    void end(State state, const QString &text);
    void endTransfer();

    Clock &clock_;
    Transfer *transfer_ = nullptr;
    WritingTransfer *writing_ = nullptr;  // the same, when it writes the file itself
    State state_ = State::Idle;
    QString target_;
    QString partial_;  // its own partial file: "<name>.part", or "<name>.<n>.part"
    QUrl url_;
    QFile file_;
    QByteArray waiting_;  // read from the reply, short of a whole block
    std::optional<qint64> expected_;
    qint64 written_ = 0;
    qint64 offset_ = 0;        // where the current request's body starts in the file
    QByteArray validator_;     // the file's version as the server names it, for If-Range
    bool resumable_ = false;   // the server can send the rest (or may: a page's download)
    bool page_ = false;        // a page's download: its request is never made again
    bool wholeAsked_ = false;  // after a false answer: asked for the whole once
    std::optional<std::pair<quint64, quint64>> replaces_;  // the file under the name at the start
    int retries_ = 0;  // tried again by itself since the last byte came
    QTimer retry_;
    std::function<Transfer *()> make_;
    qint64 started_ = 0;  // the clock's steady count at the start
    QTimer ticker_;
    RateMeter rate_;
    std::optional<double> shownRate_;                    // the speed shown: measured once a second
    QString fixed_ = QStringLiteral("已下载: 0 字节.");  // the text while no figure shows
    bool figure_ = false;                                // the figure shows, not the fixed text
    QString suffix_;
    QString note_;  // what became of a resume: said to the end
};
