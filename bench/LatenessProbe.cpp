#include "LatenessProbe.h"

#include <QtGlobal>

LatenessProbe::LatenessProbe(QObject* parent) : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &LatenessProbe::tick);
}

void LatenessProbe::start()
{
    m_maxLatenessNs = 0;
    m_ticks = 0;
    m_clock.start();
    m_lastNs = 0;
    m_timer.start();
}

void LatenessProbe::stop()
{
    m_timer.stop();
    // The stretch since the last tick counts as well.
    tick();
}

void LatenessProbe::tick()
{
    const qint64 now = m_clock.nsecsElapsed();
    m_maxLatenessNs = qMax(m_maxLatenessNs, now - m_lastNs - qint64(kIntervalMs) * 1000000);
    m_lastNs = now;
    ++m_ticks;
}
