#include "reportpage.h"

#include "reportfigures.h"
#include "reportwriter.h"

#include <QStringList>

namespace NativeWav {

namespace {

const char *const styleRules[][2] = {
    {"*", "box-sizing:border-box"},
    {"body", "font:15px/1.55 'Segoe UI',Arial,sans-serif;color:#1d3442;background:#eaf0f3;"
             "margin:0"},
    {"main", "max-width:1170px;margin:auto;padding:20px"},
    {"header", "background:#17394b;color:white;padding:22px;border-radius:10px"},
    {"section", "background:white;border:1px solid #d4e1e8;border-radius:10px;"
                "padding:17px 20px;margin-top:15px"},
    {"h1", "margin:0"},
    {"h2", "font-size:1.3rem;margin:0 0 12px"},
    {"p", "margin:8px 0"},
    {"small", "color:#56707f"},
    {"figure", "margin:12px 0"},
    {"figure img", "width:100%;display:block"},
    {"table", "border-collapse:collapse;width:100%;overflow:auto"},
    {"th,td", "padding:7px 10px;border-bottom:1px solid #d8e4ea;text-align:right"},
    {"th:first-child,td:first-child", "text-align:left"},
    {"th", "background:#eff6f8"},
    {"a", "color:#0b6f83"},
    {"code", "overflow-wrap:anywhere"},
    {".clip", "padding:9px;background:#f0f6f7;border-radius:8px;margin:8px 0"},
    {"audio", "display:block;width:100%;margin-top:7px"},
    {".axes", "display:flex;justify-content:space-between;font-size:12px;color:#415868"},
};

QString head()
{
    QString html =
        QStringLiteral("<!doctype html><html lang='it'><head><meta charset='utf-8'>\n"
                       "<meta name='viewport' content='width=device-width,initial-scale=1'>"
                       "<title>Corvin Native DSP</title>\n<style>");
    for (const auto &rule : styleRules)
        html += QString::fromUtf8(rule[0]) + QLatin1Char('{') + QString::fromUtf8(rule[1]) +
                QStringLiteral("}\n");
    html += QStringLiteral("</style></head><body><main><header><h1>Corvin · Analisi DSP "
                           "nativa</h1><p>") +
            htmlEscaped(nativeDspBanner()) + QStringLiteral("</p></header>");
    return html;
}

QString recording(const Result &result, const QString &wavFileName)
{
    QString html = QStringLiteral("<section><h2>Registrazione</h2><p><b>") +
                   htmlEscaped(wavFileName) + QStringLiteral("</b></p>");
    html += QStringLiteral("<p>Durata <b>%1 s</b> · Campionamento <b>%2 Hz</b> · %3 bit %4 · "
                           "%5 canali · Canale analizzato <b>%6</b></p>")
                .arg(fixedNumber(result.durationSeconds, 3))
                .arg(result.sampleRate)
                .arg(result.validBits)
                .arg(result.isFloat ? QStringLiteral("float") : QStringLiteral("PCM"))
                .arg(result.channels)
                .arg(result.channelUsed);
    html += QStringLiteral("<p>Banda audio %1–%2 Hz · Contrasto %3 dB</p>")
                .arg(fixedNumber(result.lowHz, 0), fixedNumber(result.highHz, 0),
                     fixedNumber(result.contrastDb, 0));
    html += QStringLiteral("<table><tr><th>Canale</th><th>RMS (dBFS)</th><th>Picco (dBFS)</th>"
                           "<th>Clipping</th></tr>");
    for (std::size_t c = 0; c < result.channelStats.size(); ++c) {
        const ChannelStats &stats = result.channelStats[c];
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4%</td></tr>")
                    .arg(QString::number(c + 1), fixedNumber(stats.rmsDb, 2),
                         fixedNumber(stats.peakDb, 2), fixedNumber(stats.clipPercent, 3));
    }
    html += QStringLiteral("</table>");
    if (result.hasCorrelation)
        html += QStringLiteral("<p>Correlazione canali 1–2: %1</p>")
                    .arg(fixedNumber(result.channelCorrelation, 3));
    if (result.nonFiniteSamples > 0)
        html += QStringLiteral("<p>%1 campioni non finiti sostituiti con zero.</p>")
                    .arg(result.nonFiniteSamples);
    return html;
}

QString pulses(const Result &result)
{
    std::size_t members = 0;
    for (const PulseTrain &train : result.trains)
        members += train.events.size();
    const std::size_t all = members + result.events.size();
    QString html = QStringLiteral("</section><section><h2>Impulsi e periodicità</h2>");
    html += QStringLiteral("<p><b>%1 eventi</b>, %2 treni periodici, %3 impulsi isolati. "
                           "<a href='events.csv'>CSV degli eventi</a></p>")
                .arg(all)
                .arg(result.trains.size())
                .arg(result.events.size());
    if (result.trains.empty()) {
        html += QStringLiteral("<p>Nessun treno periodico rilevato con queste soglie.</p>");
    } else {
        html += QStringLiteral("<table><tr><th>Treno</th><th>Eventi</th><th>Periodo (ms)</th>"
                               "<th>Jitter (ms)</th><th>Banda (Hz)</th></tr>");
        for (std::size_t i = 0; i < result.trains.size(); ++i) {
            const PulseTrain &train = result.trains[i];
            html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td>"
                                   "<td>%5–%6</td></tr>")
                        .arg(QString::number(i + 1), QString::number(train.events.size()),
                             fixedNumber(train.periodSeconds * 1000.0, 2),
                             fixedNumber(train.jitterMs, 2), fixedNumber(train.lowHz, 0),
                             fixedNumber(train.highHz, 0));
        }
        html += QStringLiteral("</table>");
    }
    if (all > 0)
        html += QStringLiteral(
            "<figure><img src='events.svg' alt='Cronologia degli impulsi'></figure>");
    html += QStringLiteral("<small>Periodo e jitter stimati da un adattamento ai centri degli "
                           "impulsi; larghezza intorno a -6 dB dalla potenza massima in "
                           "eccesso.</small></section>");
    return html;
}

QString figures(const Result &result)
{
    QString html = QStringLiteral("<section><h2>Livello audio</h2><figure><img src='levels.svg' "
                                  "alt='Livello audio RMS'></figure></section>");
    html += QStringLiteral("<section><h2>Spettrogramma</h2><div class='axes'><span>Frequenze "
                           "audio (Hz) · ") +
            fixedNumber(result.highHz, 0) + QStringLiteral(" in alto</span><span>Tempo: 0 – ") +
            fixedNumber(result.durationSeconds, 2) + QStringLiteral(" s</span></div>");
    html += QStringLiteral("<figure><img src='spectrogram.png' alt='Spettrogramma audio'>"
                           "</figure><div class='axes'><span>Asse verticale: ") +
            fixedNumber(result.lowHz, 0) + QStringLiteral(" Hz (basso), ") +
            fixedNumber(result.highHz, 0) +
            QStringLiteral(" Hz (alto)</span><span>Asse orizzontale: tempo (s)</span></div>"
                           "</section>");
    QStringList peaks;
    for (const SpectralPeak &peak : result.spectralPeaks)
        peaks << fixedNumber(peak.frequencyHz, 1) + QStringLiteral(" Hz");
    html += QStringLiteral("<section><h2>Spettro medio</h2><figure><img src='spectrum.svg' "
                           "alt='Spettro audio medio'></figure><p>Picchi: ") +
            (peaks.isEmpty() ? QStringLiteral("nessuno") : htmlEscaped(peaks.join(", "))) +
            QStringLiteral("</p></section>");
    return html;
}

QString method(const QString &sha256)
{
    return QStringLiteral(
               "<section><h2>Metodo e tracciabilità</h2><p>FFT/STFT con finestra Hann; ricerca "
               "di bande contrastate, passa-banda Butterworth avanti/indietro, inviluppo "
               "analitico di Hilbert, individuazione di impulsi e periodicità.</p>"
               "<p><b>Nota:</b> il motore nativo riproduce le fasi principali dell'analizzatore "
               "di riferimento precedente, ma non è ancora certificato come numericamente "
               "equivalente: i criteri ai bordi, la FFT e la selezione dei picchi possono dare "
               "risultati diversi.</p><p>SHA-256 WAV: <code>") +
           sha256 +
           QStringLiteral("</code></p><p><a href='summary.json'>Metadati JSON</a></p></section>"
                          "</main></body></html>");
}

} // namespace

QString composeReportPage(const Result &result, const QString &wavFileName, const QString &sha256,
                          const QString &clipBlocks)
{
    QString html = head() + recording(result, wavFileName) + pulses(result) + figures(result);
    if (!clipBlocks.isEmpty())
        html += QStringLiteral("<section><h2>Ascolti filtrati</h2>") + clipBlocks +
                QStringLiteral("</section>");
    return html + method(sha256);
}

} // namespace NativeWav
