#pragma once

#include <QObject>
#include <QString>

// Channel name and id, read by every operation-log record.
extern QString g_channelName;
extern QString g_channelId;

// What a channel string says; parsing is a pure function of the input.
struct ChannelFields
{
    QString channelName = QStringLiteral("Default");
    int mode = 1; // 1 normal channel, 0 test channel
    QString channelId = QStringLiteral("0000000000000000");
};

class ChannelManager : public QObject
{
    Q_OBJECT

public:
    static ChannelManager* instance();

    // Grammar: [prefix "_"] name ["#" type] ["-" id]; never rejects input.
    static ChannelFields parse(const QString& param, const ChannelFields& current = ChannelFields());
    static QString signatureFor(int mode);

    void parseChannel(const QString& param);

    QString channelName() const { return m_fields.channelName; }
    QString channelId() const { return m_fields.channelId; }
    int mode() const { return m_fields.mode; }
    QString channelSignature() const { return signatureFor(m_fields.mode); }

private:
    ChannelManager() = default;

    ChannelFields m_fields;
};
