// libFuzzer target: imports arbitrary bytes as a CHIRP CSV file. Every favourite it adds must be
// inside the receiver's range, new, and counted; exporting the added favourites and importing
// them again must give the same frequencies and modes. Built by scripts/fuzz-favorites.

#include "chirpcsv.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QVector<Favorite> existing = {{145500000, "Held", "NFM", {}}};
    const QByteArray csv(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const ChirpCsv::ImportResult result = ChirpCsv::importFavorites(csv, existing);
    if (!result.ok)
        return 0;
    for (const Favorite &favorite : result.added) {
        if (favorite.frequency < 100000 || favorite.frequency > 3000000000LL)
            std::abort();
        if (favorite.frequency == 145500000 && favorite.mode == QLatin1String("NFM"))
            std::abort();
    }
    const ChirpCsv::ImportResult again =
        ChirpCsv::importFavorites(ChirpCsv::exportFavorites(result.added), {});
    if (!again.ok || again.added.size() != result.added.size())
        std::abort();
    for (int i = 0; i < again.added.size(); ++i) {
        if (again.added[i].frequency != result.added[i].frequency ||
            again.added[i].mode != result.added[i].mode)
            std::abort();
    }
    return 0;
}
