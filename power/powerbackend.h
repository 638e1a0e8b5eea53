#pragma once

// The operating system's power services as the scans need them: a keep-awake request held
// while a long scan runs, and a request to suspend the PC when a scan has ended.
class PowerBackend
{
public:
    virtual ~PowerBackend() = default;

    // Asks the system not to enter idle sleep until releaseKeepAwake(). Returns true when the
    // request is held (also when it already was). GUI thread.
    virtual bool acquireKeepAwake() = 0;

    // Drops the keep-awake request. Returns true when nothing is held any more (also when
    // nothing was held). GUI thread.
    virtual bool releaseKeepAwake() = 0;

    // Asks the system to suspend. Blocks until the system has answered. Returns 0 when the
    // request was accepted, otherwise a positive error code. Safe on any thread.
    virtual int requestSleep() = 0;
};
