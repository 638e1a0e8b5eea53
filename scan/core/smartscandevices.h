#pragma once

#include <QString>
#include <QtGlobal>

// The receiver as Smart Scan drives it. GUI thread; every call is synchronous.
class SmartScanReceiver
{
public:
    virtual ~SmartScanReceiver() = default;
    // Tunes to a frequency in Hz; false when the receiver did not take it.
    virtual bool tune(qint64 hertz) = 0;
    // Sets a mode code 0-9 (9 = AUTO).
    virtual bool setMode(int mode) = 0;
    // Reads the S-meter (0-255); false with the driver's error text.
    virtual bool readSignalLevel(int *level, QString *error) = 0;
    // The mode in use: 0-8, or 9 when the receiver reported none under AUTO.
    virtual int effectiveMode() const = 0;

protected:
    SmartScanReceiver() = default;
    SmartScanReceiver(const SmartScanReceiver &) = default;
    SmartScanReceiver &operator=(const SmartScanReceiver &) = default;
};

// The audio measurement as Smart Scan starts it; the result comes back to
// SmartScan::analysisReady. Called from the GUI thread.
class SmartScanAudio
{
public:
    virtual ~SmartScanAudio() = default;
    // Starts measuring the live audio for durationMs at a minimum level (dBFS).
    virtual bool startAnalysis(int request, int durationMs, double thresholdDbfs) = 0;
    // Forgets a pending measurement.
    virtual void cancelAnalysis() = 0;

protected:
    SmartScanAudio() = default;
    SmartScanAudio(const SmartScanAudio &) = default;
    SmartScanAudio &operator=(const SmartScanAudio &) = default;
};
