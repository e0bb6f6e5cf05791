#pragma once
// Drives the modal windows of a test: dialogs, message boxes over them, file browsers.

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

// Runs `act` on the modal window of type T once it is the active one; arm it just before the call
// that opens the window. A click in `act` may open the next modal window and run its event loop,
// so arm the next step before the click. After five seconds without one, whatever is open is
// rejected so that the test fails instead of hanging.
template <typename T>
void WhenShown(std::function<void(T&)> act, int tries = 0)
{
    QTimer::singleShot(10, [act = std::move(act), tries] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (modal != nullptr && modal->isVisible()) {
            act(*modal);
            return;
        }
        if (tries < 500) {
            WhenShown<T>(act, tries + 1);
            return;
        }
        while (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            open->reject();
            QCoreApplication::processEvents();
        }
    });
}

// What a message box showed before the test closed it.
struct SeenMessage {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

inline std::function<void(QMessageBox&)> CloseMessage(SeenMessage& seen)
{
    return [&seen](QMessageBox& box) {
        seen = {box.windowTitle(), box.text(), box.icon()};
        box.button(QMessageBox::Ok)->click();
    };
}
