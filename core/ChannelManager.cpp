#include "core/ChannelManager.h"

#include <QCryptographicHash>
#include <QDebug>

namespace {

const QString kNoChannelId = QStringLiteral("0000000000000000");
constexpr int kMaxIdLength = 16;
constexpr int kMaxNameLength = 19;

// The pieces of a non-empty channel string, before any truncation.
struct ChannelParts
{
    QString name;
    bool hasId = false;
    QString id;
    bool hasType = false;
    QString type;
};

ChannelParts splitChannel(const QString& param)
{
    ChannelParts parts;
    QString rest = param;

    // A "-" in front is part of the name, not an empty id marker.
    const int dash = rest.lastIndexOf(QLatin1Char('-'));
    if (dash > 0) {
        parts.hasId = true;
        parts.id = rest.mid(dash + 1);
        rest.truncate(dash);
    }

    const int underscore = rest.indexOf(QLatin1Char('_'));
    if (underscore >= 0)
        rest = rest.mid(underscore + 1);

    const int hash = rest.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        parts.hasType = true;
        parts.type = rest.mid(hash + 1);
        rest.truncate(hash);
    }
    parts.name = rest;
    return parts;
}

// Cuts to at most length UTF-16 units without splitting a surrogate pair,
// so a truncated name never carries half a character into the telemetry.
QString truncated(const QString& text, int length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text.at(length - 1).isHighSurrogate() && text.at(length).isLowSurrogate())
        --length;
    return text.left(length);
}

} // namespace

ChannelFields ChannelManager::parse(const QString& param, const ChannelFields& current)
{
    ChannelFields fields = current;
    if (param.isEmpty()) {
        fields.channelName = QStringLiteral("Default");
        fields.mode = 1;
        return fields;
    }

    const ChannelParts parts = splitChannel(param);
    fields.channelId = parts.hasId ? truncated(parts.id, kMaxIdLength) : kNoChannelId;
    fields.channelName = truncated(parts.name, kMaxNameLength);
    if (!parts.hasType)
        fields.mode = 1;
    else if (parts.type == QLatin1String("qotab"))
        fields.mode = 0;
    return fields;
}

QString ChannelManager::signatureFor(int mode)
{
    const QString text = QStringLiteral("qalto58204913_") +
                         (mode == 1 ? QStringLiteral("normal") : QStringLiteral("qotab")) +
                         QStringLiteral("_PirvOKa=");
    return QString::fromLatin1(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Md5).toHex());
}

QString ChannelFields::signature() const
{
    return ChannelManager::signatureFor(mode);
}

ChannelFields ChannelManager::parseChannel(const QString& param)
{
    const ChannelFields fields = parse(param);
    const ChannelParts parts = param.isEmpty() ? ChannelParts() : splitChannel(param);
    if (parts.hasType)
        qDebug() << "CCCCCCCCCCCCCCCCCCC" << fields.channelName << parts.type << fields.mode
                 << fields.channelId;
    else
        qDebug() << fields.channelName << fields.mode;
    return fields;
}
