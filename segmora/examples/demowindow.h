#pragma once

#include <Segmora/segmora.h>

#include <QColor>
#include <QElapsedTimer>
#include <QTimer>
#include <QVector>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// The demo's window: a playground display with its controls, a clock and a counter, and a
// gallery of every style in every size.
class DemoWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DemoWindow(QWidget *parent = nullptr);

private:
    QWidget *createControls();
    QWidget *createGallery();
    void applyStyle();
    void applyPattern();
    void applyValue();
    void chooseColor();
    void applyColor(const QColor &color);
    void applyGlow(bool glow);
    void applyScaling(bool scaled);
    void tick();

    Segmora *m_playground = nullptr;
    Segmora *m_clock = nullptr;
    Segmora *m_counter = nullptr;
    // The displays that follow the colour and glow controls (every LED display).
    QVector<Segmora *> m_ledDisplays;
    // The gallery's displays, which show the running value.
    QVector<Segmora *> m_gallery;
    QComboBox *m_style = nullptr;
    QComboBox *m_size = nullptr;
    QLineEdit *m_pattern = nullptr;
    QLineEdit *m_value = nullptr;
    QPushButton *m_color = nullptr;
    QCheckBox *m_glow = nullptr;
    QCheckBox *m_scaled = nullptr;
    QTimer m_timer;
    QElapsedTimer m_running;
    int m_count = 0;
};
