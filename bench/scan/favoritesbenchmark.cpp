// corvin-bench-favorites: the favourites file with 10 000 favourites: loading it, saving it
// over itself, and "one add" (a row appended to the Favorites list and the file saved, as every
// change does). The targets are below 200 ms each.
#include "favoritesfile.h"
#include "favoritestable.h"
#include "preferences.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

namespace {

constexpr int favoritesCount = 10000;

QVector<Favorite> favorites()
{
    QVector<Favorite> list;
    for (int i = 0; i < favoritesCount; ++i) {
        list.append({144000000 + i * 12500LL,
                     QStringLiteral("Station %1").arg(i),
                     "NFM",
                     {{"s_meter", QString::number(i % 256)},
                      {"dbfs_rms", "-23.0"},
                      {"dbfs_peak", "-20.5"},
                      {"quality", "87"},
                      {"classification", "Modulated audio"},
                      {"discovered_utc", "2024-03-05T14:07:09.123Z"},
                      {"observed_utc", "2024-03-05T14:07:09.123Z"},
                      {"notes", "a note"}}});
    }
    return list;
}

struct File
{
    File()
    {
        QString error;
        FavoritesFile::save(path, favorites(), &error);
    }
    QTemporaryDir dir;
    QString path = dir.filePath("sys/favorites.xml");
};

void loadFile(benchmark::State &state)
{
    File file;
    for (auto _ : state) {
        const FavoritesFile::LoadResult loaded = FavoritesFile::load(file.path, {});
        benchmark::DoNotOptimize(loaded.favorites.size());
    }
}

void readPreferences(benchmark::State &state)
{
    File file;
    for (auto _ : state) {
        Preferences preferences(file.path, "favorites", "0.0.1");
        preferences.readData();
        preferences.setModified(false);
    }
}

void saveFile(benchmark::State &state)
{
    File file;
    const QVector<Favorite> list = favorites();
    QString error;
    for (auto _ : state)
        benchmark::DoNotOptimize(FavoritesFile::save(file.path, list, &error));
}

// What "Add current frequency", an edit or a delete costs: the table read back and saved.
void addOne(benchmark::State &state)
{
    File file;
    FavoritesTable table;
    table.setFavorites(FavoritesFile::load(file.path, {}).favorites);
    QString error;
    for (auto _ : state) {
        table.addFavoriteRow(145500000, "New", "NFM", {{"s_meter", "40"}});
        benchmark::DoNotOptimize(FavoritesFile::save(file.path, table.favorites(), &error));
        state.PauseTiming();
        table.removeRow(table.rowCount() - 1);
        state.ResumeTiming();
    }
}

void fillTable(benchmark::State &state)
{
    const QVector<Favorite> list = favorites();
    for (auto _ : state) {
        FavoritesTable table;
        table.setFavorites(list);
    }
}

} // namespace

BENCHMARK(readPreferences)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(loadFile)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(saveFile)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(fillTable)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(addOne)->Unit(benchmark::kMillisecond)->Iterations(7);

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
