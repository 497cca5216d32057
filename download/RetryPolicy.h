#pragma once

#include <QByteArray>
#include <QtGlobal>

// Decides, inside one download call, whether a failed attempt is tried again
// and how: the rest of the file by a Range request, or the whole file anew.
// No I/O: everything comes from libcurl's result and the response seen.
class RetryPolicy
{
public:
    static constexpr int kMaxAttempts = 5;

    enum class Next { Done, Fail, Resume, Restart };
    // What to do with a response body, on its first byte.
    enum class Body { Append, FromZero, Reject };

    struct AttemptEnd
    {
        int curlCode = 0;      // result of curl_easy_perform
        long httpStatus = 0;   // status of the last response, 0 when none came
        bool rejected = false; // its body was refused: the range did not fit
    };

    // Counts the attempt; bytesArrived: body bytes arrived earlier in the call.
    Next afterAttempt(const AttemptEnd& end, bool bytesArrived);
    int attempts() const { return m_attempts; }

    // Milliseconds before retry n (1-based): first, then doubling.
    static int waitMs(int retry, int firstMs) { return firstMs << (retry - 1); }

    // A 206 continues the file only where its Content-Range starts at offset
    // and runs to the end of the total known so far (-1: none known).
    static Body forResponse(long status, const QByteArray& contentRange, qint64 offset, qint64 total);

private:
    static Next classify(const AttemptEnd& end, bool bytesArrived);

    int m_attempts = 0;
    bool m_restarted = false;
};
