#include "propagationfetcher.h"

#include "httptransport.h"
#include "productparsers.h"

#include <QDateTime>

#include <algorithm>

namespace {

QUrl sourceUrl(const char *variable, const char *server, const char *path)
{
    QString base = qEnvironmentVariable(variable);
    if (base.isEmpty())
        base = QString::fromLatin1(server);
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return QUrl(base + QLatin1String(path));
}

} // namespace

PropagationFetcher::PropagationFetcher(QObject *parent)
    : PropagationFetcher(std::make_unique<QtHttpTransport>(), parent)
{}

PropagationFetcher::PropagationFetcher(std::unique_ptr<HttpTransport> transport, QObject *parent)
    : QObject(parent)
    , m_transport(std::move(transport))
{
    qRegisterMetaType<PropagationData>();
}

PropagationFetcher::~PropagationFetcher()
{
    abort();
}

QVector<PropagationFetcher::Source> PropagationFetcher::sources()
{
    const char *hamqsl = "CORVIN_HAMQSL_BASE_URL";
    const char *swpc = "CORVIN_SWPC_BASE_URL";
    const char *hamqslServer = "https://www.hamqsl.com";
    const char *swpcServer = "https://services.swpc.noaa.gov";
    return {
        {QStringLiteral("HamQSL"), sourceUrl(hamqsl, hamqslServer, "/solarxml.php"),
         &ProductParsers::parseHamQsl},
        {QStringLiteral("NOAA Kp"), sourceUrl(swpc, swpcServer, "/json/planetary_k_index_1m.json"),
         &ProductParsers::parseKp},
        {QStringLiteral("NOAA F10.7"), sourceUrl(swpc, swpcServer, "/json/f107_cm_flux.json"),
         &ProductParsers::parseF107},
        {QStringLiteral("NOAA WWV"), sourceUrl(swpc, swpcServer, "/text/wwv.txt"),
         &ProductParsers::parseWwv},
    };
}

void PropagationFetcher::start()
{
    if (isRunning())
        return;
    m_record = PropagationData();
    m_sources = sources();
    m_answered.fill(false, m_sources.size());
    m_pending = m_sources.size();
    const int generation = ++m_generation;
    for (int i = 0; i < m_sources.size(); ++i) {
        m_transport->get(m_sources[i].url, [this, generation, i](const Download &download) {
            process(generation, i, download);
        });
    }
}

void PropagationFetcher::abort()
{
    if (!isRunning())
        return;
    ++m_generation;
    m_pending = 0;
    m_transport->abortAll();
}

void PropagationFetcher::process(int generation, int index, const Download &download)
{
    // Each source counts once, even when a time-out and an error both report it.
    if (generation != m_generation || m_answered.value(index, true))
        return;
    m_answered[index] = true;
    const Source &source = m_sources[index];
    if (!download.error.isEmpty())
        m_record.errors << QStringLiteral("%1: %2").arg(source.name, download.error);
    else if (!source.parse(download.body, m_record))
        m_record.errors << QStringLiteral("%1: %2").arg(source.name,
                                                        tr("No recognized data in response"));
    if (--m_pending > 0)
        return;
    m_record.retrieved = QDateTime::currentDateTimeUtc();
    std::sort(m_record.errors.begin(), m_record.errors.end());
    emit finished(m_record);
}
