#pragma once

#include <QFrame>
#include <QVector>

class QLabel;
class QTimer;
struct PropagationData;

// A row of four badges under the Propagation tab's status line, one per product, telling how
// old the product's own time is: plain while fresh, marked when older than the product's
// limit or ahead of the clock, grey when the report lacks the product. They age by
// themselves once a minute; the report itself is not touched. GUI thread only.
class ProductAgeBadges : public QFrame
{
    Q_OBJECT

public:
    explicit ProductAgeBadges(QWidget *parent = nullptr);

    // Shows the ages of the record's products (null: no report, badges hidden).
    void showAges(const PropagationData *record);

    // The badge of a source ("HamQSL", "NOAA Kp", "NOAA F10.7", "NOAA WWV"), for tests.
    QLabel *badge(const QString &source) const;

private:
    void refresh();

    QVector<QLabel *> m_badges;
    QTimer *m_timer = nullptr;
    const PropagationData *m_data = nullptr;
};
