#include "download/RetryPolicy.h"

#include <QRegularExpression>
#include <curl/curl.h>

RetryPolicy::Next RetryPolicy::classify(const AttemptEnd& end, bool bytesArrived)
{
    if (end.curlCode == CURLE_OK)
        return Next::Done;
    if (end.rejected || (end.curlCode == CURLE_HTTP_RETURNED_ERROR && end.httpStatus == 416))
        return Next::Restart;
    // Before the first byte nothing shows the server can deliver at all.
    if (!bytesArrived)
        return Next::Fail;
    switch (end.curlCode) {
    case CURLE_HTTP_RETURNED_ERROR:
        return end.httpStatus >= 500 ? Next::Resume : Next::Fail;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return Next::Resume;
    default:
        return Next::Fail;
    }
}

RetryPolicy::Next RetryPolicy::afterAttempt(const AttemptEnd& end, bool bytesArrived)
{
    ++m_attempts;
    Next next = classify(end, bytesArrived);
    if (next == Next::Restart) {
        // A server that keeps answering ranges it cannot serve is not asked again.
        next = m_restarted ? Next::Fail : Next::Restart;
        m_restarted = true;
    }
    if ((next == Next::Resume || next == Next::Restart) && m_attempts >= kMaxAttempts)
        return Next::Fail;
    return next;
}

RetryPolicy::Body RetryPolicy::forResponse(long status, const QByteArray& contentRange, qint64 offset,
                                           qint64 total)
{
    if (status != 206)
        return Body::FromZero;
    static const QRegularExpression pattern(QStringLiteral("^bytes\\s+(\\d+)-(\\d+)/(\\d+|\\*)$"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(contentRange.trimmed()));
    if (!match.hasMatch() || match.captured(1).toLongLong() != offset)
        return Body::Reject;
    if (total < 0)
        return Body::Append;
    return match.captured(3) == QString::number(total) && match.captured(2).toLongLong() == total - 1
               ? Body::Append
               : Body::Reject;
}
