// The display's behaviour: number formatting from the pattern, positional values, character
// filtering, properties, guards, size hints and the cells it shows.

#include "segmoratesthelpers.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QtTest>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>

using SegmoraTest::render;
using SegmoraTest::visibleCells;

namespace {

// An LED display of the pattern showing a value (a null QVariant leaves the fresh pattern).
QImage ledRender(const QString &pattern, const QVariant &value)
{
    Segmora display(pattern, Segmora::Small);
    display.setDisplayType(Segmora::Led_Vector);
    if (value.userType() == QMetaType::Double)
        display.display(value.toDouble());
    else if (value.isValid())
        display.display(value.toString());
    return render(display);
}

QImage resourceImage(char letter, const QString &name, int size)
{
    return QImage(QStringLiteral(":/Segmora/images/%1%2_%3.png")
                      .arg(QLatin1Char(letter))
                      .arg(name)
                      .arg(size));
}

// What the display shows, as far as a test can tell: style, size, look and size hint.
struct Snapshot
{
    Segmora::DisplayType type;
    Segmora::DisplaySize size;
    QColor color;
    bool glow;
    QSize hint;
    QImage picture;
    bool operator==(const Snapshot &o) const
    {
        return type == o.type && size == o.size && color == o.color && glow == o.glow &&
               hint == o.hint && picture == o.picture;
    }
};

Snapshot snapshot(Segmora &display)
{
    return {display.displayType(), display.displaySize(), display.segmentColor(),
            display.segmentGlow(), display.sizeHint(),    render(display)};
}

constexpr double inf = std::numeric_limits<double>::infinity();

} // namespace

class TestSegmora : public QObject
{
    Q_OBJECT

private slots:
    void freshWidget();
    void constructorClampsSize_data();
    void constructorClampsSize();
    void numberFormatting_data();
    void numberFormatting();
    void numbersInAnItalianSession();
    void positionalText_data();
    void positionalText();
    void displayValue_data();
    void displayValue();
    void patternKeepsThirtyTwoCharacters();
    void initValueIsShown();
    void properties_data();
    void properties();
    void enumerationsAndNoSignals();
    void guardsChangeNothing_data();
    void guardsChangeNothing();
    void lookChangesRepaintOnlyTheLedDrawing();
    void sizeHints_data();
    void sizeHints();
    void unscaledPicturesShowOneCellPerPosition();
    void onlyChangedCellsAreTouched();
};

void TestSegmora::freshWidget()
{
    Segmora display;
    QCOMPARE(display.objectName(), QStringLiteral("Segmora"));
    QVERIFY(!display.windowIcon().isNull());
    QCOMPARE(display.displayFormat(), QStringLiteral("#"));
    QCOMPARE(display.displaySize(), Segmora::Huge);
    QCOMPARE(display.displayType(), Segmora::Red_7_Segment);
    QCOMPARE(display.initValue(), QStringLiteral("0"));
    QVERIFY(display.scaledContents());
    QCOMPARE(display.segmentColor(), QColor("#f96c60"));
    QVERIFY(display.segmentGlow());
    // One Huge red digit, the widget sized to it.
    QCOMPARE(display.sizeHint(), QSize(38, 57));
    QCOMPARE(display.size(), display.sizeHint());
    QCOMPARE(visibleCells(display), 1);
    QCOMPARE(int(SegmoraTest::cells(display).size()), 32);
}

void TestSegmora::constructorClampsSize_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("size");
    QTest::newRow("medium") << 1 << int(Segmora::Medium);
    QTest::newRow("above huge") << 9 << int(Segmora::Huge);
    QTest::newRow("negative") << -3 << int(Segmora::Small);
}

void TestSegmora::constructorClampsSize()
{
    QFETCH(int, requested);
    QFETCH(int, size);
    Segmora display(QStringLiteral("##"), Segmora::DisplaySize(requested));
    QCOMPARE(int(display.displaySize()), size);
    QCOMPARE(display.size(), display.sizeHint());
}

void TestSegmora::numberFormatting_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("readBack");
    QTest::newRow("three, point, two") << "###.##" << 3.14159 << "  3.14" << 3.14;
    QTest::newRow("digit, space, three") << "# ###" << 42.0 << "   42" << 42.0;
    QTest::newRow("negative") << "###.##" << -3.14159 << " -3.14" << -3.14;
    QTest::newRow("rounds up") << "#.#" << 0.96 << "1.0" << 1.0;
    QTest::newRow("rounding carries a digit in") << "##.#" << 9.96 << "10.0" << 10.0;
    QTest::newRow("wider than the pattern is cut") << "##" << 123.0 << "123" << 123.0;
    QTest::newRow("negative cut") << "##" << -123.0 << "-123" << -123.0;
    QTest::newRow("nan") << "###" << std::nan("") << "nan" << 0.0;
    QTest::newRow("+inf") << "####" << inf << " inf" << inf;
    QTest::newRow("-inf") << "####" << -inf << "-inf" << -inf;
    // Hundreds of digits: written in full, shown cut to the pattern.
    QTest::newRow("1e308") << "###.#" << 1e308 << QString::number(1e308, 'f', 1) << 1e308;
    QTest::newRow("-1e308") << "###.#" << -1e308 << QString::number(-1e308, 'f', 1) << -1e308;
    QTest::newRow("max double") << "#" << std::numeric_limits<double>::max()
                                << QString::number(std::numeric_limits<double>::max(), 'f', 0)
                                << std::numeric_limits<double>::max();
}

void TestSegmora::numberFormatting()
{
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(double, readBack);

    Segmora display(pattern, Segmora::Small);
    display.setDisplayType(Segmora::Led_Vector);
    display.display(value);
    QCOMPARE(render(display), ledRender(pattern, text));
    QCOMPARE(display.displayValue(-1), readBack);
    // The number is really shown, not the fresh pattern.
    QVERIFY(render(display) != ledRender(pattern, QVariant()));
}

void TestSegmora::numbersInAnItalianSession()
{
    // The test runs with LC_ALL=it_IT.UTF-8; set it here too when run by hand.
    const QByteArray previous = std::setlocale(LC_ALL, nullptr);
    if (QByteArray(std::localeconv()->decimal_point) != ",")
        QVERIFY2(std::setlocale(LC_ALL, "it_IT.UTF-8"), "no it_IT.UTF-8 locale (locales-all)");
    char c[16];
    std::snprintf(c, sizeof c, "%.2f", 3.14159);
    QCOMPARE(QByteArray(c), QByteArray("3,14")); // the C library would write a comma

    Segmora display(QStringLiteral("###.##"), Segmora::Small);
    display.setDisplayType(Segmora::Led_Vector);
    display.display(3.14159);
    const QImage shown = render(display);
    std::setlocale(LC_ALL, previous.constData());
    QCOMPARE(display.displayValue(-1), 3.14);
    QCOMPARE(shown, ledRender(QStringLiteral("###.##"), QStringLiteral("  3.14")));
}

void TestSegmora::positionalText_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("sameAs");
    QTest::newRow("fresh pattern shows eights") << "##.#" << QVariant() << "88.8";
    QTest::newRow("fresh pattern keeps its own minus and spaces") << "-# #" << QVariant() << "-8 8";
    QTest::newRow("null text blanks everything") << "##.#" << QVariant(QString()) << "    ";
    QTest::newRow("empty text blanks everything") << "##.#" << QVariant(QString("")) << "    ";
    QTest::newRow("letters and slashes are blank") << "####" << QVariant("A/7x") << "  7 ";
    QTest::newRow("non-Latin digits are blank")
        << "##" << QVariant(QString::fromUtf8("٣4")) << " 4";
    QTest::newRow("short text is padded") << "####" << QVariant("-7") << "-7  ";
    QTest::newRow("long text is cut") << "##" << QVariant("123") << "12";
}

void TestSegmora::positionalText()
{
    QFETCH(QString, pattern);
    QFETCH(QVariant, value);
    QFETCH(QString, sameAs);
    const QImage shown = ledRender(pattern, value);
    QCOMPARE(shown, ledRender(pattern, sameAs));
    QVERIFY(shown != ledRender(pattern, QStringLiteral("0000")));
}

void TestSegmora::displayValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("which");
    QTest::addColumn<double>("value");
    QTest::newRow("number with blanks") << "  3.14" << -1 << 3.14;
    QTest::newRow("negative") << "-7" << -1 << -7.0;
    QTest::newRow("not a number") << "12A" << -1 << 0.0;
    QTest::newRow("nan") << "nan" << -1 << 0.0;
    QTest::newRow("blank") << "" << -1 << 0.0;
    QTest::newRow("other argument") << "3.14" << 0 << 0.0;
    QTest::newRow("argument 1") << "3.14" << 1 << 0.0;
}

void TestSegmora::displayValue()
{
    QFETCH(QString, text);
    QFETCH(int, which);
    QFETCH(double, value);
    Segmora display(QStringLiteral("######"));
    display.display(text);
    QCOMPARE(display.displayValue(which), value);
}

void TestSegmora::patternKeepsThirtyTwoCharacters()
{
    Segmora display(QString(40, QLatin1Char('#')), Segmora::Small);
    QCOMPARE(display.displayFormat(), QString(32, QLatin1Char('#')));
    display.setScaledContents(false);
    QCOMPARE(visibleCells(display), 32);
}

void TestSegmora::initValueIsShown()
{
    Segmora display(QStringLiteral("##"), Segmora::Small);
    display.setDisplayType(Segmora::Led_Vector);
    display.setInitValue(QStringLiteral("42"));
    QCOMPARE(display.initValue(), QStringLiteral("42"));
    QCOMPARE(render(display), ledRender(QStringLiteral("##"), QStringLiteral("42")));
}

void TestSegmora::properties_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QVariant>("read");
    QTest::newRow("Format") << "Format" << QVariant("#.##") << QVariant("#.##");
    QTest::newRow("Init") << "Init" << QVariant("12") << QVariant("12");
    QTest::newRow("Size") << "Size" << QVariant::fromValue(Segmora::Large)
                          << QVariant::fromValue(Segmora::Large);
    QTest::newRow("Size by name") << "Size" << QVariant("Small")
                                  << QVariant::fromValue(Segmora::Small);
    QTest::newRow("Style") << "Style" << QVariant::fromValue(Segmora::Nixie)
                           << QVariant::fromValue(Segmora::Nixie);
    QTest::newRow("ScaledContents") << "ScaledContents" << QVariant(false) << QVariant(false);
    QTest::newRow("SegmentColor") << "SegmentColor" << QVariant(QColor("#00ff80"))
                                  << QVariant(QColor("#00ff80"));
    QTest::newRow("SegmentGlow") << "SegmentGlow" << QVariant(false) << QVariant(false);
}

void TestSegmora::properties()
{
    QFETCH(QString, name);
    QFETCH(QVariant, written);
    QFETCH(QVariant, read);
    const QMetaObject &meta = Segmora::staticMetaObject;
    const QMetaProperty property = meta.property(meta.indexOfProperty(name.toLatin1()));
    QVERIFY(property.isValid());
    QVERIFY(property.isReadable() && property.isWritable());
    QVERIFY(property.isDesignable() && property.isScriptable() && property.isStored());
    QCOMPARE(property.isResettable(), name == QLatin1String("SegmentColor"));

    Segmora display(QStringLiteral("##"));
    QVERIFY(display.setProperty(name.toLatin1(), written));
    QCOMPARE(display.property(name.toLatin1()), read);
    if (property.isResettable()) {
        QVERIFY(property.reset(&display));
        QCOMPARE(display.segmentColor(), QColor("#f96c60"));
    }
}

void TestSegmora::enumerationsAndNoSignals()
{
    const QMetaObject &meta = Segmora::staticMetaObject;
    const QMetaEnum type = meta.enumerator(meta.indexOfEnumerator("DisplayType"));
    const char *types[] = {"Red_7_Segment",   "Nixie", "Green_7_Segment",
                           "White_7_Segment", "Thumb", "Led_Vector"};
    QCOMPARE(type.keyCount(), 6);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(type.keyToValue(types[i]), i);
    const QMetaEnum size = meta.enumerator(meta.indexOfEnumerator("DisplaySize"));
    const char *sizes[] = {"Small", "Medium", "Large", "Huge"};
    QCOMPARE(size.keyCount(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(size.keyToValue(sizes[i]), i);
    QCOMPARE(meta.methodCount(), meta.methodOffset());
}

void TestSegmora::guardsChangeNothing_data()
{
    QTest::addColumn<QString>("call");
    for (const char *call : {"type 6", "type -1", "same type", "size 4", "size -1",
                             "invalid colour", "same colour", "same glow", "same scaling"})
        QTest::newRow(call) << QString::fromLatin1(call);
}

void TestSegmora::guardsChangeNothing()
{
    QFETCH(QString, call);
    Segmora display(QStringLiteral("##.#"), Segmora::Medium);
    display.setDisplayType(Segmora::Led_Vector);
    display.display(QStringLiteral("12.5"));
    display.show();
    QVERIFY(QTest::qWaitForWindowExposed(&display));
    QCoreApplication::processEvents();
    const Snapshot before = snapshot(display);
    SegmoraTest::EventCounter paints(QEvent::Paint);
    paints.watch(&display);
    for (QLabel *cell : SegmoraTest::cells(display))
        paints.watch(cell);

    if (call == QLatin1String("type 6"))
        display.setDisplayType(Segmora::DisplayType(6));
    else if (call == QLatin1String("type -1"))
        display.setDisplayType(Segmora::DisplayType(-1));
    else if (call == QLatin1String("same type"))
        display.setDisplayType(Segmora::Led_Vector);
    else if (call == QLatin1String("size 4"))
        display.setDisplaySize(Segmora::DisplaySize(4));
    else if (call == QLatin1String("size -1"))
        display.setDisplaySize(Segmora::DisplaySize(-1));
    else if (call == QLatin1String("invalid colour"))
        display.setSegmentColor(QColor());
    else if (call == QLatin1String("same colour"))
        display.setSegmentColor(QColor("#f96c60"));
    else if (call == QLatin1String("same glow"))
        display.setSegmentGlow(true);
    else
        display.setScaledContents(true);
    QCoreApplication::processEvents();
    QCOMPARE(paints.count, 0);
    QVERIFY(snapshot(display) == before);
}

void TestSegmora::lookChangesRepaintOnlyTheLedDrawing()
{
    Segmora display(QStringLiteral("#"), Segmora::Medium);
    display.show();
    QVERIFY(QTest::qWaitForWindowExposed(&display));
    QCoreApplication::processEvents();
    SegmoraTest::EventCounter paints(QEvent::Paint);
    paints.watch(SegmoraTest::cells(display)[0]);

    // A picture style keeps the colour for later but draws nothing differently.
    display.setSegmentColor(QColor("#40c0ff"));
    display.setSegmentGlow(false);
    QCoreApplication::processEvents();
    QCOMPARE(paints.count, 0);
    QCOMPARE(display.segmentColor(), QColor("#40c0ff"));
    QVERIFY(!display.segmentGlow());

    display.setDisplayType(Segmora::Led_Vector);
    QCoreApplication::processEvents();
    paints.count = 0;
    display.setSegmentColor(QColor("#ffc040"));
    QCoreApplication::processEvents();
    QVERIFY(paints.count > 0);
    paints.count = 0;
    display.setSegmentGlow(true);
    QCoreApplication::processEvents();
    QVERIFY(paints.count > 0);
    paints.count = 0;
    display.resetSegmentColor();
    QCoreApplication::processEvents();
    QVERIFY(paints.count > 0);
    QCOMPARE(display.segmentColor(), QColor("#f96c60"));
}

void TestSegmora::sizeHints_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("scaled");
    QTest::addColumn<QSize>("hint");
    QTest::addColumn<QSize>("minimum");
    const int led = Segmora::Led_Vector;
    // LED width = height x (12 + 53 per digit cell + 17 per point cell) / 76, rounded up.
    QTest::newRow("led small") << led << 0 << "###.##" << QString() << true << QSize(82, 21)
                               << QSize(0, 0);
    QTest::newRow("led huge") << led << 3 << "###.##" << QString() << true << QSize(221, 57)
                              << QSize(0, 0);
    QTest::newRow("led medium one digit")
        << led << 1 << "#" << QString() << true << QSize(24, 28) << QSize(0, 0);
    QTest::newRow("led large unscaled")
        << led << 2 << "#" << QString() << false << QSize(36, 42) << QSize(36, 42);
    QTest::newRow("led value point takes a point cell")
        << led << 3 << "##"
        << "8." << true << QSize(62, 57) << QSize(0, 0);
    QTest::newRow("led digit on the pattern's point takes a digit cell")
        << led << 3 << "#.#"
        << "123" << true << QSize(129, 57) << QSize(0, 0);
    QTest::newRow("red huge") << int(Segmora::Red_7_Segment) << 3 << "###.##" << QString() << true
                              << QSize(202, 57) << QSize(0, 0);
    QTest::newRow("thumb medium") << int(Segmora::Thumb) << 1 << "##" << QString() << true
                                  << QSize(48, 50) << QSize(0, 0);
    QTest::newRow("nixie small unscaled") << int(Segmora::Nixie) << 0 << "#.#" << QString() << false
                                          << QSize(32, 19) << QSize(32, 19);
}

void TestSegmora::sizeHints()
{
    QFETCH(int, type);
    QFETCH(int, size);
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(bool, scaled);
    QFETCH(QSize, hint);
    QFETCH(QSize, minimum);
    Segmora display(pattern, Segmora::DisplaySize(size));
    display.setDisplayType(Segmora::DisplayType(type));
    display.setScaledContents(scaled);
    if (!value.isNull())
        display.display(value);
    QCOMPARE(display.sizeHint(), hint);
    QCOMPARE(display.minimumSizeHint(), minimum);
}

void TestSegmora::unscaledPicturesShowOneCellPerPosition()
{
    Segmora display(QStringLiteral("#.#-"), Segmora::Large);
    display.setDisplayType(Segmora::Green_7_Segment);
    display.display(QStringLiteral("1.2-"));
    QCOMPARE(visibleCells(display), 1);

    display.setScaledContents(false);
    QCOMPARE(visibleCells(display), 4);
    const auto cells = SegmoraTest::cells(display);
    const char *names[] = {"01", "point", "02", "minus"};
    for (int i = 0; i < 4; ++i) {
        const QPixmap shown = cells[std::size_t(i)]->pixmap(Qt::ReturnByValue);
        QVERIFY(!shown.isNull());
        QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32),
                 resourceImage('g', QString::fromLatin1(names[i]), 2)
                     .convertToFormat(QImage::Format_ARGB32));
    }
    // The surface is an ordinary label again: its hint is its image's.
    QCOMPARE(cells[0]->sizeHint(), QSize(28, 42));

    display.setDisplayType(Segmora::Led_Vector);
    QCOMPARE(visibleCells(display), 1);
    display.setDisplayFormat(QString());
    QCOMPARE(visibleCells(display), 0);
}

void TestSegmora::onlyChangedCellsAreTouched()
{
    Segmora display(QStringLiteral("###"), Segmora::Small);
    display.setScaledContents(false);
    display.show();
    QVERIFY(QTest::qWaitForWindowExposed(&display));
    SegmoraTest::EventCounter shown(QEvent::ShowToParent);
    SegmoraTest::EventCounter hidden(QEvent::HideToParent);
    for (QLabel *cell : SegmoraTest::cells(display)) {
        shown.watch(cell);
        hidden.watch(cell);
    }
    display.setDisplayFormat(QStringLiteral("####"));
    QCOMPARE(shown.count, 1);
    QCOMPARE(hidden.count, 0);
    display.display(QStringLiteral("1234"));
    QCOMPARE(shown.count, 1);
    display.setDisplayFormat(QStringLiteral("##"));
    QCOMPARE(hidden.count, 2);
    display.setScaledContents(true);
    QCOMPARE(hidden.count, 3);
    QCOMPARE(shown.count, 1);
}

QTEST_MAIN(TestSegmora)
#include "tst_segmora.moc"
