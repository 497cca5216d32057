#include "app/Signals.h"

#include <windows.h>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QWidget>

namespace {

// A logout or shutdown reaches a program as WM_QUERYENDSESSION ("may the
// session end?") and then WM_ENDSESSION ("it ends"), not as a close;
// Windows ends the process as soon as the second one returns.
class SessionEndFilter : public QAbstractNativeEventFilter
{
public:
    std::function<void()> terminate;
    std::function<bool()> busy;
    QPointer<QWidget> window;
    QString reason;

    bool nativeEventFilter(const QByteArray& eventType, void* message, long* result) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_QUERYENDSESSION && busy && window) {
            const HWND hwnd = reinterpret_cast<HWND>(window->winId());
            if (!busy()) {
                ShutdownBlockReasonDestroy(hwnd);
                return false;
            }
            // Held: Windows lists the reason beside "shut down anyway".
            qDebug() << "session end held";
            ShutdownBlockReasonCreate(hwnd, reinterpret_cast<const wchar_t*>(reason.utf16()));
            *result = FALSE;
            return true;
        }
        if (msg->message == WM_ENDSESSION && msg->wParam && terminate && !m_ended) {
            // Sent to every top-level window; the workers stop once, here,
            // before Windows ends the process.
            m_ended = true;
            qDebug() << "session ends";
            terminate();
        }
        return false;
    }

private:
    bool m_ended = false;
};

SessionEndFilter& filter()
{
    static SessionEndFilter* const instance = [] {
        auto* created = new SessionEndFilter;
        QCoreApplication::instance()->installNativeEventFilter(created);
        return created;
    }();
    return *instance;
}

} // namespace

void Signals::onTerminationRequest(std::function<void()> handler)
{
    filter().terminate = std::move(handler);
}

void Signals::holdSessionEndWhile(QWidget* window, std::function<bool()> busy, const QString& reason)
{
    SessionEndFilter& f = filter();
    f.window = window;
    f.busy = std::move(busy);
    f.reason = reason;
}
