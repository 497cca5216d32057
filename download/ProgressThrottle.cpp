#include "download/ProgressThrottle.h"

#include <cmath>

bool ProgressThrottle::accept(double per)
{
    if (!std::isfinite(per) || per - m_last < 1.0)
        return false;
    m_last = per;
    return true;
}
