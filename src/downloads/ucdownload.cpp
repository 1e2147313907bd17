#include "ucdownload.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/transfer.h"
#include "services/windowhelpers.h"
#include "stacking.h"

// The progress text, drawn from the task when shown, however many blocks came before it;
// on a narrow line the time left matters more than the speed.
class ProgressCaption : public QWidget {
  public:
    ProgressCaption(const DownloadTask &task, QWidget *parent) : QWidget(parent), task_(task) {
        setObjectName(QStringLiteral("Label2"));
    }
    QString text() const { return task_.progressText(); }

  protected:
    void paintEvent(QPaintEvent *) override {
        QString t = task_.progressText();
        if (fontMetrics().horizontalAdvance(t) > width()) t = task_.progressText(false);
        QPainter p(this);
        p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(t, Qt::ElideRight, width()));
    }

  private:
    const DownloadTask &task_;
};

namespace {
const QColor kFault(0xE0, 0x4A, 0x3F);

QLabel *label(QWidget *parent, const QString &text, const QRect &twips, const char *name) {
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(TwipsToPixels(twips, parent));
    return l;
}

QWidget *filled(QWidget *parent, const QColor &colour, const char *name) {
    auto *w = new QWidget(parent);
    w->setObjectName(QLatin1String(name));
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    return w;
}
}  // namespace

ucDownload::ucDownload(Platform &platform, QWidget *parent)
    : QWidget(parent), platform_(platform), task_(platform.clock()) {
    setObjectName(QStringLiteral("ucDownload"));
    resize(TwipsToPixels(QRect(0, 0, stacking::kColumnWidth, stacking::kPitch), this).size());
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xC0, 0xDC, 0xFE));
    setPalette(p);
    Image1 = label(this, QString(), QRect(120, 120, 480, 480), "Image1");
    Image1->setPixmap(IconToPicture(platform_.desktop().FileIcon(QString())));
    Image1->setScaledContents(true);
    Image1->installEventFilter(this);
    const stacking::LineParts parts = stacking::LineLayout(stacking::kColumnWidth);
    Label1 = label(this, QStringLiteral("未命名文件"), parts.name, "Label1");
    Label2 = new ProgressCaption(task_, this);
    Label2->setGeometry(TwipsToPixels(parts.progress, this));
    Label3 = label(this, QStringLiteral("<a href=\"stop\">停止</a>"), parts.link, "Label3");
    connect(Label3, &QLabel::linkActivated, this, [this](const QString &link) {
        if (link == QLatin1String("pause"))
            task_.Pause();
        else if (link == QLatin1String("resume"))
            task_.Resume();
        else
            Stop();
    });
    picPro = filled(this, QColor(0xF4, 0xF8, 0xFF), "picPro");
    picPro->setGeometry(TwipsToPixels(parts.bar, this));
    lblPro = filled(picPro, QColor(0x80, 0xFF, 0x80), "lblPro");
    lblPro->setGeometry(0, 0, 1, picPro->height());
    task_.SetTransferMaker([this] { return platform_.createTransfer(this); });
    connect(&task_, &DownloadTask::Progressed, this, [this] { drawProgress(task_); });
    connect(&task_, &DownloadTask::Changed, this, [this] { draw(task_); });
    connect(&task_, &DownloadTask::Completed, this, &ucDownload::completed);
}

ucDownload::~ucDownload() = default;

void ucDownload::Download(const QString &fileName, const QString &url, Transfer *transfer) {
    task_.Start(fileName, QUrl::fromUserInput(url),
                transfer ? transfer : platform_.createTransfer(this));
    showPath(task_.targetPath());
}

void ucDownload::Restore(const DownloadRecord &record) {
    task_.Restore(record);
    showPath(task_.targetPath());
    if (task_.state() == State::Completed && !QFileInfo(task_.targetPath()).isFile())
        Label1->setText(QStringLiteral("文件已删除"));
}

// The file's name always shows: a long path gives way in its middle; the tool tip holds it
// whole, wrapped, on the screen.
void ucDownload::showPath(const QString &path) {
    Label1->setText(Label1->fontMetrics().elidedText(path, Qt::ElideMiddle, Label1->width()));
    Label1->setToolTip(QStringLiteral("<p>%1</p>").arg(path.toHtmlEscaped()));
}

// The line follows the window's width: more of the name and of the text shows.
void ucDownload::resizeEvent(QResizeEvent *) {
    const stacking::LineParts parts = stacking::LineLayout(qRound(width() * TwipsPerPixel(this)));
    Label1->setGeometry(TwipsToPixels(parts.name, this));
    Label2->setGeometry(TwipsToPixels(parts.progress, this));
    Label3->setGeometry(TwipsToPixels(parts.link, this));
    picPro->setGeometry(TwipsToPixels(parts.bar, this));
    drawProgress(task_);
    const bool gone = Label1->text() == QStringLiteral("文件已删除");
    if (!gone && !task_.targetPath().isEmpty()) showPath(task_.targetPath());
}

// Once a block: painted with the next frame, however many blocks came before it.
void ucDownload::drawProgress(const DownloadTask &task) {
    Label2->update();
    if (const int w = task.barWidth(picPro->width()); w != lblPro->width())
        lblPro->resize(w, lblPro->height());
}

void ucDownload::draw(const DownloadTask &task) {
    drawProgress(task);
    // Whole, where the line is too narrow, and wrapped on the screen, never cut.
    Label2->setToolTip(QStringLiteral("<p>%1</p>").arg(task.progressText().toHtmlEscaped()));
    // A failed task's bar turns the fault colour, whatever the skin.
    if (task.state() == State::Failed && lblPro->palette().color(QPalette::Window) != kFault) {
        QPalette p = lblPro->palette();
        p.setColor(QPalette::Window, kFault);
        lblPro->setPalette(p);
    }
    // A link stays blue when disabled: a finished task shows the word as plain grey text.
    if (task.state() == State::Completed || task.state() == State::Failed ||
        task.state() == State::Stopped) {
        Label3->setEnabled(false);
        Label3->setText(QStringLiteral("停止"));
    } else {  // what the task can do now: pause what can go on later, else stop
        const char *link = task.resumable()  ? "<a href=\"resume\">继续</a>"
                           : task.CanPause() ? "<a href=\"pause\">暂停</a>"
                                             : "<a href=\"stop\">停止</a>";
        if (Label3->text() != QString::fromUtf8(link)) Label3->setText(QString::fromUtf8(link));
    }
}

void ucDownload::completed() {
    const QString path = task_.targetPath();
    const QPixmap icon = IconToPicture(platform_.desktop().FileIcon(path));
    if (!icon.isNull()) Image1->setPixmap(icon);
    showPath(path);
    // The notice does not wait: the other downloads go on while it shows.
    platform_.dialogs().Notice(window(),
                               QStringLiteral("文件") + path + QStringLiteral("\r\n下载完成"),
                               QStringLiteral("通知"), Dialogs::Information);
}

void ucDownload::Stop() {
    task_.Stop();
}

int ucDownload::KillFile() {
    if (!task_.DeleteFile()) return 1;
    Label1->setText(QStringLiteral("文件已删除"));
    return 0;
}

void ucDownload::OpenFile() {
    const QString path = task_.targetPath();
    auto failed = [this, path](const QString &why) {
        // The folder at least, where the user can take it from.
        if (platform_.dialogs().MsgBox(
                window(),
                QStringLiteral("无法打开文件 %1：%2。\r\n是否打开所在文件夹？").arg(path, why),
                QStringLiteral("打开失败"), Dialogs::Critical,
                Dialogs::YesNo) == Dialogs::AnswerYes)
            OpenFolder();
    };
    if (!QFileInfo(path).isFile() || !platform_.desktop().OpenDocument(path, failed))
        platform_.dialogs().MsgBox(
            window(), QStringLiteral("下载管理器无法打开该文件，请确认文件是否被删除或权限不足！"),
            QStringLiteral("打开失败"), Dialogs::Critical);
}

void ucDownload::OpenFolder() {
    const QString folder = QFileInfo(task_.targetPath()).absolutePath();
    platform_.desktop().OpenDocument(folder, [this, folder](const QString &why) {
        QGuiApplication::clipboard()->setText(folder);
        platform_.dialogs().MsgBox(
            window(),
            QStringLiteral("无法打开文件夹 %1：%2。\r\n它的路径已复制到剪贴板。").arg(folder, why),
            QStringLiteral("打开失败"), Dialogs::Critical);
    });
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
