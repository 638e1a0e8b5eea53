#pragma once

// The Italian HTML page of the analysis report.

#include "analysisresult.h"

#include <QString>

namespace NativeWav {

// The whole page; clipBlocks holds the listening-clip blocks (empty: no clips section).
QString composeReportPage(const Result &result, const QString &wavFileName, const QString &sha256,
                          const QString &clipBlocks);

} // namespace NativeWav
