#pragma once
// frmPopUp: a one-line message shown for a set time over a spot of another window.
#include <QDialog>
#include <QPointer>
#include <QString>
#include <functional>

class QLabel;
class QTimer;

namespace kovo::ui {

class frmPopUp : public QDialog {
    Q_OBJECT

public:
    explicit frmPopUp(QWidget* parent = nullptr);

    // Shows strMessage over frmMe: intTop/intLeft are twips from frmMe's outer corner,
    // intWidth/intHeight the pop-up's size in twips, intInterval its display time in ms.
    // Modal: returns when the timer has fired or the message was clicked. `whileShown`
    // runs once the pop-up is on screen (the start-up loads its data meanwhile).
    // A window just shown is first given time to appear where the window manager puts
    // it, and the pop-up keeps its spot when frmMe moves while it is up.
    void PopUpInForm(QWidget* frmMe, const QString& strMessage, int intWidth, int intHeight, int intInterval,
                     int intTop, int intLeft, const std::function<void()>& whileShown = {});

    // Tests: show and close at once, without a modal loop or a wait.
    void SetNonBlocking(bool nonBlocking) { nonBlocking_ = nonBlocking; }

    QString LastMessage() const { return lastMessage_; }
    int ShownCount() const { return shownCount_; }

    QLabel* lblMessage;
    QTimer* Timer1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ClosePopUp();
    void PlaceOverOwner();

    QPointer<QWidget> owner_;
    int top_ = 0;   // twips
    int left_ = 0;  // twips

    QString lastMessage_;
    int shownCount_ = 0;
    bool nonBlocking_ = false;
};

}  // namespace kovo::ui
