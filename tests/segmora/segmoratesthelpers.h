#pragma once

#include <Segmora/segmora.h>

#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QObject>

#include <vector>

namespace SegmoraTest {

// The display's cells in layout order: cell 0 is the surface that paints the whole value.
inline std::vector<QLabel *> cells(const Segmora &display)
{
    std::vector<QLabel *> out;
    for (int i = 0; i < display.layout()->count(); ++i)
        out.push_back(qobject_cast<QLabel *>(display.layout()->itemAt(i)->widget()));
    return out;
}

inline int visibleCells(const Segmora &display)
{
    int count = 0;
    for (const QLabel *cell : cells(display))
        count += cell->isHidden() ? 0 : 1;
    return count;
}

inline QImage render(Segmora &display)
{
    return display.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Counts events of one type that reach the watched objects.
class EventCounter : public QObject
{
public:
    explicit EventCounter(QEvent::Type type)
        : m_type(type)
    {}
    void watch(QObject *object) { object->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

} // namespace SegmoraTest
