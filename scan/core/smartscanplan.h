#pragma once

#include <QString>
#include <QtGlobal>

// What a Smart Scan covers and how it listens: the range and step in Hz, the mode, the
// thresholds, and the names the archive's first line records.
struct SmartScanPlan
{
    qint64 startHz = 88000000;
    qint64 endHz = 108000000;
    qint64 stepHz = 100000;
    int mode = 0;               // mode code 0-9
    QString modeText;           // its text in the mode list
    QString serialPort;         // the serial port's name
    QString input;              // the audio input device's name
    int threshold = 125;        // S-meter level (0-255) that earns an analysis
    int minimumAudioDbfs = -55; // -95 ... 0
    int analysisMs = 1500;      // 500-5000

    // (end - start) / step + 1 (integer division): the end counts only on the step grid.
    qint64 points() const { return isValid() ? (endHz - startHz) / stepHz + 1 : 0; }
    bool isValid() const { return endHz >= startHz && stepHz >= 1; }

    // Hz of a value in MHz (scale 1e6) or kHz (1e3), rounded half away from zero.
    static qint64 hertz(double value, double scale);
};
