#pragma once
// The frame's parts as a test reaches them: by their names, as the frame keeps its widgets
// to itself.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTimer>
#include <memory>

#include "shell/captionbutton.h"
#include "shell/gesturecontrol.h"
#include "shell/logoarea.h"
#include "shell/pagezoom.h"
#include "shell/picturebutton.h"
#include "shell/tabset.h"
#include "tab/form1.h"
#include "tab/lockpanel.h"
#include "tab/navpage.h"

struct FrameParts {
    explicit FrameParts(const QWidget *f) : f_(f) {
        picToolBar = find<QWidget>("picToolBar");
        imgBG = find<QLabel>("imgBG");
        for (int i = 0; i < 5; ++i) picTBtn[i] = find<PictureButton>(QString("picTBtn%1").arg(i));
        for (int i = 0; i < 3; ++i) picCtl[i] = find<CaptionButton>(QString("picCtl%1").arg(i));
        cboAddress = find<QComboBox>("cboAddress");
        lblPro = find<QLabel>("lblPro");
        picLogo = find<LogoArea>("picLogo");
        MDITabs = find<QTabBar>("MDITabs");
        picStaBar = find<QWidget>("picStaBar");
        imgStaBG = find<QLabel>("imgStaBG");
        lblSta = find<QLabel>("lblSta");
        lblMouse = find<QLabel>("lblMouse");
        lblZoom = find<QLabel>("lblZoom");
        mnuMenu = find<QMenu>("mnuMenu");
        mnuM = find<QMenu>("mnuM");
        mnuTabs = find<QMenu>("mnuTabs");
        tmrKey = find<QTimer>("tmrKey");
    }
    // A menu item by its name: "mnuPrc1", "mnuZ5", "mnuMouse".
    QAction *action(const QString &name) const { return find<QAction>(name); }

    QWidget *picToolBar;
    QLabel *imgBG;
    PictureButton *picTBtn[5];
    CaptionButton *picCtl[3];
    QComboBox *cboAddress;
    QLabel *lblPro;
    LogoArea *picLogo;
    QTabBar *MDITabs;
    QWidget *picStaBar;
    QLabel *imgStaBG, *lblSta, *lblMouse, *lblZoom;
    QMenu *mnuMenu, *mnuM, *mnuTabs;
    QTimer *tmrKey;

  private:
    template <typename T>
    T *find(const QString &name) const {
        T *found = f_->findChild<T *>(name);
        if (!found) qFatal("the frame has no part named %s", qPrintable(name));
        return found;
    }
    const QWidget *f_;
};

inline FrameParts ui(const QWidget *f) {
    return FrameParts(f);
}
inline FrameParts ui(const QWidget &f) {
    return FrameParts(&f);
}
template <typename T>
FrameParts ui(const std::unique_ptr<T> &f) {
    return FrameParts(f.get());
}

// A tab's panels, by their names: the tab keeps its widgets to itself.
inline NavPage *navOf(const Form1 *t) {
    return t->findChild<NavPage *>("picNav", Qt::FindDirectChildrenOnly);
}
inline LockPanel *lockOf(const Form1 *t) {
    return t->findChild<LockPanel *>("picPass", Qt::FindDirectChildrenOnly);
}

// The frame's parts that are no widgets, by their kind.
inline int zoomOf(const QObject &frame) {
    return frame.findChild<PageZoom *>()->current();
}
inline TabSet *tabSetOf(const QObject &frame) {
    return frame.findChild<TabSet *>();
}
inline Form1 *frontOf(const QObject &frame) {
    return tabSetOf(frame)->active();
}
inline void runGesture(const QObject &frame, const QString &gesture) {
    frame.findChild<GestureControl *>()->Run(gesture);
}

// A window's control by its name, for windows that keep their controls to themselves.
template <typename T>
T *part(const QObject *window, const QString &name) {
    T *found = window->findChild<T *>(name);
    if (!found) qFatal("no control named %s", qPrintable(name));
    return found;
}
template <typename T, typename W>
T *part(const std::unique_ptr<W> &window, const QString &name) {
    return part<T>(window.get(), name);
}
