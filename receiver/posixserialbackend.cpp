#include "posixserialbackend.h"

#include <QElapsedTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString callFailed(const char *call, int code)
{
    return QStringLiteral("%1 (errno %2)").arg(QLatin1String(call)).arg(code);
}

// Retries a system call interrupted by a signal.
template <typename Call> auto retryOnEintr(Call call)
{
    for (;;) {
        auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

} // namespace

std::unique_ptr<SerialBackend> SerialBackend::createPlatformBackend()
{
    return std::make_unique<PosixSerialBackend>();
}

PosixSerialBackend::~PosixSerialBackend()
{
    close();
}

QString PosixSerialBackend::failed(const char *call, int code)
{
    if (code == EIO || code == ENXIO || code == ENODEV)
        m_gone = true;
    return callFailed(call, code);
}

bool PosixSerialBackend::open(const QString &portName, QString *error)
{
    close();
    m_gone = false;
    const QString path =
        portName.contains(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName;
    const QByteArray nativePath = path.toLocal8Bit();
    m_fd = retryOnEintr(
        [&] { return ::open(nativePath.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
    if (m_fd < 0 || !isatty(m_fd)) {
        close();
        *error = QStringLiteral("Errore apertura porta: ") + portName;
        return false;
    }
    // Exclusive use, like an unshared handle. A second open by root still succeeds.
    if (ioctl(m_fd, TIOCEXCL) != 0) {
        close();
        *error = QStringLiteral("Errore apertura porta: ") + portName;
        return false;
    }
    if (!configure()) {
        close();
        *error = QStringLiteral("Errore configurazione porta");
        return false;
    }
    return true;
}

bool PosixSerialBackend::configure()
{
    termios tio{};
    if (tcgetattr(m_fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    if (cfsetispeed(&tio, B19200) != 0 || cfsetospeed(&tio, B19200) != 0)
        return false;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CRTSCTS | HUPCL);
    tio.c_cflag |= CS8 | CSTOPB | CREAD | CLOCAL;
    tio.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXANY);
    tio.c_iflag |= IXON | IXOFF | IGNBRK;
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;
    // Reads never block in the kernel: waiting is done with poll().
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(m_fd, TCSANOW, &tio) != 0)
        return false;
    // Drop DTR and RTS. Pseudo-terminals have no modem lines and refuse the request.
    const int lines = TIOCM_DTR | TIOCM_RTS;
    if (ioctl(m_fd, TIOCMBIC, &lines) != 0 && errno != ENOTTY && errno != EINVAL)
        return false;
    return true;
}

void PosixSerialBackend::close()
{
    if (m_fd >= 0) {
        // Exclusivity belongs to the terminal, not to this descriptor: give it up, or the
        // next open fails while another process still holds the terminal open.
        ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
    }
}

bool PosixSerialBackend::purgeInput(QString *error)
{
    if (m_fd < 0 || tcflush(m_fd, TCIFLUSH) != 0) {
        *error = failed("tcflush RX", m_fd < 0 ? EBADF : errno);
        return false;
    }
    return true;
}

bool PosixSerialBackend::flush(QString *error)
{
    if (m_fd < 0) {
        *error = failed("tcsetattr", EBADF);
        return false;
    }
    // Output held by an XOFF from the receiver resumes only on XON, or when XON/XOFF
    // output control is switched off: switch it off and on again, since the receiver is
    // being reset anyway.
    termios tio{};
    if (tcgetattr(m_fd, &tio) != 0) {
        *error = failed("tcgetattr", errno);
        return false;
    }
    termios released = tio;
    released.c_iflag &= ~static_cast<tcflag_t>(IXON);
    if (tcsetattr(m_fd, TCSANOW, &released) != 0 || tcsetattr(m_fd, TCSANOW, &tio) != 0) {
        *error = failed("tcsetattr", errno);
        return false;
    }
    if (tcflush(m_fd, TCIOFLUSH) != 0) {
        *error = failed("tcflush RX/TX", errno);
        return false;
    }
    return true;
}

bool PosixSerialBackend::write(const QByteArray &bytes, QString *error)
{
    if (m_fd < 0) {
        *error = failed("write", EBADF);
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n =
            ::write(m_fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n > 0) {
            written += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            *error = failed("write", errno);
            return false;
        }
        const qint64 left = writeLimitMs - clock.elapsed();
        if (left <= 0)
            break;
        pollfd pfd{m_fd, POLLOUT, 0};
        if (poll(&pfd, 1, static_cast<int>(left)) < 0 && errno != EINTR) {
            *error = failed("poll", errno);
            return false;
        }
    }
    if (written < bytes.size()) {
        *error = QStringLiteral("write (%1/%2 bytes)").arg(written).arg(bytes.size());
        return false;
    }
    return true;
}

QByteArray PosixSerialBackend::read(int maxBytes, bool *ok, QString *error)
{
    return readWaiting(maxBytes, readWaitMs, ok, error);
}

QByteArray PosixSerialBackend::readAvailable(int maxBytes, bool *ok, QString *error)
{
    return readWaiting(maxBytes, 0, ok, error);
}

QByteArray PosixSerialBackend::readWaiting(int maxBytes, int waitMs, bool *ok, QString *error)
{
    *ok = false;
    if (m_fd < 0) {
        *error = failed("read", EBADF);
        return QByteArray();
    }
    QByteArray buffer(qMax(maxBytes, 0), Qt::Uninitialized);
    if (buffer.isEmpty()) {
        *ok = true;
        return buffer;
    }
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer.data(), static_cast<size_t>(buffer.size()));
        if (n > 0) {
            buffer.truncate(static_cast<int>(n));
            *ok = true;
            return buffer;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            *error = failed("read", errno);
            return QByteArray();
        }
        // Nothing waiting (a read of 0 is a terminal with VMIN 0): wait for the first byte.
        const qint64 left = waitMs - clock.elapsed();
        if (left <= 0) {
            *ok = true;
            return QByteArray();
        }
        pollfd pfd{m_fd, POLLIN, 0};
        const int ready = poll(&pfd, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) {
            *error = failed("poll", errno);
            return QByteArray();
        }
        // A hung-up terminal (the adapter went away) reads as end of file for ever.
        if (ready > 0 && (pfd.revents & (POLLERR | POLLNVAL | POLLHUP))) {
            *error = failed("read", EIO);
            return QByteArray();
        }
    }
}
