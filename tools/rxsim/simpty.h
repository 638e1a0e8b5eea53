#pragma once

#include <QString>

// The receiver's end of a pseudo-terminal. The program opens slavePath() like a
// serial port; the simulator reads and writes the master side (non-blocking).
// The simulator keeps the terminal's own end open too, so that the program can close
// and reopen the port without the master seeing a hang-up.
class SimPty
{
public:
    SimPty() = default;
    ~SimPty();
    SimPty(const SimPty &) = delete;
    SimPty &operator=(const SimPty &) = delete;

    bool open(QString *error);
    // Makes `path` a symbolic link to the terminal (an existing link is replaced).
    bool link(const QString &path, QString *error);
    void close();
    // Closes both simulator ends: the program's port hangs up, its I/O fails from now on.
    void hangUp();
    // Hangs up and removes the link, like a USB adapter pulled out: the device is gone.
    void vanish();
    // A new terminal, linked again at the link path of the vanished one.
    bool reappear(QString *error);

    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_linkPath;
};
