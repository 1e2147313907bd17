#include "ucdownload.h"

#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/transfer.h"
#include "progress.h"
#include "services/windowhelpers.h"

namespace {
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

void ProgressCaption::setText(const QString &text) {
    bytes_.reset();
    fixed_ = text;
    suffix_.clear();
    update();
}

void ProgressCaption::appendSuffix(const QString &suffix) {
    suffix_ += suffix;
    update();
}

QString ProgressCaption::text() const {
    return (bytes_ ? ProgressText(*bytes_) : fixed_) + suffix_;
}

void ProgressCaption::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text());
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
}

ucDownload::~ucDownload() {
    endTransfer();
}

void ucDownload::Download(const QString &fileName, const QString &url) {
    targetPath_ = fileName;
    state_ = State::Requesting;
    transfer_ = platform_.createTransfer(this);
    connect(transfer_, &Transfer::ResponseStarted, this, &ucDownload::onResponseStarted);
    connect(transfer_, &Transfer::DataAvailable, this, &ucDownload::onDataAvailable);
    connect(transfer_, &Transfer::Finished, this, &ucDownload::onFinished);
    transfer_->Execute(QUrl::fromUserInput(url));
    Label1->setText(fileName);
    Label1->setToolTip(fileName);
}

void ucDownload::onResponseStarted() {
    if (state_ != State::Requesting) return;
    // An error page is no file to save.
    if (transfer_->HttpStatus() >= 400) return fail();
    file_.setFileName(targetPath_);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) return fail();
    expected_ = transfer_->ContentLength();
    state_ = State::Transferring;
}

void ucDownload::onDataAvailable() {
    if (state_ == State::Transferring) writeBlocks(false);
}

void ucDownload::onFinished(bool ok, const QString &) {
    if (state_ == State::Requesting && ok) onResponseStarted();
    if (state_ == State::Requesting) return fail();
    if (state_ != State::Transferring) return;
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
        Label2->setBytes(written_);
        if (const auto w = BarWidth(written_, expected_, picPro->width());
            w && qMax(1, *w) != lblPro->width())
            lblPro->resize(qMax(1, *w), lblPro->height());
        if (expected_ && written_ >= *expected_) return complete();
    }
}

void ucDownload::complete() {
    if (!file_.flush()) return fail();  // what is still buffered must reach the disk too
    state_ = State::Completed;
    file_.close();
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
    const bool opened = file_.isOpen();
    state_ = State::Failed;
    file_.close();  // keeps exactly the bytes written
    endTransfer();
    if (opened && written_ == 0) QFile::remove(targetPath_);  // nothing came: no empty fake
    Label2->setText(QStringLiteral("下载失败"));
    disableStop();
}

void ucDownload::Stop() {
    if (state_ != State::Requesting && state_ != State::Transferring) return;
    state_ = State::Stopped;
    endTransfer();  // a request still waiting for its answer is cancelled too
    file_.close();
    if (QFileInfo::exists(targetPath_) && written_ > 0) QFile::remove(targetPath_);
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
    if (targetPath_.isEmpty() || !QFile::remove(targetPath_)) return 1;
    Label1->setText(QStringLiteral("文件已删除"));
    return 0;
}

void ucDownload::OpenFile() {
    if (!QFileInfo(targetPath_).isFile() || !platform_.desktop().Open(targetPath_))
        platform_.dialogs().MsgBox(
            window(), QStringLiteral("下载管理器无法打开该文件，请确认文件是否被删除或权限不足！"),
            QStringLiteral("打开失败"), Dialogs::Critical);
}

void ucDownload::mouseReleaseEvent(QMouseEvent *e) {
    emit MouseUp(e->button());
    QWidget::mouseReleaseEvent(e);
}

bool ucDownload::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Image1 && event->type() == QEvent::MouseButtonDblClick) {
        OpenFile();
        return true;
    }
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease)
        emit MouseUp(static_cast<QMouseEvent *>(event)->button());
    return QWidget::eventFilter(watched, event);
}
