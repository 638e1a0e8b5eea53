#pragma once

class QString;

// What the end-of-scan standby needs from the main window. All calls on the GUI thread.
class StandbyHost
{
public:
    virtual ~StandbyHost() = default;

    // Writes one line to the on-screen and persistent log.
    virtual void appendLog(const QString &message) = 0;

    // Disconnects from the receiver, sending standby first when forceStandby is true.
    // Returns true only when the standby command was sent and taken; the port is closed in
    // every case.
    virtual bool disconnectReceiver(bool forceStandby) = 0;

    // Stops all audio in the audio thread, waits for it, and refreshes the audio controls.
    virtual void stopAllAudio() = 0;

    // Re-evaluates the connection and activity controls (the one-activity rule).
    virtual void updateConnectionUi() = 0;

    // Writes the settings store to disk now.
    virtual void flushSettings() = 0;
};
