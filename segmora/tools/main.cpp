// segmora-artwork: paints every image of Segmora's picture styles into a folder, with the
// resource file that embeds them. The committed images in segmora/images are its output:
//   segmora-artwork segmora/images

#include "artworkpainter.h"
#include "segmoraimages.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

namespace {

// DejaVu fonts from Debian's fonts-dejavu-core (Bitstream Vera licence, DejaVu changes in the
// public domain).
const QString fontFolder = QStringLiteral("/usr/share/fonts/truetype/dejavu/");
const QString nixieFontFile = QStringLiteral("DejaVuSans.ttf");
const QString wheelFontFile = QStringLiteral("DejaVuSansCondensed-Bold.ttf");

const char usage[] = "Usage: segmora-artwork [--help] [--version] FOLDER\n"
                     "Paints the 260 images of Segmora's picture styles (red, green and white\n"
                     "seven-segment, nixie, thumbwheel; 13 characters; 4 sizes) into FOLDER,\n"
                     "with the resource file segmora.qrc that embeds them.\n";

// The font file itself, not whatever the font configuration would pick for its name.
bool loadFont(const QString &file, QRawFont &font, QTextStream &err)
{
    font = QRawFont(fontFolder + file, 400.0);
    if (!font.isValid()) {
        err << "error: cannot load the font " << fontFolder << file
            << " (Debian package fonts-dejavu-core)\n";
        return false;
    }
    return true;
}

bool writeFile(const QString &path, const QByteArray &bytes, QTextStream &err)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        err << "error: cannot write " << path << ": " << file.errorString() << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Nothing is shown: the offscreen platform paints without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(SEGMORA_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    const QStringList arguments = app.arguments().mid(1);
    if (arguments.contains(QStringLiteral("--help"))) {
        out << usage;
        return 0;
    }
    if (arguments.contains(QStringLiteral("--version"))) {
        out << "segmora-artwork " << SEGMORA_VERSION << "\n";
        return 0;
    }
    if (arguments.size() != 1 || arguments.first().startsWith(QLatin1Char('-'))) {
        err << usage;
        return 2;
    }
    const QDir folder(arguments.first());
    if (!QDir().mkpath(folder.path())) {
        err << "error: cannot create " << folder.path() << "\n";
        return 1;
    }

    QRawFont nixieFont;
    QRawFont wheelFont;
    if (!loadFont(nixieFontFile, nixieFont, err) || !loadFont(wheelFontFile, wheelFont, err))
        return 2;
    const ArtworkPainter painter(nixieFont, wheelFont);

    QByteArray qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n"
                     "    <qresource prefix=\"/Segmora/images\">\n";
    int written = 0;
    for (const char letter : SegmoraImages::letters) {
        for (int size = 0; size < SegmoraImages::sizeCount; ++size) {
            for (int index = 0; index < SegmoraImages::characterCount; ++index) {
                const QString name = SegmoraImages::fileName(letter, index, size);
                QByteArray png;
                QBuffer buffer(&png);
                buffer.open(QIODevice::WriteOnly);
                if (!painter.paint(letter, index, size).save(&buffer, "PNG") ||
                    !writeFile(folder.filePath(name), png, err)) {
                    err << "error: cannot write " << name << "\n";
                    return 1;
                }
                qrc += "        <file>" + name.toLatin1() + "</file>\n";
                ++written;
            }
        }
    }
    qrc += "    </qresource>\n</RCC>\n";
    if (!writeFile(folder.filePath(QStringLiteral("segmora.qrc")), qrc, err))
        return 1;
    out << written << " images written to " << folder.path() << "\n";
    return 0;
}
