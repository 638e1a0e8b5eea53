// corvin-dsp as a user runs it: "info" prints the format as JSON, reader errors go to stderr
// with exit code 1, a wrong command line prints the usage with exit code 2.

#include "wavimage.h"

#include <QtTest>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using WavFixture::WavImage;

class TestDspTool : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode;
        QByteArray out;
        QByteArray err;
    };

    Run run(const QStringList &arguments)
    {
        QProcess tool;
        tool.start(qEnvironmentVariable("CORVIN_DSP_TOOL"), arguments);
        if (!tool.waitForFinished(60000))
            return {-1, {}, {}};
        return {tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError()};
    }

    QTemporaryDir m_dir;

private slots:
    void infoDescribesTheFile()
    {
        const QString path = m_dir.filePath("stereo24.wav");
        QVERIFY(WavImage("RIFX")
                    .extensible(2, 96000, 24, 20, 1)
                    .data(WavFixture::Bytes(6 * 48000, 0))
                    .writeTo(path.toStdString()));
        const Run result = run({"info", path});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.err.isEmpty());
        QJsonParseError parseError;
        const QJsonObject info = QJsonDocument::fromJson(result.out, &parseError).object();
        QCOMPARE(parseError.error, QJsonParseError::NoError);
        QCOMPARE(info.size(), 8);
        QCOMPARE(info.value("sample_rate").toInt(), 96000);
        QCOMPARE(info.value("channels").toInt(), 2);
        QCOMPARE(info.value("bits").toInt(), 24);
        QCOMPARE(info.value("valid_bits").toInt(), 20);
        QCOMPARE(info.value("float").toBool(true), false);
        QCOMPARE(info.value("big_endian").toBool(false), true);
        QCOMPARE(info.value("frames").toDouble(), 48000.0);
        QCOMPARE(info.value("duration_s").toDouble(), 0.5);
    }

    void readerErrorsGoToStderr()
    {
        const QString path = m_dir.filePath("short.wav");
        QVERIFY(WavImage().format(1, 1, 8000, 16).data({0, 0}).writeTo(path.toStdString()));
        Run result = run({"info", path});
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.out.isEmpty());
        QCOMPARE(result.err.trimmed(), QByteArray("error: WAV has too few samples"));
        result = run({"info", m_dir.filePath("absent.wav")});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err.trimmed(), QByteArray("error: Cannot open WAV file"));
    }

    void wrongCommandLinesPrintTheUsage()
    {
        for (const QStringList &arguments : {QStringList{}, QStringList{"frobnicate"},
                                             QStringList{"info"}, QStringList{"info", "a", "b"}}) {
            const Run result = run(arguments);
            QCOMPARE(result.exitCode, 2);
            QVERIFY(result.err.contains("usage: corvin-dsp info FILE"));
        }
        const Run help = run({"--help"});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains("usage: corvin-dsp analyze FILE"));
        const Run version = run({"--version"});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(version.out.startsWith("corvin-dsp "));
    }
};

QTEST_GUILESS_MAIN(TestDspTool)
#include "tst_dsptool.moc"
