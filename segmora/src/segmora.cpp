#include "displaysurface.h"
#include "segmoraimages.h"

#include <QHBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int cellCount = 32;
constexpr int maxFormatLength = cellCount;

bool isShownCharacter(char c)
{
    return (c >= '0' && c <= '9') || c == '-' || c == '.';
}

Segmora::DisplaySize clampedSize(Segmora::DisplaySize size)
{
    return Segmora::DisplaySize(std::clamp(int(size), int(Segmora::Small), int(Segmora::Huge)));
}

} // namespace

// The widget's state, kept out of the public header so the library can change it without
// breaking programs built against an earlier version.
class Segmora::Private
{
public:
    QHBoxLayout *layout = nullptr;
    // The images of the current picture style and size, by image index (digits, point,
    // minus, blank).
    std::array<QPixmap, SegmoraImages::characterCount> images;
    // Cell 0 is the surface; the others are plain labels used one per position when the
    // picture styles are shown unscaled.
    DisplaySurface *surface = nullptr;
    std::array<QLabel *, cellCount> cells{};
    DisplayType type = Red_7_Segment;
    DisplaySize size = Huge;
    QString format;
    QString printfFormat;
    QString initValue;
    // Null until the first value arrives: then the pattern shows with every "#" as "8".
    QString valueText;
    bool scaled = true;
};

Segmora::Segmora(const QString &format, DisplaySize size, QWidget *parent)
    : QWidget(parent)
    , d(new Private)
{
    initAll(clampedSize(size));
    setDisplayFormat(format);
    resize(sizeHint());
}

Segmora::Segmora(QWidget *parent)
    : QWidget(parent)
    , d(new Private)
{
    initAll(Huge);
    setDisplayFormat(QStringLiteral("#"));
    resize(sizeHint());
}

// The cells are children and go with the widget; the private state goes with d.
Segmora::~Segmora() = default;

void Segmora::initAll(DisplaySize size)
{
    setObjectName(QStringLiteral("Segmora"));
    setWindowIcon(icon());

    d->layout = new QHBoxLayout(this);
    d->layout->setSpacing(0);
    d->layout->setContentsMargins(0, 0, 0, 0);
    d->type = Red_7_Segment;
    d->scaled = true;
    d->initValue = QStringLiteral("0");

    d->surface = new DisplaySurface(this);
    d->cells[0] = d->surface;
    for (int i = 1; i < cellCount; ++i)
        d->cells[std::size_t(i)] = new QLabel(this);
    for (QLabel *cell : d->cells) {
        d->layout->addWidget(cell);
        cell->hide();
    }
    setDisplaySize(clampedSize(size));
}

void Segmora::display(const QString &text)
{
    d->valueText = text.isNull() ? QStringLiteral("") : text;
    refreshDisplay();
}

void Segmora::display(double value)
{
    // Qt's formatter writes any number in full and always with a decimal point, whatever the
    // locale of the desktop session.
    display(QString::asprintf(d->printfFormat.toLatin1().constData(), value));
}

double Segmora::displayValue(int which) const
{
    if (which != -1)
        return 0.0;
    bool ok = false;
    const double value = d->valueText.toDouble(&ok);
    return ok && !std::isnan(value) ? value : 0.0;
}

QString Segmora::displayFormat() const
{
    return d->format;
}

Segmora::DisplaySize Segmora::displaySize() const
{
    return d->size;
}

Segmora::DisplayType Segmora::displayType() const
{
    return d->type;
}

QString Segmora::initValue() const
{
    return d->initValue;
}

bool Segmora::scaledContents() const
{
    return d->scaled;
}

QColor Segmora::segmentColor() const
{
    return d->surface->segmentColor();
}

bool Segmora::segmentGlow() const
{
    return d->surface->segmentGlow();
}

void Segmora::setDisplayFormat(const QString &format)
{
    d->format = format.left(maxFormatLength);
    int spaces = 0;
    int digitsBeforePoint = 0;
    int digitsAfterPoint = 0;
    bool point = false;
    for (const QChar c : qAsConst(d->format)) {
        if (c == QLatin1Char(' ')) {
            ++spaces;
        } else if (c == QLatin1Char('.')) {
            point = true;
        } else if (c == QLatin1Char('#')) {
            ++(point ? digitsAfterPoint : digitsBeforePoint);
        }
    }
    const int width = spaces + (point ? 1 : 0) + digitsBeforePoint + digitsAfterPoint;
    d->printfFormat = QString::asprintf("%%%d.%df", width, digitsAfterPoint);
    refreshDisplay();
}

void Segmora::setDisplaySize(DisplaySize size)
{
    if (size < Small || size > Huge)
        return;
    d->size = size;
    if (d->type != Led_Vector)
        loadImages();
    refreshDisplay();
}

void Segmora::setDisplayType(DisplayType type)
{
    if (type < Red_7_Segment || type > Led_Vector || type == d->type)
        return;
    d->type = type;
    setDisplaySize(d->size);
}

void Segmora::setInitValue(const QString &text)
{
    d->initValue = text;
    display(text);
}

void Segmora::setScaledContents(bool scaled)
{
    if (scaled == d->scaled)
        return;
    d->scaled = scaled;
    refreshDisplay();
}

void Segmora::setSegmentColor(const QColor &color)
{
    if (!color.isValid() || color == d->surface->segmentColor())
        return;
    d->surface->setSegmentColor(color);
    if (d->type == Led_Vector)
        d->surface->update();
}

void Segmora::resetSegmentColor()
{
    setSegmentColor(QColor(DisplaySurface::defaultColor));
}

void Segmora::setSegmentGlow(bool glow)
{
    if (glow == d->surface->segmentGlow())
        return;
    d->surface->setSegmentGlow(glow);
    if (d->type == Led_Vector)
        d->surface->update();
}

QIcon Segmora::icon()
{
    return QIcon(QStringLiteral(":/Segmora/images/n08_3.png"));
}

void Segmora::loadImages()
{
    const char letter = SegmoraImages::letters[d->type];
    for (int i = 0; i < SegmoraImages::characterCount; ++i)
        d->images[std::size_t(i)] = QPixmap(SegmoraImages::resourcePath(letter, i, d->size));
}

void Segmora::refreshDisplay()
{
    const bool led = d->type == Led_Vector;
    const bool surfaceMode = led || d->scaled;
    const QByteArray format = d->format.toLatin1();

    QByteArray characters;
    QVector<QPixmap> pixmaps;
    for (int i = 0; i < format.size(); ++i) {
        char c = ' ';
        if (d->valueText.isNull())
            c = format[i] == '#' ? '8' : format[i];
        else if (i < d->valueText.size())
            c = d->valueText[i].toLatin1();
        if (!isShownCharacter(c))
            c = ' ';
        characters += c;
        if (led)
            continue;
        const QPixmap &image = d->images[std::size_t(SegmoraImages::imageIndex(c))];
        if (surfaceMode)
            pixmaps.append(image);
        else
            d->cells[std::size_t(i)]->setPixmap(image);
    }

    int visible = 0;
    if (surfaceMode) {
        d->surface->setContent(characters, format, pixmaps,
                               led ? 0 : SegmoraImages::letters[d->type], d->size, d->scaled);
        visible = format.isEmpty() ? 0 : 1;
    } else {
        if (d->surface->isActive())
            d->surface->deactivate();
        visible = format.size();
    }
    // Showing or hiding a cell relayouts the widget: touch only the cells that change.
    for (int i = 0; i < cellCount; ++i) {
        QLabel *cell = d->cells[std::size_t(i)];
        const bool show = i < visible;
        if (cell->isHidden() == show)
            cell->setVisible(show);
    }
}
