#pragma once

#include <Segmora/segmora_export.h>

#include <QColor>
#include <QIcon>
#include <QString>
#include <QWidget>

#include <memory>

// A number in the look of a seven-segment display, a nixie tube, a thumbwheel switch or a
// vector-drawn LED display.
//
// The display follows a pattern of "#" (a digit position), "." (the decimal point) and spaces,
// at most 32 positions. The value is shown position by position: character i of the value goes
// to position i of the pattern, a longer value is cut and a shorter one padded with blanks.
// Digits, "-" and "." are shown; any other character shows as a blank. Until the first value
// arrives, every "#" shows an "8".
//
// The picture styles use images of four fixed sizes; Led_Vector is drawn in any colour, with an
// optional glow. With scaled contents (the default) the whole display is one surface that
// scales its picture to the widget, keeping its proportions; without, the picture styles show
// one image per position at its natural size and the LED drawing keeps the height of its size.
//
// GUI thread only. The class has no signals or slots; its setters can be connected to with
// function-pointer connections.
class SEGMORA_EXPORT Segmora : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Format READ displayFormat WRITE setDisplayFormat
                   DESIGNABLE true SCRIPTABLE true STORED true)
    Q_PROPERTY(
        QString Init READ initValue WRITE setInitValue DESIGNABLE true SCRIPTABLE true STORED true)
    Q_PROPERTY(DisplaySize Size READ displaySize WRITE setDisplaySize
                   DESIGNABLE true SCRIPTABLE true STORED true)
    Q_PROPERTY(DisplayType Style READ displayType WRITE setDisplayType
                   DESIGNABLE true SCRIPTABLE true STORED true)
    Q_PROPERTY(bool ScaledContents READ scaledContents WRITE setScaledContents
                   DESIGNABLE true SCRIPTABLE true STORED true)
    Q_PROPERTY(QColor SegmentColor READ segmentColor WRITE setSegmentColor RESET resetSegmentColor
                   DESIGNABLE true SCRIPTABLE true STORED true)
    Q_PROPERTY(bool SegmentGlow READ segmentGlow WRITE setSegmentGlow
                   DESIGNABLE true SCRIPTABLE true STORED true)

public:
    enum DisplayType {
        Red_7_Segment = 0,
        Nixie = 1,
        Green_7_Segment = 2,
        White_7_Segment = 3,
        Thumb = 4,
        Led_Vector = 5,
    };
    Q_ENUM(DisplayType)

    // Height of the drawing: 21, 28, 42 or 57 px for the seven-segment images and the LED
    // drawing, 19, 25, 38 or 50 px for the nixie, 29, 50, 71 or 92 px for the thumbwheel.
    enum DisplaySize {
        Small = 0,
        Medium = 1,
        Large = 2,
        Huge = 3,
    };
    Q_ENUM(DisplaySize)

    // A display of the pattern (its first 32 characters) in the given size (out-of-range sizes
    // are clamped to Small..Huge), resized to its size hint.
    explicit Segmora(const QString &format, DisplaySize size = Huge, QWidget *parent = nullptr);
    // A one-digit display ("#") of size Huge.
    explicit Segmora(QWidget *parent = nullptr);
    ~Segmora() override;

    // Shows the text position by position; a null text blanks every position.
    void display(const QString &text);
    // Shows the number right-aligned in the pattern's width with as many decimals as the
    // pattern has "#" after its point, always with "." as the decimal point. A number wider
    // than the pattern is cut after its first positions.
    void display(double value);
    // For -1 the value shown, as a number (0 when it is not one); 0 for any other argument.
    double displayValue(int which) const;

    QString displayFormat() const;
    DisplaySize displaySize() const;
    DisplayType displayType() const;
    QString initValue() const;
    bool scaledContents() const;
    QColor segmentColor() const;
    bool segmentGlow() const;

    // Takes the first 32 characters as the pattern and derives the number format from it.
    void setDisplayFormat(const QString &format);
    // Values outside Small..Huge are ignored.
    void setDisplaySize(DisplaySize size);
    // Values outside Red_7_Segment..Led_Vector are ignored.
    void setDisplayType(DisplayType type);
    // Stores the initial value and shows it.
    void setInitValue(const QString &text);
    void setScaledContents(bool scaled);
    // Colour of lit LED segments; an invalid colour is ignored. Default "#f96c60".
    void setSegmentColor(const QColor &color);
    void resetSegmentColor();
    // A soft halo around lit LED segments. Default on.
    void setSegmentGlow(bool glow);

    // A large nixie "8", for window icons and tool boxes.
    static QIcon icon();

private:
    class Private;
    class DisplaySurface;

    void initAll(DisplaySize size);
    void refreshDisplay();
    void loadImages();

    std::unique_ptr<Private> d;
};
