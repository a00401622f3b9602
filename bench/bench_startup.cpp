// Starts ordwick ten times and prints the median time from launch to the main
// window shown. Usage: bench_startup PATH/TO/ordwick [runs]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: bench_startup PATH/TO/ordwick [runs]\n");
        return 2;
    }
    const int runs = arguments.size() > 2 ? arguments.at(2).toInt() : 10;
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    if (!environment.contains(QStringLiteral("DISPLAY")) &&
        !environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        process.setProcessEnvironment(environment);
        QElapsedTimer timer;
        timer.start();
        process.start(arguments.at(1), {QStringLiteral("--report-shown")});
        if (!process.waitForReadyRead(10000) || !process.readAll().startsWith("shown")) {
            std::fprintf(stderr, "ordwick did not report its window\n");
            return 1;
        }
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        process.waitForFinished(5000);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "start-up to window shown, %d runs (platform %s)\nmedian: %.1f ms  min: %.1f ms  "
        "max: %.1f ms\n",
        runs,
        qPrintable(environment.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"))),
        times[times.size() / 2], times.front(), times.back());
    return 0;
}
