// Saves and reopens a project of 300 columns many times and prints the medians.
#include "foundation/errorhandler.h"
#include "project/projectfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace ordwick;

namespace {

Project largeProject(int columnCount) {
    Project p;
    p.DatabaseName = QStringLiteral("/data/warehouse.db");
    p.TableName = QStringLiteral("Inventory");
    QString sql = QStringLiteral("SELECT ");
    for (int i = 0; i < columnCount; ++i) {
        ColumnSettings c;
        c.ColumnName = QStringLiteral("Column_%1").arg(i);
        c.DataType = 1 + i % 8;
        c.Position = i + 1;
        c.ListCaption = c.EditCaption = QStringLiteral("Caption of column %1").arg(i);
        c.MaxLength = 50;
        p.Columns.push_back(c);
        sql += c.ColumnName + (i + 1 < columnCount ? QStringLiteral(", ") : QStringLiteral(" "));
        p.Rename.append(QStringLiteral("page_%1.asp;page_%1.asp").arg(i % 12));
    }
    p.SQLString = sql + QStringLiteral("FROM Inventory");
    p.UniqueKey = {QStringLiteral("Column_0")};
    return p;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    constexpr int kRuns = 31;
    constexpr int kColumns = 300;
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("bench.pjx"));
    const Project project = largeProject(kColumns);

    std::vector<double> saves;
    std::vector<double> opens;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        saveProjectFile(file, project, 10);
        saves.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        Project loaded;
        timer.restart();
        readProjectFile(file, loaded);
        opens.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (!(loaded == project)) {
            std::fprintf(stderr, "reopened project differs from the saved one\n");
            return 1;
        }
    }
    std::printf("project of %d columns, %d runs\n", kColumns, kRuns);
    std::printf("save median: %.2f ms\nopen median: %.2f ms\n", median(saves), median(opens));
    return 0;
}
