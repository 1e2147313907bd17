#pragma once
// The skin chooser "皮肤管理器": the skin files of the skin folder, the current one named,
// and OK trying the chosen one on the frame.
#include <QDialog>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

class frmTheme : public QDialog {
    Q_OBJECT
  public:
    // apply tries a skin by its file name and says whether the frame wears it now; the
    // dialog stays open when it does not, so another can be chosen.
    using Apply = std::function<bool(const QString &name)>;
    frmTheme(Apply apply, QWidget *parent);

    void ShowCurrentSkin();

    QLabel *lblShow, *lblTFile;
    QListWidget *filTheme;
    QPushButton *cmdOK, *cmdCel;

  private:
    void cmdOK_Click();
    Apply apply_;
};
