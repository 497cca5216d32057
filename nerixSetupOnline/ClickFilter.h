#pragma once

#include <QHash>
#include <QObject>
#include <functional>

class QAbstractButton;
class QWidget;

// Makes the form's labels and plain widgets act as buttons: a mouse press
// (or release) runs the action, and so do Space, Return and Enter while the
// control has the focus. Push buttons get the three keys; their mouse
// clicks are their own.
class ClickFilter : public QObject
{
public:
    enum class On { Press, Release };

    explicit ClickFilter(QObject* parent) : QObject(parent) {}

    void add(QWidget* control, std::function<void()> action, On on = On::Press);
    void add(QAbstractButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Action
    {
        On on;
        std::function<void()> run;
    };
    QHash<QObject*, Action> m_actions;
};
