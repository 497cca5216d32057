#include "download/ProgressThrottle.h"

#include <cmath>

bool ProgressThrottle::passes(double last, double per)
{
    return std::isfinite(per) && per - last >= 1.0;
}

bool ProgressThrottle::accept(double per)
{
    if (!passes(m_last, per))
        return false;
    m_last = per;
    return true;
}
