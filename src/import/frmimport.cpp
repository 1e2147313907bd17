#include "frmimport.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/store.h"
#include "platform/dialogs.h"
#include "platform/otherbrowsers.h"
#include "platform/platform.h"

namespace {

constexpr int kBookmarksPerStep = 200;
constexpr int kVisitsPerBatch = 2000;
constexpr int kBatchesWriting = 3;  // read ahead of the history's writer no further
constexpr qint64 kDay = 24LL * 3600 * 1000;

}  // namespace

struct frmImport::Source {
    QString label;
    std::unique_ptr<ProfileReader> reader;  // none for a bookmark file
    std::optional<BookmarkFolder> bookmarks;
    QString bookmarksWhy;
    QListWidgetItem *bookmarkItem = nullptr, *historyItem = nullptr;
};

struct frmImport::Job {
    Source *source;
    bool history;
    QList<PlacedBookmark> bookmarks;
    qsizetype next = 0;
};

frmImport::frmImport(Platform &platform, const QString &bookmarks, const QString &home,
                     QWidget *parent)
    : QDialog(parent), platform_(platform), bookmarkFolder_(bookmarks) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("导入书签和历史记录"));
    auto *column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("选择要从其他浏览器导入的内容："), this));
    lstSources = new QListWidget(this);
    lstSources->setObjectName(QStringLiteral("lstSources"));
    lstSources->setMinimumSize(460, 200);
    column->addWidget(lstSources);
    auto *range = new QHBoxLayout;
    range->addWidget(new QLabel(QStringLiteral("历史记录："), this));
    cboRange = new QComboBox(this);
    cboRange->setObjectName(QStringLiteral("cboRange"));
    cboRange->addItems({QStringLiteral("最近 %1 天").arg(kRecentDays), QStringLiteral("全部")});
    range->addWidget(cboRange);
    range->addStretch(1);
    cmdHtml = new QPushButton(QStringLiteral("从 HTML 文件导入(&H)…"), this);
    cmdHtml->setObjectName(QStringLiteral("cmdHtml"));
    range->addWidget(cmdHtml);
    column->addLayout(range);
    barProgress = new QProgressBar(this);
    barProgress->setObjectName(QStringLiteral("barProgress"));
    barProgress->hide();
    column->addWidget(barProgress);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    lblSummary->setTextFormat(Qt::PlainText);  // names from other programs' files
    column->addWidget(lblSummary);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdImport = new QPushButton(QStringLiteral("导入(&I)"), this);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdImport->setDefault(true);
    cmdClose = new QPushButton(QStringLiteral("关闭"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdClose);
    column->addLayout(buttons);

    for (const BrowserProfile &p : FindBrowserProfiles(home)) {
        auto source = std::make_unique<Source>();
        source->label = p.label();
        source->reader = std::make_unique<ProfileReader>(p);
        source->bookmarks = source->reader->bookmarks(&source->bookmarksWhy);
        addSource(std::move(source));
    }
    if (sources_.empty())
        lblSummary->setText(
            QStringLiteral("没有找到其他浏览器的书签和历史记录，"
                           "可以从其他浏览器导出的 HTML 文件导入书签。"));
    step_.setSingleShot(true);
    step_.setInterval(0);
    connect(&step_, &QTimer::timeout, this, &frmImport::step);
    connect(cboRange, &QComboBox::currentIndexChanged, this, &frmImport::countHistory);
    connect(cmdHtml, &QPushButton::clicked, this, &frmImport::addHtmlFile);
    connect(cmdImport, &QPushButton::clicked, this, &frmImport::start);
    connect(cmdClose, &QPushButton::clicked, this, &frmImport::reject);
    connect(&platform_.history(), &History::Imported, this, &frmImport::imported);
    connect(&platform_.history(), &History::Held, this, [this](const QString &why) {
        if (running_ && !why.isEmpty())
            lblSummary->setText(QStringLiteral("历史记录暂时无法写入（%1），等待中…").arg(why));
    });
}

frmImport::~frmImport() = default;

qint64 frmImport::since() const {
    return cboRange->currentIndex() == 0
               ? platform_.clock().now().toMSecsSinceEpoch() - kRecentDays * kDay
               : 0;
}

void frmImport::addSource(std::unique_ptr<Source> source) {
    Source &s = *source;
    const int count = s.bookmarks ? s.bookmarks->count() : 0;
    s.bookmarkItem = new QListWidgetItem(
        s.bookmarks ? QStringLiteral("%1：书签 %2 个").arg(s.label).arg(count)
                    : QStringLiteral("%1：书签无法读取（%2）").arg(s.label, s.bookmarksWhy),
        lstSources);
    s.bookmarkItem->setCheckState(count > 0 ? Qt::Checked : Qt::Unchecked);
    if (count == 0) s.bookmarkItem->setFlags(s.bookmarkItem->flags() & ~Qt::ItemIsEnabled);
    if (s.reader) s.historyItem = new QListWidgetItem(lstSources);
    sources_.push_back(std::move(source));
    countHistory();
}

// The history's counts follow the range chosen.
void frmImport::countHistory() {
    for (const auto &s : sources_) {
        if (!s->historyItem) continue;
        QString why;
        const qint64 n = s->reader->countVisits(since(), &why);
        s->historyItem->setText(
            n >= 0 ? QStringLiteral("%1：历史记录 %2 条").arg(s->label).arg(n)
                   : QStringLiteral("%1：历史记录无法读取（%2）").arg(s->label, why));
        const bool some = n > 0;
        // Ticked when it comes to have some; a row the user unticked stays so.
        const bool had = s->historyItem->data(Qt::CheckStateRole).isValid() &&
                         (s->historyItem->flags() & Qt::ItemIsEnabled);
        s->historyItem->setFlags(some ? s->historyItem->flags() | Qt::ItemIsEnabled
                                      : s->historyItem->flags() & ~Qt::ItemIsEnabled);
        if (!some || !had) s->historyItem->setCheckState(some ? Qt::Checked : Qt::Unchecked);
    }
}

void frmImport::addHtmlFile() {
    const QString path =
        platform_.dialogs().ShowOpen(this, QStringLiteral("从 HTML 文件导入书签"),
                                     QStringLiteral("HTML 文件|*.html;*.htm|所有文件|*.*"));
    if (path.isEmpty()) return;
    auto source = std::make_unique<Source>();
    source->label = QFileInfo(path).completeBaseName();
    source->bookmarks = ParseBookmarkHtml(ReadFileBytes(path));
    addSource(std::move(source));
    lblSummary->clear();
}

void frmImport::start() {
    jobs_.clear();
    for (const auto &s : sources_) {
        if (s->bookmarkItem->checkState() == Qt::Checked && s->bookmarks)
            jobs_.push_back({s.get(), false, Flatten(*s->bookmarks)});
        if (s->historyItem && s->historyItem->checkState() == Qt::Checked) {
            s->reader->rewind();
            jobs_.push_back({s.get(), true, {}});
        }
    }
    if (jobs_.empty()) {
        lblSummary->setText(QStringLiteral("请先选择要导入的内容。"));
        return;
    }
    int total = 0;
    for (const Job &j : jobs_)
        total += j.history ? int(qMax<qint64>(0, j.source->reader->countVisits(since(), nullptr)))
                           : int(j.bookmarks.size());
    job_ = 0;
    done_ = added_ = present_ = repeated_ = unsupported_ = failed_ = 0;
    seen_.clear();
    visitsRead_ = visitsAdded_ = visitsSkipped_ = 0;
    writeError_.clear();
    sourceErrors_.clear();
    running_ = true;
    cancelled_ = false;
    barProgress->setRange(0, qMax(1, total));
    barProgress->setValue(0);
    barProgress->show();
    lstSources->setEnabled(false);
    cboRange->setEnabled(false);
    cmdHtml->setEnabled(false);
    cmdImport->setEnabled(false);
    cmdClose->setText(QStringLiteral("取消"));
    lblSummary->setText(QStringLiteral("正在导入…"));
    step_.start();
}

void frmImport::step() {
    // Cancelled, what was handed to the history is still written, but not waited for.
    if (cancelled_ || (job_ >= jobs_.size() && writing_.empty())) return finish();
    if (job_ >= jobs_.size()) return;  // the history's writer answers, and finishes it

    Job &job = jobs_[job_];
    if (!job.history) {
        const QString base =
            bookmarkFolder_ + QStringLiteral("/导入/") + ImportedName(job.source->label);
        if (!QFileInfo(bookmarkFolder_).isDir()) {
            sourceErrors_ << QStringLiteral("%1：书签文件夹丢失！").arg(job.source->label);
            done_ += int(job.bookmarks.size() - job.next);
            job.next = job.bookmarks.size();
        }
        for (int n = 0; n < kBookmarksPerStep && job.next < job.bookmarks.size(); ++n, ++done_) {
            QString why, file;
            switch (WriteImportedBookmark(base, job.bookmarks[job.next++], &why, &file)) {
                case BookmarkWritten::Added:
                    ++added_;
                    seen_.insert(file);
                    break;
                case BookmarkWritten::Present:
                    // Written or met by this import already: the source holds it twice.
                    ++(seen_.contains(file) ? repeated_ : present_);
                    seen_.insert(file);
                    break;
                case BookmarkWritten::Unsupported:
                    ++unsupported_;
                    break;
                case BookmarkWritten::Failed:
                    ++failed_;
                    writeError_ = why;
                    break;
            }
        }
        if (job.next >= job.bookmarks.size()) ++job_;
    } else if (writing_.size() < kBatchesWriting) {
        const QList<ImportedVisit> batch =
            job.source->reader->nextVisits(since(), kVisitsPerBatch, &visitsSkipped_);
        if (batch.isEmpty()) {
            ++job_;
        } else {
            visitsRead_ += int(batch.size());
            writing_.push_back(int(batch.size()));
            platform_.history().Import(batch);
        }
    } else {
        return;  // the history's writer answers, and the next step comes with it
    }
    barProgress->setValue(qMin(done_, barProgress->maximum()));
    step_.start();
}

void frmImport::imported(int added) {
    if (!running_ || writing_.empty()) return;
    done_ += writing_.front();
    writing_.pop_front();
    visitsAdded_ += added;
    barProgress->setValue(qMin(done_, barProgress->maximum()));
    if (running_ && !step_.isActive()) step_.start();
}

void frmImport::finish() {
    running_ = false;
    writing_.clear();
    barProgress->setValue(barProgress->maximum());
    QStringList lines;
    lines << QStringLiteral("%1新增书签 %2 个、历史记录 %3 条。")
                 .arg(cancelled_ ? QStringLiteral("已取消导入，此前")
                                 : QStringLiteral("导入完成："))
                 .arg(added_)
                 .arg(visitsAdded_);
    // "书签 2 个、历史记录 3 条", leaving out what is none.
    auto both = [](int marks, int visits) {
        QStringList parts;
        if (marks) parts << QStringLiteral("书签 %1 个").arg(marks);
        if (visits) parts << QStringLiteral("历史记录 %1 条").arg(visits);
        return parts.join(QStringLiteral("、"));
    };
    if (present_ || visitsRead_ > visitsAdded_)
        lines << QStringLiteral("已有的%1未重复导入。")
                     .arg(both(present_, visitsRead_ - visitsAdded_));
    if (repeated_) lines << QStringLiteral("来源中重复的书签 %1 个只导入一次。").arg(repeated_);
    if (unsupported_ || visitsSkipped_)
        lines << QStringLiteral("跳过了不能在选项卡中打开的地址（如 javascript:）：%1。")
                     .arg(both(unsupported_, visitsSkipped_));
    if (failed_) lines << QStringLiteral("%1 个书签无法写入（%2）。").arg(failed_).arg(writeError_);
    lines += sourceErrors_;
    lblSummary->setText(lines.join(u'\n'));
    lstSources->setEnabled(true);
    cboRange->setEnabled(true);
    cmdHtml->setEnabled(true);
    cmdImport->setEnabled(true);
    cmdClose->setText(QStringLiteral("关闭"));
    cmdClose->setFocus();
}

// Escape and 取消 stop an import under way first; the window closes once it is stopped.
void frmImport::reject() {
    if (running_) {
        cancelled_ = true;
        if (!step_.isActive()) step_.start();
        return;
    }
    QDialog::reject();
}
