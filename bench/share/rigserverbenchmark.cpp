// corvin-bench-rigserver: the network share's round trips and CPU cost, timed. The server runs
// on a thread of its own with the driver on the simulated receiver, paced like the real line;
// clients are plain blocking sockets on other threads. Prints medians:
//   - "f" answered from state (target < 1 ms);
//   - "F" against the driver's own tune on the same line (target: the exchange + < 2 ms);
//   - the server thread's CPU with 8 clients polling "f" at 10 Hz, against the same time idle
//     (target: < 2 % of a core more).
#include "corvindriver.h"
#include "driverrigbackend.h"
#include "rigserver.h"
#include "rxsimulator.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The server's thread: driver, backend and server live and work there.
class ServerThread : public QThread
{
public:
    explicit ServerThread(QString port)
        : m_port(std::move(port))
    {}

    std::future<quint16> listening() { return m_listening.get_future(); }
    // Runs on the server thread and returns its result.
    template <typename Call> auto onThread(Call call)
    {
        decltype(call()) result{};
        QMetaObject::invokeMethod(
            m_context, [&] { result = call(); }, Qt::BlockingQueuedConnection);
        return result;
    }
    Corvindriver *driver() { return m_driver; }

protected:
    void run() override
    {
        Corvindriver driver;
        DriverRigBackend backend(driver);
        RigServer server(backend);
        QObject context;
        m_context = &context;
        m_driver = &driver;
        QString error;
        if (!driver.openPort(m_port) || !backend.seedFromReceiver() ||
            !server.listen(QHostAddress::LocalHost, 0, &error)) {
            m_listening.set_value(0);
            return;
        }
        m_listening.set_value(server.serverPort());
        exec();
        server.close();
    }

private:
    QString m_port;
    std::promise<quint16> m_listening;
    QObject *m_context = nullptr;
    Corvindriver *m_driver = nullptr;
};

class Client
{
public:
    explicit Client(quint16 port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int on = 1;
        setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        m_ok = ::connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    ~Client() { ::close(m_fd); }
    bool ok() const { return m_ok; }

    // Sends one line and reads until `lines` lines came back.
    std::string ask(const std::string &line, int lines = 1)
    {
        const std::string request = line + '\n';
        if (::write(m_fd, request.data(), request.size()) < 0)
            return {};
        std::string answer;
        char buffer[4096];
        while (std::count(answer.begin(), answer.end(), '\n') < lines) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            answer.append(buffer, static_cast<size_t>(n));
        }
        return answer;
    }

private:
    int m_fd = -1;
    bool m_ok = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    RxSimulator sim; // paced like 19200 baud 8N2
    sim.setWireLogKept(false);
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "error: %s\n", qPrintable(error));
        return 2;
    }
    ServerThread server(sim.portPath());
    std::future<quint16> listening = server.listening();
    server.start();
    const quint16 port = listening.get();
    if (port == 0) {
        std::fprintf(stderr, "error: the server did not start\n");
        return 2;
    }

    Client client(port);
    std::vector<double> reads;
    for (int i = 0; i < 2000; ++i) {
        const Clock::time_point start = Clock::now();
        client.ask("f");
        reads.push_back(msSince(start));
    }
    std::printf("f round trip, median of %zu: %.3f ms\n", reads.size(), median(reads));

    std::vector<double> sets;
    std::vector<double> tunes;
    for (int i = 0; i < 200; ++i) {
        const qint64 hertz = 7000000 + 1000 * (i % 50);
        // Alternate which goes first, so that neither always follows the other.
        const auto set = [&] {
            const Clock::time_point start = Clock::now();
            client.ask("F " + std::to_string(hertz + 500) + ".000000");
            sets.push_back(msSince(start));
        };
        // The same exchange without the network, on the server thread.
        const auto tune = [&] {
            tunes.push_back(server.onThread([&] {
                const Clock::time_point direct = Clock::now();
                server.driver()->tune(hertz);
                return msSince(direct);
            }));
        };
        if (i % 2 == 0) {
            set();
            tune();
        } else {
            tune();
            set();
        }
    }
    std::printf("F round trip, median of %zu: %.3f ms; the driver's tune alone: %.3f ms; "
                "difference of medians: %.3f ms\n",
                sets.size(), median(sets), median(tunes), median(sets) - median(tunes));

    constexpr int seconds = 10;
    const auto serverCpu = [&] { return server.onThread([] { return threadCpuMs(); }); };
    double before = serverCpu();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double idleMs = serverCpu() - before;

    std::atomic<bool> stop{false};
    std::atomic<long> polls{0};
    std::vector<std::thread> pollers;
    for (int c = 0; c < 8; ++c) {
        pollers.emplace_back([&] {
            Client poller(port);
            Clock::time_point next = Clock::now();
            while (!stop && poller.ok()) {
                poller.ask("f");
                ++polls;
                next += std::chrono::milliseconds(100);
                std::this_thread::sleep_until(next);
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    before = serverCpu();
    const long pollsBefore = polls;
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double busyMs = serverCpu() - before;
    const long served = polls - pollsBefore;
    stop = true;
    for (std::thread &poller : pollers)
        poller.join();
    std::printf("server thread CPU over %d s: idle %.1f ms (%.3f %%), 8 clients polling f at "
                "10 Hz (%ld requests) %.1f ms (%.3f %%): %.3f %% of a core more\n",
                seconds, idleMs, idleMs / (seconds * 10.0), served, busyMs,
                busyMs / (seconds * 10.0), (busyMs - idleMs) / (seconds * 10.0));

    server.quit();
    server.wait();
    return 0;
}
