#pragma once

// The offline pulse and band analyzer: reads one WAV recording in bounded blocks and finds the
// audio bands that stand out, the pulses in them and the periodic pulse trains they form.
//
// analyzeWav runs on the caller's thread (it spreads independent work over the cores itself),
// reads the cancellation flag only, and calls progress on the caller's thread with
// (percent, text). Every failure raises std::runtime_error (or the primitives' errors) with a
// fixed English message; nothing partial is returned.

#include "analysisresult.h"

#include <atomic>
#include <functional>
#include <string>

namespace NativeWav {

using AnalysisProgress = std::function<void(int percent, const std::string &text)>;

Result analyzeWav(const AnalysisRequest &request, const std::atomic<bool> &cancel,
                  const AnalysisProgress &progress = {});

} // namespace NativeWav
