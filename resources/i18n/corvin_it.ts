<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it">
<context>
    <name>AnomalyPanel</name>
    <message>
        <source>Anomaly capture - manual / automatic</source>
        <translation>Cattura anomalie - manuale / automatica</translation>
    </message>
    <message>
        <source>Left / mono</source>
        <translation>Sinistro / mono</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Destro</translation>
    </message>
    <message>
        <source>Arm</source>
        <translation>Arma</translation>
    </message>
    <message>
        <source>Test trigger</source>
        <translation>Trigger di prova</translation>
    </message>
    <message>
        <source>Events folder</source>
        <translation>Cartella eventi</translation>
    </message>
    <message>
        <source>Analyze last WAV</source>
        <translation>Analizza ultimo WAV</translation>
    </message>
    <message>
        <source>WAV channel</source>
        <translation>Canale WAV</translation>
    </message>
    <message>
        <source>Pre-trigger</source>
        <translation>Pre-trigger</translation>
    </message>
    <message>
        <source>Post-trigger</source>
        <translation>Post-trigger</translation>
    </message>
    <message>
        <source>Disarm</source>
        <translation>Disarma</translation>
    </message>
    <message>
        <source>Could not open event folder.</source>
        <translation>Impossibile aprire la cartella eventi.</translation>
    </message>
    <message>
        <source>Replay PCM16 WAV</source>
        <translation>Riproduci WAV PCM16</translation>
    </message>
    <message>
        <source>WAV (*.wav *.wave)</source>
        <translation>WAV (*.wav *.wave)</translation>
    </message>
    <message>
        <source>Replay error</source>
        <translation>Errore di riproduzione</translation>
    </message>
</context>
<context>
    <name>AudioPanel</name>
    <message>
        <source>%1 Hz, %2 ch, %3-bit PCM</source>
        <translation>%1 Hz, %2 can., PCM a %3 bit</translation>
    </message>
    <message>
        <source>System default input</source>
        <translation>Ingresso predefinito di sistema</translation>
    </message>
    <message>
        <source>System default output</source>
        <translation>Uscita predefinita di sistema</translation>
    </message>
    <message>
        <source>&amp;Input</source>
        <translation>&amp;Ingresso</translation>
    </message>
    <message>
        <source>&amp;Output</source>
        <translation>&amp;Uscita</translation>
    </message>
    <message>
        <source>Refresh devices</source>
        <translation>Aggiorna dispositivi</translation>
    </message>
    <message>
        <source>Find connected audio inputs and outputs.</source>
        <translation>Cerca gli ingressi e le uscite audio collegati.</translation>
    </message>
    <message>
        <source>&amp;Listen on PC</source>
        <translation>&amp;Ascolta sul PC</translation>
    </message>
    <message>
        <source>Play the selected audio input on the selected output.</source>
        <translation>Riproduce l&apos;ingresso audio selezionato sull&apos;uscita selezionata.</translation>
    </message>
    <message>
        <source>Audio spectrum</source>
        <translation>Spettro audio</translation>
    </message>
    <message>
        <source>Show the live spectrum of the selected audio input.</source>
        <translation>Mostra lo spettro in tempo reale dell&apos;ingresso audio selezionato.</translation>
    </message>
    <message>
        <source>Record WAV</source>
        <translation>Registra WAV</translation>
    </message>
    <message>
        <source>Record the audio input to the grab folder.</source>
        <translation>Registra l&apos;ingresso audio nella cartella grab.</translation>
    </message>
    <message>
        <source>Duration of audio written to the WAV file.</source>
        <translation>Durata dell&apos;audio scritto nel file WAV.</translation>
    </message>
    <message>
        <source>&amp;Volume</source>
        <translation>&amp;Volume</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Spento</translation>
    </message>
    <message>
        <source>Voice (300-3400 Hz)</source>
        <translation>Voce (300-3400 Hz)</translation>
    </message>
    <message>
        <source>Narrow voice (350-2200 Hz)</source>
        <translation>Voce stretta (350-2200 Hz)</translation>
    </message>
    <message>
        <source>Filter playback only. WAV recordings, input meter and spectrum use the original captured signal.</source>
        <translation>Filtra solo l&apos;ascolto. Le registrazioni WAV, il misuratore di ingresso e lo spettro usano il segnale acquisito originale.</translation>
    </message>
    <message>
        <source>Audio filter</source>
        <translation>Filtro audio</translation>
    </message>
    <message>
        <source>WAV destination: %1</source>
        <translation>Destinazione WAV: %1</translation>
    </message>
    <message>
        <source>Audio error. See the log in Settings.</source>
        <translation>Errore audio. Vedi il registro in Impostazioni.</translation>
    </message>
    <message>
        <source>No audio input available</source>
        <translation>Nessun ingresso audio disponibile</translation>
    </message>
    <message>
        <source>No audio output available</source>
        <translation>Nessuna uscita audio disponibile</translation>
    </message>
    <message>
        <source>Listening</source>
        <translation>In ascolto</translation>
    </message>
    <message>
        <source>Spectrum active</source>
        <translation>Spettro attivo</translation>
    </message>
    <message>
        <source>Recording WAV</source>
        <translation>Registrazione WAV</translation>
    </message>
    <message>
        <source>Audio off</source>
        <translation>Audio spento</translation>
    </message>
    <message>
        <source>Input: %1</source>
        <translation>Ingresso: %1</translation>
    </message>
    <message>
        <source>Output: %1</source>
        <translation>Uscita: %1</translation>
    </message>
    <message>
        <source>Playback audio filter: %1.</source>
        <translation>Filtro audio di ascolto: %1.</translation>
    </message>
    <message>
        <source>No devices available</source>
        <translation>Nessun dispositivo disponibile</translation>
    </message>
</context>
<context>
    <name>AudioPeakMeter</name>
    <message>
        <source>Idle</source>
        <translation>Inattivo</translation>
    </message>
    <message>
        <source>%1 dBFS</source>
        <translation>%1 dBFS</translation>
    </message>
</context>
<context>
    <name>AudioRecorder</name>
    <message>
        <source>No audio input is available.</source>
        <translation>Nessun ingresso audio disponibile.</translation>
    </message>
    <message>
        <source>No supported 16-bit PCM input format for %1.</source>
        <translation>Nessun formato di ingresso PCM a 16 bit supportato per %1.</translation>
    </message>
    <message>
        <source>Could not open audio input %1 (error %2).</source>
        <translation>Impossibile aprire l&apos;ingresso audio %1 (errore %2).</translation>
    </message>
    <message>
        <source>Audio input %1 stopped (error %2).</source>
        <translation>L&apos;ingresso audio %1 si è fermato (errore %2).</translation>
    </message>
    <message>
        <source>No audio output is available.</source>
        <translation>Nessuna uscita audio disponibile.</translation>
    </message>
    <message>
        <source>No supported 16-bit PCM output format for %1.</source>
        <translation>Nessun formato di uscita PCM a 16 bit supportato per %1.</translation>
    </message>
    <message>
        <source>Could not open audio output %1 (error %2).</source>
        <translation>Impossibile aprire l&apos;uscita audio %1 (errore %2).</translation>
    </message>
    <message>
        <source>Audio output %1 stopped (error %2).</source>
        <translation>L&apos;uscita audio %1 si è fermata (errore %2).</translation>
    </message>
    <message>
        <source>Selected WAV input channel unavailable.</source>
        <translation>Il canale di ingresso scelto per il WAV non è disponibile.</translation>
    </message>
    <message>
        <source>Could not create WAV file %1.</source>
        <translation>Impossibile creare il file WAV %1.</translation>
    </message>
    <message>
        <source>Could not finalize WAV file %1.</source>
        <translation>Impossibile completare il file WAV %1.</translation>
    </message>
    <message>
        <source>Could not send audio to the selected output.</source>
        <translation>Impossibile inviare l&apos;audio all&apos;uscita selezionata.</translation>
    </message>
    <message>
        <source>WAV recording stopped because the file could not grow.</source>
        <translation>Registrazione WAV interrotta perché il file non può crescere.</translation>
    </message>
</context>
<context>
    <name>BandScopeServiceView</name>
    <message>
        <source>Open an exclusive serial session without automatic tuning, polling or commands. Close it before using Connect.</source>
        <translation>Apre una sessione seriale esclusiva senza sintonia, interrogazioni o comandi automatici. Chiudila prima di usare Connetti.</translation>
    </message>
    <message>
        <source>Exclusive serial session for manual receiver commands.</source>
        <translation>Sessione seriale esclusiva per i comandi manuali al ricevitore.</translation>
    </message>
    <message>
        <source>Serial commands</source>
        <translation>Comandi seriali</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Comando</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Invia</translation>
    </message>
    <message>
        <source>Observation time for ordinary commands. DS uses at least 60 seconds.</source>
        <translation>Tempo di osservazione dei comandi ordinari. DS usa almeno 60 secondi.</translation>
    </message>
    <message>
        <source>Timeout</source>
        <translation>Timeout</translation>
    </message>
    <message>
        <source>Clear log</source>
        <translation>Svuota registro</translation>
    </message>
    <message>
        <source>Receiver replies and setup diagnostics will appear here.</source>
        <translation>Qui compariranno le risposte del ricevitore e la diagnostica della configurazione.</translation>
    </message>
</context>
<context>
    <name>BandScopeSpectrumView</name>
    <message>
        <source>Current</source>
        <translation>Corrente</translation>
    </message>
    <message>
        <source>Average</source>
        <translation>Media</translation>
    </message>
    <message>
        <source>Peak hold (SW)</source>
        <translation>Picco (SW)</translation>
    </message>
    <message>
        <source>Std deviation</source>
        <translation>Deviazione standard</translation>
    </message>
    <message>
        <source>Current − reference</source>
        <translation>Corrente − riferimento</translation>
    </message>
    <message>
        <source>Trace</source>
        <translation>Traccia</translation>
    </message>
    <message>
        <source>Rolling window for mean, population standard deviation and software peak. Invalid codes are excluded.</source>
        <translation>Finestra mobile per media, deviazione standard della popolazione e picco software. I codici non validi sono esclusi.</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>Finestra</translation>
    </message>
    <message>
        <source>Raw index</source>
        <translation>Indice grezzo</translation>
    </message>
    <message>
        <source>Show received codes by index, including 0 and 1. The RF mapping is provisional (manual p. 117).</source>
        <translation>Mostra i codici ricevuti per indice, compresi 0 e 1. La mappatura RF è provvisoria (manuale p. 117).</translation>
    </message>
    <message>
        <source>Set reference</source>
        <translation>Imposta riferimento</translation>
    </message>
    <message>
        <source>Freeze the current rolling mean as a reference. Differences use native codes.</source>
        <translation>Congela la media mobile attuale come riferimento. Le differenze usano i codici nativi.</translation>
    </message>
    <message>
        <source>Reset statistics</source>
        <translation>Azzera statistiche</translation>
    </message>
    <message>
        <source>Export CSV + raw</source>
        <translation>Esporta CSV + raw</translation>
    </message>
    <message>
        <source>Export history</source>
        <translation>Esporta storia</translation>
    </message>
    <message>
        <source>Write every sweep to a CSV file as it arrives, with its waterfall as a PNG image beside it. Click again to stop.</source>
        <translation>Scrive ogni scansione in un file CSV appena arriva, con accanto il waterfall come immagine PNG. Premi di nuovo per fermare.</translation>
    </message>
    <message>
        <source>Blue = low, red = high. Signed difference: blue negative, orange positive. Native codes: 0 not measured, 1 out of range, 2–15 measured.</source>
        <translation>Blu = basso, rosso = alto. Differenza con segno: blu negativa, arancio positiva. Codici nativi: 0 non misurato, 1 fuori intervallo, 2–15 misurato.</translation>
    </message>
    <message>
        <source>Waterfall · newest at top</source>
        <translation>Waterfall · più recente in alto</translation>
    </message>
    <message>
        <source>Each row is one completed sweep. Actual UTC times are shown below.</source>
        <translation>Ogni riga è una scansione completata. Gli orari UTC effettivi sono mostrati sotto.</translation>
    </message>
    <message>
        <source>Rows</source>
        <translation>Righe</translation>
    </message>
</context>
<context>
    <name>BandScopeTab</name>
    <message>
        <source>Spectrum and waterfall</source>
        <translation>Spettro e waterfall</translation>
    </message>
    <message>
        <source>Serial diagnostics</source>
        <translation>Diagnostica seriale</translation>
    </message>
    <message>
        <source>Connect in Receiver or open Scope COM in Serial diagnostics.</source>
        <translation>Connetti in Ricevitore oppure apri COM Scope in Diagnostica seriale.</translation>
    </message>
    <message>
        <source>Acquisition</source>
        <translation>Acquisizione</translation>
    </message>
    <message>
        <source>Rounded to the nearest supported 2 or 10 kHz grid before capture.</source>
        <translation>Arrotondato alla griglia di 2 o 10 kHz più vicina prima dell&apos;acquisizione.</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Centro</translation>
    </message>
    <message>
        <source>Sweep width. The nominal frequency step is shown in parentheses.</source>
        <translation>Ampiezza della scansione. Il passo nominale di frequenza è tra parentesi.</translation>
    </message>
    <message>
        <source>Span</source>
        <translation>Span</translation>
    </message>
    <message>
        <source>RX peak hold</source>
        <translation>Peak hold RX</translation>
    </message>
    <message>
        <source>Request PH1 when selected. Otherwise keep the receiver setting.</source>
        <translation>Se selezionato richiede PH1. Altrimenti mantiene l&apos;impostazione del ricevitore.</translation>
    </message>
    <message>
        <source>Back-to-back DS</source>
        <translation>DS consecutivi</translation>
    </message>
    <message>
        <source>Continuous capture requests the next frame as soon as the current one is complete, without waiting for a quiet line.</source>
        <translation>L&apos;acquisizione continua chiede il fotogramma successivo appena quello corrente è completo, senza attendere che la linea sia libera.</translation>
    </message>
    <message>
        <source>Capture sweep</source>
        <translation>Acquisisci scansione</translation>
    </message>
    <message>
        <source>Start continuous</source>
        <translation>Avvia continuo</translation>
    </message>
    <message>
        <source>Verify setup once, then repeat DS. Stop waits for the current sweep. Click again to abort and close COM.</source>
        <translation>Verifica l&apos;impostazione una volta, poi ripete DS. Ferma attende la scansione in corso. Premi ancora per interrompere e chiudere COM.</translation>
    </message>
    <message>
        <source>RX Band Scope history export stopped: %1</source>
        <translation>Esportazione della storia RX Band Scope arrestata: %1</translation>
    </message>
    <message>
        <source>%1 already exists. Replace it?</source>
        <translation>%1 esiste già. Sostituirlo?</translation>
    </message>
    <message>
        <source>Export band-scope history</source>
        <translation>Esporta la storia del band scope</translation>
    </message>
    <message>
        <source>Could not write the band-scope history %1: %2</source>
        <translation>Impossibile scrivere la storia del band scope %1: %2</translation>
    </message>
    <message>
        <source>Stop history export</source>
        <translation>Ferma esportazione storia</translation>
    </message>
    <message>
        <source>RX Band Scope history export: %1 + %2</source>
        <translation>Esportazione storia RX Band Scope: %1 + %2</translation>
    </message>
    <message>
        <source>Export history</source>
        <translation>Esporta storia</translation>
    </message>
</context>
<context>
    <name>Corvin</name>
    <message>
        <source>Corvin Remote</source>
        <translation>Corvin Remote</translation>
    </message>
    <message>
        <source>Corvin %1 started; data folder: %2</source>
        <translation>Corvin %1 avviato; cartella dati: %2</translation>
    </message>
    <message>
        <source>Receiver disconnected</source>
        <translation>Ricevitore disconnesso</translation>
    </message>
    <message>
        <source>Local</source>
        <translation>Locale</translation>
    </message>
    <message>
        <source>UTC</source>
        <translation>UTC</translation>
    </message>
    <message>
        <source>Receiver</source>
        <translation>Ricevitore</translation>
    </message>
    <message>
        <source>Favorites</source>
        <translation>Preferiti</translation>
    </message>
    <message>
        <source>Audio Spectrum</source>
        <translation>Spettro audio</translation>
    </message>
    <message>
        <source>Smart Scan</source>
        <translation>Scansione intelligente</translation>
    </message>
    <message>
        <source>Frequency Spectrum Analyzer</source>
        <translation>Analizzatore di spettro in frequenza</translation>
    </message>
    <message>
        <source>DSP</source>
        <translation>DSP</translation>
    </message>
    <message>
        <source>Propagation</source>
        <translation>Propagazione</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>Could not open the data folder: %1</source>
        <translation>Impossibile aprire la cartella dati: %1</translation>
    </message>
    <message>
        <source>Tuned frequency</source>
        <translation>Frequenza sintonizzata</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>&amp;Mode</source>
        <translation>&amp;Modulazione</translation>
    </message>
    <message>
        <source>AUTO uses the receiver&apos;s band plan. The app still uses the step selected here for the tuning dial.</source>
        <translation>AUTO usa il piano di banda del ricevitore. Il programma usa comunque il passo scelto qui per la manopola di sintonia.</translation>
    </message>
    <message>
        <source>S&amp;tep</source>
        <translation>&amp;Passo</translation>
    </message>
    <message>
        <source>Set frequency</source>
        <translation>Imposta frequenza</translation>
    </message>
    <message>
        <source>Scan</source>
        <translation>Scansione</translation>
    </message>
    <message>
        <source>Audio input peak</source>
        <translation>Picco ingresso audio</translation>
    </message>
    <message>
        <source>Signal strength</source>
        <translation>Intensità del segnale</translation>
    </message>
    <message>
        <source>Tuning</source>
        <translation>Sintonia</translation>
    </message>
    <message>
        <source>Tune with the mouse wheel, arrow keys or by dragging the dial.</source>
        <translation>Sintonizza con la rotella del mouse, i tasti freccia o trascinando la manopola.</translation>
    </message>
</context>
<context>
    <name>Corvindriver</name>
    <message>
        <source>Unable to open serial port %1</source>
        <translation>Impossibile aprire la porta seriale %1</translation>
    </message>
    <message>
        <source>Receiver answered %1 after a retry.</source>
        <translation>Il ricevitore ha risposto a %1 dopo un nuovo tentativo.</translation>
    </message>
    <message>
        <source>%1 Resynchronizing with CR and retrying.</source>
        <translation>%1 Risincronizzazione con CR e nuovo tentativo.</translation>
    </message>
    <message>
        <source>Could not resynchronize the receiver before %1 (%2).</source>
        <translation>Impossibile risincronizzare il ricevitore prima di %1 (%2).</translation>
    </message>
    <message>
        <source>Could not clear pending serial input before %1 (%2).</source>
        <translation>Impossibile svuotare il buffer seriale prima di %1 (%2).</translation>
    </message>
    <message>
        <source>Failed to write receiver command %1 (%2).</source>
        <translation>Invio del comando %1 al ricevitore fallito (%2).</translation>
    </message>
    <message>
        <source>Receiver rejected %1 (?).</source>
        <translation>Il ricevitore ha rifiutato %1 (?).</translation>
    </message>
    <message>
        <source>Failed to read the receiver reply to %1 (%2).</source>
        <translation>Lettura della risposta a %1 fallita (%2).</translation>
    </message>
    <message>
        <source>No complete receiver reply to %1 within %2 ms.</source>
        <translation>Nessuna risposta completa a %1 entro %2 ms.</translation>
    </message>
    <message>
        <source>Frequency out of range (100 kHz - 3 GHz)</source>
        <translation>Frequenza fuori intervallo (100 kHz – 3 GHz)</translation>
    </message>
    <message>
        <source>Receiver tuning confirmed by RX at %1 Hz.</source>
        <translation>Sintonia confermata da RX a %1 Hz.</translation>
    </message>
    <message>
        <source>Receiver tuning could not be confirmed: requested %1 Hz, RX reported %2 Hz.</source>
        <translation>Sintonia non confermata: richiesti %1 Hz, RX indica %2 Hz.</translation>
    </message>
    <message>
        <source>Invalid receiver mode %1.</source>
        <translation>Modulazione del ricevitore non valida: %1.</translation>
    </message>
    <message>
        <source>Invalid receiver AUTO reply: %1</source>
        <translation>Risposta AUTO del ricevitore non valida: %1</translation>
    </message>
    <message>
        <source>%1 Retrying the AUTO query.</source>
        <translation>%1 Nuovo tentativo di lettura della modalità AUTO.</translation>
    </message>
    <message>
        <source>The receiver did not enable AUTO mode.</source>
        <translation>Il ricevitore non ha attivato il modo AUTO.</translation>
    </message>
    <message>
        <source>Invalid receiver signal-level reply: %1</source>
        <translation>Risposta del ricevitore al comando di livello non valida: %1</translation>
    </message>
    <message>
        <source>Failed to write receiver command EX.</source>
        <translation>Invio del comando EX al ricevitore fallito.</translation>
    </message>
</context>
<context>
    <name>DetectorSettingsDialog</name>
    <message>
        <source>Anomaly detector settings</source>
        <translation>Impostazioni rilevatore anomalie</translation>
    </message>
    <message>
        <source>Capture END events too</source>
        <translation>Cattura anche gli eventi END</translation>
    </message>
    <message>
        <source>Reference samples per metric</source>
        <translation>Campioni di riferimento per metrica</translation>
    </message>
    <message>
        <source>Confirmation</source>
        <translation>Conferma</translation>
    </message>
    <message>
        <source>Release hysteresis</source>
        <translation>Isteresi di rilascio</translation>
    </message>
    <message>
        <source>Cooldown after capture</source>
        <translation>Pausa dopo la cattura</translation>
    </message>
    <message>
        <source>Score &gt;= 1: candidate. Relative = |value - median| / (max(1.4826 MAD, floor) * Z). Absolute = value / threshold (0 disables). Larger score wins. Release below 0.7. Experimental thresholds, not probabilities.</source>
        <translation>Punteggio &gt;= 1: candidato. Relativo = |valore - mediana| / (max(1.4826 MAD, minimo) * Z). Assoluto = valore / soglia (0 disattiva). Vince il punteggio maggiore. Rilascio sotto 0.7. Soglie sperimentali, non probabilità.</translation>
    </message>
    <message>
        <source>Metric</source>
        <translation>Metrica</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Abilita</translation>
    </message>
    <message>
        <source>Z</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>Scale floor</source>
        <translation>Scala minima</translation>
    </message>
    <message>
        <source>Absolute upper</source>
        <translation>Soglia assoluta</translation>
    </message>
</context>
<context>
    <name>DocumentViewer</name>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Could not open help or license: %1</source>
        <translation>Impossibile aprire la guida o la licenza: %1</translation>
    </message>
</context>
<context>
    <name>DspControls</name>
    <message>
        <source>Select a WAV recording</source>
        <translation>Seleziona una registrazione WAV</translation>
    </message>
    <message>
        <source>Open WAV</source>
        <translation>Apri WAV</translation>
    </message>
    <message>
        <source>Auto (strongest)</source>
        <translation>Automatico (il più forte)</translation>
    </message>
    <message>
        <source>WAV file</source>
        <translation>File WAV</translation>
    </message>
    <message>
        <source>Audio channel</source>
        <translation>Canale audio</translation>
    </message>
    <message>
        <source>Pulse contrast</source>
        <translation>Contrasto impulsi</translation>
    </message>
    <message>
        <source>Low frequency</source>
        <translation>Frequenza minima</translation>
    </message>
    <message>
        <source>High frequency</source>
        <translation>Frequenza massima</translation>
    </message>
</context>
<context>
    <name>DspInteractiveViews</name>
    <message>
        <source>Drag a rectangle to zoom; Ctrl + left click to select a band; right click to reset zoom; middle drag to pan.</source>
        <translation>Trascina per zoom; Ctrl + clic sinistro per selezionare la banda; clic destro per ripristinare; trascina con il tasto centrale per spostarti.</translation>
    </message>
    <message>
        <source>Spectrogram</source>
        <translation>Spettrogramma</translation>
    </message>
    <message>
        <source>Ctrl + left click on a spectral peak to select a frequency band.</source>
        <translation>Ctrl + clic sinistro su un picco per selezionare una banda audio.</translation>
    </message>
    <message>
        <source>Spectrum</source>
        <translation>Spettro</translation>
    </message>
    <message>
        <source>RMS level in dBFS over time. Use the mouse to zoom and pan.</source>
        <translation>Livello RMS in dBFS nel tempo. Zoom e spostamento tramite mouse.</translation>
    </message>
    <message>
        <source>Audio level</source>
        <translation>Livello audio</translation>
    </message>
    <message>
        <source>Events</source>
        <translation>Eventi</translation>
    </message>
    <message>
        <source>Band from</source>
        <translation>Banda da</translation>
    </message>
    <message>
        <source>to</source>
        <translation>a</translation>
    </message>
    <message>
        <source>Analyze selected band</source>
        <translation>Analizza banda</translation>
    </message>
    <message>
        <source>Reset zoom</source>
        <translation>Ripristina zoom</translation>
    </message>
    <message>
        <source>The interactive analysis will appear after Analyze WAV.</source>
        <translation>L&apos;analisi interattiva apparirà dopo Analyze WAV.</translation>
    </message>
    <message>
        <source>Show only events inside the selected band</source>
        <translation>Mostra solo gli eventi nella banda selezionata</translation>
    </message>
    <message>
        <source>Double-click an event to locate it on the spectrogram.</source>
        <translation>Doppio clic su un evento per individuarlo nello spettrogramma.</translation>
    </message>
    <message>
        <source>Interactive native analysis: %1 s, %2 Hz, channel %3, %4 event(s). Ctrl + click on the spectrogram or the spectrum selects a band.</source>
        <translation>Analisi nativa interattiva: %1 s, %2 Hz, canale %3, %4 eventi. Ctrl + clic sullo spettrogramma o sullo spettro seleziona una banda.</translation>
    </message>
    <message>
        <source>%1 event(s) shown%2. Double-click a row to locate it on the spectrogram.</source>
        <translation>%1 eventi visibili%2. Doppio clic per individuarli nello spettrogramma.</translation>
    </message>
    <message>
        <source> (table limited to 5,000 rows; CSV contains all events)</source>
        <translation> (tabella limitata a 5.000 righe; CSV completo)</translation>
    </message>
    <message>
        <source>Event at %1 s | %2 Hz | width %3 ms | peak %4 dBFS | %5 dB above background</source>
        <translation>Evento a %1 s | %2 Hz | larghezza %3 ms | picco %4 dBFS | %5 dB sopra il fondo</translation>
    </message>
    <message>
        <source>Selected audio band: %1 - %2 Hz. Click &apos;Analyze selected band&apos; to recompute and export its report.</source>
        <translation>Banda audio selezionata: %1 - %2 Hz. Premi &apos;Analizza banda&apos; per ricalcolare ed esportare il report.</translation>
    </message>
    <message>
        <source>   At %1 s: %2 dBFS/bin.</source>
        <translation>   A %1 s: %2 dBFS/bin.</translation>
    </message>
</context>
<context>
    <name>DspPlot</name>
    <message>
        <source>Could not export the plot to %1: %2</source>
        <translation>Impossibile esportare il grafico in %1: %2</translation>
    </message>
    <message>
        <source>Plot exported: %1</source>
        <translation>Grafico esportato: %1</translation>
    </message>
    <message>
        <source>Export PNG…</source>
        <translation>Esporta PNG…</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>Immagine PNG (*.png)</translation>
    </message>
    <message>
        <source>Export SVG…</source>
        <translation>Esporta SVG…</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg)</source>
        <translation>Disegno SVG (*.svg)</translation>
    </message>
    <message>
        <source>Export plot</source>
        <translation>Esporta grafico</translation>
    </message>
</context>
<context>
    <name>DspRun</name>
    <message>
        <source>DSP analysis cancelled.</source>
        <translation>Analisi DSP annullata.</translation>
    </message>
    <message>
        <source>Native DSP analysis failed: %1</source>
        <translation>Analisi DSP nativa non riuscita: %1</translation>
    </message>
    <message>
        <source>Missing report output</source>
        <translation>File del report mancanti</translation>
    </message>
    <message>
        <source>Could not move report; it is available in %1.</source>
        <translation>Impossibile spostare il report; è disponibile in %1.</translation>
    </message>
    <message>
        <source>Native DSP report saved: %1</source>
        <translation>Report DSP nativo salvato: %1</translation>
    </message>
    <message>
        <source>%1 period(s) and %2 event(s), channel %3.</source>
        <translation>%1 periodi e %2 eventi, canale %3.</translation>
    </message>
    <message>
        <source>%1 ms interval, %2 Hz audio, %3 pulses.</source>
        <translation>Intervallo %1 ms, audio %2 Hz, %3 impulsi.</translation>
    </message>
    <message>
        <source>Analyzing WAV: %1</source>
        <translation>Analisi del WAV: %1</translation>
    </message>
    <message>
        <source>Audio levels completed. Discovering spectral bands...</source>
        <translation>Livelli audio completati. Ricerca delle bande spettrali...</translation>
    </message>
    <message>
        <source>Analyzing pulse envelopes and periodicity...</source>
        <translation>Analisi degli inviluppi degli impulsi e della periodicità...</translation>
    </message>
    <message>
        <source>Writing HTML, SVG/PNG, CSV, JSON and filtered WAV...</source>
        <translation>Scrittura di HTML, SVG/PNG, CSV, JSON e WAV filtrati...</translation>
    </message>
    <message>
        <source>Could not create the DSP report folder: %1</source>
        <translation>Impossibile creare la cartella del report DSP: %1</translation>
    </message>
    <message>
        <source>Could not create the DSP working directory.</source>
        <translation>Impossibile creare la cartella di lavoro DSP.</translation>
    </message>
</context>
<context>
    <name>DspTab</name>
    <message>
        <source>Analysis progress and results will appear here.</source>
        <translation>Qui compariranno l&apos;avanzamento e i risultati dell&apos;analisi.</translation>
    </message>
    <message>
        <source>Analyze WAV</source>
        <translation>Analizza WAV</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Open report</source>
        <translation>Apri report</translation>
    </message>
    <message>
        <source>Open report folder</source>
        <translation>Apri cartella report</translation>
    </message>
    <message>
        <source>DSP Help</source>
        <translation>Guida DSP</translation>
    </message>
    <message>
        <source>Open WAV recording</source>
        <translation>Apri registrazione WAV</translation>
    </message>
    <message>
        <source>WAV audio (*.wav *.wave)</source>
        <translation>Audio WAV (*.wav *.wave)</translation>
    </message>
    <message>
        <source>Choose a high frequency greater than the low frequency.</source>
        <translation>Scegli un limite superiore maggiore del limite inferiore.</translation>
    </message>
    <message>
        <source>Native DSP analyzing WAV: %1</source>
        <translation>DSP nativo: analisi del WAV %1</translation>
    </message>
    <message>
        <source>Cancellation requested; stopping the analyzer...</source>
        <translation>Annullamento richiesto; arresto dell&apos;analisi in corso...</translation>
    </message>
    <message>
        <source>Invalid band: upper frequency must be greater than lower frequency.</source>
        <translation>Banda non valida: la frequenza massima deve superare quella minima.</translation>
    </message>
    <message>
        <source>Could not open DSP report: %1</source>
        <translation>Impossibile aprire il report DSP: %1</translation>
    </message>
    <message>
        <source>Could not open DSP report folder: %1</source>
        <translation>Impossibile aprire la cartella del report DSP: %1</translation>
    </message>
</context>
<context>
    <name>EventArchiveDialog</name>
    <message>
        <source>Anomaly event archive</source>
        <translation>Archivio eventi anomalie</translation>
    </message>
    <message>
        <source>UTC trigger</source>
        <translation>Trigger UTC</translation>
    </message>
    <message>
        <source>RF (Hz)</source>
        <translation>RF (Hz)</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Modulazione</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <source>Duration (s)</source>
        <translation>Durata (s)</translation>
    </message>
    <message>
        <source>Review</source>
        <translation>Revisione</translation>
    </message>
    <message>
        <source>WAV file</source>
        <translation>File WAV</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aggiorna</translation>
    </message>
    <message>
        <source>Select for DSP</source>
        <translation>Seleziona per DSP</translation>
    </message>
    <message>
        <source>Select and replay</source>
        <translation>Seleziona e riproduci</translation>
    </message>
    <message>
        <source>Review...</source>
        <translation>Revisione...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>%1 WAV files | original files are never modified</source>
        <translation>%1 file WAV | i file originali non vengono mai modificati</translation>
    </message>
    <message>
        <source>Missing or invalid event JSON</source>
        <translation>JSON evento mancante o non valido</translation>
    </message>
    <message>
        <source>Manual review: </source>
        <translation>Revisione manuale: </translation>
    </message>
    <message>
        <source>Unreviewed</source>
        <translation>Non esaminato</translation>
    </message>
    <message>
        <source>Interesting</source>
        <translation>Interessante</translation>
    </message>
    <message>
        <source>False alarm</source>
        <translation>Falso allarme</translation>
    </message>
    <message>
        <source>Known signal</source>
        <translation>Segnale noto</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Sconosciuto</translation>
    </message>
    <message>
        <source>Manual review</source>
        <translation>Revisione manuale</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Etichetta</translation>
    </message>
    <message>
        <source>Review notes</source>
        <translation>Note di revisione</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Cannot save review</source>
        <translation>Impossibile salvare la revisione</translation>
    </message>
</context>
<context>
    <name>EventReviewTools</name>
    <message>
        <source>Event archive...</source>
        <translation>Archivio eventi...</translation>
    </message>
    <message>
        <source>Browse saved WAV events, metadata and manual review labels.</source>
        <translation>Sfoglia gli eventi WAV salvati, i metadati e le etichette di revisione manuale.</translation>
    </message>
    <message>
        <source>Observation statistics...</source>
        <translation>Statistiche osservazione...</translation>
    </message>
    <message>
        <source>Observation time, reviewed events and advisory threshold calibration.</source>
        <translation>Tempo di osservazione, eventi esaminati e calibrazione consultiva delle soglie.</translation>
    </message>
</context>
<context>
    <name>EventsTable</name>
    <message>
        <source>Time (s)</source>
        <translation>Tempo (s)</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppo</translation>
    </message>
    <message>
        <source>Freq. (Hz)</source>
        <translation>Freq. (Hz)</translation>
    </message>
    <message>
        <source>Width (ms)</source>
        <translation>Larghezza (ms)</translation>
    </message>
    <message>
        <source>Peak (dBFS)</source>
        <translation>Picco (dBFS)</translation>
    </message>
    <message>
        <source>Above noise (dB)</source>
        <translation>Sopra il fondo (dB)</translation>
    </message>
    <message>
        <source>Duration (s)</source>
        <translation>Durata (s)</translation>
    </message>
    <message>
        <source>Train %1</source>
        <translation>Treno %1</translation>
    </message>
    <message>
        <source>Isolated</source>
        <translation>Isolato</translation>
    </message>
</context>
<context>
    <name>FavoriteEditor</name>
    <message>
        <source>Enter a frequency between 0.1 and 3000 MHz.</source>
        <translation>Inserisci una frequenza tra 0.1 e 3000 MHz.</translation>
    </message>
    <message>
        <source>Enter a whole number between 0 and %1, or leave the field blank.</source>
        <translation>Inserisci un numero intero tra 0 e %1, oppure lascia il campo vuoto.</translation>
    </message>
    <message>
        <source>Enter a dBFS value of 0 or less, or leave the field blank.</source>
        <translation>Inserisci un valore in dBFS pari a 0 o inferiore, oppure lascia il campo vuoto.</translation>
    </message>
    <message>
        <source>Enter a local date as yyyy-MM-dd or yyyy-MM-dd HH:mm:ss.</source>
        <translation>Inserisci una data locale come yyyy-MM-dd o yyyy-MM-dd HH:mm:ss.</translation>
    </message>
    <message>
        <source>Edit favorite</source>
        <translation>Modifica preferito</translation>
    </message>
    <message>
        <source>Automatic from frequency</source>
        <translation>Automatica dalla frequenza</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salva</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
</context>
<context>
    <name>FavoriteMeasurement</name>
    <message>
        <source>Audio input was lost while measuring the favorite.</source>
        <translation>L&apos;ingresso audio si è interrotto durante la misura del preferito.</translation>
    </message>
    <message>
        <source>Favorite measurements unavailable because the receiver is disconnected.</source>
        <translation>Misure del preferito non disponibili perché il ricevitore è disconnesso.</translation>
    </message>
    <message>
        <source>Measuring %1 MHz for Favorites...</source>
        <translation>Misura di %1 MHz per i preferiti...</translation>
    </message>
    <message>
        <source>Could not tune the receiver to measure the favorite.</source>
        <translation>Impossibile sintonizzare il ricevitore per misurare il preferito.</translation>
    </message>
    <message>
        <source>Favorite audio analysis timed out before enough samples arrived.</source>
        <translation>Analisi audio del preferito scaduta prima di ricevere abbastanza campioni.</translation>
    </message>
    <message>
        <source>Favorite S-meter reading failed (%1/%2). %3</source>
        <translation>Lettura S-meter del preferito fallita (%1/%2). %3</translation>
    </message>
    <message>
        <source>Could not start audio analysis for the favorite.</source>
        <translation>Impossibile avviare l&apos;analisi audio del preferito.</translation>
    </message>
</context>
<context>
    <name>FavoritesReport</name>
    <message>
        <source>Could not create Favorites report: %1</source>
        <translation>Impossibile creare il report dei preferiti: %1</translation>
    </message>
    <message>
        <source>Corvin Favorites</source>
        <translation>Preferiti di Corvin</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Stampa</translation>
    </message>
    <message>
        <source>Generated %1 | %2 favorites</source>
        <translation>Generato il %1 | %2 preferiti</translation>
    </message>
    <message>
        <source>Could not write the Favorites report: %1</source>
        <translation>Impossibile scrivere il report dei preferiti: %1</translation>
    </message>
    <message>
        <source>Favorites report saved: %1</source>
        <translation>Report dei preferiti salvato: %1</translation>
    </message>
</context>
<context>
    <name>FavoritesTab</name>
    <message>
        <source>CHIRP CSV files (*.csv)</source>
        <translation>File CSV di CHIRP (*.csv)</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Esporta CSV</translation>
    </message>
    <message>
        <source>Import CSV</source>
        <translation>Importa CSV</translation>
    </message>
    <message>
        <source>Could not save Favorites.</source>
        <translation>Impossibile salvare i preferiti.</translation>
    </message>
    <message>
        <source>Add current frequency</source>
        <translation>Aggiungi frequenza attuale</translation>
    </message>
    <message>
        <source>Measure S-meter and audio using the Smart Scan audio settings, then save a favorite.</source>
        <translation>Misura S-meter e audio con le impostazioni audio della scansione intelligente, poi salva un preferito.</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Modifica</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Elimina</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>Sposta su</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Sposta giù</translation>
    </message>
    <message>
        <source>Sort by frequency</source>
        <translation>Ordina per frequenza</translation>
    </message>
    <message>
        <source>Print Favorites</source>
        <translation>Stampa preferiti</translation>
    </message>
    <message>
        <source>Add the channels of a CHIRP CSV file to Favorites.</source>
        <translation>Aggiunge ai preferiti i canali di un file CSV di CHIRP.</translation>
    </message>
    <message>
        <source>Save Favorites as a CHIRP CSV file.</source>
        <translation>Salva i preferiti come file CSV di CHIRP.</translation>
    </message>
    <message>
        <source>The Favorites file %1 is also in use by process %2.</source>
        <translation>Il file dei preferiti %1 è usato anche dal processo %2.</translation>
    </message>
    <message>
        <source>Could not read the Favorites file %1 (%2). It will not be overwritten.</source>
        <translation>Impossibile leggere il file dei preferiti %1 (%2). Non verrà sovrascritto.</translation>
    </message>
    <message>
        <source>Could not save the Favorites file %1: %2</source>
        <translation>Impossibile salvare il file dei preferiti %1: %2</translation>
    </message>
    <message>
        <source>Could not save the Favorites file.</source>
        <translation>Impossibile salvare il file dei preferiti.</translation>
    </message>
    <message>
        <source>Station name</source>
        <translation>Nome della stazione</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Nome:</translation>
    </message>
    <message>
        <source>Favorite added with signal measurements.</source>
        <translation>Preferito aggiunto con le misure del segnale.</translation>
    </message>
    <message>
        <source>Favorite added. Some measurements are unavailable. See the log in Settings.</source>
        <translation>Preferito aggiunto. Alcune misure non sono disponibili. Vedi il registro in Impostazioni.</translation>
    </message>
    <message>
        <source>Favorite updated.</source>
        <translation>Preferito aggiornato.</translation>
    </message>
    <message>
        <source>Delete favorite</source>
        <translation>Elimina preferito</translation>
    </message>
    <message>
        <source>Delete %1 (%2 MHz) from Favorites?</source>
        <translation>Eliminare %1 (%2 MHz) dai preferiti?</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Favorite deleted.</source>
        <translation>Preferito eliminato.</translation>
    </message>
    <message>
        <source>Favorite moved.</source>
        <translation>Preferito spostato.</translation>
    </message>
    <message>
        <source>Favorites sorted by frequency.</source>
        <translation>Preferiti ordinati per frequenza.</translation>
    </message>
    <message>
        <source>Exported %1 favorites to %2.</source>
        <translation>Esportati %1 preferiti in %2.</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Impossibile scrivere %1: %2</translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation>Impossibile leggere %1: %2</translation>
    </message>
    <message>
        <source>%1 is not a CHIRP CSV file: it has no Frequency column.</source>
        <translation>%1 non è un file CSV di CHIRP: manca la colonna Frequency.</translation>
    </message>
    <message>
        <source>CHIRP import: %1 added, %2 already present, %3 outside 0.1-3000 MHz, %4 unreadable.</source>
        <translation>Importazione CHIRP: %1 aggiunti, %2 già presenti, %3 fuori da 0.1-3000 MHz, %4 illeggibili.</translation>
    </message>
</context>
<context>
    <name>FavoritesTable</name>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Modulazione</translation>
    </message>
    <message>
        <source>S-meter</source>
        <translation>S-meter</translation>
    </message>
    <message>
        <source>RMS (dBFS)</source>
        <translation>RMS (dBFS)</translation>
    </message>
    <message>
        <source>Peak (dBFS)</source>
        <translation>Picco (dBFS)</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Qualità</translation>
    </message>
    <message>
        <source>Classification</source>
        <translation>Classificazione</translation>
    </message>
    <message>
        <source>Discovered</source>
        <translation>Scoperto</translation>
    </message>
    <message>
        <source>Band</source>
        <translation>Banda</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Note</translation>
    </message>
</context>
<context>
    <name>FeatureBankGroup</name>
    <message>
        <source>Live DSP feature bank - step 3</source>
        <translation>Banco metriche DSP live - passo 3</translation>
    </message>
    <message>
        <source>Enable analysis</source>
        <translation>Abilita analisi</translation>
    </message>
    <message>
        <source>Calculate metrics when armed; automatic recording is a separate opt-in.</source>
        <translation>Calcola le metriche quando armato; la registrazione automatica è una scelta separata.</translation>
    </message>
    <message>
        <source>Analysis band only (clamped below Nyquist); RMS/kurtosis are full-band. WAV remains untouched.</source>
        <translation>Solo banda di analisi (limitata sotto Nyquist); RMS/curtosi sono a banda piena. Il WAV resta intatto.</translation>
    </message>
    <message>
        <source>Band</source>
        <translation>Banda</translation>
    </message>
    <message>
        <source>Automatic trigger</source>
        <translation>Trigger automatico</translation>
    </message>
    <message>
        <source>Opt in to automatic WAV capture; otherwise decisions are preview only.</source>
        <translation>Attiva la cattura WAV automatica; altrimenti le decisioni sono solo anteprima.</translation>
    </message>
    <message>
        <source>Show metrics</source>
        <translation>Mostra metriche</translation>
    </message>
    <message>
        <source>Detector settings...</source>
        <translation>Impostazioni rilevatore...</translation>
    </message>
    <message>
        <source>Replay WAV...</source>
        <translation>Riproduci WAV...</translation>
    </message>
    <message>
        <source>Offline replay through the live feature bank and automatic trigger policy. No real capture.</source>
        <translation>Riproduzione offline attraverso il banco metriche live e la politica di trigger automatico. Nessuna cattura reale.</translation>
    </message>
</context>
<context>
    <name>HelpPanel</name>
    <message>
        <source>Corvin program help</source>
        <translation>Guida del programma Corvin</translation>
    </message>
    <message>
        <source>Corvin freeware license</source>
        <translation>Licenza freeware di Corvin</translation>
    </message>
    <message>
        <source>Program help</source>
        <translation>Guida del programma</translation>
    </message>
    <message>
        <source>Freeware license</source>
        <translation>Licenza freeware</translation>
    </message>
</context>
<context>
    <name>HtmlReport</name>
    <message>
        <source>Could not open HTML report: %1</source>
        <translation>Impossibile aprire il report HTML: %1</translation>
    </message>
</context>
<context>
    <name>IntegrityCheck</name>
    <message>
        <source>Program integrity verified (SHA-256 %1).</source>
        <translation>Integrità del programma verificata (SHA-256 %1).</translation>
    </message>
    <message>
        <source>Warning: the program file %1 does not match its recorded SHA-256 digest. It may have been damaged or changed since it was built.</source>
        <translation>Attenzione: il file del programma %1 non corrisponde alla sua impronta SHA-256 registrata. Potrebbe essere stato danneggiato o modificato dopo la compilazione.</translation>
    </message>
    <message>
        <source>Warning: no valid SHA-256 record was found for the program file %1; its integrity could not be verified.</source>
        <translation>Attenzione: nessuna impronta SHA-256 valida trovata per il file del programma %1; impossibile verificarne l&apos;integrità.</translation>
    </message>
    <message>
        <source>Warning: the program file %1 could not be read to verify its integrity.</source>
        <translation>Attenzione: impossibile leggere il file del programma %1 per verificarne l&apos;integrità.</translation>
    </message>
</context>
<context>
    <name>LanguageSelector</name>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
    <message>
        <source>Restart Corvin to apply the selected language.</source>
        <translation>Riavvia Corvin per applicare la lingua selezionata.</translation>
    </message>
</context>
<context>
    <name>LevelView</name>
    <message>
        <source>Time (s)</source>
        <translation>Tempo (s)</translation>
    </message>
    <message>
        <source>RMS level (dBFS)</source>
        <translation>Livello RMS (dBFS)</translation>
    </message>
</context>
<context>
    <name>LinkRecovery</name>
    <message numerus="yes">
        <source>Gave up reconnecting to the receiver on %1 after %n minute(s).</source>
        <translation>
            <numerusform>Riconnessione al ricevitore su %1 abbandonata dopo %n minuto.</numerusform>
            <numerusform>Riconnessione al ricevitore su %1 abbandonata dopo %n minuti.</numerusform>
        </translation>
    </message>
    <message>
        <source>Receiver found again on %1 (attempt %2).</source>
        <translation>Ricevitore ritrovato su %1 (tentativo %2).</translation>
    </message>
    <message>
        <source>Reconnecting: %1 cannot be opened yet (attempt %2).</source>
        <translation>Riconnessione: %1 non si può ancora aprire (tentativo %2).</translation>
    </message>
    <message>
        <source>Reconnecting: the receiver on %1 does not answer yet (attempt %2).</source>
        <translation>Riconnessione: il ricevitore su %1 non risponde ancora (tentativo %2).</translation>
    </message>
</context>
<context>
    <name>ListeningLocationPanel</name>
    <message>
        <source>Listening location</source>
        <translation>Luogo di ascolto</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Latitude (°)</source>
        <translation>Latitudine (°)</translation>
    </message>
    <message>
        <source>Longitude (°)</source>
        <translation>Longitudine (°)</translation>
    </message>
    <message>
        <source>Optional. Use signed decimal degrees. North and east are positive.</source>
        <translation>Facoltativo. Usa gradi decimali con segno. Nord ed est sono positivi.</translation>
    </message>
    <message>
        <source>Location changes pending. Enter latitude from −90 to 90 and longitude from −180 to 180, or leave the fields blank.</source>
        <translation>Modifiche del luogo in sospeso. Inserisci una latitudine da −90 a 90 e una longitudine da −180 a 180, oppure lascia i campi vuoti.</translation>
    </message>
</context>
<context>
    <name>ObservationReport</name>
    <message>
        <source>Labelled automatic NEW/CHANGE snapshots (interesting / false): </source>
        <translation>Istantanee automatiche NEW/CHANGE etichettate (interessanti / false): </translation>
    </message>
    <message>
        <source>Metric                 Positive   False   Min pos.    Max false   Current     Suggested</source>
        <translation>Metrica                Positivi   False   Min pos.    Max false   Attuale     Proposta</translation>
    </message>
    <message>
        <source>Proposal only if &gt;=5 finite samples per class, non-overlapping values, and an absolute false-trigger candidate.</source>
        <translation>Proposta solo con &gt;=5 campioni finiti per classe, valori non sovrapposti e un candidato assoluto di falso trigger.</translation>
    </message>
    <message>
        <source>Midpoint of largest false value and smallest interesting value; raises existing threshold only.</source>
        <translation>Punto medio tra il valore falso più alto e il valore interessante più basso; alza solo una soglia esistente.</translation>
    </message>
    <message>
        <source>Snapshot advice is not a replay, does not account for relative rules, confirmation or missed events.</source>
        <translation>Il consiglio dalle istantanee non è un replay: non considera regole relative, conferma o eventi mancati.</translation>
    </message>
    <message>
        <source>Test proposed settings against independent full WAVs using Replay; no settings changed here.</source>
        <translation>Verifica le impostazioni proposte su WAV completi indipendenti con il Replay; qui nessuna impostazione cambia.</translation>
    </message>
    <message>
        <source>All contexts</source>
        <translation>Tutti i contesti</translation>
    </message>
    <message>
        <source>Legacy / incomplete context</source>
        <translation>Contesto precedente / incompleto</translation>
    </message>
    <message>
        <source>OBSERVATION SUMMARY</source>
        <translation>RIEPILOGO OSSERVAZIONE</translation>
    </message>
    <message>
        <source>Closed sessions: </source>
        <translation>Sessioni chiuse: </translation>
    </message>
    <message>
        <source> | Open checkpoints: </source>
        <translation> | Checkpoint aperti: </translation>
    </message>
    <message>
        <source>Acquired PCM hours: </source>
        <translation>Ore PCM acquisite: </translation>
    </message>
    <message>
        <source>Analyzed hours: </source>
        <translation>Ore analizzate: </translation>
    </message>
    <message>
        <source>Automatic decision exposure (hours): </source>
        <translation>Esposizione decisioni automatiche (ore): </translation>
    </message>
    <message>
        <source>Decisions NEW / CHANGE / END (including preview): </source>
        <translation>Decisioni NEW / CHANGE / END (anteprima inclusa): </translation>
    </message>
    <message>
        <source>Automatic starts / completed PCM / skipped: </source>
        <translation>Avvii automatici / PCM completati / saltati: </translation>
    </message>
    <message>
        <source>Manual completed PCM: </source>
        <translation>PCM manuali completati: </translation>
    </message>
    <message>
        <source>Automatic PCM completions/hour (closed sessions): </source>
        <translation>Completamenti PCM automatici/ora (sessioni chiuse): </translation>
    </message>
    <message>
        <source>Linked automatic WAV / reviewed / false alarms (closed sessions): </source>
        <translation>WAV automatici collegati / esaminati / falsi allarmi (sessioni chiuse): </translation>
    </message>
    <message>
        <source>Confirmed false-alarm captures/hour (lower bound, not false-positive probability): </source>
        <translation>Catture confermate come falso allarme/ora (limite inferiore, non probabilità di falso positivo): </translation>
    </message>
    <message>
        <source>Closed automatic exposure (hours): </source>
        <translation>Esposizione automatica chiusa (ore): </translation>
    </message>
    <message>
        <source>Open checkpoints may be incomplete (refresh after disarm). PCM completions do not certify disk writes.</source>
        <translation>I checkpoint aperti possono essere incompleti (aggiorna dopo il disarmo). I completamenti PCM non certificano la scrittura su disco.</translation>
    </message>
    <message>
        <source>EVENT ARCHIVE</source>
        <translation>ARCHIVIO EVENTI</translation>
    </message>
    <message>
        <source>WAV / missing JSON / declared seconds: </source>
        <translation>WAV / JSON mancanti / secondi dichiarati: </translation>
    </message>
    <message>
        <source>Unreviewed / Interesting / False alarm / Known / Unknown: </source>
        <translation>Non esaminati / Interessanti / Falsi allarmi / Noti / Sconosciuti: </translation>
    </message>
    <message>
        <source>ADVISORY ABSOLUTE-THRESHOLD CALIBRATION</source>
        <translation>CALIBRAZIONE CONSULTIVA DELLE SOGLIE ASSOLUTE</translation>
    </message>
    <message>
        <source>Choose one complete RF / analysis context. Older events without band metadata are excluded from advice.</source>
        <translation>Scegli un contesto RF / di analisi completo. Gli eventi precedenti senza metadati di banda sono esclusi dal consiglio.</translation>
    </message>
</context>
<context>
    <name>ObservationStatsDialog</name>
    <message>
        <source>Observation statistics / calibration</source>
        <translation>Statistiche osservazione / calibrazione</translation>
    </message>
    <message>
        <source>Statistics use recorded PCM time, not the time between WAV files. Calibration is advisory only. Disarm before editing detector settings.</source>
        <translation>Le statistiche usano il tempo PCM registrato, non il tempo tra i file WAV. La calibrazione è solo consultiva. Disarma prima di modificare le impostazioni del rilevatore.</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aggiorna</translation>
    </message>
    <message>
        <source>Export report...</source>
        <translation>Esporta rapporto...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>RF / analysis context</source>
        <translation>Contesto RF / di analisi</translation>
    </message>
    <message>
        <source>Export observation report</source>
        <translation>Esporta rapporto di osservazione</translation>
    </message>
    <message>
        <source>Text (*.txt)</source>
        <translation>Testo (*.txt)</translation>
    </message>
    <message>
        <source>Export error</source>
        <translation>Errore di esportazione</translation>
    </message>
    <message>
        <source>Cannot save report</source>
        <translation>Impossibile salvare il rapporto</translation>
    </message>
</context>
<context>
    <name>ParameterGrid</name>
    <message>
        <source>Start frequency</source>
        <translation>Frequenza iniziale</translation>
    </message>
    <message>
        <source>End frequency</source>
        <translation>Frequenza finale</translation>
    </message>
    <message>
        <source>Frequency step</source>
        <translation>Passo di frequenza</translation>
    </message>
</context>
<context>
    <name>PersistentLog</name>
    <message>
        <source>Could not open the persistent log: %1</source>
        <translation>Impossibile aprire il registro su disco: %1</translation>
    </message>
    <message>
        <source>Could not write the persistent log: %1</source>
        <translation>Impossibile scrivere il registro su disco: %1</translation>
    </message>
</context>
<context>
    <name>PlotExport</name>
    <message>
        <source>the image could not be written</source>
        <translation>l&apos;immagine non è stata scritta</translation>
    </message>
</context>
<context>
    <name>ProductAgeBadges</name>
    <message>
        <source>%1: no data</source>
        <translation>%1: nessun dato</translation>
    </message>
    <message>
        <source>%1: time ahead of the clock</source>
        <translation>%1: ora successiva all&apos;orologio</translation>
    </message>
    <message>
        <source>The product&apos;s time, %1, is later than this computer&apos;s clock. Check the clock.</source>
        <translation>L&apos;ora del prodotto, %1, è successiva all&apos;orologio di questo computer. Controlla l&apos;orologio.</translation>
    </message>
    <message>
        <source>%1: %2 h old, stale</source>
        <translation>%1: di %2 h fa, non aggiornato</translation>
    </message>
    <message>
        <source>%1: %2 h old</source>
        <translation>%1: di %2 h fa</translation>
    </message>
    <message>
        <source>Issued %1. Older than %2 h counts as stale.</source>
        <translation>Emesso %1. Oltre %2 h è considerato non aggiornato.</translation>
    </message>
</context>
<context>
    <name>PropagationCache</name>
    <message>
        <source>Could not create the folder %1</source>
        <translation>Impossibile creare la cartella %1</translation>
    </message>
</context>
<context>
    <name>PropagationFetcher</name>
    <message>
        <source>No recognized data in response</source>
        <translation>Nessun dato riconosciuto nella risposta</translation>
    </message>
</context>
<context>
    <name>PropagationReport</name>
    <message>
        <source>HF propagation report</source>
        <translation>Report di propagazione HF</translation>
    </message>
    <message>
        <source>HF conditions are general estimates. Location and coordinates identify the listening site in the report. A path-specific forecast requires a destination, a time and a propagation model.</source>
        <translation>Le condizioni HF sono stime generali. Luogo e coordinate identificano il sito di ascolto nel report. Una previsione per un percorso specifico richiede una destinazione, un orario e un modello di propagazione.</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>N/D</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>Buone</translation>
    </message>
    <message>
        <source>Fair</source>
        <translation>Discrete</translation>
    </message>
    <message>
        <source>Poor</source>
        <translation>Scarse</translation>
    </message>
    <message>
        <source>Sources unavailable</source>
        <translation>Fonti non disponibili</translation>
    </message>
    <message>
        <source>Data received</source>
        <translation>Dati ricevuti</translation>
    </message>
    <message>
        <source>Partial data</source>
        <translation>Dati parziali</translation>
    </message>
    <message>
        <source>Listening location</source>
        <translation>Luogo di ascolto</translation>
    </message>
    <message>
        <source>Latitude</source>
        <translation>Latitudine</translation>
    </message>
    <message>
        <source>Longitude</source>
        <translation>Longitudine</translation>
    </message>
    <message>
        <source>Retrieved at</source>
        <translation>Scaricato il</translation>
    </message>
    <message>
        <source>Source status</source>
        <translation>Stato delle fonti</translation>
    </message>
    <message>
        <source>NOAA, noon observation</source>
        <translation>NOAA, osservazione di mezzogiorno</translation>
    </message>
    <message>
        <source>SFI / F10.7</source>
        <translation>SFI / F10.7</translation>
    </message>
    <message>
        <source>Estimated planetary Kp</source>
        <translation>Kp planetario stimato</translation>
    </message>
    <message>
        <source>K index (HamQSL)</source>
        <translation>Indice K (HamQSL)</translation>
    </message>
    <message>
        <source>A index (HamQSL)</source>
        <translation>Indice A (HamQSL)</translation>
    </message>
    <message>
        <source>Solar wind (HamQSL)</source>
        <translation>Vento solare (HamQSL)</translation>
    </message>
    <message>
        <source>X-ray class (HamQSL)</source>
        <translation>Classe raggi X (HamQSL)</translation>
    </message>
    <message>
        <source>Insufficient data to assess HF propagation.</source>
        <translation>Dati insufficienti per valutare la propagazione HF.</translation>
    </message>
    <message>
        <source>High geomagnetic activity. HF paths may be degraded, especially at high latitudes.</source>
        <translation>Attività geomagnetica elevata. I percorsi HF possono essere degradati, soprattutto alle alte latitudini.</translation>
    </message>
    <message>
        <source>Unsettled geomagnetic conditions. HF signal stability may vary.</source>
        <translation>Condizioni geomagnetiche instabili. La stabilità dei segnali HF può variare.</translation>
    </message>
    <message>
        <source>High solar flux. Higher HF bands may open on sunlit paths.</source>
        <translation>Flusso solare elevato. Le bande HF più alte possono aprirsi sui percorsi illuminati dal sole.</translation>
    </message>
    <message>
        <source>Moderate solar flux. Higher HF bands may open during daylight depending on the path.</source>
        <translation>Flusso solare moderato. Le bande HF più alte possono aprirsi di giorno a seconda del percorso.</translation>
    </message>
    <message>
        <source>Low solar flux. Openings on higher HF bands may be less frequent.</source>
        <translation>Flusso solare basso. Le aperture sulle bande HF più alte possono essere meno frequenti.</translation>
    </message>
    <message>
        <source>Solar and geomagnetic indices</source>
        <translation>Indici solari e geomagnetici</translation>
    </message>
    <message>
        <source>HF bands (HamQSL)</source>
        <translation>Bande HF (HamQSL)</translation>
    </message>
    <message>
        <source>HamQSL update: %1</source>
        <translation>Aggiornamento HamQSL: %1</translation>
    </message>
    <message>
        <source>Wavelength</source>
        <translation>Lunghezza d&apos;onda</translation>
    </message>
    <message>
        <source>Frequency (MHz, IARU Region 1)</source>
        <translation>Frequenza (MHz, IARU Regione 1)</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Giorno</translation>
    </message>
    <message>
        <source>Night</source>
        <translation>Notte</translation>
    </message>
    <message>
        <source>NOAA WWV bulletin</source>
        <translation>Bollettino NOAA WWV</translation>
    </message>
    <message>
        <source>Source diagnostics</source>
        <translation>Diagnostica delle fonti</translation>
    </message>
</context>
<context>
    <name>PropagationTab</name>
    <message>
        <source>Refresh report</source>
        <translation>Aggiorna report</translation>
    </message>
    <message>
        <source>Export report…</source>
        <translation>Esporta report…</translation>
    </message>
    <message>
        <source>Select Refresh report to retrieve the HF band conditions and space weather bulletin.</source>
        <translation>Seleziona Aggiorna report per scaricare le condizioni delle bande HF e il bollettino di meteorologia spaziale.</translation>
    </message>
    <message>
        <source>Showing the saved report retrieved at %1.</source>
        <translation>Report salvato, scaricato il %1.</translation>
    </message>
    <message>
        <source>Retrieving HamQSL and NOAA data…</source>
        <translation>Download dei dati HamQSL e NOAA…</translation>
    </message>
    <message>
        <source>Propagation report refresh started.</source>
        <translation>Aggiornamento del report di propagazione avviato.</translation>
    </message>
    <message>
        <source>Propagation source error: %1</source>
        <translation>Errore della fonte di propagazione: %1</translation>
    </message>
    <message>
        <source>Update failed. Showing the previous report.</source>
        <translation>Aggiornamento non riuscito. Viene mostrato il report precedente.</translation>
    </message>
    <message>
        <source>Propagation update failed. Previous report retained.</source>
        <translation>Aggiornamento della propagazione non riuscito. Report precedente mantenuto.</translation>
    </message>
    <message>
        <source>No source responded with usable data.</source>
        <translation>Nessuna fonte ha risposto con dati utilizzabili.</translation>
    </message>
    <message>
        <source>Report updated.</source>
        <translation>Report aggiornato.</translation>
    </message>
    <message>
        <source>Report updated with partial data.</source>
        <translation>Report aggiornato con dati parziali.</translation>
    </message>
    <message>
        <source>Propagation refresh completed. Source errors: %1.</source>
        <translation>Aggiornamento della propagazione completato. Errori delle fonti: %1.</translation>
    </message>
    <message>
        <source>Could not keep the propagation report for the next start: %1</source>
        <translation>Impossibile conservare il report di propagazione per il prossimo avvio: %1</translation>
    </message>
    <message>
        <source>Use an .html, .pdf or .txt file extension.</source>
        <translation>Usa un&apos;estensione di file .html, .pdf o .txt.</translation>
    </message>
    <message>
        <source>Could not export the propagation report: %1</source>
        <translation>Impossibile esportare il report di propagazione: %1</translation>
    </message>
    <message>
        <source>Propagation report saved to %1</source>
        <translation>Report di propagazione salvato in %1</translation>
    </message>
    <message>
        <source>HTML report (*.html)</source>
        <translation>Report HTML (*.html)</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>Report PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Text report (*.txt)</source>
        <translation>Report di testo (*.txt)</translation>
    </message>
    <message>
        <source>Export propagation report</source>
        <translation>Esporta report di propagazione</translation>
    </message>
</context>
<context>
    <name>QtHttpTransport</name>
    <message>
        <source>No response from the server</source>
        <translation>Nessuna risposta dal server</translation>
    </message>
    <message>
        <source>Response timed out</source>
        <translation>Tempo scaduto per la risposta</translation>
    </message>
    <message>
        <source>Response incomplete</source>
        <translation>Risposta incompleta</translation>
    </message>
    <message>
        <source>Response exceeded 2 MB</source>
        <translation>La risposta supera 2 MB</translation>
    </message>
</context>
<context>
    <name>ReceiverPanel</name>
    <message>
        <source>No COM ports available</source>
        <translation>Nessuna porta COM disponibile</translation>
    </message>
    <message>
        <source>Could not connect to the receiver.</source>
        <translation>Impossibile connettersi al ricevitore.</translation>
    </message>
    <message>
        <source>Receiver connected on %1.</source>
        <translation>Ricevitore connesso su %1.</translation>
    </message>
    <message>
        <source>Initial receiver tuning could not be confirmed.</source>
        <translation>Impossibile confermare la sintonia iniziale del ricevitore.</translation>
    </message>
    <message>
        <source>Receiver standby command sent (QP).</source>
        <translation>Comando di standby inviato al ricevitore (QP).</translation>
    </message>
    <message>
        <source>Standby request failed. Disconnecting from the receiver.</source>
        <translation>Richiesta di standby fallita. Disconnessione dal ricevitore.</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnetti</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connetti</translation>
    </message>
    <message>
        <source>Connected (%1)</source>
        <translation>Connesso (%1)</translation>
    </message>
    <message>
        <source>Receiver disconnected</source>
        <translation>Ricevitore disconnesso</translation>
    </message>
    <message>
        <source>Set frequency</source>
        <translation>Imposta frequenza</translation>
    </message>
    <message>
        <source>Frequency in MHz (0.100000 to 3000.000000)</source>
        <translation>Frequenza in MHz (da 0.100000 a 3000.000000)</translation>
    </message>
    <message>
        <source>AUTO (%1)</source>
        <translation>AUTO (%1)</translation>
    </message>
    <message>
        <source>AUTO (mode unavailable)</source>
        <translation>AUTO (modulazione non disponibile)</translation>
    </message>
    <message>
        <source>Could not restore the receiver mode after the scan.</source>
        <translation>Impossibile ripristinare la modulazione dopo la scansione.</translation>
    </message>
    <message>
        <source>Could not restore the frequency after the scan.</source>
        <translation>Impossibile ripristinare la frequenza dopo la scansione.</translation>
    </message>
    <message>
        <source>Scan stopped because the receiver signal level is unavailable.</source>
        <translation>Scansione interrotta perché il livello del ricevitore non è disponibile.</translation>
    </message>
    <message>
        <source>Stopped reconnecting to the receiver.</source>
        <translation>Riconnessione al ricevitore interrotta.</translation>
    </message>
    <message>
        <source>Receiver link lost on %1 (%2). Reconnecting every second.</source>
        <translation>Collegamento con il ricevitore perso su %1 (%2). Nuovo tentativo ogni secondo.</translation>
    </message>
    <message>
        <source>Receiver reconnected on %1; frequency %2 MHz and mode %3 restored.</source>
        <translation>Ricevitore riconnesso su %1; frequenza %2 MHz e modulazione %3 ripristinate.</translation>
    </message>
    <message>
        <source>Receiver link lost, reconnecting…</source>
        <translation>Collegamento con il ricevitore perso, riconnessione…</translation>
    </message>
</context>
<context>
    <name>ReceiverSharing</name>
    <message>
        <source>Other programs</source>
        <translation>Altri programmi</translation>
    </message>
    <message>
        <source>Share receiver on the network</source>
        <translation>Condividi il ricevitore in rete</translation>
    </message>
    <message>
        <source>Lets loggers, decoders and satellite trackers read and set the receiver through Corvin with the rigctld network protocol (Hamlib model 2, &quot;NET rigctl&quot;).</source>
        <translation>Permette a logger, decodificatori e programmi di tracciamento satellitare di leggere e impostare il ricevitore tramite Corvin con il protocollo di rete di rigctld (modello Hamlib 2, &quot;NET rigctl&quot;).</translation>
    </message>
    <message>
        <source>Listen address</source>
        <translation>Indirizzo di ascolto</translation>
    </message>
    <message>
        <source>127.0.0.1 serves this computer only. Type another address of this computer (or 0.0.0.0 for all) to serve the local network.</source>
        <translation>127.0.0.1 serve solo questo computer. Scrivi un altro indirizzo di questo computer (o 0.0.0.0 per tutti) per servire la rete locale.</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Porta</translation>
    </message>
    <message>
        <source>Log serial traffic</source>
        <translation>Registra il traffico seriale</translation>
    </message>
    <message>
        <source>Writes every byte exchanged with the receiver, with its time, to data/serial/trace_&lt;time&gt;.log (a new file every 10 MB), to send with a fault report.</source>
        <translation>Scrive ogni byte scambiato con il ricevitore, con il suo orario, in data/serial/trace_&lt;ora&gt;.log (un nuovo file ogni 10 MB), da inviare con una segnalazione di guasto.</translation>
    </message>
    <message>
        <source>Stopped sharing the receiver on the network.</source>
        <translation>Condivisione del ricevitore in rete terminata.</translation>
    </message>
    <message>
        <source>No listen address.</source>
        <translation>Nessun indirizzo di ascolto.</translation>
    </message>
    <message>
        <source>Could not share the receiver on %1: %2</source>
        <translation>Impossibile condividere il ricevitore su %1: %2</translation>
    </message>
    <message>
        <source>Sharing the receiver on %1 (rigctld network protocol).</source>
        <translation>Ricevitore condiviso su %1 (protocollo di rete di rigctld).</translation>
    </message>
    <message numerus="yes">
        <source>Shared on %1, %n client(s) connected.</source>
        <translation>
            <numerusform>Condiviso su %1, %n client connesso.</numerusform>
            <numerusform>Condiviso su %1, %n client connessi.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not shared: %1</source>
        <translation>Non condiviso: %1</translation>
    </message>
    <message>
        <source>Not shared.</source>
        <translation>Non condiviso.</translation>
    </message>
    <message>
        <source>Could not log serial traffic: %1</source>
        <translation>Impossibile registrare il traffico seriale: %1</translation>
    </message>
    <message>
        <source>Logging serial traffic to %1.</source>
        <translation>Registrazione del traffico seriale in %1.</translation>
    </message>
    <message>
        <source>Stopped logging serial traffic (%1).</source>
        <translation>Registrazione del traffico seriale terminata (%1).</translation>
    </message>
</context>
<context>
    <name>ReplayDialog</name>
    <message>
        <source>Replay requires PCM16 WAV</source>
        <translation>La riproduzione richiede WAV PCM16</translation>
    </message>
    <message>
        <source>Live band too narrow</source>
        <translation>Banda live troppo stretta</translation>
    </message>
    <message>
        <source>Invalid live analysis band</source>
        <translation>Banda di analisi live non valida</translation>
    </message>
    <message>
        <source>Incomplete WAV block</source>
        <translation>Blocco WAV incompleto</translation>
    </message>
    <message>
        <source>CSV write error</source>
        <translation>Errore di scrittura CSV</translation>
    </message>
    <message>
        <source>Cannot create temporary CSV</source>
        <translation>Impossibile creare il CSV temporaneo</translation>
    </message>
    <message>
        <source>Anomaly replay - offline</source>
        <translation>Riproduzione anomalie - offline</translation>
    </message>
    <message>
        <source>Uses current DSP band, detector settings and pre/post/cooldown. Simulated captures only; original WAV unchanged.</source>
        <translation>Usa banda DSP, impostazioni del rilevatore e pre/post/pausa correnti. Solo catture simulate; WAV originale invariato.</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Massima</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Avvia</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Azzera</translation>
    </message>
    <message>
        <source>Export CSV...</source>
        <translation>Esporta CSV...</translation>
    </message>
    <message>
        <source>WAV channel (1-based)</source>
        <translation>Canale WAV (da 1)</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Velocità</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Pronto</translation>
    </message>
    <message>
        <source>Metric</source>
        <translation>Metrica</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Valore</translation>
    </message>
    <message>
        <source>Score</source>
        <translation>Punteggio</translation>
    </message>
    <message>
        <source>Baseline</source>
        <translation>Riferimento</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Attiva</translation>
    </message>
    <message>
        <source>Time (s)</source>
        <translation>Tempo (s)</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Evento</translation>
    </message>
    <message>
        <source>Changed metrics</source>
        <translation>Metriche cambiate</translation>
    </message>
    <message>
        <source>Capture</source>
        <translation>Cattura</translation>
    </message>
    <message>
        <source>Window (s)</source>
        <translation>Finestra (s)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Finished | started %1 | complete %2 | skipped %3 | unfinished %4 | tail %5 samples (no full DSP update)</source>
        <translation>Finito | avviate %1 | complete %2 | saltate %3 | incomplete %4 | coda %5 campioni (nessun aggiornamento DSP completo)</translation>
    </message>
    <message>
        <source>%1 s | history %2/8 s | started %3 | complete %4 | skipped %5 | DSP %6 ms</source>
        <translation>%1 s | cronologia %2/8 s | avviate %3 | complete %4 | saltate %5 | DSP %6 ms</translation>
    </message>
    <message>
        <source>Choose a .csv filename</source>
        <translation>Scegli un nome file .csv</translation>
    </message>
    <message>
        <source>CSV export failed</source>
        <translation>Esportazione CSV fallita</translation>
    </message>
    <message>
        <source>Export replay CSV</source>
        <translation>Esporta CSV della riproduzione</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Esporta</translation>
    </message>
</context>
<context>
    <name>ReportExport</name>
    <message>
        <source>Could not generate the PDF</source>
        <translation>Impossibile generare il PDF</translation>
    </message>
</context>
<context>
    <name>RfSweep</name>
    <message>
        <source>No valid S-meter readings.</source>
        <translation>Nessuna lettura S-meter valida.</translation>
    </message>
    <message>
        <source>Min %1 | Max %2
Mean %3 | Median %4
Standard deviation %5</source>
        <translation>Min %1 | Max %2
Media %3 | Mediana %4
Deviazione standard %5</translation>
    </message>
    <message>
        <source>Frequency spectrum sweep stopped because the CSV could not be written. See the log in Settings.</source>
        <translation>Scansione RF interrotta perché il CSV non può essere scritto. Vedi il registro in Impostazioni.</translation>
    </message>
    <message>
        <source>Frequency spectrum sweep stopped by user.</source>
        <translation>Scansione RF interrotta dall&apos;utente.</translation>
    </message>
    <message>
        <source>Set an end frequency at or above the start and a step of at least 100 Hz.</source>
        <translation>Imposta una frequenza finale non inferiore a quella iniziale e un passo di almeno 100 Hz.</translation>
    </message>
    <message>
        <source>Could not create RF sweep CSV %1: %2</source>
        <translation>Impossibile creare il CSV della scansione RF %1: %2</translation>
    </message>
    <message>
        <source>Could not create the RF sweep CSV. See the log in Settings.</source>
        <translation>Impossibile creare il CSV della scansione RF. Vedi il registro in Impostazioni.</translation>
    </message>
    <message>
        <source>RF sweep started: %1-%2 MHz, step %3 kHz, %4, settle %5 ms, %6 frequencies. CSV: %7</source>
        <translation>Scansione RF avviata: %1-%2 MHz, passo %3 kHz, %4, assestamento %5 ms, %6 frequenze. CSV: %7</translation>
    </message>
    <message>
        <source>Frequency spectrum sweep stopped because the receiver mode could not be set.</source>
        <translation>Scansione RF interrotta perché non è stato possibile impostare la modulazione del ricevitore.</translation>
    </message>
    <message>
        <source>Measuring %1 MHz</source>
        <translation>Misura di %1 MHz</translation>
    </message>
    <message>
        <source>Frequency spectrum sweep stopped because tuning failed at %1 MHz.</source>
        <translation>Scansione RF interrotta perché la sintonia a %1 MHz non è riuscita.</translation>
    </message>
    <message>
        <source>RF sweep %1 MHz: S-meter recovered on attempt %2 (level %3).</source>
        <translation>Scansione RF %1 MHz: S-meter recuperato al tentativo %2 (livello %3).</translation>
    </message>
    <message>
        <source>RF sweep %1 MHz: S-meter attempt %2/%3 failed. %4</source>
        <translation>Scansione RF %1 MHz: tentativo S-meter %2/%3 fallito. %4</translation>
    </message>
    <message>
        <source>Retrying S-meter at %1 MHz (%2/%3)</source>
        <translation>Nuovo tentativo S-meter a %1 MHz (%2/%3)</translation>
    </message>
    <message>
        <source>RF sweep skipped %1 MHz after %2 failed S-meter readings.</source>
        <translation>La scansione RF ha saltato %1 MHz dopo %2 letture S-meter fallite.</translation>
    </message>
    <message>
        <source>Frequency spectrum sweep stopped after %1 consecutive frequencies without S-meter readings.</source>
        <translation>Scansione RF interrotta dopo %1 frequenze consecutive senza lettura S-meter.</translation>
    </message>
    <message>
        <source>Frequency spectrum sweep completed.</source>
        <translation>Scansione RF completata.</translation>
    </message>
    <message>
        <source>Could not write RF sweep CSV %1: %2</source>
        <translation>Impossibile scrivere il CSV della scansione RF %1: %2</translation>
    </message>
    <message>
        <source> The interrupted sample could not be saved.</source>
        <translation> Il campione interrotto non è stato salvato.</translation>
    </message>
    <message>
        <source>RF spectrum report saved: %1</source>
        <translation>Report dello spettro RF salvato: %1</translation>
    </message>
    <message>
        <source>Could not write the RF spectrum HTML report: %1</source>
        <translation>Impossibile scrivere il report HTML dello spettro RF: %1</translation>
    </message>
    <message>
        <source> Could not save the HTML report. See the log in Settings.</source>
        <translation> Impossibile salvare il report HTML. Vedi il registro in Impostazioni.</translation>
    </message>
    <message>
        <source>Frequency (MHz)</source>
        <translation>Frequenza (MHz)</translation>
    </message>
    <message>
        <source>S-meter (0-255)</source>
        <translation>S-meter (0-255)</translation>
    </message>
    <message>
        <source>Started %1 | Band %2 to %3 MHz | Step %4 kHz | Mode %5 | Settling time %6 ms</source>
        <translation>Avvio %1 | Banda da %2 a %3 MHz | Passo %4 kHz | Modulazione %5 | Assestamento %6 ms</translation>
    </message>
    <message>
        <source>Receiver S-meter vs. frequency</source>
        <translation>Livello S-meter del ricevitore per frequenza</translation>
    </message>
    <message>
        <source>The S-meter is a relative receiver reading on a 0-255 scale.</source>
        <translation>L’S-meter indica il livello relativo del ricevitore su una scala da 0 a 255.</translation>
    </message>
    <message>
        <source>In AUTO, the receiver can use different filters at different frequencies.</source>
        <translation>In AUTO, il ricevitore può usare filtri diversi a seconda della frequenza.</translation>
    </message>
    <message>
        <source>The graph shows the strongest sampled reading in each plotted frequency group.</source>
        <translation>Il grafico mostra la lettura più alta di ciascun gruppo di frequenze campionate.</translation>
    </message>
    <message>
        <source>S-meter statistics</source>
        <translation>Statistiche S-meter</translation>
    </message>
    <message>
        <source>Strongest frequencies</source>
        <translation>Frequenze più forti</translation>
    </message>
    <message>
        <source>S-meter</source>
        <translation>S-meter</translation>
    </message>
    <message>
        <source>Band</source>
        <translation>Banda</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Modulazione</translation>
    </message>
    <message>
        <source>Statistics by band</source>
        <translation>Statistiche per banda</translation>
    </message>
    <message>
        <source>Coverage</source>
        <translation>Copertura</translation>
    </message>
    <message>
        <source>Strongest frequency</source>
        <translation>Frequenza più forte</translation>
    </message>
    <message>
        <source>%1 MHz (S-meter %2)</source>
        <translation>%1 MHz (S-meter %2)</translation>
    </message>
    <message>
        <source>Download all sampled frequencies (CSV)</source>
        <translation>Scarica tutte le frequenze campionate (CSV)</translation>
    </message>
    <message>
        <source>Corvin Frequency Spectrum Analyzer</source>
        <translation>Analizzatore spettro RF Corvin</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Stampa</translation>
    </message>
    <message>
        <source>%1/%2 sampled | %3 with readings | %4 without readings</source>
        <translation>%1/%2 esaminate | %3 con lettura | %4 senza lettura</translation>
    </message>
    <message>
        <source> | Peak %1 at %2 MHz</source>
        <translation> | Picco %1 a %2 MHz</translation>
    </message>
    <message>
        <source>%1 valid | %2 without readings | %3 planned</source>
        <translation>%1 valide | %2 senza lettura | %3 previste</translation>
    </message>
</context>
<context>
    <name>RfSweepPlot</name>
    <message>
        <source>Frequency (MHz)</source>
        <translation>Frequenza (MHz)</translation>
    </message>
    <message>
        <source>S-meter (0-255)</source>
        <translation>S-meter (0-255)</translation>
    </message>
</context>
<context>
    <name>RfSweepTab</name>
    <message>
        <source>Frequency spectrum sweep stopped on exit.</source>
        <translation>Scansione RF interrotta alla chiusura.</translation>
    </message>
    <message>
        <source>Open / Print HTML</source>
        <translation>Apri / Stampa HTML</translation>
    </message>
    <message>
        <source>Connect the receiver to start an RF sweep.</source>
        <translation>Connetti il ricevitore per avviare una scansione RF.</translation>
    </message>
    <message>
        <source>In AUTO, the receiver selects the mode for each frequency. The scan keeps the configured frequency step.</source>
        <translation>In AUTO, il ricevitore sceglie la modulazione per ogni frequenza. La scansione mantiene il passo di frequenza impostato.</translation>
    </message>
    <message>
        <source>Receiver mode</source>
        <translation>Modulazione del ricevitore</translation>
    </message>
    <message>
        <source>Settle time</source>
        <translation>Tempo di assestamento</translation>
    </message>
    <message>
        <source>S-meter level (0-255)</source>
        <translation>Livello S-meter (0-255)</translation>
    </message>
    <message>
        <source>Put radio and PC in standby when the scan finishes</source>
        <translation>Metti radio e PC in standby al termine della scansione</translation>
    </message>
    <message>
        <source>Applies to this run only. After the scan completes and saves its results, you have 15 seconds to cancel standby.</source>
        <translation>Vale solo per questa esecuzione. Dopo che la scansione ha completato e salvato i risultati, hai 15 secondi per annullare lo standby.</translation>
    </message>
    <message>
        <source>Start sweep</source>
        <translation>Avvia scansione</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Ferma</translation>
    </message>
    <message>
        <source>Strongest frequencies</source>
        <translation>Frequenze più forti</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>S-meter</source>
        <translation>S-meter</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Modulazione</translation>
    </message>
    <message>
        <source>Band</source>
        <translation>Banda</translation>
    </message>
    <message>
        <source>All bands</source>
        <translation>Tutte le bande</translation>
    </message>
    <message>
        <source>Cancel standby</source>
        <translation>Annulla standby</translation>
    </message>
</context>
<context>
    <name>RigServer</name>
    <message>
        <source>Network client %1 refused: %2 clients are already connected.</source>
        <translation>Client di rete %1 rifiutato: sono già connessi %2 client.</translation>
    </message>
    <message>
        <source>Network client %1 disconnected.</source>
        <translation>Client di rete %1 disconnesso.</translation>
    </message>
    <message>
        <source>Network client %1 dropped after 10 minutes without a command.</source>
        <translation>Client di rete %1 scollegato dopo 10 minuti senza comandi.</translation>
    </message>
    <message>
        <source>Network client %1 connected.</source>
        <translation>Client di rete %1 connesso.</translation>
    </message>
    <message>
        <source>Missing &quot;]&quot; in %1.</source>
        <translation>Manca &quot;]&quot; in %1.</translation>
    </message>
    <message>
        <source>Not an address and port: %1</source>
        <translation>Non è un indirizzo con porta: %1</translation>
    </message>
    <message>
        <source>Not a port number: %1</source>
        <translation>Non è un numero di porta: %1</translation>
    </message>
    <message>
        <source>Not an IP address: %1</source>
        <translation>Non è un indirizzo IP: %1</translation>
    </message>
</context>
<context>
    <name>ScanStandby</name>
    <message>
        <source>Windows could not prevent idle sleep during the scan.</source>
        <translation>Windows non ha potuto impedire la sospensione per inattività durante la scansione.</translation>
    </message>
    <message>
        <source>Windows could not release the scan&apos;s keep-awake request.</source>
        <translation>Windows non ha potuto annullare la richiesta di restare attivo.</translation>
    </message>
    <message>
        <source>Automatic standby skipped because the scan ended without complete, saved results.</source>
        <translation>Standby automatico saltato perché la scansione è terminata senza risultati completi salvati.</translation>
    </message>
    <message>
        <source>Automatic standby canceled. Results are saved.</source>
        <translation>Standby automatico annullato. I risultati sono salvati.</translation>
    </message>
    <message>
        <source>PC sleep skipped because the receiver standby command could not be sent.</source>
        <translation>Sospensione del PC saltata perché il comando di standby del ricevitore non è riuscito.</translation>
    </message>
    <message>
        <source>Scan saved. Radio disconnected. Requesting Windows sleep.</source>
        <translation>Scansione salvata. Radio disconnessa. Richiesta di sospensione a Windows.</translation>
    </message>
    <message>
        <source>Windows accepted the sleep request. Results are ready for review.</source>
        <translation>Windows ha accettato la richiesta di sospensione. I risultati sono disponibili.</translation>
    </message>
    <message>
        <source>Windows could not enter sleep (error %1). The results are saved.</source>
        <translation>Impossibile sospendere Windows (errore %1). I risultati sono salvati.</translation>
    </message>
    <message>
        <source>Radio and PC standby in %1 s.</source>
        <translation>Radio e PC in standby tra %1 s.</translation>
    </message>
</context>
<context>
    <name>SettingsPage</name>
    <message>
        <source>Open log and scan data folder</source>
        <translation>Apri la cartella del registro e dei dati</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Registro</translation>
    </message>
    <message>
        <source>Receiver connection</source>
        <translation>Connessione al ricevitore</translation>
    </message>
    <message>
        <source>Serial port</source>
        <translation>Porta seriale</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connetti</translation>
    </message>
    <message>
        <source>Put receiver in standby on disconnect</source>
        <translation>Metti il ricevitore in standby alla disconnessione</translation>
    </message>
    <message>
        <source>Send the standby command when disconnecting or closing Corvin. Press STBY on the receiver to turn it back on.</source>
        <translation>Invia il comando di standby alla disconnessione o alla chiusura di Corvin. Premi STBY sul ricevitore per riaccenderlo.</translation>
    </message>
    <message>
        <source>Frequency scan</source>
        <translation>Scansione di frequenza</translation>
    </message>
    <message>
        <source>Signal threshold</source>
        <translation>Soglia del segnale</translation>
    </message>
</context>
<context>
    <name>SignalClassification</name>
    <message>
        <source>Quiet / unmodulated</source>
        <translation>Silenzio / non modulato</translation>
    </message>
    <message>
        <source>Noise / uncertain</source>
        <translation>Rumore / incerto</translation>
    </message>
    <message>
        <source>Possible short emission</source>
        <translation>Possibile emissione breve</translation>
    </message>
    <message>
        <source>Tonal audio</source>
        <translation>Audio tonale</translation>
    </message>
    <message>
        <source>Modulated audio</source>
        <translation>Audio modulato</translation>
    </message>
</context>
<context>
    <name>SmartScan</name>
    <message>
        <source>Smart Scan stopped.</source>
        <translation>Smart Scan interrotto.</translation>
    </message>
    <message>
        <source>Smart Scan stopped because the audio input was lost.</source>
        <translation>Smart Scan interrotto perché l&apos;ingresso audio è stato perso.</translation>
    </message>
    <message>
        <source>Choose an end frequency at or above the start frequency.</source>
        <translation>Scegli una frequenza finale uguale o superiore a quella iniziale.</translation>
    </message>
    <message>
        <source>Could not start the selected audio input. See the log in Settings.</source>
        <translation>Impossibile avviare l&apos;ingresso audio selezionato. Vedi il registro in Impostazioni.</translation>
    </message>
    <message>
        <source>Could not create the scan archive %1: %2</source>
        <translation>Impossibile creare l&apos;archivio della scansione %1: %2</translation>
    </message>
    <message>
        <source>Smart Scan cannot start because the archive could not be written.</source>
        <translation>Smart Scan non può partire perché non è stato possibile scrivere l&apos;archivio.</translation>
    </message>
    <message>
        <source>Could not set the receiver mode. See the log in Settings.</source>
        <translation>Impossibile impostare il modo del ricevitore. Vedi il registro in Impostazioni.</translation>
    </message>
    <message>
        <source>Smart Scan archive: %1</source>
        <translation>Archivio Smart Scan: %1</translation>
    </message>
    <message>
        <source>Smart Scan started from %1 to %2 MHz, step %3 kHz (%4).</source>
        <translation>Smart Scan avviato da %1 a %2 MHz, passo %3 kHz (%4).</translation>
    </message>
    <message>
        <source>Smart Scan stopped because the audio input did not supply enough samples.</source>
        <translation>Smart Scan interrotto perché l&apos;ingresso audio non ha fornito abbastanza campioni.</translation>
    </message>
    <message>
        <source>Checking %1 MHz</source>
        <translation>Verifica di %1 MHz</translation>
    </message>
    <message>
        <source>Smart Scan stopped because tuning failed.</source>
        <translation>Smart Scan interrotto perché la sintonia non è riuscita.</translation>
    </message>
    <message>
        <source>Smart Scan %1 MHz: S-meter attempt %2/%3 failed. %4</source>
        <translation>Smart Scan %1 MHz: tentativo S-meter %2/%3 fallito. %4</translation>
    </message>
    <message>
        <source>Retrying S-meter at %1 MHz (%2/%3)</source>
        <translation>Nuovo tentativo S-meter a %1 MHz (%2/%3)</translation>
    </message>
    <message>
        <source>Smart Scan skipped %1 MHz after %2 failed S-meter readings.</source>
        <translation>Smart Scan ha saltato %1 MHz dopo %2 letture S-meter fallite.</translation>
    </message>
    <message>
        <source>Smart Scan %1 MHz: S-meter recovered on attempt %2/%3 (level %4).</source>
        <translation>Smart Scan %1 MHz: S-meter recuperato al tentativo %2/%3 (livello %4).</translation>
    </message>
    <message>
        <source>Smart Scan stopped because audio analysis could not start.</source>
        <translation>Smart Scan interrotto perché l&apos;analisi audio non è potuta partire.</translation>
    </message>
    <message>
        <source>Analyzing %1 MHz (S-meter %2)</source>
        <translation>Analisi di %1 MHz (S-meter %2)</translation>
    </message>
    <message>
        <source>Smart Scan stopped after %1 consecutive frequencies without an S-meter reading.</source>
        <translation>Smart Scan interrotto dopo %1 frequenze consecutive senza lettura S-meter.</translation>
    </message>
    <message>
        <source>Smart Scan complete. Skipped frequencies without an S-meter reading: %1.</source>
        <translation>Smart Scan completato. Frequenze saltate senza lettura S-meter: %1.</translation>
    </message>
    <message>
        <source>Smart Scan complete.</source>
        <translation>Smart Scan completato.</translation>
    </message>
    <message>
        <source>Could not write the scan archive: %1</source>
        <translation>Impossibile scrivere l&apos;archivio della scansione: %1</translation>
    </message>
    <message>
        <source>Smart Scan stopped because the data could not be saved.</source>
        <translation>Smart Scan interrotto perché non è stato possibile salvare i dati.</translation>
    </message>
    <message>
        <source>Could not save the interrupted measurement: %1</source>
        <translation>Impossibile salvare la misura interrotta: %1</translation>
    </message>
    <message>
        <source>Could not save the scan summary: %1</source>
        <translation>Impossibile salvare il riepilogo della scansione: %1</translation>
    </message>
    <message>
        <source>%1 Processed %2/%3 frequencies. %4.</source>
        <translation>%1 Elaborate %2/%3 frequenze. %4.</translation>
    </message>
    <message>
        <source>%1 detected | %2 quiet | %3 noise | %4 unreadable</source>
        <translation>%1 rilevati | %2 silenziosi | %3 rumore | %4 illeggibili</translation>
    </message>
    <message>
        <source>The folder could not be created.</source>
        <translation>Non è stato possibile creare la cartella.</translation>
    </message>
</context>
<context>
    <name>SmartScanResults</name>
    <message>
        <source>Frequency (MHz)</source>
        <translation>Frequenza (MHz)</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Modo</translation>
    </message>
    <message>
        <source>S-meter</source>
        <translation>S-meter</translation>
    </message>
    <message>
        <source>Audio (dBFS)</source>
        <translation>Audio (dBFS)</translation>
    </message>
    <message>
        <source>Peak (dBFS)</source>
        <translation>Picco (dBFS)</translation>
    </message>
    <message>
        <source>Quality (0-100)</source>
        <translation>Qualità (0-100)</translation>
    </message>
    <message>
        <source>Classification</source>
        <translation>Classificazione</translation>
    </message>
    <message>
        <source>Band</source>
        <translation>Banda</translation>
    </message>
</context>
<context>
    <name>SmartScanTab</name>
    <message>
        <source>Open saved scan</source>
        <translation>Apri scansione salvata</translation>
    </message>
    <message>
        <source>Scan archives (*.jsonl)</source>
        <translation>Archivi di scansione (*.jsonl)</translation>
    </message>
    <message>
        <source>In AUTO, the receiver selects the mode for each frequency. The scan keeps the configured frequency step.</source>
        <translation>In AUTO il ricevitore sceglie il modo per ogni frequenza. La scansione mantiene il passo di frequenza impostato.</translation>
    </message>
    <message>
        <source>Analyze frequencies with a receiver level at or above this value.</source>
        <translation>Analizza le frequenze con un livello del ricevitore uguale o superiore a questo valore.</translation>
    </message>
    <message>
        <source>Minimum RMS audio level in the analysis band. Lower this for a quiet Line In.</source>
        <translation>Livello audio RMS minimo nella banda di analisi. Abbassalo per un Line In debole.</translation>
    </message>
    <message>
        <source>Time spent listening for modulation at each candidate frequency.</source>
        <translation>Tempo di ascolto della modulazione su ogni frequenza candidata.</translation>
    </message>
    <message>
        <source>Receiver mode</source>
        <translation>Modo del ricevitore</translation>
    </message>
    <message>
        <source>S-meter threshold</source>
        <translation>Soglia S-meter</translation>
    </message>
    <message>
        <source>Minimum audio</source>
        <translation>Audio minimo</translation>
    </message>
    <message>
        <source>Audio analysis</source>
        <translation>Analisi audio</translation>
    </message>
    <message>
        <source>Put radio and PC in standby when the scan finishes</source>
        <translation>Metti radio e PC in standby al termine della scansione</translation>
    </message>
    <message>
        <source>Applies to this run only. After the scan completes and saves its results, you have 15 seconds to cancel standby.</source>
        <translation>Vale solo per questa esecuzione. Dopo che la scansione è terminata e ha salvato i risultati, hai 15 secondi per annullare lo standby.</translation>
    </message>
    <message>
        <source>Start scan</source>
        <translation>Avvia scansione</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Input: -</source>
        <translation>Ingresso: -</translation>
    </message>
    <message>
        <source>Set the frequency range and thresholds, then start the scan.</source>
        <translation>Imposta l&apos;intervallo di frequenze e le soglie, poi avvia la scansione.</translation>
    </message>
    <message>
        <source>0 kept</source>
        <translation>0 conservati</translation>
    </message>
    <message>
        <source>Hide Quality 0</source>
        <translation>Nascondi Qualità 0</translation>
    </message>
    <message>
        <source>Listen selected</source>
        <translation>Ascolta selezionato</translation>
    </message>
    <message>
        <source>Tune to the selected result and play it through the selected PC output.</source>
        <translation>Sintonizza il risultato selezionato e riproducilo sull&apos;uscita del PC selezionata.</translation>
    </message>
    <message>
        <source>Add to Favorites</source>
        <translation>Aggiungi ai Preferiti</translation>
    </message>
    <message>
        <source>Imports selected rows. With no selection, imports the detected signals.</source>
        <translation>Importa le righe selezionate. Senza selezione importa i segnali rilevati.</translation>
    </message>
    <message>
        <source>Could not read the scan archive %1: %2</source>
        <translation>Impossibile leggere l&apos;archivio della scansione %1: %2</translation>
    </message>
    <message>
        <source>Unsupported scan archive: %1</source>
        <translation>Archivio di scansione non supportato: %1</translation>
    </message>
    <message>
        <source>Saved scan: %1 (%2 MHz to %3 MHz)</source>
        <translation>Scansione salvata: %1 (da %2 MHz a %3 MHz)</translation>
    </message>
    <message>
        <source>Skipped %1 incomplete or invalid line(s) in %2.</source>
        <translation>Saltate %1 righe incomplete o non valide in %2.</translation>
    </message>
    <message>
        <source>The selected scan result has an invalid frequency or receiver mode.</source>
        <translation>Il risultato selezionato ha una frequenza o un modo del ricevitore non validi.</translation>
    </message>
    <message>
        <source>Listening to scan result %1 MHz (%2).</source>
        <translation>Ascolto del risultato %1 MHz (%2).</translation>
    </message>
    <message>
        <source>Tuned to scan result %1 MHz (%2). Check the audio status and the log in Settings.</source>
        <translation>Sintonizzato sul risultato %1 MHz (%2). Controlla lo stato audio e il registro in Impostazioni.</translation>
    </message>
    <message>
        <source>Favorites: %1 added, %2 updated.</source>
        <translation>Preferiti: %1 aggiunti, %2 aggiornati.</translation>
    </message>
    <message>
        <source>Could not save the Favorites file.</source>
        <translation>Impossibile salvare il file dei Preferiti.</translation>
    </message>
    <message>
        <source>Connect the receiver in Settings and select a PC audio input.</source>
        <translation>Collega il ricevitore in Impostazioni e seleziona un ingresso audio del PC.</translation>
    </message>
    <message>
        <source>Cancel standby</source>
        <translation>Annulla standby</translation>
    </message>
    <message>
        <source>Input: %1</source>
        <translation>Ingresso: %1</translation>
    </message>
</context>
<context>
    <name>SpectrogramView</name>
    <message>
        <source>Time (s)</source>
        <translation>Tempo (s)</translation>
    </message>
    <message>
        <source>Audio frequency (Hz)</source>
        <translation>Frequenza audio (Hz)</translation>
    </message>
</context>
<context>
    <name>SpectrumTab</name>
    <message>
        <source>Enable Audio spectrum to display the selected input.</source>
        <translation>Attiva Spettro audio per visualizzare l&apos;ingresso selezionato.</translation>
    </message>
    <message>
        <source>Frequency (Hz)</source>
        <translation>Frequenza (Hz)</translation>
    </message>
    <message>
        <source>Amplitude (dBFS)</source>
        <translation>Ampiezza (dBFS)</translation>
    </message>
    <message>
        <source>Save spectrum snapshot</source>
        <translation>Salva istantanea dello spettro</translation>
    </message>
    <message>
        <source>Save the current FFT as CSV and the visible waterfall as PNG.</source>
        <translation>Salva la FFT corrente come CSV e la cascata visibile come PNG.</translation>
    </message>
    <message>
        <source>Waiting for audio samples...</source>
        <translation>In attesa di campioni audio...</translation>
    </message>
    <message>
        <source>Could not save live FFT data: %1</source>
        <translation>Impossibile salvare i dati FFT in diretta: %1</translation>
    </message>
    <message>
        <source>Live FFT archive: %1</source>
        <translation>Archivio FFT in diretta: %1</translation>
    </message>
    <message>
        <source>Live FFT archive closed (%1 frames).</source>
        <translation>Archivio FFT in diretta chiuso (%1 frame).</translation>
    </message>
    <message>
        <source>Could not finish the live FFT archive: %1</source>
        <translation>Impossibile completare l&apos;archivio FFT in diretta: %1</translation>
    </message>
    <message>
        <source>Could not write the spectrum snapshot: %1</source>
        <translation>Impossibile scrivere l&apos;istantanea dello spettro: %1</translation>
    </message>
    <message>
        <source>Could not finish the spectrum snapshot: %1</source>
        <translation>Impossibile completare l&apos;istantanea dello spettro: %1</translation>
    </message>
    <message>
        <source>Spectrum saved: %1</source>
        <translation>Spettro salvato: %1</translation>
    </message>
    <message>
        <source>Waterfall saved: %1</source>
        <translation>Cascata salvata: %1</translation>
    </message>
    <message>
        <source>Could not save the waterfall image: %1</source>
        <translation>Impossibile salvare l&apos;immagine della cascata: %1</translation>
    </message>
</context>
<context>
    <name>SpectrumView</name>
    <message>
        <source>Audio frequency (Hz)</source>
        <translation>Frequenza audio (Hz)</translation>
    </message>
    <message>
        <source>Power (dBFS/bin)</source>
        <translation>Potenza (dBFS/bin)</translation>
    </message>
</context>
<context>
    <name>SyntheticPlot</name>
    <message>
        <source>RF (MHz)</source>
        <translation>RF (MHz)</translation>
    </message>
    <message>
        <source>PSD (dBFS/Hz)</source>
        <translation>PSD (dBFS/Hz)</translation>
    </message>
    <message>
        <source>Point at the trace to read frequency and relative PSD. Drag with the left button or turn the wheel to zoom. Drag with the middle button to pan. Right-click to go back one zoom step.</source>
        <translation>Punta la traccia per leggere frequenza e PSD relativa. Trascina con il tasto sinistro o ruota la rotellina per ingrandire. Trascina con il tasto centrale per spostare la vista. Clic destro per tornare indietro di un passo di zoom.</translation>
    </message>
</context>
<context>
    <name>SyntheticSpectrumCurve</name>
    <message>
        <source>USB Welch PSD</source>
        <translation>PSD Welch USB</translation>
    </message>
</context>
<context>
    <name>SyntheticSweep</name>
    <message>
        <source>Invalid range, step or FFT duration (max 2000 tunes / 500001 bins).</source>
        <translation>Intervallo, passo o durata FFT non validi (max 2000 sintonie / 500001 bin).</translation>
    </message>
    <message>
        <source>Stopped; partial data retained.</source>
        <translation>Arrestata; dati parziali conservati.</translation>
    </message>
    <message>
        <source>RF synthetic sweep stopped on exit.</source>
        <translation>Scansione RF sintetica arrestata all&apos;uscita.</translation>
    </message>
    <message>
        <source>Audio input lost.</source>
        <translation>Ingresso audio perso.</translation>
    </message>
    <message>
        <source>Audio input/channel or passband unavailable.</source>
        <translation>Ingresso/canale audio o banda non disponibile.</translation>
    </message>
    <message>
        <source>USB configuration failed.</source>
        <translation>Configurazione USB fallita.</translation>
    </message>
    <message>
        <source>Tuning failed; partial data retained.</source>
        <translation>Sintonia fallita; dati parziali conservati.</translation>
    </message>
    <message>
        <source>Tuning %1 MHz — slice %2/%3</source>
        <translation>Sintonia %1 MHz — segmento %2/%3</translation>
    </message>
    <message>
        <source>Audio timeout; partial data retained.</source>
        <translation>Timeout audio; dati parziali conservati.</translation>
    </message>
    <message>
        <source>Cannot capture audio.</source>
        <translation>Acquisizione audio non disponibile.</translation>
    </message>
    <message>
        <source>PSD computation failed.</source>
        <translation>Calcolo PSD fallito.</translation>
    </message>
    <message>
        <source>Invalid PSD segment.</source>
        <translation>Segmento PSD non valido.</translation>
    </message>
    <message>
        <source>Sweep complete.</source>
        <translation>Scansione completata.</translation>
    </message>
    <message>
        <source> %1/%2 — clip max %3% — %4 s</source>
        <translation> %1/%2 — clip max %3% — %4 s</translation>
    </message>
</context>
<context>
    <name>SyntheticTab</name>
    <message>
        <source>Start sweep</source>
        <translation>Avvia scansione</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Ferma</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Esporta CSV</translation>
    </message>
    <message>
        <source>Full view</source>
        <translation>Vista completa</translation>
    </message>
    <message>
        <source>Restore the complete frequency range and the automatic PSD scale (Home).</source>
        <translation>Ripristina l&apos;intervallo di frequenze completo e la scala PSD automatica (Home).</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aiuto</translation>
    </message>
    <message>
        <source>Connect and select the audio input in Receiver.</source>
        <translation>Collega e seleziona l&apos;ingresso audio in Ricevitore.</translation>
    </message>
    <message>
        <source>Point at the spectrum to read a bin</source>
        <translation>Punta lo spettro per leggere un bin</translation>
    </message>
    <message>
        <source>RF tuning</source>
        <translation>Sintonia RF</translation>
    </message>
    <message>
        <source> Hz</source>
        <translation> Hz</translation>
    </message>
    <message>
        <source>Use a multiple of 100 Hz no greater than the usable audio bandwidth.</source>
        <translation>Usa un multiplo di 100 Hz non superiore alla banda audio utile.</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Da</translation>
    </message>
    <message>
        <source>To</source>
        <translation>A</translation>
    </message>
    <message>
        <source>RX step</source>
        <translation>Passo RX</translation>
    </message>
    <message>
        <source>Audio and FFT</source>
        <translation>Audio e FFT</translation>
    </message>
    <message>
        <source>Lower edge of the usable USB audio passband.</source>
        <translation>Limite inferiore della banda audio USB utile.</translation>
    </message>
    <message>
        <source>Upper edge of the usable USB audio passband.</source>
        <translation>Limite superiore della banda audio USB utile.</translation>
    </message>
    <message>
        <source>Nominal FFT spacing. The Hann equivalent noise bandwidth is 1.5 times the spacing.</source>
        <translation>Spaziatura FFT nominale. La banda equivalente di rumore della finestra di Hann è 1,5 volte la spaziatura.</translation>
    </message>
    <message>
        <source>Left / mono</source>
        <translation>Sinistro / mono</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Destro</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>Raw PCM capture duration per tuning, at least one FFT window.</source>
        <translation>Durata dell&apos;acquisizione PCM grezza per sintonia, almeno una finestra FFT.</translation>
    </message>
    <message>
        <source>Wait after tuning before accepting samples. Includes a margin for the audio buffer.</source>
        <translation>Attesa dopo la sintonia prima di accettare campioni. Include un margine per il buffer audio.</translation>
    </message>
    <message>
        <source>Audio low</source>
        <translation>Audio basso</translation>
    </message>
    <message>
        <source>Audio high</source>
        <translation>Audio alto</translation>
    </message>
    <message>
        <source>FFT bin</source>
        <translation>Bin FFT</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Canale</translation>
    </message>
    <message>
        <source>Capture</source>
        <translation>Acquisizione</translation>
    </message>
    <message>
        <source>Settle</source>
        <translation>Assestamento</translation>
    </message>
    <message>
        <source>%v/%m — ETA %1 s — clip max %2%</source>
        <translation>%v/%m — ETA %1 s — clip max %2%</translation>
    </message>
    <message>
        <source>%1 MHz  ·  %2 dBFS/Hz</source>
        <translation>%1 MHz  ·  %2 dBFS/Hz</translation>
    </message>
    <message>
        <source>%1 MHz  ·  No data</source>
        <translation>%1 MHz  ·  Nessun dato</translation>
    </message>
    <message>
        <source>CSV saved: </source>
        <translation>CSV salvato: </translation>
    </message>
    <message>
        <source>CSV write failed.</source>
        <translation>Scrittura CSV fallita.</translation>
    </message>
    <message>
        <source>RF Synthetic CSV</source>
        <translation>CSV RF sintetico</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
</context>
<context>
    <name>WaterfallSettings</name>
    <message>
        <source>Audio waterfall</source>
        <translation>Cascata audio</translation>
    </message>
    <message>
        <source>Show waterfall below the spectrum</source>
        <translation>Mostra la cascata sotto lo spettro</translation>
    </message>
    <message>
        <source>Archive live FFT frames</source>
        <translation>Archivia i frame FFT in diretta</translation>
    </message>
    <message>
        <source>Save timestamped FFT data while Audio spectrum is active. Long sessions can produce large files.</source>
        <translation>Salva dati FFT con data e ora mentre Spettro audio è attivo. Le sessioni lunghe possono produrre file grandi.</translation>
    </message>
    <message>
        <source> Hz</source>
        <translation> Hz</translation>
    </message>
    <message>
        <source> dBFS</source>
        <translation> dBFS</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source> rows/s</source>
        <translation> righe/s</translation>
    </message>
    <message>
        <source> %</source>
        <translation> %</translation>
    </message>
    <message>
        <source>Ocean</source>
        <translation>Oceano</translation>
    </message>
    <message>
        <source>Heat</source>
        <translation>Calore</translation>
    </message>
    <message>
        <source>Grayscale</source>
        <translation>Scala di grigi</translation>
    </message>
    <message>
        <source>Viridis</source>
        <translation>Viridis</translation>
    </message>
    <message>
        <source>Inferno</source>
        <translation>Inferno</translation>
    </message>
    <message>
        <source>Low frequency</source>
        <translation>Frequenza bassa</translation>
    </message>
    <message>
        <source>High frequency</source>
        <translation>Frequenza alta</translation>
    </message>
    <message>
        <source>Color floor</source>
        <translation>Soglia colore inferiore</translation>
    </message>
    <message>
        <source>Color ceiling</source>
        <translation>Soglia colore superiore</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Storico</translation>
    </message>
    <message>
        <source>Update rate</source>
        <translation>Frequenza di aggiornamento</translation>
    </message>
    <message>
        <source>Display height</source>
        <translation>Altezza visualizzata</translation>
    </message>
    <message>
        <source>Palette</source>
        <translation>Tavolozza</translation>
    </message>
</context>
<context>
    <name>WaterfallWidget</name>
    <message>
        <source>Audio waterfall</source>
        <translation>Cascata audio</translation>
    </message>
    <message>
        <source>%1 dBFS</source>
        <translation>%1 dBFS</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
</context>
</TS>
