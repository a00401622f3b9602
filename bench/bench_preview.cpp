// The preview host under load: requests per second and median latency of a
// generated list page (20 rows of the sample database) with 4 clients at
// once, and the time of the first request after the page changed on disk.
// Usage: bench_preview [REQUESTS_PER_CLIENT]   (default 250)
#include "preview/previewhost.h"
#include "previewtesting.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <thread>
#include <vector>

using namespace previewtest;

namespace {

constexpr int kClients = 4;
constexpr int kChanges = 15;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

bool addCustomers(const QString& database, int count) {
    sqlite3* db = nullptr;
    if (sqlite3_open(database.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    bool ok = true;
    for (int i = 1; i <= count && ok; ++i) {
        const QByteArray sql = QStringLiteral("INSERT INTO Customers (CompanyName, ContactName, "
                                              "CountryCode, CreditLimit, CreatedAt) VALUES "
                                              "('Bench Customer %1', 'Contact %1', 'GB', 100.50, "
                                              "'2024-01-01 10:00:00')")
                                   .arg(i)
                                   .toUtf8();
        ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    sqlite3_close(db);
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int perClient = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 250;
    QTemporaryDir root;
    const QString database = root.filePath(QStringLiteral("shop.db"));
    QFile::copy(QStringLiteral(ORDWICK_SAMPLE_DATABASE), database);
    const SiteRecipe recipe = customersRecipe(database, root.filePath(QStringLiteral("site")));
    const QString failure =
        generateSite(QStringLiteral(ORDWICK_GENERATE), QStringLiteral(ORDWICK_TEMPLATE_DIR),
                     root.filePath(QStringLiteral("bench.pjx")), recipe);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "bench_preview: generation failed: %s\n", qPrintable(failure));
        return 1;
    }
    // The sample has 10 customers; the list page shows 20 rows.
    if (!addCustomers(recipe.destination + QStringLiteral("/db/shop.db"), 15)) {
        std::fprintf(stderr, "bench_preview: could not fill the database\n");
        return 1;
    }
    ordwick::PreviewHost host;
    const ordwick::PreviewHost::Started started =
        host.start(recipe.destination, 0, ordwick::PreviewHost::Access::Open);
    if (!started.ok()) {
        std::fprintf(stderr, "bench_preview: %s\n", qPrintable(started.error));
        return 1;
    }
    const quint16 port = static_cast<quint16>(started.url.port());
    const QString page = started.url.path();
    {
        Browser warm(port);
        const Reply first = warm.get(page);
        // One row of titles, 20 of records.
        const qsizetype rows = first.text().count(QStringLiteral("<tr>"));
        if (first.status != 200 || rows != 21) {
            std::fprintf(stderr,
                         "bench_preview: the list page did not show 20 rows (status %d, %d rows)\n",
                         first.status, static_cast<int>(rows));
            return 1;
        }
    }

    // Every worker thread compiles the page once; warm them all.
    std::vector<std::thread> warmers;
    for (int c = 0; c < 8; ++c)
        warmers.emplace_back([&] {
            Browser browser(port);
            for (int i = 0; i < 10; ++i)
                browser.get(page);
        });
    for (std::thread& t : warmers)
        t.join();

    std::vector<std::vector<double>> latencies(kClients);
    std::vector<int> failures(kClients, 0);
    QElapsedTimer wall;
    wall.start();
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c)
        clients.emplace_back([&, c] {
            Browser browser(port);
            for (int i = 0; i < perClient; ++i) {
                QElapsedTimer one;
                one.start();
                const Reply reply = browser.get(page);
                latencies[static_cast<size_t>(c)].push_back(
                    static_cast<double>(one.nsecsElapsed()) / 1e6);
                if (reply.status != 200)
                    ++failures[static_cast<size_t>(c)];
            }
        });
    for (std::thread& t : clients)
        t.join();
    const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    std::vector<double> all;
    int failed = 0;
    for (int c = 0; c < kClients; ++c) {
        all.insert(all.end(), latencies[static_cast<size_t>(c)].begin(),
                   latencies[static_cast<size_t>(c)].end());
        failed += failures[static_cast<size_t>(c)];
    }
    std::sort(all.begin(), all.end());
    std::printf("list page, 20 rows, %d clients, %zu requests: %.0f requests/s, median %.2f ms, "
                "95th percentile %.2f ms, %d failed\n",
                kClients, all.size(), static_cast<double>(all.size()) / seconds, median(all),
                all[all.size() * 95 / 100], failed);

    // The first request after the page changed: a new translation and compilation.
    const QString file = recipe.destination + page;
    std::vector<double> firsts;
    Browser browser(port);
    for (int i = 0; i < kChanges; ++i) {
        QFile edit(file);
        edit.open(QIODevice::Append);
        edit.write(QStringLiteral("\n<!-- change %1 -->").arg(i).toUtf8());
        edit.close();
        edit.open(QIODevice::ReadWrite);
        edit.setFileTime(QDateTime::currentDateTime().addSecs(i + 1),
                         QFileDevice::FileModificationTime);
        edit.close();
        QElapsedTimer one;
        one.start();
        const Reply reply = browser.get(page);
        firsts.push_back(static_cast<double>(one.nsecsElapsed()) / 1e6);
        if (reply.status != 200 || !reply.text().contains(QStringLiteral("change %1").arg(i)))
            std::fprintf(stderr, "bench_preview: the changed page was not served\n");
    }
    std::printf("first request after a page change: median %.2f ms, max %.2f ms (%d changes; "
                "target below 50 ms)\n",
                median(firsts), *std::max_element(firsts.begin(), firsts.end()), kChanges);
    host.stop();
    return failed == 0 ? 0 : 1;
}
