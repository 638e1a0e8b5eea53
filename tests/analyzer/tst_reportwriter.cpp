#include "reportfigures.h"
#include "reportwriter.h"
#include "testsignals.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <stdexcept>

using namespace NativeWav;

namespace {

const int rate = 8000;
const double seconds = 3.0;

PulseEvent pulse(double t, double snr, double band = 1000.0, double width = 20.0)
{
    PulseEvent e;
    e.timeSeconds = t;
    e.startSeconds = t - 0.02;
    e.endSeconds = t + 0.02;
    e.widthMs = width;
    e.frequencyHz = band + 3.0;
    e.peakDb = -20.0;
    e.snrDb = snr;
    e.bandHz = band;
    return e;
}

PulseTrain train(double period, double band, const std::vector<double> &times)
{
    PulseTrain t;
    t.periodSeconds = period;
    t.jitterMs = 0.5;
    t.bandHz = band;
    t.lowHz = band - 120.0;
    t.highHz = band + 120.0;
    for (double time : times)
        t.events.push_back(pulse(time, 30.0 + time, band, 10.0 + time));
    return t;
}

// A mono result matching the test recording, without pulses.
Result baseResult()
{
    Result r;
    r.sampleRate = rate;
    r.validBits = 16;
    r.channels = 1;
    r.channelUsed = 1;
    r.frames = static_cast<std::uint64_t>(seconds * rate);
    r.durationSeconds = seconds;
    r.lowHz = 80;
    r.highHz = 3000;
    r.contrastDb = 12;
    r.channelStats = {ChannelStats{0.001, -30.0, -6.0, 0.0}};
    r.spectrumFrequencies = {100, 200, 300, 400};
    r.meanSpectrumDb = {-60, -40, -55, -70};
    r.levelDb = {-31, -30, -29};
    r.timeColumns = 3;
    r.displayFrequencies = {100, 300};
    r.spectrogramDb = {-90, -80, -70, -60, -50, -40};
    r.spectralPeaks = {{200.0, -40.0}};
    return r;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestReportWriter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_wav;
    int m_reports = 0;

    QString nextFolder() { return m_dir.filePath(QStringLiteral("report%1").arg(++m_reports)); }

    AnalysisRequest request(const QString &wav) const
    {
        AnalysisRequest r;
        r.wavPath = QFile::encodeName(wav).toStdString();
        return r;
    }

    QString write(const Result &result, const QString &wav = {})
    {
        const QString folder = nextFolder();
        const QString path = wav.isEmpty() ? m_wav : wav;
        std::atomic<bool> cancel{false};
        writeAnalysisReport(result, request(path), path, folder, cancel);
        return folder;
    }

    static QStringList filesIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }

private slots:
    void initTestCase();
    void twoTrainsGiveTwoClipsAndAgreeingNumbers();
    void noPulsesGiveNoTimelineNoClips();
    void isolatedPulsesGiveOneClipFromStrongestBand();
    void isolatedClipNeedsTwentyHertz();
    void summaryKeysOrderedWithNulls();
    void escapesFileNameInPage();
    void writesInOrderAndStopsAtFailure_data();
    void writesInOrderAndStopsAtFailure();
    void cancelledBeforeAnything();
    void clipStartsAtZeroAndPeaksAtMinus3dB();
    void figuresOfSilence();
};

void TestReportWriter::initTestCase()
{
    QVERIFY(m_dir.isValid());
    std::vector<double> x = TestSignals::noise(static_cast<std::size_t>(seconds * rate), 0.01);
    for (double t : {0.1, 0.6, 1.1, 1.6})
        TestSignals::addBurst(x, rate, t, 0.04, 1000, 0.4);
    m_wav = m_dir.filePath("source.wav");
    QVERIFY(TestSignals::writeWav(m_wav, rate, 1, x));
}

void TestReportWriter::twoTrainsGiveTwoClipsAndAgreeingNumbers()
{
    Result r = baseResult();
    r.trains = {train(0.5, 1000, {0.1, 0.6, 1.1, 1.6}), train(0.7, 2000, {0.3, 1.0, 1.7, 2.4})};
    r.events = {pulse(2.0, 15.0, 1500)};
    const QString folder = write(r);
    QCOMPARE(filesIn(folder), QStringList({"events.csv", "events.svg", "levels.svg",
                                           "preview_1.wav", "preview_2.wav", "report.html",
                                           "spectrogram.png", "spectrum.svg", "summary.json"}));
    const QString html = QString::fromUtf8(readAll(folder + "/report.html"));
    QVERIFY(html.contains("<b>Treno 1</b> · Banda 880–1120 Hz<audio controls preload='none' "
                          "src='preview_1.wav'></audio>"));
    QVERIFY(html.contains("<b>Treno 2</b> · Banda 1880–2120 Hz"));
    QVERIFY(html.contains("<b>9 eventi</b>, 2 treni periodici, 1 impulsi isolati."));
    QVERIFY(html.contains("<tr><td>1</td><td>4</td><td>500.00</td><td>0.50</td><td>880–1120</td>"));
    QVERIFY(html.contains("<h2>Ascolti filtrati</h2>"));
    QVERIFY(html.contains("<img src='events.svg'"));

    const QStringList lines = QString::fromUtf8(readAll(folder + "/events.csv")).split("\r\n");
    QCOMPARE(lines.size(), 11); // header, nine rows, empty tail after the last CR LF
    QCOMPARE(lines[1], QString("1,0.100000,0.080000,0.120000,10.100000,1003.000000,-20.000000,"
                               "30.100000"));
    QCOMPARE(lines[2].section(',', 0, 1), QString("2,0.300000"));
    QCOMPARE(lines[3].section(',', 0, 0), QString("1"));
    QCOMPARE(lines[8].section(',', 0, 1), QString("isolated,2.000000"));
    QVERIFY(lines[10].isEmpty());

    const QString timeline = QString::fromUtf8(readAll(folder + "/events.svg"));
    QVERIFY(timeline.contains("viewBox='0 0 1100 220'"));
    QVERIFY(timeline.contains(">Treno 1</text>"));
    QVERIFY(timeline.contains(">Treno 2</text>"));
    QVERIFY(timeline.contains(">Isolati</text>"));
    QCOMPARE(timeline.count("stroke-width='1.3'"), 9);
    QVERIFY(timeline.endsWith("</svg>"));
    QCOMPARE(timeline, svgEventTimeline(r));

    const QJsonObject summary = QJsonDocument::fromJson(readAll(folder + "/summary.json")).object();
    const QJsonArray trains = summary["trains"].toArray();
    QCOMPARE(trains.size(), 2);
    QCOMPARE(trains[0].toObject()["train"].toInt(), 1);
    QCOMPARE(trains[0].toObject()["period_ms"].toDouble(), 500.0);
    QCOMPARE(trains[0].toObject()["cadence_hz"].toDouble(), 2.0);
    // Medians of an even count are the mean of the middle two.
    QCOMPARE(trains[0].toObject()["width_ms"].toDouble(), 10.85);
    QCOMPARE(trains[0].toObject()["above_background_db"].toDouble(), 30.85);
    QCOMPARE(trains[1].toObject()["band_hz"].toArray(), QJsonArray({1880.0, 2120.0}));
    QCOMPARE(summary["event_count"].toInt(), 9);
    QCOMPARE(summary["isolated_events"].toInt(), 1);
}

void TestReportWriter::noPulsesGiveNoTimelineNoClips()
{
    const QString folder = write(baseResult());
    QCOMPARE(filesIn(folder), QStringList({"events.csv", "levels.svg", "report.html",
                                           "spectrogram.png", "spectrum.svg", "summary.json"}));
    QCOMPARE(readAll(folder + "/events.csv"),
             QByteArray("\xEF\xBB\xBFtrain,center_s,start_s,end_s,width_ms,peak_audio_hz,"
                        "peak_dbfs,above_background_db\r\n"));
    const QString html = QString::fromUtf8(readAll(folder + "/report.html"));
    QVERIFY(html.contains("<b>0 eventi</b>, 0 treni periodici, 0 impulsi isolati."));
    QVERIFY(html.contains("<p>Nessun treno periodico rilevato con queste soglie.</p>"));
    QVERIFY(!html.contains("Ascolti filtrati"));
    QVERIFY(!html.contains("events.svg"));
    QVERIFY(html.contains("<p>Picchi: 200.0 Hz</p>"));
    QVERIFY(html.endsWith("</main></body></html>"));
}

void TestReportWriter::isolatedPulsesGiveOneClipFromStrongestBand()
{
    Result r = baseResult();
    r.events = {pulse(0.6, 20.0, 600), pulse(1.1, 35.0, 1000), pulse(1.6, 35.0, 2000)};
    const QString folder = write(r);
    QVERIFY(filesIn(folder).contains("preview_1.wav"));
    QVERIFY(!filesIn(folder).contains("preview_2.wav"));
    const QString html = QString::fromUtf8(readAll(folder + "/report.html"));
    // The first of the two strongest pulses decides the band: 1000 Hz +- 120 Hz.
    QVERIFY(html.contains("<div class='clip'><b>Evento isolato</b> · Banda 880–1120 Hz<audio "
                          "controls preload='none' src='preview_1.wav'></audio></div>"));
}

void TestReportWriter::isolatedClipNeedsTwentyHertz()
{
    Result r = baseResult();
    r.highHz = 3910; // 0.49 * 8000 = 3920: the band 3850 ... 3910 Hz is wide enough
    r.events = {pulse(1.0, 20.0, 3900)};
    QVERIFY(filesIn(write(r)).contains("preview_1.wav"));
    r.events = {pulse(1.0, 20.0, 4020)}; // 3900 ... 3910 Hz: too narrow
    const QString folder = write(r);
    QVERIFY(!filesIn(folder).contains("preview_1.wav"));
    QVERIFY(!readAll(folder + "/report.html").contains("Ascolti filtrati"));
}

void TestReportWriter::summaryKeysOrderedWithNulls()
{
    Result r = baseResult();
    r.channelStats[0].rmsDb = qQNaN();
    r.trains = {train(0.5, 1000, {0.1, 0.6, 1.1, 1.6})};
    r.trains[0].jitterMs = qInf();
    const QString folder = write(r);
    const QByteArray text = readAll(folder + "/summary.json");
    QRegularExpression topKey("^    \"([a-z0-9_]+)\":", QRegularExpression::MultilineOption);
    QStringList keys;
    for (auto it = topKey.globalMatch(QString::fromUtf8(text)); it.hasNext();)
        keys << it.next().captured(1);
    QCOMPARE(keys, QStringList({"audio_levels", "bits", "channel_used", "channels", "contrast_db",
                                "duration_s", "event_count", "file", "float_pcm", "format",
                                "high_hz", "isolated_events", "low_hz", "sample_rate_hz", "samples",
                                "sha256", "spectral_peaks", "trains"}));
    const QJsonObject summary = QJsonDocument::fromJson(text).object();
    const QJsonObject levels = summary["audio_levels"].toObject();
    QVERIFY(levels["correlation_ch1_ch2"].isNull());
    QCOMPARE(levels["rms_dbfs"].toArray().size(), 1);
    QVERIFY(levels["rms_dbfs"].toArray()[0].isNull());
    QVERIFY(summary["trains"].toArray()[0].toObject()["jitter_ms"].isNull());
    QCOMPARE(summary["sample_rate_hz"].toInt(), rate);
    QCOMPARE(summary["file"].toString(), QString("source.wav"));
    QVERIFY(QRegularExpression("^[0-9a-f]{64}$").match(summary["sha256"].toString()).hasMatch());
    QVERIFY(text.contains("\n        \"clipping_pct\": [\n")); // four spaces per level
}

void TestReportWriter::escapesFileNameInPage()
{
    const QString odd = m_dir.filePath("a<b>&'c\".wav");
    QVERIFY(QFile::copy(m_wav, odd));
    const QString folder = write(baseResult(), odd);
    const QString html = QString::fromUtf8(readAll(folder + "/report.html"));
    QVERIFY(html.contains("<p><b>a&lt;b&gt;&amp;&#39;c&quot;.wav</b></p>"));
    QCOMPARE(QJsonDocument::fromJson(readAll(folder + "/summary.json")).object()["file"].toString(),
             QString("a<b>&'c\".wav"));
}

void TestReportWriter::writesInOrderAndStopsAtFailure_data()
{
    QTest::addColumn<QString>("blocker");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("events.csv") << "events.csv"
                                << "Could not write report file" << QStringList{"summary.json"};
    QTest::newRow("spectrogram.png")
        << "spectrogram.png"
        << "Could not save spectrogram PNG" << QStringList{"events.csv", "summary.json"};
    QTest::newRow("events.svg") << "events.svg"
                                << "Could not write report file"
                                << QStringList{"events.csv", "levels.svg", "spectrogram.png",
                                               "spectrum.svg", "summary.json"};
    QTest::newRow("preview_1.wav")
        << "preview_1.wav"
        << "Cannot create preview WAV"
        << QStringList{"events.csv",      "events.svg",   "levels.svg",
                       "spectrogram.png", "spectrum.svg", "summary.json"};
}

void TestReportWriter::writesInOrderAndStopsAtFailure()
{
    QFETCH(QString, blocker);
    QFETCH(QString, message);
    QFETCH(QStringList, written);
    Result r = baseResult();
    r.trains = {train(0.5, 1000, {0.1, 0.6, 1.1, 1.6})};
    const QString folder = nextFolder();
    // A folder in the place of a file makes that file fail; everything before it is written.
    QVERIFY(QDir().mkpath(folder + "/" + blocker));
    std::atomic<bool> cancel{false};
    QString error;
    try {
        writeAnalysisReport(r, request(m_wav), m_wav, folder, cancel);
    } catch (const std::runtime_error &e) {
        error = e.what();
    }
    QCOMPARE(error, message);
    QCOMPARE(filesIn(folder), written);
}

void TestReportWriter::cancelledBeforeAnything()
{
    const QString folder = nextFolder();
    std::atomic<bool> cancel{true};
    QVERIFY_EXCEPTION_THROWN(
        writeAnalysisReport(baseResult(), request(m_wav), m_wav, folder, cancel),
        std::runtime_error);
    QVERIFY(!QFile::exists(folder));
    QVERIFY(!QFile::exists(folder + "/summary.json"));
}

void TestReportWriter::clipStartsAtZeroAndPeaksAtMinus3dB()
{
    Result r = baseResult();
    r.trains = {train(0.5, 1000, {0.1, 0.6, 1.1, 1.6})};
    const QByteArray wav = readAll(write(r) + "/preview_1.wav");
    QCOMPARE(wav.size(), 44 + 2 * int(seconds * rate)); // from frame 0 to the end (< 30 s)
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 24), quint32(rate));
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 40), quint32(wav.size() - 44));
    int peak = 0;
    for (int i = 44; i < wav.size(); i += 2)
        peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(wav.constData() + i))));
    QCOMPARE(peak, int(std::lround(std::pow(10.0, -0.15) * 32767.0)));
}

void TestReportWriter::figuresOfSilence()
{
    Result r = baseResult();
    r.levelDb = {-160, -160, -160};
    std::fill(r.spectrogramDb.begin(), r.spectrogramDb.end(), -160.0f);
    const QString folder = write(r);
    const QString levels = QString::fromUtf8(readAll(folder + "/levels.svg"));
    QVERIFY(levels.startsWith("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 1100 260' "
                              "role='img' aria-label='Livello audio nel tempo'>"));
    QVERIFY(levels.contains("<text x='59' y='36.0' text-anchor='end'>-155.0</text>"));
    QVERIFY(levels.contains("<text x='59' y='224.0' text-anchor='end'>-160.0</text>"));
    QVERIFY(levels.contains("points='236.67,220.00 570.00,220.00 903.33,220.00 '/></svg>"));
    const QImage image(folder + "/spectrogram.png");
    QCOMPARE(image.size(), QSize(3, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            QCOMPARE(image.pixel(x, y), qRgb(8, 10, 27));

    r.timeColumns = 0;
    std::atomic<bool> cancel{false};
    QString error;
    try {
        writeSpectrogramPng(r, nextFolder() + ".png", cancel);
    } catch (const std::runtime_error &e) {
        error = e.what();
    }
    QCOMPARE(error, QString("Empty spectrogram"));
}

QTEST_GUILESS_MAIN(TestReportWriter)
#include "tst_reportwriter.moc"
