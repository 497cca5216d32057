#pragma once

#include <QString>
#include <QtGlobal>

// Appends every message to "install_vantrel.log" in the cache location.
void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// One record without its line end; exposed so the format can be tested.
QString formatLogRecord(QtMsgType type, const QMessageLogContext& context, const QString& message,
                        const QString& timeText);

// Full path of the log file (the cache location may be overridden by HOME/XDG).
QString logFilePath();
