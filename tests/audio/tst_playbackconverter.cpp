#include "playbackconverter.h"

#include <QtTest>

#include <vector>

namespace {

std::vector<qint16> toSamples(const QByteArray &bytes)
{
    std::vector<qint16> out(static_cast<size_t>(bytes.size()) / 2);
    memcpy(out.data(), bytes.constData(), out.size() * 2);
    return out;
}

} // namespace

class TestPlaybackConverter : public QObject
{
    Q_OBJECT

private slots:
    void equalFormatsPassBytesThrough()
    {
        PlaybackConverter c;
        c.configure(48000, 2, 48000, 2);
        const std::vector<qint16> in = {1, -2, 300, -32768, 32767, 5};
        QByteArray queue("x");
        c.append(in.data(), 3, queue);
        QCOMPARE(queue.size(), 13);
        QCOMPARE(toSamples(queue.mid(1)), in);
    }

    void stereoToMonoIsTruncatedMean()
    {
        PlaybackConverter c;
        c.configure(48000, 2, 48000, 1);
        const std::vector<qint16> in = {100, 300, -3, 0, 32767, 32767, -32768, -32767, 1, -2};
        QByteArray queue;
        c.append(in.data(), 5, queue);
        QCOMPARE(toSamples(queue), (std::vector<qint16>{200, -1, 32767, -32767, 0}));
    }

    void monoToStereoDuplicates()
    {
        PlaybackConverter c;
        c.configure(44100, 1, 44100, 2);
        const std::vector<qint16> in = {7, -9};
        QByteArray queue;
        c.append(in.data(), 2, queue);
        QCOMPARE(toSamples(queue), (std::vector<qint16>{7, 7, -9, -9}));
    }

    void upsamplingInterpolatesLinearly()
    {
        // 2 -> 3 frames: outputs at input positions 0, 2/3, 4/3, 2, ...
        PlaybackConverter c;
        c.configure(2, 1, 3, 1);
        const std::vector<qint16> in = {0, 300, 600, 900};
        QByteArray queue;
        c.append(in.data(), 4, queue);
        QCOMPARE(toSamples(queue), (std::vector<qint16>{0, 200, 400, 600, 800}));
    }

    void rampKeepsSlopeAndCountAt441To48k()
    {
        PlaybackConverter c;
        c.configure(44100, 2, 48000, 1);
        std::vector<qint16> in(2 * 44100);
        for (int i = 0; i < 44100; ++i) {
            in[static_cast<size_t>(2 * i)] = static_cast<qint16>(i % 20000);
            in[static_cast<size_t>(2 * i + 1)] = static_cast<qint16>(i % 20000);
        }
        QByteArray queue;
        c.append(in.data(), 44100, queue);
        const std::vector<qint16> out = toSamples(queue);
        QVERIFY(std::abs(int(out.size()) - 48000) <= 1);
        // Inside a ramp segment, output k sits at input position k x 44100 / 48000.
        for (int k = 100; k < 18000; k += 97) {
            const double expected = k * 44100.0 / 48000.0;
            QVERIFY2(std::abs(out[static_cast<size_t>(k)] - expected) <= 1.0,
                     qPrintable(QString::number(k)));
        }
    }

    void blockBoundariesDoNotMatter()
    {
        std::vector<qint16> in(2000);
        for (size_t i = 0; i < in.size(); ++i) {
            in[i] = static_cast<qint16>((i * 7919) % 30000 - 15000);
        }
        PlaybackConverter whole;
        whole.configure(48000, 1, 44100, 2);
        QByteArray a;
        whole.append(in.data(), 2000, a);
        PlaybackConverter split;
        split.configure(48000, 1, 44100, 2);
        QByteArray b;
        for (int at = 0; at < 2000; at += 333) {
            split.append(in.data() + at, std::min(333, 2000 - at), b);
        }
        QCOMPARE(a, b);
        split.reset();
        QByteArray c;
        split.append(in.data(), 1, c);
        QCOMPARE(toSamples(c), (std::vector<qint16>{in[0], in[0]}));
    }
};

QTEST_APPLESS_MAIN(TestPlaybackConverter)
#include "tst_playbackconverter.moc"
