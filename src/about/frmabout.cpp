#include "frmabout.h"

#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

#include "platform/desktop.h"

QString FeedbackAddress() {
    return QStringLiteral("http://%1/gbook/index.asp?username=Orvex")
        .arg(QLatin1String(kFeedbackHost));
}

// The stage: white, with the picture of the running fade and, later, the text panel.
class AboutStage : public QWidget {
  public:
    explicit AboutStage(frmAbout *box) : QWidget(box), box_(box) {
        setObjectName(QStringLiteral("picShow"));
        setFixedSize(box->sizes_.stage.toSize());
    }

  protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const about::State &s = box_->state_;
        const int which = s.phase == about::Phase::FirstFade ? 0 : 1;
        p.setOpacity(s.level / 255.0);
        p.drawPixmap(about::Centred(box_->sizes_.stage, box_->sizes_.picture(which)),
                     box_->picAlpha_[which]);
        p.setOpacity(1);
        if (s.textShown)
            paintText(
                p, QPointF(about::Centred(box_->sizes_.stage, box_->sizes_.text).x(), s.textTop));
    }

  private:
    void paintText(QPainter &p, const QPointF &at) {
        const QRectF panel(at, box_->sizes_.text);
        p.fillRect(panel, Qt::white);
        QFont name = font();
        name.setPixelSize(30);
        name.setBold(true);
        p.setFont(name);
        p.setPen(QColor(0x1f, 0x4e, 0x8c));
        p.drawText(panel.adjusted(0, 12, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("Orvex Lumetta"));
        QFont small = font();
        small.setPixelSize(13);
        p.setFont(small);
        p.setPen(QColor(0x33, 0x33, 0x33));
        p.drawText(panel.adjusted(0, 56, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("版本：1.1.0 正式版"));
        p.setPen(QColor(0x66, 0x6e, 0x7a));
        p.drawText(panel.adjusted(8, 84, -8, 0), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                   QStringLiteral("基于 Qt %1 与 Qt WebEngine（Chromium）\n"
                                  "Qt 以 LGPLv3 授权，Chromium 以 BSD 许可证授权")
                       .arg(QLatin1String(qVersion())));
    }
    frmAbout *box_;
};

frmAbout::frmAbout(Desktop &desktop, QWidget *parent) : QDialog(parent), desktop_(desktop) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于程序..."));
    setModal(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(155, 203, 255));
    setPalette(pal);
    setAutoFillBackground(true);
    picAlpha_[0] = AboutPicture(0);
    picAlpha_[1] = AboutPicture(1);
    // The stored layout, in pixels at 15 twips each.
    sizes_ = {QSizeF(497, 161), picAlpha_[0].size(), picAlpha_[1].size(), QSizeF(385, 153)};

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(16, 8, 16, 12);
    picShow = new AboutStage(this);
    column->addWidget(picShow);
    auto *row = new QHBoxLayout;
    row->addStretch();
    cmdResult = new QPushButton(QStringLiteral("发送反馈(&R)"), this);
    Command1 = new QPushButton(QStringLiteral("关闭(&U)"), this);
    cmdResult->setObjectName(QStringLiteral("cmdResult"));
    Command1->setObjectName(QStringLiteral("Command1"));
    row->addWidget(cmdResult);
    row->addWidget(Command1);
    column->addLayout(row);
    connect(cmdResult, &QPushButton::clicked, this, [this] { desktop_.Open(FeedbackAddress()); });
    connect(Command1, &QPushButton::clicked, this, &QDialog::close);

    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &frmAbout::tick);
    timer_.start();
}

void frmAbout::tick() {
    about::Tick(state_, sizes_);
    if (state_.phase == about::Phase::Still) timer_.stop();
    picShow->update();
}

QPixmap AboutPicture(int index) {
    const QSize size = index == 0 ? QSize(75, 72) : QSize(340, 150);
    QPixmap pm(size);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor blue(0x2a, 0x6f, 0xd6), light(0x9b, 0xcb, 0xff);
    if (index == 0) {
        // The menu button's ring with its line and dot, as the chrome shows it.
        p.setPen(QPen(blue, 3));
        p.setBrush(light.lighter(115));
        p.drawEllipse(QRectF(12, 10, 52, 52));
        p.setPen(QPen(blue, 4, Qt::SolidLine, Qt::RoundCap));
        for (int y : {26, 36, 46}) p.drawLine(QPointF(26, y), QPointF(50, y));
        return pm;
    }
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0xdd, 0xee, 0xff));
    sky.setColorAt(1, light);
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(pm.rect()).adjusted(1, 1, -1, -1), 14, 14);
    p.setPen(QPen(blue, 3));
    p.drawLine(QPointF(24, 75), QPointF(300, 75));
    p.setBrush(blue);
    p.drawEllipse(QPointF(70, 75), 9, 9);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(270, 75), 26, 26);
    p.setPen(QPen(blue, 4, Qt::SolidLine, Qt::RoundCap));
    for (int y : {65, 75, 85}) p.drawLine(QPointF(258, y), QPointF(282, y));
    QFont f;
    f.setPixelSize(22);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x1f, 0x4e, 0x8c));
    p.drawText(QRectF(20, 100, 300, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Orvex Lumetta"));
    return pm;
}
