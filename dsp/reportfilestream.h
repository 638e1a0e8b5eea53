#pragma once

// A report text file written through a save-file in pieces of about 1 MiB, so that files with
// many rows need little memory; the target is replaced only when commit() succeeds, and a
// stream destroyed without commit leaves the target untouched.
// Throws "Could not write report file" (open), "Report write failed" (short write) and
// "Could not commit report file" (commit).

#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace NativeWav {

class ReportFileStream
{
public:
    explicit ReportFileStream(const QString &path);

    void append(const QString &text);
    void commit();

private:
    void flush();

    QSaveFile m_file;
    QByteArray m_buffer;
};

} // namespace NativeWav
