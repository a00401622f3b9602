#include "foundation/convert.h"
#include "foundation/inidocument.h"
#include "foundation/inifile.h"
#include "project/projectfile.h"
#include "project/projectsession.h"
#include "support/testenvironment.h"

#include <QtTest>

using namespace ordwick;
using ordwick::test::TestEnvironment;

namespace {

ColumnSettings column(const QString& name, int variant) {
    ColumnSettings c;
    c.ColumnName = name;
    c.DataType = 1 + variant % 8;
    c.Position = variant + 1;
    c.ListCaption = QStringLiteral("List ") + name;
    c.ListBold = variant % 2 == 0;
    c.ListItalic = variant % 3 == 0;
    c.ListUnderline = variant % 2 == 1;
    c.ListAlignment = variant % 3;
    c.EditCaption = QStringLiteral("Edit ") + name;
    c.EditBold = variant % 2 == 1;
    c.EditItalic = variant % 3 != 0;
    c.EditUnderline = variant % 2 == 0;
    c.EditAlignment = (variant + 1) % 3;
    c.ListDisplay = variant % 2 == 1;
    c.EditDisplay = variant % 2 == 0;
    c.Required = variant % 2 == 1;
    c.InSimpleSearch = variant % 2 == 0;
    c.InAdvancedSearch = variant % 2 == 1;
    c.FieldWidth = 30 + variant;
    c.MaxLength = 255 - variant;
    c.DefaultValue = variant % 2 == 0 ? QString() : QStringLiteral("n/a");
    c.EditType = variant % 10;
    c.ValidationType = variant % 9;
    c.Details = variant % 4 == 0 ? QStringLiteral("1") : QString();
    c.Reserved = -variant;
    return c;
}

// A project where every field differs from its default.
Project filledProject() {
    Project p;
    p.DatasourceStatus = DatasourceConnection;
    p.DatasourceType = 5;
    p.DatabaseName = QStringLiteral("/data/Shop Data/shop.db");
    p.TableName = QStringLiteral("Order Details");
    p.DBLogin = QStringLiteral("sa");
    p.DBPassword = QStringLiteral("p=ss;word");
    p.ConnectionString = QStringLiteral("DRIVER={SQLite3};Database=/data/shop.db;");
    p.SQLString = QStringLiteral("SELECT [Order ID], Quantity FROM  [Order Details]");
    p.SQLWhereString = QStringLiteral("Quantity > 5 AND Note = 'x'");
    p.EnableAppend = true;
    p.EditAs = true;
    p.EnableDelete = true;
    p.SimpleSearch = false;
    p.AdvancedSearch = true;
    p.InitialSort = true;
    p.PageSupport = false;
    p.LoginPage = true;
    p.SelectedTemplate = QStringLiteral("Blue Sky");
    p.PrinterFriendlyVersion = true;
    p.ExportOption = true;
    p.RecordsPerPage = true;
    p.RecordsPerPageID = 4;
    p.SortColumnBy = true;
    p.SortColumnID = QStringLiteral("Quantity DESC");
    p.ShowMoreLink = true;
    p.ShowMoreLinkID = -120;
    p.DynamicStaticLogin = true;
    p.CodeLoginName = QStringLiteral("admin");
    p.CodeLoginPassword = QStringLiteral("secret");
    p.DynamicTable = QStringLiteral("Users");
    p.DynamicLoginName = QStringLiteral("Login");
    p.DynamicLoginPassword = QStringLiteral("Password");
    p.DestinationPath = QStringLiteral("/srv/www/shop");
    p.CopyDatabase = false;
    p.UniqueKey = {QStringLiteral("Order ID"), QStringLiteral("Product ID")};
    for (int i = 0; i < 6; ++i)
        p.Columns.push_back(column(QStringLiteral("Col %1").arg(i), i));
    p.Rename = {QStringLiteral("orders_index.asp;list.asp"),
                QStringLiteral("orders_edit.asp;orders_edit.asp")};
    return p;
}

// A small project: the Orders table with its ID column.
Project ordersWithOneColumn() {
    Project p;
    p.DatabaseName = QStringLiteral("/d/shop.db");
    p.TableName = QStringLiteral("Orders");
    p.SQLString = QStringLiteral("SELECT ID FROM Orders");
    p.UniqueKey = {QStringLiteral("ID")};
    ColumnSettings id;
    id.ColumnName = QStringLiteral("ID");
    id.DataType = 3;
    id.ListCaption = id.EditCaption = QStringLiteral("ID");
    id.MaxLength = 10;
    p.Columns.push_back(id);
    return p;
}

} // namespace

class ProjectFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newProjectHasTheDocumentedDefaults() {
        const Project p;
        QCOMPARE(p.DatasourceStatus, 1);
        QCOMPARE(p.DatasourceType, 1);
        QVERIFY(p.SimpleSearch && p.PageSupport && p.CopyDatabase);
        QVERIFY(!p.EnableAppend && !p.EditAs && !p.EnableDelete && !p.AdvancedSearch);
        QVERIFY(!p.InitialSort && !p.LoginPage && !p.RecordsPerPage && !p.ShowMoreLink);
        QCOMPARE(p.RecordsPerPageID, 2);
        QCOMPARE(p.ShowMoreLinkID, 80);
        QVERIFY(p.UniqueKey.isEmpty() && p.Columns.empty() && p.Rename.isEmpty());
        const ColumnSettings c;
        QCOMPARE(columnSettingsText(c),
                 QStringLiteral("0;0;;False;False;False;0;;False;False;False;0;True;True;True;True;"
                                "True;30;0;;0;0;;0;"));
    }

    void fileLayoutIsExact() {
        TestEnvironment env;
        Project p = ordersWithOneColumn();
        p.Rename = {QStringLiteral("orders_index.asp;orders_index.asp")};
        const QString file = env.path(QStringLiteral("layout.pjx"));
        saveProjectFile(file, p, 3);
        const QString expected = QStringLiteral(
            "[Configuration]\r\nDatasourceStatus=1\r\nDatasourceType=1\r\nDatabaseName=/d/"
            "shop.db\r\n"
            "TableName=Orders\r\nDBLogin=\r\nDBPassword=\r\nConnectionString=\r\nSQLWhereString="
            "\r\n"
            "EnableAppend=False\r\nEditAs=False\r\nEnableDelete=False\r\nSimpleSearch=True\r\n"
            "AdvancedSearch=False\r\nInitialSort=False\r\nPageSupport=True\r\nLoginPage=False\r\n"
            "SelectedTemplate=\r\nPrinterFriendlyVersion=False\r\nExportOption=False\r\n"
            "RecordsPerPage=False\r\nRecordsPerPageID=2\r\nSortColumnBy=False\r\nSortColumnID=\r\n"
            "ShowMoreLink=False\r\nShowMoreLinkID=80\r\nDynamicStaticLogin=False\r\n"
            "CodeLoginName=\r\nCodeLoginPassword=\r\nDynamicTable=\r\nDynamicLoginName=\r\n"
            "DynamicLoginPassword=\r\nDestinationPath=\r\nCopyDatabase=True\r\n"
            "[SQLString]\r\nSQL1=SELECT ID FROM Orders\r\n"
            "[UniqueKey]\r\n1=ID\r\n"
            "[Columns]\r\nID=3;0;ID;False;False;False;0;ID;False;False;False;0;True;True;True;True;"
            "True;30;10;;0;0;;0;\r\n"
            "[Rename]\r\n1=orders_index.asp;orders_index.asp\r\n");
        QCOMPARE(env.readFile(file), expected);
        QCOMPARE(ProjectFileLayout::configurationKeys().size(), 33);
    }

    void everyFieldSurvivesARoundTrip() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("full.pjx"));
        const Project saved = filledProject();
        saveProjectFile(file, saved, 10);
        Project loaded;
        readProjectFile(file, loaded);
        QCOMPARE(loaded, saved);
        QVERIFY(env.prompt.messages().isEmpty());

        // Every boolean the other way round as well.
        Project flipped = saved;
        flipped.EnableAppend = flipped.EditAs = flipped.EnableDelete = false;
        flipped.SimpleSearch = flipped.PageSupport = flipped.CopyDatabase = true;
        flipped.AdvancedSearch = flipped.InitialSort = flipped.LoginPage = false;
        flipped.PrinterFriendlyVersion = flipped.ExportOption = flipped.RecordsPerPage = false;
        flipped.SortColumnBy = flipped.ShowMoreLink = flipped.DynamicStaticLogin = false;
        for (ColumnSettings& c : flipped.Columns) {
            c.ListBold = !c.ListBold;
            c.ListItalic = !c.ListItalic;
            c.ListUnderline = !c.ListUnderline;
            c.EditBold = !c.EditBold;
            c.EditItalic = !c.EditItalic;
            c.EditUnderline = !c.EditUnderline;
            c.ListDisplay = !c.ListDisplay;
            c.EditDisplay = !c.EditDisplay;
            c.Required = !c.Required;
            c.InSimpleSearch = !c.InSimpleSearch;
            c.InAdvancedSearch = !c.InAdvancedSearch;
        }
        saveProjectFile(file, flipped, 10);
        Project reloaded;
        readProjectFile(file, reloaded);
        QCOMPARE(reloaded, flipped);
    }

    void queryIsStoredInPiecesOf200() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("sql.pjx"));
        Project p;
        p.DatabaseName = QStringLiteral("x");
        // A piece boundary on a blank must keep the blank.
        p.SQLString =
            QString(199, u'a') + QStringLiteral(" ") + QString(200, u'b') + QString(50, u'c');
        saveProjectFile(file, p, 1);
        const IniDocument doc = IniDocument::load(file);
        QCOMPARE(
            doc.keys(ProjectFileLayout::SqlString),
            (QStringList{QStringLiteral("SQL1"), QStringLiteral("SQL2"), QStringLiteral("SQL3")}));
        QCOMPARE(doc.value(ProjectFileLayout::SqlString, QStringLiteral("SQL3"))->size(), 50);
        Project loaded;
        readProjectFile(file, loaded);
        QCOMPARE(loaded.SQLString, p.SQLString);

        p.SQLString = QString(200, u'x');
        saveProjectFile(file, p, 1);
        QCOMPARE(IniDocument::load(file).keys(ProjectFileLayout::SqlString),
                 QStringList{QStringLiteral("SQL1")});
        p.SQLString.clear();
        saveProjectFile(file, p, 1);
        QVERIFY(IniDocument::load(file).keys(ProjectFileLayout::SqlString).isEmpty());

        // A character outside the basic plane is never split between two pieces.
        p.SQLString = QString(199, u'q') + QStringLiteral("𝄞") + QStringLiteral("tail");
        saveProjectFile(file, p, 1);
        readProjectFile(file, loaded);
        QCOMPARE(loaded.SQLString, p.SQLString);
    }

    void queriesOnSeveralLinesKeepTheirMeaning() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("lines.pjx"));
        Project p;
        p.DatabaseName = QStringLiteral("x");
        p.SQLString = QStringLiteral("SELECT Name\n-- the list page\nFROM Customers");
        p.SQLWhereString = QStringLiteral("WHERE City = 'Paris'\r\n  AND Active = 1");
        saveProjectFile(file, p, 4);
        const QString text = env.readFile(file);
        QVERIFY(text.contains(QStringLiteral("[SQLString]\r\nSQL1=SELECT Name-- the list pageFROM "
                                             "Customers\r\nLineBreaks=11,28\r\n")));
        QVERIFY(text.contains(
            QStringLiteral("SQLWhereString=WHERE City = 'Paris'  AND Active = 1\r\n")));
        QVERIFY(text.contains(QStringLiteral("SQLWhereLineBreaks=20\r\n")));
        Project loaded;
        readProjectFile(file, loaded);
        QCOMPARE(loaded.SQLString, QStringLiteral("SELECT Name\n-- the list page\nFROM Customers"));
        QCOMPARE(loaded.SQLWhereString, QStringLiteral("WHERE City = 'Paris'\n  AND Active = 1"));
        QVERIFY(env.prompt.messages().isEmpty());

        // Back to one line: the file is as it always was, without the break keys.
        p.SQLString = QStringLiteral("SELECT Name FROM Customers");
        p.SQLWhereString = QStringLiteral("WHERE City = 'Paris'");
        saveProjectFile(file, p, 4);
        const QString single = env.readFile(file);
        QVERIFY(
            single.contains(QStringLiteral("[SQLString]\r\nSQL1=SELECT Name FROM Customers\r\n")));
        QVERIFY(!single.contains(QStringLiteral("LineBreaks")));

        // Breaks that do not fit the text are reported, not guessed at.
        env.writeFile(file, env.readFile(file)
                                .replace(QStringLiteral("SQL1=SELECT Name FROM Customers"),
                                         QStringLiteral("SQL1=SELECT 1\r\nLineBreaks=99"))
                                .toUtf8());
        env.prompt.answer(Prompt::Ignore);
        readProjectFile(file, loaded);
        QCOMPARE(env.prompt.messages().size(), 1);
        QVERIFY(env.prompt.messages().constFirst().text.contains(
            QStringLiteral("The project file's line breaks \"99\" do not fit its query.")));
    }

    void everyColumnNameASourceCanGiveSurvivesTheFile() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("names.pjx"));
        const QStringList names = {
            QStringLiteral("#tag"),    QStringLiteral(";note"),    QStringLiteral(" lead"),
            QStringLiteral("trail "),  QStringLiteral("\ttab"),    QStringLiteral("a=b"),
            QStringLiteral("[x]"),     QStringLiteral("]close"),   QStringLiteral("two\nlines"),
            QStringLiteral("x\u00A0"), QStringLiteral("50% off"),  QStringLiteral("a[b]"),
            QStringLiteral("Größe"),   QStringLiteral("Order ID"), QString()};
        Project p = ordersWithOneColumn();
        p.Columns.clear();
        for (const QString& name : names) {
            ColumnSettings column;
            column.ColumnName = name;
            p.Columns.push_back(column);
        }
        p.UniqueKey = {QStringLiteral("#tag"), QStringLiteral("a=b"), QStringLiteral("Order ID")};
        saveProjectFile(file, p, 10);

        // Names the format carries are written as always; the others in the
        // escaped form.
        const QString text = env.readFile(file);
        const QString rest = QStringLiteral("=0;0;;False;False;False;0;;False;False;False;0;True;"
                                            "True;True;True;True;30;0;;0;0;;0;\r\n");
        QVERIFY(text.contains(QStringLiteral("[UniqueKey]\r\n1=]%23tag\r\n2=]a%3Db\r\n"
                                             "3=Order ID\r\n")));
        const QStringList stored = {QStringLiteral("]%23tag"),
                                    QStringLiteral("]%3Bnote"),
                                    QStringLiteral("]%20lead"),
                                    QStringLiteral("]trail%20"),
                                    QStringLiteral("]%09tab"),
                                    QStringLiteral("]a%3Db"),
                                    QStringLiteral("]%5Bx%5D"),
                                    QStringLiteral("]%5Dclose"),
                                    QStringLiteral("]two%0Alines"),
                                    QStringLiteral("]x%C2%A0"),
                                    QStringLiteral("50% off"),
                                    QStringLiteral("a[b]"),
                                    QStringLiteral("Größe"),
                                    QStringLiteral("Order ID"),
                                    QStringLiteral("]")};
        QString columns = QStringLiteral("[Columns]\r\n");
        for (const QString& key : stored)
            columns += key + rest;
        QVERIFY2(text.contains(columns), qPrintable(text));

        Project loaded;
        readProjectFile(file, loaded);
        QVERIFY(env.prompt.messages().isEmpty());
        QStringList loadedNames;
        for (const ColumnSettings& column : loaded.Columns)
            loadedNames.append(column.ColumnName);
        QCOMPARE(loadedNames, names);
        QCOMPARE(loaded.UniqueKey, p.UniqueKey);
    }

    void namesStartingWithTheMarkerInOlderFilesReadAsWritten() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("older.pjx"));
        saveProjectFile(file, ordersWithOneColumn(), 10);
        // Names stored as they are by earlier versions, which happen to start
        // with "]", are not the escaped form and keep their text.
        env.writeFile(file, env.readFile(file)
                                .replace(QStringLiteral("[UniqueKey]\r\n1=ID\r\n"),
                                         QStringLiteral("[UniqueKey]\r\n1=]%41\r\n2=]id\r\n"))
                                .replace(QStringLiteral("\r\nID=3;"), QStringLiteral("\r\n]%2=3;"))
                                .toUtf8());
        Project loaded;
        readProjectFile(file, loaded);
        QVERIFY(env.prompt.messages().isEmpty());
        QCOMPARE(loaded.UniqueKey, (QStringList{QStringLiteral("]%41"), QStringLiteral("]id")}));
        QCOMPARE(loaded.Columns.size(), size_t(1));
        QCOMPARE(loaded.Columns.at(0).ColumnName, QStringLiteral("]%2"));
        QCOMPARE(loaded.Columns.at(0).DataType, 3);
    }

    void savingReplacesColumnsButKeepsUniqueKeyBeforeStep3() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("resave.pjx"));
        Project p = filledProject();
        saveProjectFile(file, p, 10);
        p.Columns.resize(2);
        p.UniqueKey = {QStringLiteral("Other")};
        saveProjectFile(file, p, 2);
        const IniDocument doc = IniDocument::load(file);
        QCOMPARE(doc.keys(ProjectFileLayout::Columns),
                 (QStringList{QStringLiteral("Col 0"), QStringLiteral("Col 1")}));
        QCOMPARE(doc.keys(ProjectFileLayout::UniqueKey),
                 (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
        QCOMPARE(*doc.value(ProjectFileLayout::UniqueKey, QStringLiteral("1")),
                 QStringLiteral("Order ID"));
        saveProjectFile(file, p, 3);
        QCOMPARE(IniDocument::load(file).keys(ProjectFileLayout::UniqueKey),
                 QStringList{QStringLiteral("1")});
    }

    void saveKeepsWhatItDoesNotOwn() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("hand.pjx"));
        env.writeFile(file, "; hand notes\r\n[Configuration]\r\nCustomKey=kept\r\nTableName=old\r\n"
                            "[Rename]\r\n1=a;b\r\n7=c;d\r\n[Extra]\r\nx=1\r\n");
        Project p = ordersWithOneColumn();
        p.Rename = {QStringLiteral("orders_index.asp;list.asp")};
        // Before the table step the file's unique keys stay as they are (none here).
        saveProjectFile(file, p, 1);
        QCOMPARE(env.readFile(file),
                 QStringLiteral(
                     "; hand notes\r\n[Configuration]\r\nCustomKey=kept\r\nTableName=Orders\r\n"
                     "DatasourceStatus=1\r\nDatasourceType=1\r\nDatabaseName=/d/shop.db\r\n"
                     "DBLogin=\r\nDBPassword=\r\nConnectionString=\r\nSQLWhereString=\r\n"
                     "EnableAppend=False\r\nEditAs=False\r\nEnableDelete=False\r\n"
                     "SimpleSearch=True\r\nAdvancedSearch=False\r\nInitialSort=False\r\n"
                     "PageSupport=True\r\nLoginPage=False\r\nSelectedTemplate=\r\n"
                     "PrinterFriendlyVersion=False\r\nExportOption=False\r\n"
                     "RecordsPerPage=False\r\nRecordsPerPageID=2\r\nSortColumnBy=False\r\n"
                     "SortColumnID=\r\nShowMoreLink=False\r\nShowMoreLinkID=80\r\n"
                     "DynamicStaticLogin=False\r\nCodeLoginName=\r\nCodeLoginPassword=\r\n"
                     "DynamicTable=\r\nDynamicLoginName=\r\nDynamicLoginPassword=\r\n"
                     "DestinationPath=\r\nCopyDatabase=True\r\n"
                     "[Extra]\r\nx=1\r\n"
                     "[SQLString]\r\nSQL1=SELECT ID FROM Orders\r\n"
                     "[Columns]\r\nID=3;0;ID;False;False;False;0;ID;False;False;False;0;True;True;"
                     "True;True;True;30;10;;0;0;;0;\r\n"
                     "[Rename]\r\n1=orders_index.asp;list.asp\r\n"));
    }

    void handEditedFilesAreReportedAndReadingGoesOn() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("edited.pjx"));
        saveProjectFile(file, filledProject(), 10);
        QString text = env.readFile(file);
        text.replace(QStringLiteral("RecordsPerPageID=4\r\n"), QString()); // missing
        text.replace(QStringLiteral("EnableAppend=True"),
                     QStringLiteral("EnableAppend=Yes")); // bad
        text.replace(QStringLiteral("DatasourceType=5"), QStringLiteral("DatasourceType=70000"));
        // A missing text is simply empty: no report.
        text.replace(QRegularExpression(QStringLiteral("CodeLoginName=[^\r]*\r\n")), QString());
        text.replace(QRegularExpression(QStringLiteral("Col 1=[^\r]*")),
                     QStringLiteral("Col 1=2;2;Short;True;\r\nX="));
        env.writeFile(file, text.toUtf8());

        for (int i = 0; i < 5; ++i)
            env.prompt.answer(Prompt::Ignore);
        Project p;
        p.RecordsPerPageID = 77;
        readProjectFile(file, p);
        QCOMPARE(env.prompt.messages().size(), 5);
        QCOMPARE(p.RecordsPerPageID, 77); // kept its previous value
        QCOMPARE(p.EnableAppend, false);
        QCOMPARE(p.DatasourceType, 1);
        QCOMPARE(p.EditAs, true); // reading went on after the failures
        QCOMPARE(p.CodeLoginName, QString());
        QCOMPARE(p.Columns.size(), size_t(7));
        const ColumnSettings& shortColumn = p.Columns.at(1);
        QCOMPARE(shortColumn.ColumnName, QStringLiteral("Col 1"));
        QCOMPARE(shortColumn.ListCaption, QStringLiteral("Short"));
        QCOMPARE(shortColumn.ListBold, true);
        QCOMPARE(shortColumn.FieldWidth, 30); // beyond the short value: defaults
        QVERIFY(env.prompt.messages().at(3).text.contains(QStringLiteral("hold 4 of 24")));
        QCOMPARE(p.Columns.at(2).ColumnName, QStringLiteral("X"));
        QVERIFY(env.prompt.messages().at(4).text.contains(QStringLiteral("hold 0 of 24")));
        const QStringList log = ErrorLog::ReadErrorLog(env.errorLogPath()).value();
        QCOMPARE(log.size(), 1); // one source, one minute
        QVERIFY(log.constFirst().contains(QStringLiteral("|frmMain.OpenProject|")));
        QVERIFY(log.constFirst().endsWith(QStringLiteral("|5|N")));
    }

    void retryReadsTheMendedFile() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("mend.pjx"));
        saveProjectFile(file, filledProject(), 10);
        const QString good = env.readFile(file);
        QString bad = good;
        bad.replace(QStringLiteral("ShowMoreLinkID=-120"), QStringLiteral("ShowMoreLinkID=lots"));
        env.writeFile(file, bad.toUtf8());
        // The user mends the file while the report is on screen, then chooses Retry.
        env.prompt.whenShown = [&](const Prompt::Message&) { env.writeFile(file, good.toUtf8()); };
        env.prompt.answer(Prompt::Retry);
        Project p;
        readProjectFile(file, p);
        QCOMPARE(env.prompt.messages().size(), 1);
        QCOMPARE(p.ShowMoreLinkID, -120);
    }

    void saveAsksForAFileAndForOverwriting() {
        TestEnvironment env;
        ProjectSession session(env.prompt);
        QStringList used;
        session.onProjectFileUsed = [&](const QString& path) { used << path; };
        QCOMPARE(session.saveProject(), QString()); // nothing to save: no dialog
        QVERIFY(env.prompt.fileRequests().isEmpty());

        session.project.DatabaseName = QStringLiteral("/d/shop.db");
        env.prompt.answerFile(QStringLiteral("   "));
        QCOMPARE(session.saveProject(), QString());
        const Prompt::FileRequest& request = env.prompt.fileRequests().constFirst();
        QCOMPARE(request.title, QStringLiteral("Save Tessaline Project"));
        QCOMPARE(request.filter, QStringLiteral("Tessaline Project (*.pjx)"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("pjx"));

        const QString file = env.path(QStringLiteral("exists.pjx"));
        env.writeFile(file, "[Keep]\r\nx=1\r\n");
        env.prompt.answerFile(QStringLiteral(" ") + file + QStringLiteral(" "));
        env.prompt.answer(Prompt::No);
        QCOMPARE(session.saveProject(), QString());
        const Prompt::Message& question = env.prompt.messages().constLast();
        QCOMPARE(question.title, QString());
        QCOMPARE(question.text,
                 file + QStringLiteral(" already exists!\nWould you like to overwrite it?"));
        QCOMPARE(question.buttons, Prompt::Buttons::YesNo);
        QCOMPARE(env.readFile(file), QStringLiteral("[Keep]\r\nx=1\r\n"));

        env.prompt.answerFile(file);
        env.prompt.answer(Prompt::Yes);
        QCOMPARE(session.saveProject(), file);
        QCOMPARE(session.projectFile, file);
        QVERIFY(env.readFile(file).startsWith(QStringLiteral("[Keep]\r\nx=1\r\n[Configuration]")));

        // The second save goes straight to the file.
        session.project.TableName = QStringLiteral("Orders");
        QCOMPARE(session.saveProject(), file);
        QVERIFY(env.prompt.allAnswersUsed());
        QCOMPARE(env.prompt.messages().size(), 2);
        QCOMPARE(used, (QStringList{file, file}));

        // The next save and open dialogs start where the project was saved.
        const QString folder = env.path(QStringLiteral("projects"));
        QVERIFY(QDir().mkpath(folder));
        session.projectFile.clear();
        env.prompt.answerFile(folder + QStringLiteral("/second.pjx"));
        QCOMPARE(session.saveProject(), folder + QStringLiteral("/second.pjx"));
        session.projectFile.clear();
        env.prompt.answerFile(QString());
        QCOMPARE(session.saveProject(), QString());
        QCOMPARE(env.prompt.fileRequests().constLast().folder, folder);
        env.prompt.answerFile(folder + QStringLiteral("/second.pjx"));
        QVERIFY(session.openProject(QString()));
        env.prompt.answerFile(QString());
        QVERIFY(!session.openProject(QString()));
        QCOMPARE(env.prompt.fileRequests().constLast().title,
                 QStringLiteral("Select Tessaline Project"));
        QCOMPARE(env.prompt.fileRequests().constLast().folder, folder);
    }

    void saveThatCannotWriteIsNotASuccess() {
        TestEnvironment env;
        ProjectSession session(env.prompt);
        session.project.DatabaseName = QStringLiteral("x");
        session.projectFile = env.path(QStringLiteral("no/such/folder/p.pjx"));
        env.prompt.answer(Prompt::Ignore);
        QCOMPARE(session.saveProject(), QString());
        QVERIFY(env.prompt.messages().constFirst().text.contains(QStringLiteral("cannot write")));
        QVERIFY(env.readFile(env.errorLogPath()).contains(QStringLiteral("|frmMain.SaveProject|")));
    }

    void openAsksForAFileAndWarnsWhenItIsGone() {
        TestEnvironment env;
        ProjectSession session(env.prompt);
        QStringList missing;
        session.onProjectFileMissing = [&](const QString& path) { missing << path; };
        env.prompt.answerFile(QString());
        QVERIFY(!session.openProject(QString()));
        QCOMPARE(env.prompt.fileRequests().constFirst().title,
                 QStringLiteral("Select Tessaline Project"));

        const QString gone = env.path(QStringLiteral("gone.pjx"));
        env.prompt.answer(Prompt::Ok);
        QVERIFY(!session.openProject(gone));
        QCOMPARE(session.projectFile, gone);
        const Prompt::Message& warning = env.prompt.messages().constFirst();
        QCOMPARE(warning.title, QStringLiteral("No Project found."));
        QCOMPARE(warning.text,
                 QStringLiteral("The project file no longer exists! Please select another."));
        QCOMPARE(warning.icon, Prompt::Icon::Warning);
        QCOMPARE(missing, QStringList{gone});
        QCOMPARE(session.project, Project{});

        const QString file = env.path(QStringLiteral("there.pjx"));
        saveProjectFile(file, filledProject(), 10);
        env.prompt.answerFile(file);
        QVERIFY(session.openProject(QString()));
        QCOMPARE(session.project, filledProject());
    }

    void missingOrUnreadableFilesNeverCrash() {
        TestEnvironment env;
        Project p;
        env.prompt.answer(Prompt::Ignore);
        readProjectFile(env.path(QStringLiteral("nowhere.pjx")), p);
        QCOMPARE(env.prompt.messages().size(), 1);
        QCOMPARE(p, Project{});
    }

    void setFileNameTestsContainment() {
        QStringList list;
        SetFileName(list, QStringLiteral("orders_index.asp"));
        QCOMPARE(list, QStringList{QStringLiteral("orders_index.asp;orders_index.asp")});
        SetFileName(list, QStringLiteral("orders_index.asp"));
        QCOMPARE(list.size(), 1);
        QStringList renamed{QStringLiteral("myorders_index.asp;list.asp")};
        SetFileName(renamed, QStringLiteral("orders_index.asp"));
        QCOMPARE(renamed.size(), 1);
        SetFileName(renamed, QStringLiteral("orders_edit.asp"));
        QCOMPARE(renamed.last(), QStringLiteral("orders_edit.asp;orders_edit.asp"));
    }

    void renameEntriesReadInFileOrder() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("rename.pjx"));
        saveProjectFile(file, filledProject(), 10);
        QString text = env.readFile(file);
        text.replace(QStringLiteral("[Rename]\r\n1=orders_index.asp;list.asp\r\n2="),
                     QStringLiteral("[Rename]\r\n3=orders_index.asp;list.asp\r\n1="));
        env.writeFile(file, text.toUtf8());
        Project p;
        readProjectFile(file, p);
        QCOMPARE(p.Rename, filledProject().Rename);
    }
};

QTEST_GUILESS_MAIN(ProjectFileTest)
#include "tst_projectfile.moc"
