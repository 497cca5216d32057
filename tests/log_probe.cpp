// Child process for the log tests: installs the handler, logs, exits cleanly.
#include "app/LogHandler.h"

#include <QCoreApplication>
#include <QDebug>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(logMessageHandler);
    const QString tag = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    qDebug().noquote() << "probe" << tag;
    qWarning().noquote() << "probe warning" << tag;
    std::printf("%s\n", qPrintable(logFilePath()));
    return 0;
}
