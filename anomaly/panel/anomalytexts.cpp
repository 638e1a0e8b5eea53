#include "anomalytexts.h"

#include "applanguage.h"

namespace AnomalyTexts {

namespace {

struct Twin
{
    Text which;
    const char *english;
    const char *italian;
};

// UTF-8 literals: "—" and "…" are part of the texts.
const Twin twins[] = {
    {Text::ConnectFirst, "Connect receiver and stop scans first.",
     "Connetti il ricevitore e ferma le scansioni."},
    {Text::WaitForTuning, "Wait for tuning to settle, then arm again.",
     "Attendi la sintonia, poi arma di nuovo."},
    {Text::FixedFrequency, "Use a confirmed fixed frequency and non-AUTO mode.",
     "Usa frequenza confermata e modulazione non AUTO."},
    {Text::NoEventFolder, "Cannot create event folder.", "Impossibile creare la cartella eventi."},
    {Text::NoObservationFolder, "Cannot create observation folder.",
     "Impossibile creare la cartella osservazioni."},
    {Text::BandTooNarrow, "Choose an analysis band at least 100 Hz wide.",
     "Scegli una banda di analisi larga almeno 100 Hz."},
    {Text::AnalysisFirst, "Enable analysis before automatic trigger.",
     "Abilita analisi prima del trigger automatico."},
    {Text::CannotArm, "Cannot arm: check selected input/channel.",
     "Impossibile armare: verifica ingresso e canale."},
    {Text::Filling, "Filling pre-trigger buffer\u2026", "Riempimento buffer pre-trigger\u2026"},
    {Text::CapturingPost, "Capturing post-trigger PCM\u2026",
     "Acquisizione PCM post-trigger\u2026"},
    {Text::TriggerUnavailable, "Trigger not available (buffer not ready or capture active).",
     "Trigger non disponibile (buffer incompleto o cattura attiva)."},
    {Text::CapturingRemaining, "Capturing \u2014 %1 s remaining", "Cattura \u2014 %1 s rimanenti"},
    {Text::BufferFilling, "filling", "riempimento"},
    {Text::BufferReady, "ready", "pronto"},
    {Text::Disarmed, "Disarmed \u2014 unfinished event discarded.",
     "Disarmato \u2014 eventuale cattura incompleta scartata."},
    {Text::CaptureStopped, "Capture stopped; unfinished event discarded.",
     "Cattura arrestata; evento incompleto scartato."},
    {Text::EventWavFailed, "Event WAV write failed: ", "Scrittura WAV evento fallita: "},
    {Text::EventWavFailedDisarmed, "Event WAV write failed; disarmed.",
     "Scrittura WAV evento fallita; disarmato."},
    {Text::EventJsonFailed,
     "Event JSON write failed (WAV retained): ", "Scrittura JSON fallita (WAV conservato): "},
    {Text::EventSaved, "Event saved: ", "Evento salvato: "},
    {Text::Saved, "Saved: ", "Salvato: "},
    {Text::ObservationFailed,
     "Observation log write failed: ", "Scrittura log osservazione fallita: "},
    {Text::CaptureIdle, "Idle \u2014 WAV is raw mono.", "Inattivo \u2014 WAV mono originale."},
    {Text::DetectorIdle, "Idle", "Inattivo"},
    {Text::DetectorWaiting, "Waiting for complete history / buffer",
     "In attesa di cronologia / buffer completi"},
    {Text::DetectorLine,
     "%1 | observation %2/%3 s | active: %4 | max: %5 | last: %6 | completed: %7 | skipped: %8",
     "%1 | osservazione %2/%3 s | attive: %4 | max: %5 | ultimo: %6 | completati: %7 | "
     "saltati: %8"},
    {Text::DetectorLog, "Detector: ", "Rilevatore: "},
    {Text::MetricsIdle, "Idle \u2014 arm to start live analysis",
     "Inattivo \u2014 arma per avviare l'analisi dal vivo"},
    {Text::MetricsCollecting, "Collecting first second\u2026", "Raccolta del primo secondo\u2026"},
    {Text::MetricsDisabled, "Monitor disabled", "Monitor disattivato"},
    {Text::MetricsLine, "Elapsed %1 s | structural history %2/8 s | DSP %3 ms/update",
     "Trascorsi %1 s | cronologia strutturale %2/8 s | DSP %3 ms/aggiornamento"},
    {Text::MetricsStopped,
     "Analysis stopped (capture still active): ", "Analisi arrestata (cattura ancora attiva): "},
    {Text::ScoreTip, " | Score: %1", " | Punteggio: %1"},
    {Text::NotUsedTip, " | Not used for trigger", " | Non usata per il trigger"},
};

} // namespace

QString text(Text which)
{
    const bool italian = runningLanguage() == QLatin1String("it");
    for (const Twin &twin : twins) {
        if (twin.which == which)
            return QString::fromUtf8(italian ? twin.italian : twin.english);
    }
    return QString();
}

QString bufferStatus(int bufferedSeconds, int preSeconds, bool ready)
{
    return QStringLiteral("Buffer %1/%2 s \u2014 %3")
        .arg(bufferedSeconds)
        .arg(preSeconds)
        .arg(text(ready ? Text::BufferReady : Text::BufferFilling));
}

} // namespace AnomalyTexts
