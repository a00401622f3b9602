#include "datasource/connections.h"
#include "datasource/schemamirror.h"
#include "foundation/runtimeerror.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <optional>
#include <shapefil.h>

using namespace ordwick;

// The public sample files, read in place; without them the test is skipped.
#define REQUIRE_FIXTURES(folder)                                                                   \
    const QString folder = ordwick::test::sharedFixturesFolder();                                  \
    if (folder.isEmpty())                                                                          \
        QSKIP("The shared sample files (../shared/fixtures) are not present.");

namespace {

std::optional<RuntimeError> failure(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error;
    }
    return std::nullopt;
}

// "130(40)" for text of 40 characters, "3" for a long integer, "-" when absent.
QString typeOf(const std::vector<ColumnInfo>& columns, const QString& name) {
    for (const ColumnInfo& column : columns) {
        if (column.name == name) {
            return column.maxLength
                       ? QStringLiteral("%1(%2)").arg(column.dataType).arg(*column.maxLength)
                       : QString::number(column.dataType);
        }
    }
    return QStringLiteral("-");
}

QStringList names(const std::vector<ColumnInfo>& columns) {
    QStringList result;
    for (const ColumnInfo& column : columns)
        result.append(column.name);
    return result;
}

QStringList names(const std::vector<TableInfo>& tables, const QString& type = {}) {
    QStringList result;
    for (const TableInfo& table : tables) {
        if (type.isEmpty() || table.type == type)
            result.append(table.name);
    }
    return result;
}

QStringList keys(const std::vector<KeyColumn>& columns) {
    QStringList result;
    for (const KeyColumn& key : columns)
        result.append(key.table + u'.' + key.column);
    return result;
}

// Long text as the readers report it, in typeOf()'s form.
const QString kWideMemo = QStringLiteral("130(%1)").arg(kLongTextLength);
const QString kDbaseMemo = QStringLiteral("129(%1)").arg(kLongTextLength);

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

struct Field {
    const char* name;
    char type;
    int width;
    int decimals;
};

// A dBase table written by shapelib, which always names it ".dbf".
void writeDbf(const QString& folder, const QString& baseName, std::initializer_list<Field> fields) {
    const QByteArray path = QFile::encodeName(folder + u'/' + baseName);
    DBFHandle dbf = DBFCreate(path.constData());
    QVERIFY(dbf);
    for (const Field& field : fields)
        QVERIFY(DBFAddNativeFieldType(dbf, field.name, field.type, field.width, field.decimals) >=
                0);
    DBFClose(dbf);
}

} // namespace

class FileSourcesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void accessTablesViewsAndSystemTables() {
        REQUIRE_FIXTURES(fixtures);
        const auto db = openAccessFile(fixtures + QStringLiteral("/access/nwind.mdb"),
                                       QStringLiteral("Admin"), QStringLiteral("ignored"));
        const std::vector<TableInfo> tables = db->tables();
        const QStringList userTables = names(tables, QStringLiteral("TABLE"));
        for (const char* table : {"Categories", "Customers", "Employees", "Order Details", "Orders",
                                  "Products", "Shippers", "Suppliers", "Umsätze"})
            QVERIFY2(userTables.contains(QString::fromUtf8(table)), table);
        QVERIFY(!userTables.contains(QStringLiteral("MSysObjects")));
        const QStringList systemTables = names(tables, QStringLiteral("SYSTEM TABLE"));
        for (const char* table : {"MSysObjects", "MSysQueries", "MSysRelationships", "MSysACEs"})
            QVERIFY2(systemTables.contains(QLatin1String(table)), table);
        // Select queries are views; those asking for parameters, union,
        // crosstab and action queries are not.
        const QStringList views = names(tables, QStringLiteral("VIEW"));
        QVERIFY(views.contains(QStringLiteral("Current Product List")));
        QVERIFY(views.contains(QStringLiteral("Category Sales for 1995")));
        QVERIFY(!views.contains(QStringLiteral("Employee Sales by Country")));
        QVERIFY(!views.contains(QStringLiteral("Customers and Suppliers by City")));
        QVERIFY(!views.contains(QStringLiteral("Quarterly Orders by Product")));
        // By type, then name.
        QCOMPARE(names(tables), systemTables + userTables + views);
        QStringList sorted = userTables;
        sorted.sort(Qt::CaseInsensitive);
        QCOMPARE(userTables, sorted);
    }

    void accessColumnTypesAndLengths() {
        REQUIRE_FIXTURES(fixtures);
        const auto db = openAccessFile(fixtures + QStringLiteral("/access/nwind.mdb"), {}, {});
        const std::vector<ColumnInfo> orders = db->columns(QStringLiteral("Orders"));
        QCOMPARE(names(orders).mid(0, 4),
                 (QStringList{QStringLiteral("OrderID"), QStringLiteral("CustomerID"),
                              QStringLiteral("EmployeeID"), QStringLiteral("OrderDate")}));
        QCOMPARE(typeOf(orders, QStringLiteral("OrderID")), QStringLiteral("3")); // AutoNumber
        QCOMPARE(typeOf(orders, QStringLiteral("CustomerID")), QStringLiteral("130(5)"));
        QCOMPARE(typeOf(orders, QStringLiteral("ShipName")), QStringLiteral("130(40)"));
        QCOMPARE(typeOf(orders, QStringLiteral("OrderDate")), QStringLiteral("135"));
        QCOMPARE(typeOf(orders, QStringLiteral("Freight")), QStringLiteral("131")); // currency
        const std::vector<ColumnInfo> products = db->columns(QStringLiteral("products"));
        QCOMPARE(typeOf(products, QStringLiteral("Discontinued")), QStringLiteral("11"));
        QCOMPARE(typeOf(products, QStringLiteral("UnitsInStock")), QStringLiteral("2"));
        const std::vector<ColumnInfo> details = db->columns(QStringLiteral("Order Details"));
        QCOMPARE(typeOf(details, QStringLiteral("Discount")), QStringLiteral("4"));
        const std::vector<ColumnInfo> categories = db->columns(QStringLiteral("Categories"));
        QCOMPARE(typeOf(categories, QStringLiteral("Description")), kWideMemo);
        QCOMPARE(typeOf(categories, QStringLiteral("Picture")), QStringLiteral("128"));
        const std::vector<ColumnInfo> queries = db->columns(QStringLiteral("MSysQueries"));
        QCOMPARE(typeOf(queries, QStringLiteral("Attribute")), QStringLiteral("16")); // Byte
        QCOMPARE(typeOf(db->columns(QStringLiteral("MSysObjects")), QStringLiteral("Owner")),
                 QStringLiteral("128")); // binary: no character length
        QCOMPARE(typeOf(db->columns(QString::fromUtf8("Umsätze")), QStringLiteral("ShipCity")),
                 QStringLiteral("130(15)"));

        // A Jet 4 file stores text in two bytes a character: its longest short
        // text is still 255 characters, and memo is longer than that.
        const auto dates =
            openAccessFile(fixtures + QStringLiteral("/access/DateTestDatabase.mdb"), {}, {});
        QCOMPARE(names(dates->tables(), QStringLiteral("TABLE")),
                 QStringList{QStringLiteral("DateTest")});
        const std::vector<ColumnInfo> columns = dates->columns(QStringLiteral("DateTest"));
        QCOMPARE(names(columns),
                 (QStringList{QStringLiteral("IDCol"), QStringLiteral("DateTimeCol"),
                              QStringLiteral("DateCol"), QStringLiteral("TimeCol"),
                              QStringLiteral("LongTextCol"), QStringLiteral("ShortTextCol")}));
        QCOMPARE(typeOf(columns, QStringLiteral("ShortTextCol")), QStringLiteral("130(255)"));
        QCOMPARE(typeOf(columns, QStringLiteral("LongTextCol")), kWideMemo);
        QCOMPARE(typeOf(columns, QStringLiteral("TimeCol")), QStringLiteral("135"));
    }

    void accessPrimaryKeys() {
        REQUIRE_FIXTURES(fixtures);
        const auto db = openAccessFile(fixtures + QStringLiteral("/access/nwind.mdb"), {}, {});
        QCOMPARE(keys(db->primaryKeys(QStringLiteral("Orders"))),
                 QStringList{QStringLiteral("Orders.OrderID")});
        QCOMPARE(keys(db->primaryKeys(QStringLiteral("Order Details"))),
                 (QStringList{QStringLiteral("Order Details.OrderID"),
                              QStringLiteral("Order Details.ProductID")}));
        QCOMPARE(keys(db->primaryKeys(QStringLiteral("customers"))),
                 QStringList{QStringLiteral("Customers.CustomerID")});
        QVERIFY(db->primaryKeys(QStringLiteral("Current Product List")).empty());
        const QStringList all = keys(db->primaryKeys(QString()));
        for (const char* key : {"Orders.OrderID", "Order Details.OrderID",
                                "Order Details.ProductID", "Products.ProductID", "Umsätze.OrderID"})
            QVERIFY2(all.contains(QString::fromUtf8(key)), key);
        const std::optional<RuntimeError> unknown =
            failure([&] { db->primaryKeys(QStringLiteral("Nowhere")); });
        QVERIFY(unknown);
        QCOMPARE(unknown->number(), DataError::GeneralFailure);
        QVERIFY(unknown->description().contains(QStringLiteral("Nowhere")));

        const auto dates =
            openAccessFile(fixtures + QStringLiteral("/access/DateTestDatabase.mdb"), {}, {});
        QVERIFY(dates->primaryKeys(QStringLiteral("DateTest")).empty());
    }

    void accessViewColumnsComeFromTheirSources() {
        REQUIRE_FIXTURES(fixtures);
        const auto db = openAccessFile(fixtures + QStringLiteral("/access/nwind.mdb"), {}, {});
        const std::vector<ColumnInfo> current = db->columns(QStringLiteral("Current Product List"));
        QCOMPARE(names(current),
                 (QStringList{QStringLiteral("ProductID"), QStringLiteral("ProductName")}));
        QCOMPARE(typeOf(current, QStringLiteral("ProductName")), QStringLiteral("130(40)"));
        // Products.* followed by a column of the joined table.
        const std::vector<ColumnInfo> alphabetical =
            db->columns(QStringLiteral("Alphabetical List of Products"));
        QCOMPARE(names(alphabetical), names(db->columns(QStringLiteral("Products"))) +
                                          QStringList{QStringLiteral("CategoryName")});
        // An aliased aggregate over a query that is itself built on a query.
        const std::vector<ColumnInfo> sales =
            db->columns(QStringLiteral("Category Sales for 1995"));
        QCOMPARE(names(sales),
                 (QStringList{QStringLiteral("CategoryName"), QStringLiteral("CategorySales")}));
        QCOMPARE(typeOf(sales, QStringLiteral("CategoryName")), QStringLiteral("130(15)"));
        QCOMPARE(typeOf(sales, QStringLiteral("CategorySales")), QStringLiteral("131"));
    }

    void accessStatementsAreChecked() {
        REQUIRE_FIXTURES(fixtures);
        const auto db = openAccessFile(fixtures + QStringLiteral("/access/nwind.mdb"), {}, {});
        for (const char* valid : {
                 "SELECT TOP 10 [Order Details].OrderID, Orders.OrderDate FROM [Order Details] "
                 "INNER JOIN Orders ON [Order Details].OrderID = Orders.OrderID "
                 "WHERE Orders.OrderDate >= #1/1/1995# AND Orders.ShipCountry = \"Germany\" "
                 "ORDER BY Orders.OrderDate DESC",
                 "SELECT DISTINCTROW ProductName, Format(UnitPrice, \"Currency\") AS Price, "
                 "IIf(Discontinued = Yes, 'gone', '') AS State FROM Products "
                 "WHERE UnitsInStock Mod 2 = 0 AND ProductName Like \"C*\";",
                 "SELECT Left(CompanyName, 3) & Right$(Phone, 4), InStr(1, City, \"a\"), "
                 "Nz(Region, '-') FROM Customers LEFT JOIN Orders "
                 "ON Customers.CustomerID = Orders.CustomerID",
                 "SELECT * FROM [Current Product List]",
                 "SELECT OrderID FROM Orders WHERE OrderDate BETWEEN #1995-01-01# AND "
                 "#1995-12-31 23:59#",
                 "SELECT ShipCity FROM Umsätze",
                 "SELECT Name FROM MSysObjects WHERE Type = 1",
                 "UPDATE Orders SET Freight = Freight * 1.1 WHERE OrderID = 1",
             }) {
            const std::optional<RuntimeError> error =
                failure([&] { db->checkQuery(QString::fromUtf8(valid)); });
            QVERIFY2(!error, qPrintable(error ? error->description() : QString()));
        }
        const struct {
            const char* sql;
            int number;
        } invalid[] = {
            {"SELECT Nope FROM Orders", DataError::ParameterNotOptional},
            {"SELECT * FROM Orders WHERE OrderDate = [Enter a date]",
             DataError::ParameterNotOptional},
            {"SELECT * FROM Orders WHERE OrderID = Forms!Orders!OrderID",
             DataError::ParameterNotOptional},
            {"SELEKT * FROM Orders", DataError::ErrorsInCommand},
            {"SELECT * FROM Nowhere", DataError::ErrorsInCommand},
            {"SELECT Frobnicate(OrderID) FROM Orders", DataError::ErrorsInCommand},
            {"SELECT * FROM Orders; DELETE FROM Orders", DataError::ErrorsInCommand},
            {"", DataError::ErrorsInCommand},
        };
        for (const auto& statement : invalid) {
            const std::optional<RuntimeError> error =
                failure([&] { db->checkQuery(QString::fromUtf8(statement.sql)); });
            QVERIFY2(error, statement.sql);
            QVERIFY2(error->number() == statement.number, statement.sql);
        }
        const std::optional<RuntimeError> unknown =
            failure([&] { db->checkQuery(QStringLiteral("SELECT Nope FROM Orders")); });
        QVERIFY(unknown->description().contains(QStringLiteral("Nope")));
    }

    void accessFilesThatCannotBeRead() {
        QTemporaryDir temp;
        const QString missing = temp.filePath(QStringLiteral("missing.mdb"));
        const QString text = temp.filePath(QStringLiteral("text.mdb"));
        writeFile(text, QByteArray("This is a text file, not a database.\n").repeated(200));
        const QString empty = temp.filePath(QStringLiteral("empty.mdb"));
        writeFile(empty, {});
        QStringList paths{missing, text, empty, temp.path()};
        const QString fixtures = ordwick::test::sharedFixturesFolder();
        if (!fixtures.isEmpty()) {
            // The header page of a real database, and nothing after it.
            QFile source(fixtures + QStringLiteral("/access/nwind.mdb"));
            QVERIFY(source.open(QIODevice::ReadOnly));
            const QString truncated = temp.filePath(QStringLiteral("truncated.mdb"));
            writeFile(truncated, source.read(2048));
            paths.append(truncated);
        }
        for (const QString& path : paths) {
            const std::optional<RuntimeError> error = failure([&] {
                const auto db = openAccessFile(path, {}, {});
                db->tables();
            });
            QVERIFY2(error, qPrintable(path));
            QCOMPARE(error->number(), DataError::GeneralFailure);
            QVERIFY2(error->description().contains(QFileInfo(path).fileName()),
                     qPrintable(error->description()));
        }
        QCOMPARE(failure([] { openAccessFile({}, {}, {}); })->number(), DataError::GeneralFailure);
    }

    // Damage that makes mdbtools allocate without end and FreeXL crash ends
    // in a refusal, and the program carries on.
    void damagedFilesAreRefusedWithoutHarm() {
        REQUIRE_FIXTURES(fixtures);
        QTemporaryDir temp;
        QFile database(fixtures + QStringLiteral("/access/nwind.mdb"));
        QVERIFY(database.open(QIODevice::ReadOnly));
        const QString cutShort = temp.filePath(QStringLiteral("cut-short.mdb"));
        writeFile(cutShort, database.read(1500000));
        QFile workbook(fixtures + QStringLiteral("/excel/corrupted_error.xls"));
        QVERIFY(workbook.open(QIODevice::ReadOnly));
        QByteArray bytes = workbook.readAll();
        bytes[13146] = 14;
        const QString garbled = temp.filePath(QStringLiteral("garbled.xls"));
        writeFile(garbled, bytes);

        const std::optional<RuntimeError> access =
            failure([&] { openAccessFile(cutShort, {}, {})->tables(); });
        QVERIFY(access);
        QCOMPARE(access->number(), DataError::GeneralFailure);
        QVERIFY(access->description().contains(QStringLiteral("cut-short.mdb")));
        const std::optional<RuntimeError> excel = failure([&] { openExcelFile(garbled); });
        QVERIFY(excel);
        QCOMPARE(excel->number(), DataError::GeneralFailure);
        QVERIFY(excel->description().contains(QStringLiteral("garbled.xls")));
        // Still able to read the sound files.
        QVERIFY(!openAccessFile(database.fileName(), {}, {})->tables().empty());
        QCOMPARE(openExcelFile(workbook.fileName())->tables().size(), size_t(9));
    }

    void excelWorksheetsAreTables() {
        REQUIRE_FIXTURES(fixtures);
        const auto book = openExcelFile(fixtures + QStringLiteral("/excel/profiles.xls"));
        const std::vector<TableInfo> tables = book->tables();
        // Workbook order; "$" marks a whole worksheet.
        QCOMPARE(
            names(tables),
            (QStringList{QStringLiteral("PROFILEDEF$"), QStringLiteral("AXISDEF$"),
                         QStringLiteral("TRAVERSALCHAINAGE$"), QStringLiteral("AXISDATUMLEVELS$"),
                         QStringLiteral("PROFILELEVELS$")}));
        QCOMPARE(names(tables, QStringLiteral("TABLE")).size(), 5);
        const std::vector<ColumnInfo> definitions = book->columns(QStringLiteral("PROFILEDEF$"));
        QCOMPARE(names(definitions).mid(0, 3),
                 (QStringList{QStringLiteral("PROFIL"), QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(typeOf(definitions, QStringLiteral("PROFIL")), QStringLiteral("130(255)"));
        QCOMPARE(typeOf(definitions, QStringLiteral("a")), QStringLiteral("5"));
        // A blank header cell is named by its position.
        const std::vector<ColumnInfo> chainage =
            book->columns(QStringLiteral("traversalchainage$"));
        QCOMPARE(names(chainage).first(), QStringLiteral("F1"));
        QCOMPARE(typeOf(chainage, QStringLiteral("F1")), QStringLiteral("130(255)"));
        QCOMPARE(typeOf(chainage, QStringLiteral("c")), QStringLiteral("5"));
        QCOMPARE(names(book->columns(QStringLiteral("AXISDEF"))),
                 names(book->columns(QStringLiteral("AXISDEF$"))));
        QVERIFY(book->primaryKeys(QString()).empty());
        QVERIFY(book->primaryKeys(QStringLiteral("AXISDEF$")).empty());
        QCOMPARE(failure([&] { book->columns(QStringLiteral("Sheet9$")); })->number(),
                 DataError::GeneralFailure);
    }

    void excelRaggedAndEmptySheets() {
        REQUIRE_FIXTURES(fixtures);
        const auto book = openExcelFile(fixtures + QStringLiteral("/excel/ragged.xls"));
        QCOMPARE(names(book->tables()),
                 (QStringList{QStringLiteral("Sheet1$"), QStringLiteral("Sheet2$"),
                              QStringLiteral("Sheet3$")}));
        // The header row is short; the column that only later rows reach is F4.
        const std::vector<ColumnInfo> ragged = book->columns(QStringLiteral("Sheet1$"));
        QCOMPARE(names(ragged), (QStringList{QStringLiteral("a"), QStringLiteral("b"),
                                             QStringLiteral("c"), QStringLiteral("F4")}));
        QCOMPARE(typeOf(ragged, QStringLiteral("F4")), QStringLiteral("130(255)"));
        QVERIFY(book->columns(QStringLiteral("Sheet2$")).empty());
        book->checkQuery(QStringLiteral("SELECT a, [F4] FROM [Sheet1$] WHERE b IS NOT NULL"));
        book->checkQuery(QStringLiteral("SELECT * FROM [Sheet2$]"));
        QCOMPARE(
            failure([&] { book->checkQuery(QStringLiteral("SELECT z FROM [Sheet1$]")); })->number(),
            DataError::ParameterNotOptional);
        QCOMPARE(
            failure([&] { book->checkQuery(QStringLiteral("SELECT a FROM Sheet1")); })->number(),
            DataError::ErrorsInCommand);

        // One cell holding only a picture: a sheet with nothing to read.
        const auto picture = openExcelFile(fixtures + QStringLiteral("/excel/picture_in_cell.xls"));
        QCOMPARE(names(picture->tables()), QStringList{QStringLiteral("Sheet1$")});
        QVERIFY(picture->columns(QStringLiteral("Sheet1$")).empty());
    }

    void excelCyrillicNames() {
        REQUIRE_FIXTURES(fixtures);
        const auto book = openExcelFile(fixtures + QStringLiteral("/excel/corrupted_error.xls"));
        const QStringList tables = names(book->tables());
        QCOMPARE(tables.size(), 9);
        QCOMPARE(tables.first(), QStringLiteral("Трубы ВГП$"));
        // "." stands for a qualifier in the drivers' SQL, so it is listed as "#".
        QCOMPARE(tables.at(1), QStringLiteral("Трубы эл#св$"));
        const std::vector<ColumnInfo> pipes = book->columns(QStringLiteral("трубы вгп$"));
        // The title row names the columns; the empty eighth column is no column.
        QCOMPARE(names(pipes),
                 (QStringList{QStringLiteral("ПРАЙС-ЛИСТ"), QStringLiteral("F2"),
                              QStringLiteral("F3"), QStringLiteral("F4"), QStringLiteral("F5"),
                              QStringLiteral("F6"), QStringLiteral("F7")}));
        QCOMPARE(typeOf(pipes, QStringLiteral("ПРАЙС-ЛИСТ")), QStringLiteral("130(255)"));
        QCOMPARE(typeOf(pipes, QStringLiteral("F2")), QStringLiteral("130(255)"));
        // Numbers in five of the sampled rows outvote the one heading cell.
        QCOMPARE(typeOf(pipes, QStringLiteral("F3")), QStringLiteral("5"));
        book->checkQuery(QStringLiteral("SELECT [ПРАЙС-ЛИСТ], F2 FROM [Трубы эл#св$]"));
    }

    void excelFilesThatCannotBeRead() {
        QTemporaryDir temp;
        const QString text = temp.filePath(QStringLiteral("text.xls"));
        writeFile(text, "Name,Price\nTea,2\n");
        QStringList paths{temp.filePath(QStringLiteral("missing.xls")), text};
        const QString fixtures = ordwick::test::sharedFixturesFolder();
        if (!fixtures.isEmpty()) {
            paths.append(fixtures + QStringLiteral("/excel/Formate.xls"));
            paths.append(fixtures + QStringLiteral("/excel/biff4_no_format_no_window2.xls"));
        }
        for (const QString& path : paths) {
            const std::optional<RuntimeError> error = failure([&] { openExcelFile(path); });
            QVERIFY2(error, qPrintable(path));
            QCOMPARE(error->number(), DataError::GeneralFailure);
            QVERIFY2(error->description().contains(QFileInfo(path).fileName()),
                     qPrintable(error->description()));
        }
    }

    void dbaseSampleTablesWithAndWithoutMemoFile() {
        REQUIRE_FIXTURES(fixtures);
        QTemporaryDir temp;
        for (const char* name : {"memotest.dbf", "memotest.FPT", "no_memofile.dbf", "people.dbf"})
            QVERIFY(QFile::copy(fixtures + QStringLiteral("/dbase/") + QLatin1String(name),
                                temp.filePath(QLatin1String(name))));
        const auto folder = openDbaseFolder(temp.path());
        QCOMPARE(names(folder->tables(), QStringLiteral("TABLE")),
                 (QStringList{QStringLiteral("memotest"), QStringLiteral("no_memofile"),
                              QStringLiteral("people")}));
        const QStringList expected{QStringLiteral("NAME"), QStringLiteral("BIRTHDATE"),
                                   QStringLiteral("MEMO")};
        for (const QString& table : {QStringLiteral("memotest"), QStringLiteral("NO_MEMOFILE")}) {
            const std::vector<ColumnInfo> columns = folder->columns(table);
            QCOMPARE(names(columns), expected);
            QCOMPARE(typeOf(columns, QStringLiteral("NAME")), QStringLiteral("129(16)"));
            QCOMPARE(typeOf(columns, QStringLiteral("BIRTHDATE")), QStringLiteral("133"));
            QCOMPARE(typeOf(columns, QStringLiteral("MEMO")), kDbaseMemo);
        }
        QVERIFY(folder->primaryKeys(QString()).empty());
        folder->checkQuery(QStringLiteral("SELECT p.NAME, m.MEMO FROM people AS p INNER JOIN "
                                          "no_memofile AS m ON p.NAME = m.NAME"));
        QCOMPARE(failure([&] {
                     folder->checkQuery(QStringLiteral("SELECT MEMO FROM people"));
                 })->number(),
                 DataError::ParameterNotOptional);
    }

    void dbaseFieldTypes() {
        QTemporaryDir temp;
        writeDbf(temp.path(), QStringLiteral("stock"),
                 {{"SHORT", 'C', 254, 0},
                  {"FULL", 'C', 255, 0},
                  {"NOTES", 'M', 10, 0},
                  {"COUNT", 'N', 9, 0},
                  {"BIGCOUNT", 'N', 10, 0},
                  {"PRICE", 'N', 8, 2},
                  {"WEIGHT", 'F', 12, 3},
                  {"ACTIVE", 'L', 1, 0},
                  {"ADDED", 'D', 8, 0}});
        // Extensions in any letter case; "." inside a name is listed as "#".
        QVERIFY(QFile::rename(temp.filePath(QStringLiteral("stock.dbf")),
                              temp.filePath(QStringLiteral("Stock.DBF"))));
        writeDbf(temp.path(), QStringLiteral("old.orders.dbf"), {{"ID", 'N', 5, 0}});
        writeFile(temp.filePath(QStringLiteral("readme.txt")), "not a table");
        writeFile(temp.filePath(QStringLiteral("broken.dbf")), "not a dBase file");
        const auto folder = openDbaseFolder(temp.path());
        QCOMPARE(names(folder->tables()),
                 (QStringList{QStringLiteral("broken"), QStringLiteral("old#orders"),
                              QStringLiteral("Stock")}));
        const std::vector<ColumnInfo> stock = folder->columns(QStringLiteral("stock"));
        QCOMPARE(names(stock).size(), 9);
        QCOMPARE(typeOf(stock, QStringLiteral("SHORT")), QStringLiteral("129(254)"));
        QCOMPARE(typeOf(stock, QStringLiteral("FULL")), QStringLiteral("129(255)"));
        QCOMPARE(typeOf(stock, QStringLiteral("NOTES")), kDbaseMemo);
        QCOMPARE(typeOf(stock, QStringLiteral("COUNT")), QStringLiteral("3"));
        QCOMPARE(typeOf(stock, QStringLiteral("BIGCOUNT")), QStringLiteral("131"));
        QCOMPARE(typeOf(stock, QStringLiteral("PRICE")), QStringLiteral("131"));
        QCOMPARE(typeOf(stock, QStringLiteral("WEIGHT")), QStringLiteral("5"));
        QCOMPARE(typeOf(stock, QStringLiteral("ACTIVE")), QStringLiteral("11"));
        QCOMPARE(typeOf(stock, QStringLiteral("ADDED")), QStringLiteral("133"));
        QCOMPARE(names(folder->columns(QStringLiteral("old#orders"))),
                 QStringList{QStringLiteral("ID")});

        // The damaged file fails on its own; the other tables stay usable.
        const std::optional<RuntimeError> broken =
            failure([&] { folder->columns(QStringLiteral("broken")); });
        QVERIFY(broken);
        QCOMPARE(broken->number(), DataError::GeneralFailure);
        QVERIFY(broken->description().contains(QStringLiteral("broken.dbf")));
        folder->checkQuery(QStringLiteral("SELECT SHORT, PRICE FROM Stock WHERE ACTIVE = Yes"));
        QCOMPARE(
            failure([&] { folder->checkQuery(QStringLiteral("SELECT * FROM broken")); })->number(),
            DataError::ErrorsInCommand);
        QCOMPARE(failure([&] { folder->columns(QStringLiteral("readme")); })->number(),
                 DataError::GeneralFailure);
    }

    void textFolderListsItsTextFiles() {
        QTemporaryDir temp;
        writeFile(temp.filePath(QStringLiteral("prices.csv")), "Name,Price\r\nTea,2.5\r\n");
        writeFile(temp.filePath(QStringLiteral("People.TXT")), "Id,Name\n1,Ann\n");
        writeFile(temp.filePath(QStringLiteral("stock.tab")),
                  "Item\tCount\nPen\t4\nInk, blue\t2\n");
        writeFile(temp.filePath(QStringLiteral("levels.asc")), "Level\n1\n");
        writeFile(temp.filePath(QStringLiteral("notes.dat")), "ignored");
        writeFile(temp.filePath(QStringLiteral("empty.csv")), {});
        const auto folder = openTextFolder(temp.path());
        QCOMPARE(names(folder->tables(), QStringLiteral("TABLE")),
                 (QStringList{QStringLiteral("empty#csv"), QStringLiteral("levels#asc"),
                              QStringLiteral("People#TXT"), QStringLiteral("prices#csv"),
                              QStringLiteral("stock#tab")}));
        const std::vector<ColumnInfo> stock = folder->columns(QStringLiteral("stock#tab"));
        QCOMPARE(names(stock), (QStringList{QStringLiteral("Item"), QStringLiteral("Count")}));
        QCOMPARE(typeOf(stock, QStringLiteral("Count")), QStringLiteral("3"));
        QCOMPARE(names(folder->columns(QStringLiteral("people#txt"))),
                 (QStringList{QStringLiteral("Id"), QStringLiteral("Name")}));
        QVERIFY(folder->columns(QStringLiteral("empty#csv")).empty());
        QVERIFY(folder->primaryKeys(QStringLiteral("prices#csv")).empty());

        folder->checkQuery(QStringLiteral("SELECT Name, Price FROM [prices#csv] WHERE Price > 2"));
        // The file's own name, as the driver accepts it.
        folder->checkQuery(QStringLiteral("SELECT p.Name FROM prices.csv AS p"));
        folder->checkQuery(QStringLiteral("SELECT Name FROM [prices.csv]"));
        QCOMPARE(failure([&] {
                     folder->checkQuery(QStringLiteral("SELECT Cost FROM [prices#csv]"));
                 })->number(),
                 DataError::ParameterNotOptional);
        QCOMPARE(failure([&] { folder->columns(QStringLiteral("notes#dat")); })->number(),
                 DataError::GeneralFailure);
    }

    void textQuotingAndTypes() {
        QTemporaryDir temp;
        const QByteArray longText(300, 'x');
        writeFile(
            temp.filePath(QStringLiteral("orders.csv")),
            "\xEF\xBB\xBF"
            "Id,\"Name, full\",Note,Amount,Day,When,Mixed,Blank,Big,Long,Ordered\r\n"
            "1,\"Smith, Ann\",\"said \"\"hi\"\"\",2.5,2024-02-29,2024-02-29 "
            "10:15,7,,1,x,31/12/2023\r\n"
            "2,Lee,\"two\r\nlines, really\",3,2023-01-05,2023-01-05T08:00:00,abc,,3000000000," +
                longText +
                ",12/31/2023\r\n"
                "\r\n"
                "-3,\"\",plain,-1e3,1999-12-31,1999-12-31,8,, 4 ,y,01/02/2003\r\n");
        const auto folder = openTextFolder(temp.path());
        const std::vector<ColumnInfo> columns = folder->columns(QStringLiteral("orders#csv"));
        QCOMPARE(
            names(columns),
            (QStringList{QStringLiteral("Id"), QStringLiteral("Name, full"), QStringLiteral("Note"),
                         QStringLiteral("Amount"), QStringLiteral("Day"), QStringLiteral("When"),
                         QStringLiteral("Mixed"), QStringLiteral("Blank"), QStringLiteral("Big"),
                         QStringLiteral("Long"), QStringLiteral("Ordered")}));
        QCOMPARE(typeOf(columns, QStringLiteral("Id")), QStringLiteral("3"));
        QCOMPARE(typeOf(columns, QStringLiteral("Note")), QStringLiteral("130(255)"));
        QCOMPARE(typeOf(columns, QStringLiteral("Amount")), QStringLiteral("5"));
        QCOMPARE(typeOf(columns, QStringLiteral("Day")), QStringLiteral("133"));
        QCOMPARE(typeOf(columns, QStringLiteral("When")), QStringLiteral("135"));
        QCOMPARE(typeOf(columns, QStringLiteral("Mixed")), QStringLiteral("130(255)"));
        QCOMPARE(typeOf(columns, QStringLiteral("Blank")), QStringLiteral("130(255)"));
        // Too large for a long integer.
        QCOMPARE(typeOf(columns, QStringLiteral("Big")), QStringLiteral("5"));
        QCOMPARE(typeOf(columns, QStringLiteral("Long")), kWideMemo);
        // Day and month either way round.
        QCOMPARE(typeOf(columns, QStringLiteral("Ordered")), QStringLiteral("133"));
        folder->checkQuery(
            QStringLiteral("SELECT [Name, full], Note FROM [orders#csv] WHERE Day > #2000-01-01#"));
    }

    void textHeaderNamesAndEncodings() {
        QTemporaryDir temp;
        // Windows-1252: "Größe" and a euro sign; a blank, a repeated and a dotted name.
        writeFile(temp.filePath(QStringLiteral("old.csv")),
                  "Gr\xf6\xdf"
                  "e,,Price \x80,price \x80,No.,[x]\n1,2,3,4,5,6\n");
        writeFile(temp.filePath(QStringLiteral("new.csv")), "Größe,Ärger\n1,2\n");
        const auto folder = openTextFolder(temp.path());
        QCOMPARE(names(folder->columns(QStringLiteral("old#csv"))),
                 (QStringList{QString::fromUtf8("Größe"), QStringLiteral("F2"),
                              QString::fromUtf8("Price €"), QString::fromUtf8("price €1"),
                              QStringLiteral("No#"), QStringLiteral("(x)")}));
        QCOMPARE(names(folder->columns(QStringLiteral("new#csv"))),
                 (QStringList{QString::fromUtf8("Größe"), QString::fromUtf8("Ärger")}));
        folder->checkQuery(QString::fromUtf8("SELECT Größe, [No#], [price €1] FROM [old#csv]"));
    }

    void textTypesComeFromTheFirstThousandRows() {
        QTemporaryDir temp;
        QByteArray rows = "Code\n";
        for (int row = 1; row < 1000; ++row)
            rows += QByteArray::number(row) + '\n';
        writeFile(temp.filePath(QStringLiteral("inside.csv")), rows + "A7\n");
        writeFile(temp.filePath(QStringLiteral("beyond.csv")), rows + "1000\nA7\n");
        const auto folder = openTextFolder(temp.path());
        QCOMPARE(typeOf(folder->columns(QStringLiteral("inside#csv")), QStringLiteral("Code")),
                 QStringLiteral("130(255)"));
        QCOMPARE(typeOf(folder->columns(QStringLiteral("beyond#csv")), QStringLiteral("Code")),
                 QStringLiteral("3"));
    }

    void foldersThatDoNotExist() {
        QTemporaryDir temp;
        const QString missing = temp.filePath(QStringLiteral("nowhere"));
        for (const auto& open : {std::function<void()>([&] { openDbaseFolder(missing); }),
                                 std::function<void()>([&] { openTextFolder(missing); }),
                                 std::function<void()>([&] { openTextFolder({}); })}) {
            const std::optional<RuntimeError> error = failure(open);
            QVERIFY(error);
            QCOMPARE(error->number(), DataError::GeneralFailure);
        }
        QVERIFY(failure([&] { openDbaseFolder(missing); })
                    ->description()
                    .contains(QStringLiteral("nowhere")));
        // A folder removed while connected fails at the next question.
        const QString gone = temp.filePath(QStringLiteral("gone"));
        QVERIFY(QDir().mkpath(gone));
        const auto folder = openTextFolder(gone);
        QVERIFY(folder->tables().empty());
        QVERIFY(QDir(gone).removeRecursively());
        QCOMPARE(failure([&] { folder->tables(); })->number(), DataError::GeneralFailure);
    }

    void connectionStringsReachTheReaders() {
        QTemporaryDir temp;
        writeFile(temp.filePath(QStringLiteral("a.csv")), "x\n1\n");
        const auto text = openConnection(
            QStringLiteral("DRIVER={Microsoft Text Driver (*.txt; *.csv)};DBQ=") + temp.path());
        QCOMPARE(names(text->tables()), QStringList{QStringLiteral("a#csv")});
        const auto dbase = openConnection(
            QStringLiteral("Driver={Microsoft dBASE Driver (*.dbf)};DBQ=") + temp.path());
        QVERIFY(dbase->tables().empty());
    }
};

QTEST_GUILESS_MAIN(FileSourcesTest)
#include "tst_filesources.moc"
