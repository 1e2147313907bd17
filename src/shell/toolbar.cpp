#include "toolbar.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWindow>

#include "captionbutton.h"
#include "logoarea.h"
#include "picturebutton.h"
#include "services/windowhelpers.h"
#include "skins/colour.h"
#include "skins/skin.h"

namespace {

const char *const kButtonTips[5] = {"后退", "前进", "停止", "刷新", "菜单(双击进入导航)"};
const Command kButtonCommands[4] = {Command::Back, Command::Forward, Command::Stop,
                                    Command::Refresh};

QLabel *pictureLabel(QWidget *parent, const char *name) {
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setScaledContents(true);  // stretched by the layout rules
    return l;
}

}  // namespace

ToolBar::ToolBar(QWidget *parent, QWidget *address) : QWidget(parent), address_(address) {
    setObjectName(QStringLiteral("picToolBar"));
    setFixedHeight(px(chrome::kToolBarHeight));
    imgBG = pictureLabel(this, "imgBG");
    lblPro = new QLabel(this);
    lblPro->setObjectName(QStringLiteral("lblPro"));
    lblPro->setAutoFillBackground(true);
    lblPro->hide();
    for (int i = 0; i < 4; ++i) picTBtn[i] = new PictureButton(this);
    address_->setParent(this);
    address_->raise();
    picLogo = new LogoArea(this);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setGeometry(0, px(chrome::kLogo.y()), px(chrome::kLogo.width()),
                         px(chrome::kLogo.height()));
    picTBtn[4] = new PictureButton(picLogo);
    for (int i = 0; i < 3; ++i) {
        picCtl[i] = new CaptionButton(CaptionButton::Kind(i), picLogo);
        picCtl[i]->setObjectName(QStringLiteral("picCtl%1").arg(i));
        picCtl[i]->setGeometry(px(chrome::kCaptionLeft[i]), px(chrome::kCaptionTop),
                               px(chrome::kCaptionSize), px(chrome::kCaptionSize));
    }
    connect(picCtl[0], &QAbstractButton::clicked, this,
            [this] { emit CommandRequested(Command::Exit); });
    connect(picCtl[1], &QAbstractButton::clicked, this, &ToolBar::MaximiseToggled);
    connect(picCtl[2], &QAbstractButton::clicked, this, &ToolBar::MinimiseRequested);
    for (int i = 0; i < 5; ++i) {
        picTBtn[i]->setObjectName(QStringLiteral("picTBtn%1").arg(i));
        picTBtn[i]->setToolTip(QString::fromUtf8(kButtonTips[i]));
        connect(picTBtn[i], &QAbstractButton::pressed, this,
                [this, i] { loadButtonPicture(i, true); });
        connect(picTBtn[i], &QAbstractButton::released, this,
                [this, i] { loadButtonPicture(i, false); });
    }
    for (int i = 0; i < 4; ++i)
        connect(picTBtn[i], &QAbstractButton::clicked, this, [this, i] {
            emit CommandRequested(kButtonCommands[i]);
            if (kButtonCommands[i] == Command::Stop) showRefreshButton();
        });
    // One click opens the menu, two toggle the navigation page.
    menuClick_.setSingleShot(true);
    menuClick_.setInterval(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    connect(picTBtn[4], &QAbstractButton::clicked, &menuClick_, qOverload<>(&QTimer::start));
    connect(&menuClick_, &QTimer::timeout, this, [this] {
        const int x = picLogo->x() + px(chrome::kShape0.x());  // under the logo
        emit MenuButtonClicked(mapToGlobal(QPoint(x, height())));
    });
    connect(picTBtn[4], &PictureButton::doubleClicked, this, [this] {
        menuClick_.stop();
        emit CommandRequested(Command::NavigationPage);
    });
    for (QWidget *w : {static_cast<QWidget *>(imgBG), static_cast<QWidget *>(lblPro),
                       static_cast<QWidget *>(picLogo)})
        w->installEventFilter(this);
}

int ToolBar::px(int twips) const {
    return qRound(twips / TwipsPerPixel(this));
}
int ToolBar::twips(int pixels) const {
    return qRound(pixels * TwipsPerPixel(this));
}

int ToolBar::setSkin(const Skin &skin) {
    skinFile_ = skin.file;  // the pressed pictures come from the skin in use
    const QColor bar = ColourFromBgr(skin.clrBar);
    QColor background = bar;
    // Glass only where a compositing manager can show it: the chrome turns see-through.
    if (skin.glass) background.setAlpha(150);
    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(picLogo)})
        SetBackground(w, background);
    SetBackground(lblPro, ColourFromBgr(skin.clrBG));
    picLogo->border = ColourFromBgr(skin.clrLogo);
    chrome::SkinInput in;
    in.toolBarInnerHeight = twips(contentsRect().height());
    in.addressHeight = twips(address_->height());
    for (int i = 0; i < 5; ++i) {
        picTBtn[i]->setPicture(skin.button[i]);
        buttonSize_[i] = QSize(twips(picTBtn[i]->width()), twips(picTBtn[i]->height()));
        in.button[i] = buttonSize_[i];
    }
    imgBG->setPixmap(skin.bgTop);
    picLogo->background = skin.bgTop;
    skinPositions_ = chrome::PlaceForSkin(in);
    for (int i = 0; i < 4; ++i)
        picTBtn[i]->move(px(skinPositions_.button[i].x()), px(skinPositions_.button[i].y()));
    placeLogo();
    address_->move(px(skinPositions_.address.x()), px(skinPositions_.address.y()));
    for (int i = 0; i < 2; ++i) {
        const QRect shape = i == 0 ? chrome::kShape0 : chrome::kShape1;
        picLogo->shape[i] = QRect(px(shape.x()), px(skinPositions_.shapeTop[i]), px(shape.width()),
                                  px(shape.height()));
    }
    picLogo->lineY = px(skinPositions_.lineY);
    return skinPositions_.staBarHeight;
}

QColor ToolBar::barColour() const {
    QColor c = palette().color(QPalette::Window);
    c.setAlpha(255);
    return c;
}

QColor ToolBar::coverColour() const {
    return lblPro->palette().color(QPalette::Window);
}

chrome::ResizeLayout ToolBar::layout(int staBarHeightTwips) {
    chrome::ResizeInput in{twips(width()), QRect(skinPositions_.button[3], buttonSize_[3])};
    in.toolBarHeight = twips(height());
    in.staBarHeight = staBarHeightTwips;
    const chrome::ResizeLayout r = chrome::OnResize(in);
    logoCut_ = r.logoCut;
    placeLogo();
    picLogo->move(px(r.logoLeft), picLogo->y());
    if (r.addressWidth) address_->resize(px(*r.addressWidth), address_->height());
    imgBG->setGeometry(0, 0, px(r.imgBG.width()), height());
    lblPro->hide();  // a resize ends any visible progress bar
    return r;
}

// The logo area and what it holds; on a narrow frame without its left part.
void ToolBar::placeLogo() {
    picLogo->resize(px(chrome::kLogo.width() - logoCut_), picLogo->height());
    picLogo->decorated = logoCut_ == 0;
    picTBtn[4]->move(px(skinPositions_.button[4].x() - logoCut_), px(skinPositions_.button[4].y()));
    for (int i = 0; i < 3; ++i)
        picCtl[i]->move(px(chrome::kCaptionLeft[i] - logoCut_), picCtl[i]->y());
    picLogo->update();
}

void ToolBar::showProgress(int progress, int progressMax) {
    if (!progressShown_) return;
    const auto width =
        chrome::ProgressWidth(twips(this->width()), QRect(skinPositions_.button[3], buttonSize_[3]),
                              chrome::kLogo.width() - logoCut_, progress, progressMax);
    if (width) lblPro->setGeometry(px(skinPositions_.progressLeft), 0, px(*width), height());
    lblPro->setVisible(lblPro->width() != address_->width());
}

void ToolBar::hideProgress() {
    lblPro->hide();
}

void ToolBar::setProgressShown(bool on) {
    progressShown_ = on;
    lblPro->setVisible(on && lblPro->width() != address_->width());
}

void ToolBar::showStopButton() {
    picTBtn[2]->raise();
}
void ToolBar::showRefreshButton() {
    picTBtn[3]->raise();
}

void ToolBar::setHistoryEnabled(bool back, bool forward) {
    picTBtn[0]->setEnabled(back);
    picTBtn[1]->setEnabled(forward);
}

void ToolBar::setMaximisedGlyph(bool maximised) {
    picCtl[1]->setMaximisedGlyph(maximised);
}

void ToolBar::loadButtonPicture(int index, bool pressed) {
    const QString key = QStringLiteral("tb%1%2").arg(index + 1).arg(pressed ? "_" : "");
    picTBtn[index]->setPicture(SkinPicture(skinFile_, key));
}

void ToolBar::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    emit Resized();
}

bool ToolBar::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonDblClick:
            if (drag(event)) return true;
            break;
        case QEvent::MouseButtonRelease: {
            const auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::LeftButton) drag_ = Drag::None;
            if (me->button() == Qt::RightButton) {
                emit MenuRequested(me->globalPosition().toPoint());
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

// Drag and double-click on the background move and maximise the frame.
bool ToolBar::drag(QEvent *event) {
    auto *me = static_cast<QMouseEvent *>(event);
    QWidget *frame = window();
    if (me->button() != Qt::LeftButton && !(me->buttons() & Qt::LeftButton)) return false;
    if (event->type() == QEvent::MouseButtonPress) {
        dragOffset_ = me->globalPosition().toPoint() - frame->frameGeometry().topLeft();
        drag_ = Drag::Pressed;
        return false;
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        emit MaximiseToggled();
        return true;
    }
    if (drag_ == Drag::None || frame->isMaximized()) return false;
    // The window manager moves it, once asked per press: it takes the pointer until the
    // button is let go. Without one, we move it ourselves.
    if (drag_ != Drag::System) frame->move(me->globalPosition().toPoint() - dragOffset_);
    if (drag_ == Drag::Pressed) {
        QWindow *handle = frame->windowHandle();
        drag_ = handle && handle->startSystemMove() ? Drag::System : Drag::Own;
    }
    return true;
}
