#pragma once

#include "app/Startup.h"
#include "core/Resources.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <functional>

// Gives a test process (and every installer it starts) a private home:
// HOME, the XDG folders and TMPDIR all point into one temporary folder, so
// nothing touches the real desktop, registry file, cache or data folder and
// test binaries can run in parallel.
namespace TestEnvironment {

// Call first thing in main, before the application object exists.
void setUp();

// The system's environment with a private home in root (created here), for a child process.
QProcessEnvironment environmentIn(const QString& root);

} // namespace TestEnvironment

// Like QTEST_MAIN, with the private home and the resources set up.
#define NERIX_TEST_MAIN(TestObject)                                                                          \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        TestEnvironment::setUp();                                                                            \
        setApplicationAttributes();                                                                          \
        QApplication app(argc, argv);                                                                        \
        initNerixResources();                                                                                \
        TestObject tc;                                                                                       \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }

// Helpers the suites share.

// The whole file, or nothing when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Reaches the window's form widgets by their object names, as a user finds
// them on screen; a missing widget ends the test at once.
template <typename T = QWidget> T* child(QWidget& window, const char* name)
{
    T* widget = window.findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("missing widget %s", name);
    return widget;
}

// Acts on the next modal dialog from inside its own event loop, so a test can
// answer message boxes and file dialogs that the code under test exec()s.
inline void answerNextModal(std::function<void(QWidget*)> action)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start(5);
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
