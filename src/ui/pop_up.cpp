#include "ui/pop_up.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QWindow>
#include <memory>
#include <utility>

#include "ui/twips.h"

namespace kovo::ui {

namespace {

// How long a window just shown may take to appear before the pop-up goes up anyway.
constexpr int kExposeWaitMs = 1000;

// Ends a wait once the window is on screen.
class ExposeWatch final : public QObject {
public:
    ExposeWatch(QWindow* window, QEventLoop* loop) : window_(window), loop_(loop) { window_->installEventFilter(this); }
    ~ExposeWatch() override { window_->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Expose) loop_->quit();
        return false;
    }

private:
    QWindow* window_;
    QEventLoop* loop_;
};

// A window manager places a new window before it exposes it, and until then the
// window's frame sits wherever the program asked, usually the screen's corner. User
// input waits meanwhile: the start-up has not finished.
void WaitUntilExposed(QWidget* window) {
    QWindow* handle = window != nullptr ? window->windowHandle() : nullptr;
    if (handle == nullptr || !window->isVisible() || window->isMinimized() || handle->isExposed()) return;
    QEventLoop loop;
    const ExposeWatch watch(handle, &loop);
    QTimer::singleShot(kExposeWaitMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // Geometry news that came with the exposure.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

frmPopUp::frmPopUp(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), lblMessage(new QLabel(this)), Timer1(new QTimer(this)) {
    setObjectName(QStringLiteral("frmPopUp"));
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setAlignment(Qt::AlignCenter);
    lblMessage->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblMessage->installEventFilter(this);
    QPalette look = palette();
    look.setColor(QPalette::Window, QColor(255, 255, 225));
    setPalette(look);
    setAutoFillBackground(true);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &frmPopUp::ClosePopUp);
}

void frmPopUp::PopUpInForm(QWidget* frmMe, const QString& strMessage, int intWidth, int intHeight,
                           int intInterval, int intTop, int intLeft, const std::function<void()>& whileShown) {
    WaitUntilExposed(frmMe);
    owner_ = frmMe;
    top_ = intTop;
    left_ = intLeft;
    PlaceOverOwner();
    if (frmMe != nullptr) frmMe->installEventFilter(this);
    lblMessage->setText(strMessage);
    const int width = TwipsToPixels(intWidth, frmMe, Axis::X);
    const int height = TwipsToPixels(intHeight, frmMe, Axis::Y);
    // The message must stay readable whatever font stands in for the requested one.
    const QSize needed = lblMessage->sizeHint();
    resize(std::max(width, needed.width()), std::max(height, needed.height()));
    lblMessage->setGeometry(0, 0, this->width(), this->height());
    lastMessage_ = strMessage;
    ++shownCount_;
    if (nonBlocking_) {
        show();
        if (whileShown) whileShown();
        ClosePopUp();
        return;
    }
    Timer1->setInterval(intInterval);
    Timer1->start();
    // The work runs inside the modal loop so that the pop-up is painted first; should
    // the pop-up be closed before that, it runs right after, never later.
    auto pending = std::make_shared<std::function<void()>>(whileShown);
    auto runOnce = [pending] {
        if (!*pending) return;
        const std::function<void()> work = std::exchange(*pending, nullptr);
        work();
    };
    QTimer::singleShot(0, this, runOnce);
    exec();
    runOnce();
}

void frmPopUp::PlaceOverOwner() {
    const QPoint corner = owner_ != nullptr ? owner_->frameGeometry().topLeft() : QPoint();
    move(corner.x() + TwipsToPixels(left_, owner_, Axis::X), corner.y() + TwipsToPixels(top_, owner_, Axis::Y));
}

void frmPopUp::ClosePopUp() {
    Timer1->stop();
    if (owner_ != nullptr) owner_->removeEventFilter(this);
    if (isVisible()) done(QDialog::Accepted);
}

bool frmPopUp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblMessage && event->type() == QEvent::MouseButtonRelease) ClosePopUp();
    // A window manager may still be settling the owner's place when the pop-up is up.
    if (watched == owner_ && event->type() == QEvent::Move && isVisible()) PlaceOverOwner();
    return QDialog::eventFilter(watched, event);
}

}  // namespace kovo::ui
