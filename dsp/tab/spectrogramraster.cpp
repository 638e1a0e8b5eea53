#include "spectrogramraster.h"

SpectrogramRaster::SpectrogramRaster(std::shared_ptr<const NativeWav::Result> result, double topDb)
    : m_result(std::move(result))
    , m_lookup(*m_result)
{
    setInterval(Qt::XAxis, QwtInterval(0.0, m_result->durationSeconds));
    setInterval(Qt::YAxis, QwtInterval(m_result->lowHz, m_result->highHz));
    setInterval(Qt::ZAxis, QwtInterval(topDb - 56.0, topDb));
}

double SpectrogramRaster::value(double x, double y) const
{
    return m_lookup.valueAt(x, y);
}
