#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// What the tabs may read and change of the receiver panel (frequency readout, mode list,
// S-meter display, request queue). Implemented by the receiver panel; reached through
// CorvinHost::receiverControl(). GUI thread only.
class ReceiverControl
{
public:
    virtual ~ReceiverControl() = default;

    // The frequency shown in the readout and saved as "Frequency", in Hz.
    virtual qint64 currentFrequency() const = 0;
    // Makes a frequency (Hz) the current one and shows it; sends nothing to the receiver.
    virtual void setCurrentFrequency(qint64 hertz) = 0;
    // The readout text, megahertz with six decimals ("145.500000").
    virtual QString frequencyText() const = 0;

    // The mode list: index = mode code 0-9 (9 = AUTO).
    virtual int modeIndex() const = 0;
    virtual QString modeText() const = 0;
    virtual int modeCount() const = 0;
    virtual QString modeCaption(int index) const = 0;
    // Every caption of the mode list, in code order.
    QStringList modeCaptions() const
    {
        QStringList captions;
        for (int i = 0; i < modeCount(); ++i)
            captions << modeCaption(i);
        return captions;
    }
    // Selects a mode in the list. With notify the panel handles it as a user change
    // (queues a mode request while connected); without, the list changes silently.
    virtual void setModeIndex(int index, bool notify) = 0;

    // The serial port selector's text.
    virtual QString serialPortName() const = 0;
    // True when the selector names a port (not its "No COM ports available" placeholder).
    virtual bool hasSerialPort() const = 0;

    // S-meter display: a level 0-255, or -1 for "no reading" ("---").
    virtual void showSignalLevel(int level) = 0;

    // The request queue served by the 250 ms poll while connected.
    virtual void queueTune(qint64 hertz) = 0;
    virtual void clearRequestQueue() = 0;
    // True while a tune or mode request waits (waiting S-meter reads do not count).
    virtual bool hasPendingTuning() const = 0;
    // Makes the next poll tick read the S-meter.
    virtual void pollSignalLevelSoon() = 0;

    // Requests from other programs (the network share): each joins the request queue and is
    // served at once with the requests already waiting, in order, instead of on later poll
    // ticks. A frequency or mode shows in the readout and the mode list as if the user had
    // chosen it. False when the receiver is not connected or did not take the request.
    virtual bool tuneNow(qint64 hertz) = 0;
    virtual bool setModeNow(int code) = 0;
    // Reads the S-meter and shows the reading; `level` gets it (0-255).
    virtual bool readSignalLevelNow(int *level) = 0;

protected:
    ReceiverControl() = default;
    ReceiverControl(const ReceiverControl &) = default;
    ReceiverControl &operator=(const ReceiverControl &) = default;
};
