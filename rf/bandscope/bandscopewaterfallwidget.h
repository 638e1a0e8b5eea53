#pragma once

#include <QImage>
#include <QWidget>

// The band scope's waterfall: one image (a pixel per bin and sweep, newest on top) stretched
// over the whole widget without smoothing, on the plot's dark background. GUI thread only.
class BandScopeWaterfallWidget : public QWidget
{
    Q_OBJECT

public:
    explicit BandScopeWaterfallWidget(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};
