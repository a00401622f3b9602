// Generates the whole site of a 100-column table many times through the
// program's engine binding and prints the medians. Usage:
//   bench_engine [LIBRARY]   (default: the engine of the build, lib/<multiarch>/tessaline)
#include "foundation/runtimeerror.h"
#include "generation/enginebinding.h"
#include "project/projectfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

using namespace ordwick;

namespace {

constexpr int kColumns = 100;
constexpr int kRuns = 21;

// A real database whose table has the columns, so the engine's query checks
// run as they would for a user.
bool makeDatabase(const QString& path) {
    QString sql = QStringLiteral("CREATE TABLE Inventory (Column_0 INTEGER PRIMARY KEY");
    for (int i = 1; i < kColumns; ++i) {
        static const char* const types[] = {"INTEGER", "DOUBLE",  "REAL",          "VARCHAR(50)",
                                            "TEXT",    "BOOLEAN", "NUMERIC(10,2)", "DATETIME"};
        sql += QStringLiteral(", Column_%1 %2").arg(i).arg(QLatin1String(types[i % 8]));
    }
    sql += QStringLiteral(")");
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return false;
    const bool ok =
        sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

Project largeProject(const QString& database, const QString& destination) {
    Project p;
    p.DatasourceType = 7;
    p.DatabaseName = database;
    p.ConnectionString = QStringLiteral("Driver={SQLite3}; Database=") + database;
    p.TableName = QStringLiteral("Inventory");
    p.EnableAppend = p.EditAs = p.EnableDelete = true;
    p.AdvancedSearch = p.InitialSort = p.RecordsPerPage = true;
    p.PrinterFriendlyVersion = p.ExportOption = true;
    p.LoginPage = true;
    p.CodeLoginName = QStringLiteral("admin");
    p.CodeLoginPassword = QStringLiteral("secret");
    p.ShowMoreLink = true;
    p.UniqueKey = {QStringLiteral("Column_0")};
    p.DestinationPath = destination;
    for (int i = 0; i < kColumns; ++i) {
        ColumnSettings c;
        c.ColumnName = QStringLiteral("Column_%1").arg(i);
        c.DataType = 1 + i % 8;
        c.Position = i + 1;
        c.ListCaption = c.EditCaption = QStringLiteral("Caption of column %1").arg(i);
        c.MaxLength = 50;
        c.EditType = i % 10;
        c.ValidationType = i % 9;
        if (c.EditType == 5 || c.EditType == 8)
            c.Details = QStringLiteral("One, Two, Three");
        else if (c.EditType == 7)
            c.Details = QString::number(i % 3);
        p.Columns.push_back(c);
    }
    return p;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Series {
    std::vector<double> generating; // Generate alone
    std::vector<double> whole;      // loading the engine, Generate, unloading
    qsizetype files = 0;
    int failures = 0;
};

// Generates the site into `siteRoot` kRuns times, one engine object per run
// as the program makes them.
Series measure(const QString& library, const QString& project, const QString& app,
               const QString& siteRoot) {
    Series series;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        {
            GenerationEngine engine(library);
            QObject::connect(&engine, &GenerationEngine::failureReported,
                             [&](const QString& m, const QString& d, int) {
                                 ++series.failures;
                                 std::fprintf(stderr, "%s: %s\n", qPrintable(m), qPrintable(d));
                             });
            engine.setProjectFilePath(project);
            engine.setApplicationPath(app);
            QElapsedTimer generate;
            generate.start();
            engine.generate();
            series.generating.push_back(static_cast<double>(generate.nsecsElapsed()) / 1e6);
        }
        series.whole.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    QDirIterator it(siteRoot, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++series.files;
    }
    return series;
}

void print(const char* where, const Series& s) {
    std::printf("%s: %lld files\n", where, static_cast<long long>(s.files));
    std::printf("  Generate:               median %7.2f ms (min %.2f, max %.2f)\n",
                median(s.generating), *std::min_element(s.generating.begin(), s.generating.end()),
                *std::max_element(s.generating.begin(), s.generating.end()));
    std::printf("  load + Generate + unload: median %7.2f ms\n", median(s.whole));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QString library =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : GenerationEngine::defaultLibraryPath();
    QTemporaryDir folder;
    const QString database = folder.filePath(QStringLiteral("inventory.db"));
    if (!makeDatabase(database)) {
        std::fprintf(stderr, "cannot create the benchmark database\n");
        return 1;
    }
    const QString app = folder.filePath(QStringLiteral("app"));
    QDir().mkpath(app + QStringLiteral("/template"));
    std::printf("site of a %d-column table, every feature on, %d runs each\n", kColumns, kRuns);
    int failures = 0;
    try {
        // On disk every file is written whole and flushed (writeFileAtomically),
        // so this series is bound by the disk's flush time.
        const QString disk = folder.filePath(QStringLiteral("site"));
        const QString diskProject = folder.filePath(QStringLiteral("disk.pjx"));
        saveProjectFile(diskProject, largeProject(database, disk), 10);
        const Series onDisk = measure(library, diskProject, app, disk);
        print("destination on disk", onDisk);
        failures += onDisk.failures;
        // In memory the flush costs nothing: what is left is the engine's own work.
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
            QTemporaryDir memory(QStringLiteral("/dev/shm/bench_engine-XXXXXX"));
            const QString site = memory.filePath(QStringLiteral("site"));
            const QString memoryProject = folder.filePath(QStringLiteral("memory.pjx"));
            saveProjectFile(memoryProject, largeProject(database, site), 10);
            const Series inMemory = measure(library, memoryProject, app, site);
            print("destination in memory (tmpfs)", inMemory);
            failures += inMemory.failures;
        }
    } catch (const RuntimeError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description()));
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
