#pragma once

// The request numbers of the audio measurements that Favorites and Smart Scan start: one
// counter for both, so a late result of either is recognised and dropped. GUI thread.
class MeasurementRequests
{
public:
    // A fresh number for a new measurement.
    int next() { return ++m_current; }
    // The number of the latest measurement; results with any other number are stale.
    int current() const { return m_current; }

private:
    int m_current = 0;
};
