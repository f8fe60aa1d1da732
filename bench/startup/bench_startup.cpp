// Start-up benchmark: runs huellario and a bare Qt program in turn, N times
// each, and prints the ratios of their median time from process start to the
// first paint of the main window and of their resident memory at that point.
// Usage: bench_startup [runs] [platform]   (defaults: 21; xcb when DISPLAY
// is set, as a user starts it on a desktop, otherwise offscreen)
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

struct Sample {
    double milliseconds = 0;
    double kilobytes = 0;
};

qint64 monotonicNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

bool runOnce(const QString& program, const QProcessEnvironment& environment, Sample* sample)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const qint64 start = monotonicNanoseconds();
    process.start(program, {});
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(3000);
        std::fprintf(stderr, "%s: no terminó\n", qPrintable(program));
        return false;
    }
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 3 && parts[0] == "FIRSTPAINT") {
            sample->milliseconds = (parts[1].toLongLong() - start) / 1e6;
            sample->kilobytes = parts[2].toDouble();
            return true;
        }
    }
    std::fprintf(stderr, "%s: no marcó el primer pintado (salida %d)\n%s\n", qPrintable(program),
        process.exitCode(), process.readAllStandardError().constData());
    return false;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int runs = args.size() > 1 ? std::max(1, args[1].toInt()) : 21;
    const QString platform = args.size() > 2     ? args[2]
        : qEnvironmentVariableIsEmpty("DISPLAY") ? QStringLiteral("offscreen")
                                                 : QStringLiteral("xcb");
    const QString bin = QStringLiteral(HLR_BENCH_BIN_DIR);

    QTemporaryDir scratch;
    const QString aliases = scratch.filePath(QStringLiteral("aliases.conf"));
    QProcess setup;
    setup.start(bin + QStringLiteral("/huellario-setup"),
        { QStringLiteral("--dir"), scratch.filePath(QStringLiteral("datos")), QStringLiteral("--aliases"),
            aliases });
    if (!setup.waitForFinished(30000) || setup.exitCode() != 0) {
        std::fprintf(stderr, "huellario-setup falló: %s\n", setup.readAllStandardError().constData());
        return 1;
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(HLR_BENCH_PLUGIN_DIR));
    environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("firstpaint"));
    environment.insert(QStringLiteral("HLR_FIRSTPAINT_QUIT"), QStringLiteral("1"));
    environment.insert(QStringLiteral("HLR_ALIASES"), aliases);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), scratch.path());

    const QString bare = bin + QStringLiteral("/bench_startup_bare");
    const QString real = bin + QStringLiteral("/huellario");
    Sample sample;
    // One unmeasured run of each fills the file cache.
    if (!runOnce(bare, environment, &sample) || !runOnce(real, environment, &sample))
        return 1;
    QProcessEnvironment withText = environment;
    withText.insert(QStringLiteral("HLR_BARE_TEXT"), QStringLiteral("1"));
    std::vector<double> bareTimes, realTimes, bareMemory, realMemory, textTimes, textMemory;
    for (int run = 0; run < runs; ++run) {
        if (!runOnce(bare, environment, &sample))
            return 1;
        bareTimes.push_back(sample.milliseconds);
        bareMemory.push_back(sample.kilobytes);
        if (!runOnce(bare, withText, &sample))
            return 1;
        textTimes.push_back(sample.milliseconds);
        textMemory.push_back(sample.kilobytes);
        if (!runOnce(real, environment, &sample))
            return 1;
        realTimes.push_back(sample.milliseconds);
        realMemory.push_back(sample.kilobytes);
    }
    const double timeRatio = median(realTimes) / median(bareTimes);
    const double memoryRatio = median(realMemory) / median(bareMemory);
    std::printf("plataforma %s, %d ejecuciones de cada programa (medianas)\n", qPrintable(platform), runs);
    std::printf("primer pintado: huellario %.1f ms, ventana vacía %.1f ms, razón %.2f\n", median(realTimes),
        median(bareTimes), timeRatio);
    std::printf("memoria residente: huellario %.0f KiB, ventana vacía %.0f KiB, razón %.2f\n",
        median(realMemory), median(bareMemory), memoryRatio);
    // The same window with one line of text pays for loading the fonts, as
    // any window that shows text must: the cost of Qt's text alone.
    std::printf(
        "ventana con una línea de texto (%.1f ms, %.0f KiB): huellario %.2f en tiempo y %.2f en memoria; "
        "la línea sola cuesta %.2f y %.2f de la ventana vacía\n",
        median(textTimes), median(textMemory), median(realTimes) / median(textTimes),
        median(realMemory) / median(textMemory), median(textTimes) / median(bareTimes),
        median(textMemory) / median(bareMemory));
    return 0;
}
