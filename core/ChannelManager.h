#pragma once

#include <QString>

// What a channel string says; parsing is a pure function of the input.
struct ChannelFields
{
    QString channelName = QStringLiteral("Default");
    int mode = 1; // 1 normal channel, 0 test channel
    QString channelId = QStringLiteral("0000000000000000");

    // The text the installed product checks, by mode.
    QString signature() const;
};

// The distribution channel the installer was started for: a value the window
// hands to the telemetry and the install run.
class ChannelManager
{
public:
    // Grammar: [prefix "_"] name ["#" type] ["-" id]; never rejects input.
    static ChannelFields parse(const QString& param, const ChannelFields& current = ChannelFields());
    static QString signatureFor(int mode);

    // parse(), with the log lines of the launch parameter.
    static ChannelFields parseChannel(const QString& param);
};
