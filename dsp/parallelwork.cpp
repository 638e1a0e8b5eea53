#include "parallelwork.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace NativeWav {

std::size_t parallelWorkers()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp<std::size_t>(cores, 1, 4);
}

void parallelRanges(std::size_t count,
                    const std::function<void(std::size_t, std::size_t, std::size_t)> &work)
{
    const std::size_t parts = std::max<std::size_t>(std::min(parallelWorkers(), count), 1);
    std::vector<std::exception_ptr> errors(parts);
    auto runPart = [&](std::size_t part) {
        const std::size_t begin = count * part / parts;
        const std::size_t end = count * (part + 1) / parts;
        try {
            work(begin, end, part);
        } catch (...) {
            errors[part] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(parts - 1);
    for (std::size_t part = 1; part < parts; ++part)
        threads.emplace_back(runPart, part);
    runPart(0);
    for (std::thread &thread : threads)
        thread.join();
    for (const std::exception_ptr &error : errors) {
        if (error)
            std::rethrow_exception(error);
    }
}

} // namespace NativeWav
