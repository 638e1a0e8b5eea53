#pragma once

// Every key of the settings store (organization "Brevallo", application "Corvin").
// A key is a group and a name separated by a slash. Keys of numeric controls are a group
// prefix followed by the control's object name, built at run time from the *Prefix
// constants. The defaults noted here are applied by the owners when they read a key.
namespace SettingsKeys {

constexpr const char *organization = "Brevallo";
constexpr const char *application = "Corvin";

// Start-up and language: "en" or "it", default "en".
constexpr const char *language = "Language";

// Receiver panel.
constexpr const char *frequency = "Frequency";                     // Hz, default 89100000
constexpr const char *modulation = "Modulation";                   // mode code 0-9, clamped
constexpr const char *step = "Step";                               // step list index, clamped
constexpr const char *serialPort = "SerialPort";                   // port name, default empty
constexpr const char *scanThreshold = "ScanThreshold";             // 0-255, default 18
constexpr const char *standbyOnDisconnect = "StandbyOnDisconnect"; // bool, default false

// Sharing the receiver with other programs (rigctld network protocol) and the serial trace.
constexpr const char *shareEnabled = "Share/Enabled";        // bool, default false
constexpr const char *shareAddress = "Share/Address";        // listen address, "127.0.0.1"
constexpr const char *sharePort = "Share/Port";              // TCP port, default 4532
constexpr const char *logSerialTraffic = "LogSerialTraffic"; // bool, default false

// PC audio.
constexpr const char *audioInput = "Audio/Input";
constexpr const char *audioOutput = "Audio/Output";
constexpr const char *audioFilterPreset = "Audio/FilterPreset"; // index, clamped
constexpr const char *audioVolume = "Audio/Volume";             // percent, default 55
constexpr const char *audioWavChannel = "Audio/WavChannel";     // 0 left/mono, 1 right

// Live spectrum waterfall: prefix + object name of waterfallLowHz, waterfallHighHz,
// waterfallLowDb, waterfallHighDb, waterfallSeconds, waterfallRate, waterfallHeight.
constexpr const char *waterfallPrefix = "Waterfall/";
constexpr const char *waterfallPalette = "Waterfall/Palette";               // index, clamped
constexpr const char *waterfallEnabled = "Waterfall/Enabled";               // default true
constexpr const char *waterfallArchiveLiveFft = "Waterfall/ArchiveLiveFft"; // default true

// Smart Scan: prefix + object name of smartStartMHz, smartEndMHz, smartStepKHz (real) and
// smartSignalLevel, smartAudioLevel, smartDurationMs (integer).
constexpr const char *smartScanPrefix = "SmartScan/";
constexpr const char *smartScanMode = "SmartScan/Mode";
constexpr const char *smartScanHideZeroQuality = "SmartScan/HideZeroQuality";
constexpr const char *smartScanShowRejected = "SmartScan/ShowRejected"; // read only
constexpr const char *smartScanLastArchive = "SmartScan/LastArchive";

// RF sweep: prefix + object name of rfStartMHz, rfEndMHz, rfStepKHz (88, 108, 100).
constexpr const char *rfSweepPrefix = "RfSweep/";
constexpr const char *rfSweepMode = "RfSweep/Mode";
constexpr const char *rfSweepSettleMs = "RfSweep/SettleMs"; // ms, default 140

// RX band scope.
constexpr const char *bandScopeCenterMHz = "BandScope/CenterMHz";       // default 4.65
constexpr const char *bandScopeSpan = "BandScope/Span";                 // code 1-7, default 7
constexpr const char *bandScopeHistoryDepth = "BandScope/HistoryDepth"; // 8-256, default 64

// RF synthetic spectrum.
constexpr const char *syntheticStart = "Synthetic/Start";       // MHz, default 4.6
constexpr const char *syntheticEnd = "Synthetic/End";           // MHz, default 4.7
constexpr const char *syntheticStep = "Synthetic/Step";         // Hz, default 1000
constexpr const char *syntheticLow = "Synthetic/Low";           // Hz, default 300
constexpr const char *syntheticHigh = "Synthetic/High";         // Hz, default 2300
constexpr const char *syntheticBin = "Synthetic/Bin";           // Hz, default 5
constexpr const char *syntheticDuration = "Synthetic/Duration"; // ms, default 1000
constexpr const char *syntheticSettle = "Synthetic/Settle";     // ms, default 350

// Offline DSP analysis.
constexpr const char *dspChannel = "DSP/Channel";   // default 0
constexpr const char *dspContrast = "DSP/Contrast"; // default 12
constexpr const char *dspLowHz = "DSP/LowHz";       // default 80
constexpr const char *dspHighHz = "DSP/HighHz";     // default 6000
constexpr const char *dspLastWav = "DSP/LastWav";
constexpr const char *dspLastReport = "DSP/LastReport";

// Anomaly detection.
constexpr const char *anomalyMonitor = "Anomaly/Monitor";                        // default true
constexpr const char *anomalyLowHz = "Anomaly/LowHz";                            // default 80
constexpr const char *anomalyHighHz = "Anomaly/HighHz";                          // default 6000
constexpr const char *anomalyPre = "Anomaly/Pre";                                // s, default 15
constexpr const char *anomalyPost = "Anomaly/Post";                              // s, default 20
constexpr const char *anomalyDecisionLearn = "Anomaly/Decision/Learn";           // default 60
constexpr const char *anomalyDecisionConfirm = "Anomaly/Decision/Confirm";       // default 3
constexpr const char *anomalyDecisionRelease = "Anomaly/Decision/Release";       // default 8
constexpr const char *anomalyDecisionCooldown = "Anomaly/Decision/Cooldown";     // s, default 30
constexpr const char *anomalyDecisionCaptureEnd = "Anomaly/Decision/CaptureEnd"; // false
// Per metric: prefix + metric key + "/" + one of the suffixes below.
constexpr const char *anomalyDecisionPrefix = "Anomaly/Decision/";
constexpr const char *anomalyMetricEnabled = "Enabled";
constexpr const char *anomalyMetricZ = "Z";
constexpr const char *anomalyMetricFloor = "Floor";
constexpr const char *anomalyMetricAbsolute = "Absolute";

// Listening location (latitude and longitude absent = no location).
constexpr const char *locationName = "Location/Name";
constexpr const char *locationLatitude = "Location/Latitude";
constexpr const char *locationLongitude = "Location/Longitude";

// Greyline map.
constexpr const char *greylineLow = "Greyline/Low";     // default -6
constexpr const char *greylineHigh = "Greyline/High";   // default 3
constexpr const char *greylineHasDx = "Greyline/HasDX"; // default false
constexpr const char *greylineDxLat = "Greyline/DXLat"; // default 0
constexpr const char *greylineDxLon = "Greyline/DXLon"; // default 0

} // namespace SettingsKeys
