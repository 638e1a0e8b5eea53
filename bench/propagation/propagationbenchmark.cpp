// Times of the propagation report's work on the GUI thread:
// - each product reader on its fixture, and the Kp reader on a 2 MB file (the size cap), one
//   entry a minute as NOAA publishes it;
// - the HTML and the text report of a full record together (target: well under 100 ms);
// - the PDF export of that record (layout and PDF writing, in memory).

#include "productparsers.h"
#include "propagationdata.h"
#include "propagationreport.h"
#include "propagationsite.h"
#include "reportexport.h"

#include <QDateTime>
#include <QFile>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

QByteArray fixture(const char *name)
{
    QFile file(QStringLiteral(CORVIN_FIXTURES "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}

// NOAA's one-minute Kp product grown to just under 2 MB.
QByteArray largeKp()
{
    QByteArray body = "[";
    QDateTime time(QDate(2024, 3, 1), QTime(0, 0), Qt::UTC);
    const QByteArray pattern = R"({"time_tag":"%1","kp_index":3,"estimated_kp":3.33,"kp":"3Z"})";
    while (body.size() < 2 * 1024 * 1024 - 200) {
        if (body.size() > 1)
            body += ",\n";
        body += QByteArray(pattern).replace(
            "%1", time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1());
        time = time.addSecs(60);
    }
    return body + "]";
}

PropagationData fullRecord()
{
    PropagationData data;
    ProductParsers::parseHamQsl(fixture("hamqsl.xml"), data);
    ProductParsers::parseKp(fixture("kp.json"), data);
    ProductParsers::parseF107(fixture("f107.json"), data);
    ProductParsers::parseWwv(fixture("wwv.txt"), data);
    data.retrieved = QDateTime(QDate(2024, 3, 5), QTime(21, 10), Qt::UTC);
    return data;
}

const PropagationSite site{QStringLiteral("Monte Mario"), 41.9226, true, 12.4534, true};

void readerLoop(benchmark::State &state, const QByteArray &body,
                bool (*reader)(const QByteArray &, PropagationData &))
{
    for (auto _ : state) {
        PropagationData record;
        if (!reader(body, record))
            state.SkipWithError("no usable data");
        benchmark::DoNotOptimize(record);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * body.size());
    state.counters["bytes"] = double(body.size());
}

void BM_ReadHamQsl(benchmark::State &state)
{
    readerLoop(state, fixture("hamqsl.xml"), &ProductParsers::parseHamQsl);
}
BENCHMARK(BM_ReadHamQsl)->Unit(benchmark::kMicrosecond);

void BM_ReadKp(benchmark::State &state)
{
    readerLoop(state, fixture("kp.json"), &ProductParsers::parseKp);
}
BENCHMARK(BM_ReadKp)->Unit(benchmark::kMicrosecond);

void BM_ReadKpTwoMegabytes(benchmark::State &state)
{
    readerLoop(state, largeKp(), &ProductParsers::parseKp);
}
BENCHMARK(BM_ReadKpTwoMegabytes)->Unit(benchmark::kMillisecond);

void BM_ReadF107(benchmark::State &state)
{
    readerLoop(state, fixture("f107.json"), &ProductParsers::parseF107);
}
BENCHMARK(BM_ReadF107)->Unit(benchmark::kMicrosecond);

void BM_ReadWwv(benchmark::State &state)
{
    readerLoop(state, fixture("wwv.txt"), &ProductParsers::parseWwv);
}
BENCHMARK(BM_ReadWwv)->Unit(benchmark::kMicrosecond);

void BM_ReportHtmlAndText(benchmark::State &state)
{
    const PropagationData data = fullRecord();
    for (auto _ : state) {
        const QString html = buildReportHtml(data, site);
        const QString text = buildReportText(data, site);
        benchmark::DoNotOptimize(html.constData());
        benchmark::DoNotOptimize(text.constData());
    }
}
BENCHMARK(BM_ReportHtmlAndText)->Unit(benchmark::kMicrosecond);

void BM_ExportPdf(benchmark::State &state)
{
    const PropagationData data = fullRecord();
    for (auto _ : state) {
        const QByteArray pdf = ReportExport::renderPdf(data, site);
        if (pdf.isEmpty())
            state.SkipWithError("no PDF");
        benchmark::DoNotOptimize(pdf.constData());
    }
}
BENCHMARK(BM_ExportPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for the PDF
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
