#pragma once

// Splits independent work over the machine's cores. Results stay identical to a sequential run
// because every part writes only its own outputs; callers combine them in a fixed order.

#include <cstddef>
#include <functional>

namespace NativeWav {

// Number of threads used for independent work (1 ... 4).
std::size_t parallelWorkers();

// Calls work(begin, end, part) for contiguous ranges covering 0 ... count - 1, one range per
// part, on up to parallelWorkers() threads (part 0 on the calling thread). Waits for all parts;
// the first exception, in part order, is rethrown.
void parallelRanges(
    std::size_t count,
    const std::function<void(std::size_t begin, std::size_t end, std::size_t part)> &work);

} // namespace NativeWav
