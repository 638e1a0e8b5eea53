#include "productagebadges.h"

#include "applanguage.h"
#include "productage.h"
#include "propagationdata.h"
#include "propagationreport.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QTimer>

namespace {

constexpr int refreshMs = 60 * 1000;

QString objectNameFor(int index)
{
    static const char *const names[] = {"propagationAgeHamQsl", "propagationAgeKp",
                                        "propagationAgeF107", "propagationAgeWwv"};
    return QString::fromLatin1(names[index]);
}

} // namespace

ProductAgeBadges::ProductAgeBadges(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("propagationAges"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    const QVector<ProductAge> sources = productAges(PropagationData(), QDateTime());
    for (int i = 0; i < sources.size(); ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(objectNameFor(i));
        label->setProperty("source", sources[i].source);
        label->setMargin(3);
        row->addWidget(label);
        m_badges.append(label);
    }
    row->addStretch(1);
    m_timer = new QTimer(this);
    m_timer->setInterval(refreshMs);
    connect(m_timer, &QTimer::timeout, this, &ProductAgeBadges::refresh);
    hide();
}

void ProductAgeBadges::showAges(const PropagationData *record)
{
    m_data = record;
    setVisible(record != nullptr);
    if (record)
        m_timer->start();
    else
        m_timer->stop();
    refresh();
}

QLabel *ProductAgeBadges::badge(const QString &source) const
{
    for (QLabel *label : m_badges) {
        if (label->property("source").toString() == source)
            return label;
    }
    return nullptr;
}

void ProductAgeBadges::refresh()
{
    if (!m_data)
        return;
    QLocale locale(runningLanguage() == QLatin1String("it") ? QLocale::Italian : QLocale::English);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const QVector<ProductAge> ages = productAges(*m_data, QDateTime::currentDateTimeUtc());
    for (int i = 0; i < ages.size() && i < m_badges.size(); ++i) {
        const ProductAge &age = ages[i];
        QLabel *label = m_badges[i];
        QString text;
        QString style;
        QString tip;
        if (!age.present()) {
            text = tr("%1: no data").arg(age.source);
            style = QStringLiteral("color: #8b949e;");
        } else if (age.future) {
            text = tr("%1: time ahead of the clock").arg(age.source);
            style = QStringLiteral("color: #ffffff; background-color: #b42318;");
            tip = tr("The product's time, %1, is later than this computer's clock. Check the "
                     "clock.")
                      .arg(formatReportTime(age.time));
        } else {
            const QString hours = locale.toString(qMax(0.0, age.hours), 'f', 1);
            text = age.stale ? tr("%1: %2 h old, stale").arg(age.source, hours)
                             : tr("%1: %2 h old").arg(age.source, hours);
            style = age.stale ? QStringLiteral("color: #1f2328; background-color: #f2c94c;")
                              : QStringLiteral("color: #7ee2a8;");
            tip = tr("Issued %1. Older than %2 h counts as stale.")
                      .arg(formatReportTime(age.time), locale.toString(age.limitHours, 'f', 0));
        }
        label->setText(text);
        label->setStyleSheet(style);
        label->setToolTip(tip);
    }
}
