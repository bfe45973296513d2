#include "ui/pop_up.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <memory>
#include <utility>

#include "ui/twips.h"

namespace kovo::ui {

namespace {
bool nonBlockingPopUps = false;
}

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

void frmPopUp::SetNonBlocking(bool nonBlocking) { nonBlockingPopUps = nonBlocking; }

void frmPopUp::PopUpInForm(QWidget* frmMe, const QString& strMessage, int intWidth, int intHeight,
                           int intInterval, int intTop, int intLeft, const std::function<void()>& whileShown) {
    const QPoint corner = frmMe != nullptr ? frmMe->frameGeometry().topLeft() : QPoint();
    move(corner.x() + TwipsToPixels(intLeft, frmMe, Axis::X), corner.y() + TwipsToPixels(intTop, frmMe, Axis::Y));
    lblMessage->setText(strMessage);
    const int width = TwipsToPixels(intWidth, frmMe, Axis::X);
    const int height = TwipsToPixels(intHeight, frmMe, Axis::Y);
    // The message must stay readable whatever font stands in for the requested one.
    const QSize needed = lblMessage->sizeHint();
    resize(std::max(width, needed.width()), std::max(height, needed.height()));
    lblMessage->setGeometry(0, 0, this->width(), this->height());
    lastMessage_ = strMessage;
    ++shownCount_;
    if (nonBlockingPopUps) {
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

void frmPopUp::ClosePopUp() {
    Timer1->stop();
    if (isVisible()) done(QDialog::Accepted);
}

bool frmPopUp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblMessage && event->type() == QEvent::MouseButtonRelease) ClosePopUp();
    return QDialog::eventFilter(watched, event);
}

}  // namespace kovo::ui
