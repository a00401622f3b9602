// Runs every fuzz target over its committed inputs without libFuzzer: the
// seed corpus and every input that ever failed (fuzz/regressions), so the
// normal build keeps them passing.
//
//   fuzz_replay FUZZ_DIR [TARGET]
#include "fuzz/support.h"
#include "fuzz/targets.h"

#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

int replayFolder(const ordwick::fuzz::Target& target, const QString& folder) {
    const QDir dir(folder);
    int count = 0;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        if (name.startsWith(QLatin1Char('.')) || name == QLatin1String("README.md"))
            continue;
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qUtf8Printable(file.fileName()));
            std::exit(1);
        }
        std::fprintf(stderr, "%s: %s\n", target.name, qUtf8Printable(file.fileName()));
        target.run(file.readAll());
        ++count;
    }
    return count;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_replay FUZZ_DIR [TARGET]\n");
        return 2;
    }
    ordwick::fuzz::initialize();
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    int inputs = 0;
    bool known = only.isEmpty();
    for (const ordwick::fuzz::Target& target : ordwick::fuzz::targets()) {
        if (!only.isEmpty() && only != QLatin1String(target.name))
            continue;
        known = true;
        inputs +=
            replayFolder(target, root + QStringLiteral("/corpus/") + QLatin1String(target.name));
        inputs += replayFolder(target,
                               root + QStringLiteral("/regressions/") + QLatin1String(target.name));
    }
    if (!known) {
        std::fprintf(stderr, "no fuzz target %s\n", argv[2]);
        return 2;
    }
    std::printf("replayed %d inputs\n", inputs);
    return inputs > 0 ? 0 : 1;
}
