<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it">
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
    <name>Corvin</name>
    <message>
        <source>Corvin Remote</source>
        <translation>Corvin Remote</translation>
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
        <source>Could not create the DSP report folder: %1</source>
        <translation>Impossibile creare la cartella del report DSP: %1</translation>
    </message>
    <message>
        <source>Could not create the DSP working directory.</source>
        <translation>Impossibile creare la cartella di lavoro DSP.</translation>
    </message>
    <message>
        <source>Analyzing WAV: %1</source>
        <translation>Analisi del WAV: %1</translation>
    </message>
    <message>
        <source>Writing HTML, SVG/PNG, CSV, JSON and filtered WAV...</source>
        <translation>Scrittura di HTML, SVG/PNG, CSV, JSON e WAV filtrati...</translation>
    </message>
    <message>
        <source>Native DSP analysis failed: %1</source>
        <translation>Analisi DSP nativa non riuscita: %1</translation>
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
</TS>
