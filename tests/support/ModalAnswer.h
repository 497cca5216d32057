#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>

// Acts on the next modal dialog from inside its own event loop, so a test can
// answer message boxes and file dialogs that the code under test exec()s.
inline void answerNextModal(std::function<void(QWidget*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

// Presses button in the next message box; its question goes to *asked.
inline void answerNextBox(QMessageBox::StandardButton button, QString* asked = nullptr)
{
    answerNextModal([button, asked](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (asked)
            *asked = box->text();
        box->button(button)->click();
    });
}
