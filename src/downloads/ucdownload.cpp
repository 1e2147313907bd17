#include "ucdownload.h"

#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "core/downloadnames.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/transfer.h"
#include "services/windowhelpers.h"

namespace {
int stallTimeoutMs = 60000;

QLabel *label(QWidget *parent, const QString &text, const QRect &twips) {
    auto *l = new QLabel(text, parent);
    l->setGeometry(TwipsToPixels(twips, parent));
    return l;
}
}  // namespace

void ProgressCaption::setBytes(qint64 bytes) {
    bytes_ = bytes;
    update();  // painted with the next frame, however many blocks came before it
}

void ProgressCaption::setDetail(std::optional<qint64> expected,
                                std::optional<double> bytesPerSecond) {
    expected_ = expected;
    rate_ = bytesPerSecond;
    update();
}

void ProgressCaption::setText(const QString &text) {
    bytes_.reset();
    rate_.reset();
    fixed_ = text;
    suffix_.clear();
    update();
}

void ProgressCaption::appendSuffix(const QString &suffix) {
    rate_.reset();  // a finished task shows its figure
    suffix_ += suffix;
    update();
}

QString ProgressCaption::text() const {
    if (!bytes_) return fixed_ + suffix_;
    return (rate_ ? ProgressDetail(*bytes_, expected_, rate_) : ProgressText(*bytes_)) + suffix_;
}

void ProgressCaption::paintEvent(QPaintEvent *) {
    QString t = text();
    // On a narrow line the time left matters more than the speed.
    if (fontMetrics().horizontalAdvance(t) > width() && bytes_ && rate_)
        t = ProgressDetail(*bytes_, expected_, rate_, false) + suffix_;
    QPainter p(this);
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(t, Qt::ElideRight, width()));
}

ucDownload::ucDownload(Platform &platform, QWidget *parent) : QWidget(parent), platform_(platform) {
    setObjectName(QStringLiteral("ucDownload"));
    resize(TwipsToPixels(QRect(0, 0, 4815, 1215), this).size());
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xC0, 0xDC, 0xFE));
    setPalette(p);
    Image1 = label(this, QString(), QRect(120, 120, 480, 480));
    Image1->setPixmap(IconToPicture(platform_.desktop().FileIcon(QString())));
    Image1->setScaledContents(true);
    Image1->installEventFilter(this);
    Label1 = label(this, QStringLiteral("未命名文件"), QRect(840, 120, 3300, 255));
    Label2 = new ProgressCaption(this);
    Label2->setGeometry(TwipsToPixels(QRect(840, 360, 3300, 255), this));
    Label3 = label(this, QStringLiteral("<a href=\"stop\">停止</a>"), QRect(4200, 360, 420, 315));
    connect(Label3, &QLabel::linkActivated, this, &ucDownload::Stop);
    picPro = new QWidget(this);
    picPro->setGeometry(TwipsToPixels(QRect(120, 720, 4575, 375), this));
    picPro->setAutoFillBackground(true);
    QPalette track = picPro->palette();
    track.setColor(QPalette::Window, QColor(0xF4, 0xF8, 0xFF));
    picPro->setPalette(track);
    lblPro = new QWidget(picPro);
    lblPro->setAutoFillBackground(true);
    QPalette bar = lblPro->palette();
    bar.setColor(QPalette::Window, QColor(0x80, 0xFF, 0x80));
    lblPro->setPalette(bar);
    lblPro->setGeometry(0, 0, 1, picPro->height());
    ticker_.setInterval(qMin(1000, stallTimeoutMs));
    connect(&ticker_, &QTimer::timeout, this, &ucDownload::tick);
}

void ucDownload::setStallTimeout(int ms) {
    stallTimeoutMs = ms;
}

ucDownload::~ucDownload() {
    Stop();  // a task that goes while it runs leaves no partial file behind
    endTransfer();
}

void ucDownload::Download(const QString &fileName, const QString &url, Transfer *transfer) {
    targetPath_ = fileName;
    state_ = State::Requesting;
    transfer_ = transfer ? transfer : platform_.createTransfer(this);
    transfer_->setParent(this);
    if (transfer_->WritesFile()) transfer_->SetFile(PartialPath(targetPath_));
    connect(transfer_, &Transfer::ResponseStarted, this, &ucDownload::onResponseStarted);
    connect(transfer_, &Transfer::DataAvailable, this, &ucDownload::onDataAvailable);
    connect(transfer_, &Transfer::Finished, this, &ucDownload::onFinished);
    clock_.start();
    rate_.sample(0, 0);
    ticker_.start();
    transfer_->Execute(QUrl::fromUserInput(url));
    Label1->setText(fileName);
    Label1->setToolTip(fileName);
}

void ucDownload::onResponseStarted() {
    if (state_ != State::Requesting) return;
    // An error page is no file to save.
    if (transfer_->HttpStatus() >= 400) return fail();
    // The chosen name stays as it is (absent, or an older file) until the new one is whole.
    if (!transfer_->WritesFile()) {
        file_.setFileName(PartialPath(targetPath_));
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) return fail();
    }
    expected_ = transfer_->ContentLength();
    state_ = State::Transferring;
}

void ucDownload::onDataAvailable() {
    if (state_ != State::Transferring) return;
    if (!transfer_->WritesFile()) return writeBlocks(false);
    written_ = transfer_->BytesWritten();
    expected_ = transfer_->ContentLength();
    showBytes();
}

void ucDownload::onFinished(bool ok, const QString &) {
    if (state_ == State::Requesting && ok) onResponseStarted();
    if (state_ == State::Requesting) return fail();
    if (state_ != State::Transferring) return;
    if (transfer_->WritesFile()) {
        written_ = transfer_->BytesWritten();
        return ok ? complete() : fail();
    }
    writeBlocks(true);
    if (state_ != State::Transferring) return;
    // All that came has been written: complete only when it is all there was to come.
    if (ok && (!expected_ || written_ == *expected_))
        complete();
    else
        fail();
}

// Whole blocks as they arrive; the last, shorter block once the body has ended.
void ucDownload::writeBlocks(bool drain) {
    while (state_ == State::Transferring) {
        const qint64 available = transfer_->BytesAvailable();
        if (available == 0 || (available < kBlockSize && !drain)) return;
        char block[kBlockSize];
        const qint64 n = transfer_->Read(block, kBlockSize);
        if (n <= 0) return;
        if (file_.write(block, n) != n) return fail();  // e.g. a full disk
        written_ += n;
        showBytes();
        if (expected_ && written_ >= *expected_) return complete();
    }
}

void ucDownload::showBytes() {
    Label2->setBytes(written_);
    if (const auto w = BarWidth(written_, expected_, picPro->width());
        w && qMax(1, *w) != lblPro->width())
        lblPro->resize(qMax(1, *w), lblPro->height());
}

// Once a second: the speed, and the end of a task whose server has gone quiet.
void ucDownload::tick() {
    if (!running()) return ticker_.stop();
    const qint64 now = clock_.elapsed();
    rate_.sample(now, written_);
    if (now - rate_.lastGrowth() >= stallTimeoutMs) return fail();
    if (state_ != State::Transferring) return;
    Label2->setDetail(expected_, rate_.bytesPerSecond());
    Label2->setToolTip(Label2->text());  // whole, where the line is too narrow
}

void ucDownload::complete() {
    if (file_.isOpen()) {
        const bool flushed = file_.flush();  // what is still buffered must reach the disk too
        file_.close();
        if (!flushed || file_.error() != QFileDevice::NoError) return fail();
    }
    if (!ReplaceFile(PartialPath(targetPath_), targetPath_)) return fail();
    state_ = State::Completed;
    ticker_.stop();
    endTransfer();
    if (!expected_) lblPro->resize(picPro->width(), lblPro->height());
    Label2->appendSuffix(QStringLiteral("   下载已完成"));
    const QPixmap icon = IconToPicture(platform_.desktop().FileIcon(targetPath_));
    if (!icon.isNull()) Image1->setPixmap(icon);
    Label1->setText(targetPath_);
    disableStop();
    // The notice does not wait: the other downloads go on while it shows.
    platform_.dialogs().Notice(
        window(), QStringLiteral("文件") + targetPath_ + QStringLiteral("\r\n下载完成"),
        QStringLiteral("通知"), Dialogs::Information);
}

void ucDownload::fail() {
    state_ = State::Failed;
    ticker_.stop();
    endTransfer();
    file_.close();
    QFile::remove(PartialPath(targetPath_));  // a part of a file is no file
    Label2->setText(QStringLiteral("下载失败"));
    disableStop();
}

void ucDownload::Stop() {
    if (!running()) return;
    state_ = State::Stopped;
    ticker_.stop();
    endTransfer();  // a request still waiting for its answer is cancelled too
    file_.close();
    QFile::remove(PartialPath(targetPath_));
    lblPro->resize(1, lblPro->height());
    Label2->setText(QStringLiteral("下载已停止"));
}

// A link stays blue when disabled: a finished task shows the word as plain grey text.
void ucDownload::disableStop() {
    Label3->setEnabled(false);
    Label3->setText(QStringLiteral("停止"));
}

void ucDownload::endTransfer() {
    if (!transfer_) return;
    transfer_->Cancel();
    transfer_->deleteLater();
    transfer_ = nullptr;
}

int ucDownload::KillFile() {
    if (running()) {
        Stop();  // the transfer must not go on into a file the user deleted
        Label1->setText(QStringLiteral("文件已删除"));
        return 0;
    }
    if (state_ != State::Completed || !QFile::remove(targetPath_)) return 1;
    Label1->setText(QStringLiteral("文件已删除"));
    return 0;
}

void ucDownload::OpenFile() {
    if (!QFileInfo(targetPath_).isFile() || !platform_.desktop().Open(targetPath_))
        platform_.dialogs().MsgBox(
            window(), QStringLiteral("下载管理器无法打开该文件，请确认文件是否被删除或权限不足！"),
            QStringLiteral("打开失败"), Dialogs::Critical);
}

// Taken here: a click on a task is not also a click on the window behind it.
void ucDownload::mouseReleaseEvent(QMouseEvent *e) {
    emit MouseUp(e->button());
    e->accept();
}

bool ucDownload::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Image1 && event->type() == QEvent::MouseButtonDblClick) {
        OpenFile();
        return true;
    }
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        emit MouseUp(static_cast<QMouseEvent *>(event)->button());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
