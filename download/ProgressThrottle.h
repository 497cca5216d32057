#pragma once

// The ">= 1 point above the last value passed on" rule, shared by the
// downloader (to avoid flooding the GUI thread) and TaskThread.
class ProgressThrottle
{
public:
    // True when per is at least one point above last; NaN and infinities never are.
    static bool passes(double last, double per);

    // True when per should be passed on; it then becomes the last value.
    bool accept(double per);
    void reset(double last = 0.0) { m_last = last; }
    double last() const { return m_last; }

private:
    double m_last = 0.0;
};
