#pragma once

#include <QJsonObject>
#include <QTableWidget>

// Smart Scan's results table ("smartResults"): one row per analysed frequency, eight columns
// from "Frequency (MHz)" to "Band". The first cell carries the detected flag (Qt::UserRole) and
// the favourite attribute object of the record (Qt::UserRole + 1). GUI thread.
class SmartScanResults : public QTableWidget
{
    Q_OBJECT

public:
    enum Column { Frequency, Mode, SMeter, Audio, Peak, Quality, Classification, Band, Count };
    static constexpr int detectedRole = Qt::UserRole;
    static constexpr int attributesRole = Qt::UserRole + 1;

    explicit SmartScanResults(QWidget *parent = nullptr);

    // Appends the row of an archived record of an analysed outcome; the record's "mode", or
    // fallbackMode when it has none. Hidden at once when hideZeroQuality and the quality is 0.
    void addResult(const QJsonObject &record, const QString &fallbackMode, bool hideZeroQuality);
    // Replaces every row with the rows of records (as addResult), sizing the columns once.
    void setResults(const QVector<QJsonObject> &records, const QString &fallbackMode,
                    bool hideZeroQuality);
    // Hides every row of quality 0, or shows every row.
    void hideZeroQuality(bool hide);

    // Rows that are shown and selected, in table order.
    QList<int> visibleSelectedRows() const;
    bool isDetected(int row) const;
    QJsonObject attributesAt(int row) const;
    // The row's frequency in MHz as its text reads (NaN when it is not a number).
    double megahertzAt(int row) const;
    QString modeAt(int row) const;

private:
    void fillRow(int row, const QJsonObject &record, const QString &fallbackMode,
                 bool hideZeroQuality);
    void setColumnsFollowContents(bool follow);
    bool hasZeroQuality(int row) const;
};
