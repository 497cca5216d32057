#include "core/LogHandler.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>
#include <mutex>

namespace {

const QString kLogFileName = QStringLiteral("install_vantrel.log");

QString levelWord(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("Debug:");
    case QtWarningMsg:
        return QStringLiteral("Warning:");
    case QtCriticalMsg:
        return QStringLiteral("Critical:");
    case QtFatalMsg:
        return QStringLiteral("Fatal:");
    case QtInfoMsg:
        break;
    }
    return QString();
}

QString cacheDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

// Resolved and created once, on the first message. A magic static keeps this
// safe even when the first message comes from a worker thread.
const QString& logDirectory()
{
    static const QString dir = [] {
        const QString path = cacheDirectory();
        if (!path.isEmpty() && !QDir(path).exists())
            QDir().mkpath(path);
        return path;
    }();
    return dir;
}

} // namespace

QString formatLogRecord(QtMsgType type, const QMessageLogContext& context, const QString& message,
                        const QString& timeText)
{
    // One multi-arg substitution each, so a "%1" inside a file name or a
    // message is kept as text rather than taken for a place marker.
    const QString position = QStringLiteral("File:(%1) Line:(%2)")
                                 .arg(QString::fromUtf8(context.file), QString::number(context.line));
    return QStringLiteral("%1 %2 %3 %4")
        .arg(QStringLiteral("(%1)").arg(timeText), levelWord(type), position, message);
}

QString logFilePath()
{
    return cacheDirectory() + QLatin1Char('/') + kLogFileName;
}

void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const QString dir = logDirectory();

    // A standard mutex rather than QMutex: the same non-recursive lock, but
    // one that thread sanitizers can see through an uninstrumented Qt.
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);
    const QString timeText = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    const QString record = formatLogRecord(type, context, message, timeText);

    // Opened once and kept: opening the file for every message cost a
    // millisecond or more each on Windows, several of them before the first
    // frame. Unbuffered, so each line is on disk when we return. An
    // unwritable folder loses the message quietly and the next one tries again.
    static QFile* const file = new QFile; // never destroyed: messages come during exit too
    if (!file->isOpen()) {
        file->setFileName(dir + QLatin1Char('/') + kLogFileName);
        if (dir.isEmpty() || !file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return;
    }
    // Appending is not atomic on Windows: another instance (an elevated one)
    // may have written since.
    file->seek(file->size());
    QTextStream stream(file);
    stream << record << "\r\n";
    stream.flush();
}
