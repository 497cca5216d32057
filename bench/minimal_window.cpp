// The smallest Qt Widgets program that shows a frameless window of the
// installer's size; it quits once the window has painted.
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

class EmptyWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent* event) override
    {
        QWidget::paintEvent(event);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    EmptyWindow window;
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.resize(1034, 730);
    window.show();
    return app.exec();
}
