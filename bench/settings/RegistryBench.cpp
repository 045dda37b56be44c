// The start-up cost of a large settings file: a generated file of one key holding
// VESKOR_BENCH_VALUES values (default 50,000, about 4 MB), read back whole through the
// registry store as the window-state and column-layout stores do, and one value written
// into it. Every iteration sees a freshly written file, so the file is parsed each time.
#include "platform/registry/RegApi.h"
#include "platform/registry/RegPaths.h"
#include "settings/RegStorage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString kKey = QStringLiteral("Software\\Ormelin\\veskor");

int Values()
{
    const QByteArray text = qgetenv("VESKOR_BENCH_VALUES");
    return text.isEmpty() ? 50000 : text.toInt();
}

// A third each of integers, texts and binary column layouts, named so that no two names
// share a long common prefix with their neighbours in file order.
QByteArray SettingsText(int count)
{
    QByteArray text = "Windows Registry Editor Version 5.00\n\n"
                      "[HKEY_CURRENT_USER\\Software\\Ormelin\\veskor]\n";
    for (int i = 0; i < count; ++i) {
        const QByteArray name
            = "\"" + QByteArray::number((i * 7919) % count) + ".MainForm.Value\"=";
        switch (i % 3) {
        case 0:
            text += name + "dword:" + QByteArray::number(i, 16).rightJustified(8, '0') + "\n";
            break;
        case 1:
            text += name + "\"C:\\\\Журналы\\\\архив " + QByteArray::number(i) + ".mdb\"\n";
            break;
        default:
            text += name
                + "hex:0e,00,00,00,64,00,00,00,c8,00,00,00,2c,01,00,00,90,01,\\\n"
                  "  00,00,01,00,00,00,20,03,00,00,58,02,00,00\n";
            break;
        }
    }
    return text + "\n";
}

class TSettingsFile {
public:
    TSettingsFile()
        : fText(SettingsText(Values()))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(fDir.filePath("config")));
        SetRegDataDir(fDir.filePath("program"));
        QDir().mkpath(QFileInfo(RegRootFile(HKEY_CURRENT_USER)).absolutePath());
    }

    void Rewrite() const
    {
        QFile file(RegRootFile(HKEY_CURRENT_USER));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(fText);
    }
    qsizetype Size() const { return fText.size(); }

private:
    QTemporaryDir fDir;
    QByteArray fText;
};

void BM_ReadEveryValue(benchmark::State& state)
{
    const TSettingsFile settings;
    int64_t read = 0;
    for (auto _ : state) {
        state.PauseTiming();
        settings.Rewrite();
        state.ResumeTiming();
        TRegStorage store;
        store.SetRootKey(HKEY_CURRENT_USER);
        if (!store.OpenKey(kKey, false)) {
            state.SkipWithError("the settings file was not accepted");
            return;
        }
        QStringList names;
        store.GetValueNames(names);
        for (const QString& name : names) {
            switch (store.GetDataType(name)) {
            case rdInteger:
                benchmark::DoNotOptimize(store.ReadIntegerDef(name, 0));
                break;
            case rdString:
                benchmark::DoNotOptimize(store.ReadString(name));
                break;
            default: {
                uint8_t buf[64];
                uint32_t size = sizeof buf;
                benchmark::DoNotOptimize(store.ReadBinary(name, size, buf));
            }
            }
        }
        read += names.size();
    }
    state.counters["values"] = Values();
    state.counters["bytes"] = double(settings.Size());
    state.counters["reads"] = benchmark::Counter(double(read), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadEveryValue)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_WriteOneValue(benchmark::State& state)
{
    const TSettingsFile settings;
    settings.Rewrite();
    int32_t n = 0;
    for (auto _ : state) {
        TRegStorage store;
        store.SetRootKey(HKEY_CURRENT_USER);
        store.SetAccess(int32_t(KEY_WRITE));
        if (!store.OpenKey(kKey, false) || !store.WriteInteger(QStringLiteral("Counter"), ++n)) {
            state.SkipWithError("the value was not written");
            return;
        }
    }
    state.counters["values"] = Values();
}
BENCHMARK(BM_WriteOneValue)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();
