// The download's decisions: what follows an attempt and whether a response
// to a range fits, and which progress values reach the window.
#include "download/ProgressThrottle.h"
#include "download/RetryPolicy.h"
#include "support/TestEnvironment.h"

#include <curl/curl.h>
#include <limits>
#include <tuple>

using Next = RetryPolicy::Next;
using Body = RetryPolicy::Body;

class TestRetryPolicy : public QObject
{
    Q_OBJECT

private slots:
    // earlier: how many attempts ended the same way before this one.
    void retryPolicy()
    {
        enum { kBytes = 1, kRejected = 2 };
        const std::tuple<const char*, int, long, int, int, Next> rows[] = {
            {"reset, 4th time", CURLE_RECV_ERROR, 206, kBytes, 3, Next::Resume},
            {"reset, 5th time", CURLE_RECV_ERROR, 206, kBytes, 4, Next::Fail},
            {"404 to a range", CURLE_HTTP_RETURNED_ERROR, 404, kBytes, 0, Next::Fail},
            {"416", CURLE_HTTP_RETURNED_ERROR, 416, kBytes, 0, Next::Restart},
            {"416 again", CURLE_HTTP_RETURNED_ERROR, 416, kBytes, 1, Next::Fail},
            {"range misfit", CURLE_WRITE_ERROR, 206, kBytes | kRejected, 0, Next::Restart},
            {"disk full", CURLE_WRITE_ERROR, 200, kBytes, 0, Next::Fail},
            {"reset before a byte", CURLE_RECV_ERROR, 0, 0, 0, Next::Fail},
            {"refused on resume", CURLE_COULDNT_CONNECT, 0, kBytes, 0, Next::Fail},
        };
        for (const auto& [name, code, status, flags, earlier, next] : rows) {
            const RetryPolicy::AttemptEnd end{code, status, (flags & kRejected) != 0};
            RetryPolicy policy;
            for (int i = 0; i < earlier; ++i)
                policy.afterAttempt(end, flags & kBytes);
            QVERIFY2(policy.afterAttempt(end, flags & kBytes) == next, name);
        }

        // A response to "Range: bytes=100-" of a file first seen with total bytes.
        const std::tuple<const char*, long, const char*, qint64, Body> responses[] = {
            {"200", 200, "bytes 100-999/1000", 1000, Body::FromZero},
            {"fits", 206, "bytes 100-999/1000", 1000, Body::Append},
            {"total unknown", 206, "bytes 100-999/*", -1, Body::Append},
            {"other start", 206, "bytes 0-999/1000", 1000, Body::Reject},
            {"other total", 206, "bytes 100-1999/2000", 1000, Body::Reject},
            {"short of the end", 206, "bytes 100-499/1000", 1000, Body::Reject},
            {"no header", 206, "", 1000, Body::Reject},
        };
        for (const auto& [name, status, contentRange, total, body] : responses)
            QVERIFY2(RetryPolicy::forResponse(status, contentRange, 100, total) == body, name);
    }

    // Only values a point above the last one passed on reach the window.
    void throttle()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        const std::pair<QList<double>, QList<double>> rows[] = {
            {{0.5, 1.0, 1.7, 2.2, 2.9}, {1.0, 2.2}},       // first at 1.0, exact values
            {{nan, inf, -inf, 0.5, 1.2, nan, inf}, {1.2}}, // not a number, infinities
            {{50.0, 99.2, 99.9, 100.0}, {50.0, 99.2}},     // no 100 within a point of it
            {{10.0, 5.0, 10.5, 11.0}, {10.0, 11.0}},       // going back is ignored
        };
        for (const auto& [input, expected] : rows) {
            ProgressThrottle throttle;
            QList<double> out;
            for (double per : input)
                if (throttle.accept(per))
                    out << per;
            QCOMPARE(out, expected);
        }
    }
};

NERIX_TEST_MAIN(TestRetryPolicy)
#include "test_retry_policy.moc"
