#pragma once
// The lock panel picPass: covers the tab's page until the password is typed.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

class LockPanel : public QWidget {
    Q_OBJECT
  public:
    explicit LockPanel(QWidget *parent);
    void setColour(const QColor &c);
    // The controls are made the first time the tab is locked; most tabs never are.
    void ensureBuilt();

    QWidget *picPassCore = nullptr;
    QLabel *lblCant = nullptr;
    QLabel *lblPass = nullptr;
    QLineEdit *txtPass = nullptr;
    QPushButton *cmdPass = nullptr;

    void cmdPass_Click();

  protected:
    void resizeEvent(QResizeEvent *) override;
    void showEvent(QShowEvent *) override;

  private:
    void applyColour();
    QColor colour_;
};
