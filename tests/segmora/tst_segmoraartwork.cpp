// The embedded images: all 260 present at their sizes, the same as segmora-artwork paints
// them, and the icon.

#include <Segmora/segmora.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char letters[] = {'r', 'n', 'g', 'b', 't'};
const QStringList names = {"00", "01", "02", "03",    "04",    "05",   "06",
                           "07", "08", "09", "point", "minus", "blank"};

// Digit (and minus and blank) width, point width and height of a style and size.
QSize expectedSize(char letter, int size, bool point)
{
    struct Dimensions
    {
        int digit, point, height;
    };
    const Dimensions segment[4] = {{14, 4, 21}, {19, 6, 28}, {28, 9, 42}, {38, 12, 57}};
    const Dimensions nixie[4] = {{14, 4, 19}, {19, 6, 25}, {28, 9, 38}, {38, 12, 50}};
    const Dimensions thumb[4] = {{14, 4, 29}, {24, 7, 50}, {34, 9, 71}, {44, 12, 92}};
    const Dimensions &d = letter == 'n' ? nixie[size] : letter == 't' ? thumb[size] : segment[size];
    return {point ? d.point : d.digit, d.height};
}

QString imageName(char letter, const QString &name, int size)
{
    return QStringLiteral("%1%2_%3.png").arg(QLatin1Char(letter)).arg(name).arg(size);
}

} // namespace

class TestSegmoraArtwork : public QObject
{
    Q_OBJECT

private slots:
    void everyImageAtItsSize();
    void imagesAreWhatTheGeneratorPaints();
    void generatorCommandLine();
    void icon();
};

void TestSegmoraArtwork::everyImageAtItsSize()
{
    int found = 0;
    for (const char letter : letters) {
        for (int size = 0; size < 4; ++size) {
            for (const QString &name : names) {
                const QString path =
                    QStringLiteral(":/Segmora/images/") + imageName(letter, name, size);
                const QImage image(path);
                QVERIFY2(!image.isNull(), qPrintable(path));
                QCOMPARE(image.size(), expectedSize(letter, size, name == QLatin1String("point")));
                // Painted, not empty: the images have no transparent pixels.
                QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2).alpha(), 255);
                ++found;
            }
        }
    }
    QCOMPARE(found, 260);
    QCOMPARE(QDir(QStringLiteral(":/Segmora/images")).entryList().size(), 260);
}

void TestSegmoraArtwork::imagesAreWhatTheGeneratorPaints()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcess generator;
    generator.start(QStringLiteral(SEGMORA_ARTWORK), {folder.path()});
    QVERIFY(generator.waitForFinished(120000));
    QCOMPARE(generator.exitCode(), 0);
    QCOMPARE(generator.readAllStandardOutput().trimmed(),
             QByteArray("260 images written to ") + folder.path().toUtf8());

    const QDir committed(QStringLiteral(SEGMORA_IMAGES_DIR));
    QStringList generated = QDir(folder.path()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(generated, committed.entryList(QDir::Files, QDir::Name));
    QCOMPARE(generated.size(), 261); // and the resource file
    for (const QString &file : qAsConst(generated)) {
        if (!file.endsWith(QLatin1String(".png")))
            continue;
        const QImage painted(QDir(folder.path()).filePath(file));
        QVERIFY2(painted == QImage(committed.filePath(file)), qPrintable(file));
    }
    QFile qrc(QDir(folder.path()).filePath(QStringLiteral("segmora.qrc")));
    QFile committedQrc(committed.filePath(QStringLiteral("segmora.qrc")));
    QVERIFY(qrc.open(QIODevice::ReadOnly) && committedQrc.open(QIODevice::ReadOnly));
    QCOMPARE(qrc.readAll(), committedQrc.readAll());
}

void TestSegmoraArtwork::generatorCommandLine()
{
    QProcess generator;
    generator.start(QStringLiteral(SEGMORA_ARTWORK), QStringList());
    QVERIFY(generator.waitForFinished(30000));
    QCOMPARE(generator.exitCode(), 2);
    QVERIFY(generator.readAllStandardError().contains("Usage: segmora-artwork"));

    generator.start(QStringLiteral(SEGMORA_ARTWORK), {QStringLiteral("--help")});
    QVERIFY(generator.waitForFinished(30000));
    QCOMPARE(generator.exitCode(), 0);
    QVERIFY(generator.readAllStandardOutput().contains("260 images"));
}

void TestSegmoraArtwork::icon()
{
    const QIcon icon = Segmora::icon();
    QVERIFY(!icon.isNull());
    const QImage large(QStringLiteral(":/Segmora/images/n08_3.png"));
    QCOMPARE(icon.pixmap(large.size()).toImage().convertToFormat(QImage::Format_ARGB32),
             large.convertToFormat(QImage::Format_ARGB32));
}

QTEST_MAIN(TestSegmoraArtwork)
#include "tst_segmoraartwork.moc"
