#include "demowindow.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaEnum>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>

namespace {

const char *const styleNames[] = {"Red 7-segment",   "Nixie",      "Green 7-segment",
                                  "White 7-segment", "Thumbwheel", "LED (drawn)"};
const char *const sizeNames[] = {"Small", "Medium", "Large", "Huge"};

QString swatchStyle(const QColor &color)
{
    return QStringLiteral("background-color: %1; color: %2;")
        .arg(color.name(),
             color.lightness() > 128 ? QStringLiteral("black") : QStringLiteral("white"));
}

} // namespace

DemoWindow::DemoWindow(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Segmora demo"));
    setWindowIcon(Segmora::icon());

    m_playground = new Segmora(QStringLiteral("####.##"), Segmora::Huge);
    m_playground->setDisplayType(Segmora::Led_Vector);
    m_playground->setMinimumHeight(80);
    m_clock = new Segmora(QStringLiteral("##.##.##"), Segmora::Huge);
    m_clock->setDisplayType(Segmora::Led_Vector);
    m_clock->setSegmentColor(QColor("#4dd2ff"));
    m_counter = new Segmora(QStringLiteral("######"), Segmora::Huge);
    m_counter->setDisplayType(Segmora::Nixie);
    m_ledDisplays << m_playground << m_clock;

    auto *running = new QGroupBox(QStringLiteral("Clock and counter"));
    auto *runningLayout = new QHBoxLayout(running);
    runningLayout->addWidget(m_clock, 4);
    runningLayout->addWidget(m_counter, 3);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createControls());
    layout->addWidget(m_playground, 1);
    layout->addWidget(running, 1);
    layout->addWidget(createGallery());

    connect(&m_timer, &QTimer::timeout, this, &DemoWindow::tick);
    m_timer.start(100);
    m_running.start();
    tick();
    applyValue();
}

QWidget *DemoWindow::createControls()
{
    auto *box = new QGroupBox(QStringLiteral("Playground"));
    auto *form = new QFormLayout(box);

    m_style = new QComboBox;
    for (const char *name : styleNames)
        m_style->addItem(QString::fromLatin1(name));
    m_style->setCurrentIndex(m_playground->displayType());
    m_size = new QComboBox;
    for (const char *name : sizeNames)
        m_size->addItem(QString::fromLatin1(name));
    m_size->setCurrentIndex(m_playground->displaySize());
    auto *styleRow = new QHBoxLayout;
    styleRow->addWidget(m_style);
    styleRow->addWidget(m_size);
    form->addRow(QStringLiteral("Style and size"), styleRow);

    m_pattern = new QLineEdit(m_playground->displayFormat());
    m_pattern->setToolTip(QStringLiteral("\"#\" a digit, \".\" the point, spaces; 32 at most"));
    form->addRow(QStringLiteral("Pattern"), m_pattern);
    m_value = new QLineEdit(QStringLiteral("-3.14159"));
    m_value->setToolTip(QStringLiteral("A number is formatted by the pattern; any other text is "
                                       "shown position by position"));
    form->addRow(QStringLiteral("Value"), m_value);

    m_color = new QPushButton(m_playground->segmentColor().name());
    m_color->setStyleSheet(swatchStyle(m_playground->segmentColor()));
    m_glow = new QCheckBox(QStringLiteral("Glow"));
    m_glow->setChecked(m_playground->segmentGlow());
    m_scaled = new QCheckBox(QStringLiteral("Scale to fit"));
    m_scaled->setChecked(m_playground->scaledContents());
    auto *lookRow = new QHBoxLayout;
    lookRow->addWidget(m_color);
    lookRow->addWidget(m_glow);
    lookRow->addWidget(m_scaled);
    lookRow->addStretch();
    form->addRow(QStringLiteral("LED colour"), lookRow);

    connect(m_style, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DemoWindow::applyStyle);
    connect(m_size, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DemoWindow::applyStyle);
    connect(m_pattern, &QLineEdit::textChanged, this, &DemoWindow::applyPattern);
    connect(m_value, &QLineEdit::textChanged, this, &DemoWindow::applyValue);
    connect(m_color, &QPushButton::clicked, this, &DemoWindow::chooseColor);
    connect(m_glow, &QCheckBox::toggled, this, &DemoWindow::applyGlow);
    connect(m_scaled, &QCheckBox::toggled, this, &DemoWindow::applyScaling);
    return box;
}

// One row per style, one column per size, each unscaled so it shows its natural size.
QWidget *DemoWindow::createGallery()
{
    auto *gallery = new QWidget;
    auto *grid = new QGridLayout(gallery);
    for (int size = 0; size < 4; ++size) {
        grid->addWidget(new QLabel(QString::fromLatin1(sizeNames[size])), 0, size + 1,
                        Qt::AlignCenter);
    }
    for (int style = 0; style < 6; ++style) {
        grid->addWidget(new QLabel(QString::fromLatin1(styleNames[style])), style + 1, 0);
        for (int size = 0; size < 4; ++size) {
            auto *display = new Segmora(QStringLiteral("###.#"), Segmora::DisplaySize(size));
            display->setDisplayType(Segmora::DisplayType(style));
            display->setScaledContents(false);
            grid->addWidget(display, style + 1, size + 1, Qt::AlignCenter);
            m_gallery << display;
            if (style == Segmora::Led_Vector)
                m_ledDisplays << display;
        }
    }
    auto *box = new QGroupBox(QStringLiteral("Every style in every size"));
    auto *boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(gallery);
    return box;
}

void DemoWindow::applyStyle()
{
    m_playground->setDisplayType(Segmora::DisplayType(m_style->currentIndex()));
    m_playground->setDisplaySize(Segmora::DisplaySize(m_size->currentIndex()));
}

void DemoWindow::applyPattern()
{
    m_playground->setDisplayFormat(m_pattern->text());
    applyValue();
}

void DemoWindow::applyValue()
{
    bool number = false;
    const double value = m_value->text().toDouble(&number);
    if (number)
        m_playground->display(value);
    else
        m_playground->display(m_value->text());
}

void DemoWindow::chooseColor()
{
    const QColor color =
        QColorDialog::getColor(m_playground->segmentColor(), this, QStringLiteral("LED colour"));
    if (color.isValid())
        applyColor(color);
}

void DemoWindow::applyColor(const QColor &color)
{
    for (Segmora *display : qAsConst(m_ledDisplays))
        display->setSegmentColor(color);
    m_color->setText(color.name());
    m_color->setStyleSheet(swatchStyle(color));
}

void DemoWindow::applyGlow(bool glow)
{
    for (Segmora *display : qAsConst(m_ledDisplays))
        display->setSegmentGlow(glow);
}

void DemoWindow::applyScaling(bool scaled)
{
    m_playground->setScaledContents(scaled);
    m_clock->setScaledContents(scaled);
    m_counter->setScaledContents(scaled);
}

void DemoWindow::tick()
{
    m_clock->display(QTime::currentTime().toString(QStringLiteral("hh.mm.ss")));
    m_counter->display(QString::number(m_count++).rightJustified(6, QLatin1Char(' ')));
    // The gallery counts up from -20 in tenths, so the minus and every digit come by.
    const double value = -20.0 + double(m_running.elapsed() / 100) / 10.0;
    for (Segmora *display : qAsConst(m_gallery))
        display->display(value);
}
