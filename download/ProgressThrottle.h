#pragma once

// The downloader's progress passes a value on only when it is at least one
// point above the last one passed on, so the GUI thread is not flooded.
class ProgressThrottle
{
public:
    // True when per should be passed on (NaN and infinities never are); it
    // then becomes the last value.
    bool accept(double per);
    void reset() { m_last = 0.0; }

private:
    double m_last = 0.0;
};
