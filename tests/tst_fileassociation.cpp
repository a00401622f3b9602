#include "foundation/fileassociation.h"
#include "foundation/settingsstore.h"
#include "support/testenvironment.h"

#include <QtTest>

using namespace ordwick;
using ordwick::test::TestEnvironment;

namespace {

const QString kExecutable = QStringLiteral("/opt/tessaline/ordwick");

struct AssociationFiles {
    QString desktopEntry;
    QString mimePackage;
    QString mimeApps;
    QString classesStore;

    bool operator==(const AssociationFiles&) const = default;
};

AssociationFiles readAssociationFiles(const TestEnvironment& env) {
    return {env.readFile(env.path(QStringLiteral("data/applications/tessaline-ordwick.desktop"))),
            env.readFile(env.path(QStringLiteral("data/mime/packages/tessaline-project.xml"))),
            env.readFile(env.path(QStringLiteral("config/mimeapps.list"))),
            env.readFile(SettingsStore::storeFolder() + QStringLiteral("/HKEY_CLASSES_ROOT.ini"))};
}

bool associate(const QString& executable = kExecutable) {
    return CreateAssociation(QStringLiteral("Tessaline"), QStringLiteral("Tessaline Project"),
                             executable, QStringLiteral(".pjx"));
}

QString desktopEntryFor(const QString& execLine) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Tessaline\n"
                          "Comment=Tessaline Project\n"
                          "Exec=") +
           execLine +
           QStringLiteral("\n"
                          "MimeType=application/x-tessaline-project;\n"
                          "Terminal=false\n"
                          "Categories=Development;\n");
}

} // namespace

class FileAssociationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void associationFilesAreWritten() {
        TestEnvironment env;
        QVERIFY(associate());
        const AssociationFiles files = readAssociationFiles(env);
        QCOMPARE(files.desktopEntry,
                 desktopEntryFor(QStringLiteral("\"/opt/tessaline/ordwick\" %f")));
        QCOMPARE(files.mimePackage,
                 QStringLiteral(
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                     "  <mime-type type=\"application/x-tessaline-project\">\n"
                     "    <comment>Tessaline Project</comment>\n"
                     "    <glob pattern=\"*.pjx\"/>\n"
                     "  </mime-type>\n"
                     "</mime-info>\n"));
        QCOMPARE(files.mimeApps,
                 QStringLiteral("[Default Applications]\n"
                                "application/x-tessaline-project=tessaline-ordwick.desktop\n"));
        QVERIFY(env.prompt.messages().isEmpty());

        // When the desktop's tool is installed, it has built its database from our package.
        if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()) {
            QVERIFY(QFileInfo::exists(
                env.path(QStringLiteral("data/mime/application/x-tessaline-project.xml"))));
        }
    }

    void settingsStoreKeepsTheClassicKeys() {
        TestEnvironment env;
        QVERIFY(associate());
        QCOMPARE(registryValue(HKEY_CLASSES_ROOT, QStringLiteral(".pjx"), QString()),
                 QVariant(QStringLiteral("Tessaline")));
        QCOMPARE(registryValue(HKEY_CLASSES_ROOT, QStringLiteral("Tessaline"), QString()),
                 QVariant(QStringLiteral("Tessaline Project")));
        QCOMPARE(registryValue(HKEY_CLASSES_ROOT, QStringLiteral("Tessaline\\shell\\open\\command"),
                               QString()),
                 QVariant(QStringLiteral("/opt/tessaline/ordwick %1")));
        QCOMPARE(
            registryValue(HKEY_CLASSES_ROOT, QStringLiteral("Tessaline\\DefaultIcon"), QString()),
            QVariant(QStringLiteral("/opt/tessaline/ordwick,0")));
    }

    void executablePathIsQuotedForTheDesktop() {
        TestEnvironment env;
        QVERIFY(associate(QStringLiteral("/opt/My \"Apps\"/$HOME\\x/100%/ordwick")));
        // Quoting escapes ", $ and \ with a backslash and doubles %; the entry's own
        // string escapes then double every backslash.
        QCOMPARE(readAssociationFiles(env).desktopEntry,
                 desktopEntryFor(QStringLiteral(
                     "\"/opt/My \\\\\"Apps\\\\\"/\\\\$HOME\\\\\\\\x/100%%/ordwick\" %f")));
    }

    void textsAreEscapedForTheirFiles() {
        TestEnvironment env;
        QVERIFY(CreateAssociation(QStringLiteral("Tessaline"),
                                  QStringLiteral("Projects <\"&\"> of\nTessaline"), kExecutable,
                                  QStringLiteral("pjx")));
        const AssociationFiles files = readAssociationFiles(env);
        QVERIFY(files.desktopEntry.contains(
            QStringLiteral("\nComment=Projects <\"&\"> of\\nTessaline\n")));
        QVERIFY(files.mimePackage.contains(
            QStringLiteral("<comment>Projects &lt;&quot;&amp;&quot;&gt; of\nTessaline</comment>")));
        // An extension given without its dot matches the same files.
        QVERIFY(files.mimePackage.contains(QStringLiteral("<glob pattern=\"*.pjx\"/>")));
    }

    void packagedEntryBecomesTheDefaultWithoutASecondEntry() {
        TestEnvironment env;
        // An unpacked package: its desktop entry beside its shipped data, but not
        // yet where the desktop looks, so the program's own entry is written.
        const QString share = env.path(QStringLiteral("usr/share"));
        QVERIFY(QDir().mkpath(share + QStringLiteral("/tessaline")));
        QVERIFY(QDir().mkpath(share + QStringLiteral("/applications")));
        env.writeFile(share + QStringLiteral("/applications/org.tessaline.ordwick.desktop"),
                      "[Desktop Entry]\n");
        qputenv("TESSALINE_APP_DIR", (share + QStringLiteral("/tessaline")).toUtf8());
        qputenv("XDG_DATA_DIRS", env.path(QStringLiteral("elsewhere")).toUtf8());
        const auto restore = qScopeGuard([] { qunsetenv("XDG_DATA_DIRS"); });
        QVERIFY(associate());
        QVERIFY(!readAssociationFiles(env).desktopEntry.isEmpty());

        // Installed where the desktop finds it: the package's entry is the default.
        QVERIFY(
            QFile::remove(env.path(QStringLiteral("data/applications/tessaline-ordwick.desktop"))));
        QVERIFY(
            QFile::remove(env.path(QStringLiteral("data/mime/packages/tessaline-project.xml"))));
        qputenv("XDG_DATA_DIRS", share.toUtf8());
        QVERIFY(associate());
        const AssociationFiles files = readAssociationFiles(env);
        QCOMPARE(files.desktopEntry, QString());
        QCOMPARE(files.mimePackage, QString());
        QCOMPARE(files.mimeApps,
                 QStringLiteral("[Default Applications]\n"
                                "application/x-tessaline-project=org.tessaline.ordwick.desktop\n"));
    }

    void registeringTwiceChangesNothing() {
        TestEnvironment env;
        QVERIFY(associate());
        const AssociationFiles first = readAssociationFiles(env);
        QVERIFY(associate());
        QCOMPARE(readAssociationFiles(env), first);
        QCOMPARE(first.mimeApps.count(QStringLiteral("application/x-tessaline-project")), 1);
    }

    void existingMimeAppsKeepsItsOtherLines() {
        TestEnvironment env;
        QVERIFY(QDir().mkpath(env.path(QStringLiteral("config"))));
        const QString mimeApps = env.path(QStringLiteral("config/mimeapps.list"));
        env.writeFile(mimeApps, "# chosen by the user\n"
                                "[Added Associations]\n"
                                "text/plain=org.gnome.gedit.desktop;\n"
                                "application/x-tessaline-project=other.desktop;\n"
                                "\n"
                                "[default applications]\n"
                                "image/png=viewer.desktop\n"
                                "\n"
                                "[Default Applications]\n"
                                "text/html=firefox.desktop\n"
                                "Application/X-Tessaline-Project=old-editor.desktop\n"
                                "image/jpeg=viewer.desktop\r\n"
                                "application/x-tessaline-project=older.desktop\n"
                                "\n"
                                "[Removed Associations]\n"
                                "text/x-c=ide.desktop;\n");
        QVERIFY(associate());
        // Our line replaces the old choice for the type where it stood and its
        // repeat goes; the lowercase group is not the one desktops read.
        QCOMPARE(env.readFile(mimeApps),
                 QStringLiteral("# chosen by the user\n"
                                "[Added Associations]\n"
                                "text/plain=org.gnome.gedit.desktop;\n"
                                "application/x-tessaline-project=other.desktop;\n"
                                "\n"
                                "[default applications]\n"
                                "image/png=viewer.desktop\n"
                                "\n"
                                "[Default Applications]\n"
                                "text/html=firefox.desktop\n"
                                "application/x-tessaline-project=tessaline-ordwick.desktop\n"
                                "image/jpeg=viewer.desktop\r\n"
                                "\n"
                                "[Removed Associations]\n"
                                "text/x-c=ide.desktop;\n"));
    }

    void defaultApplicationsGroupIsAddedOrExtended() {
        TestEnvironment env;
        QVERIFY(QDir().mkpath(env.path(QStringLiteral("config"))));
        const QString mimeApps = env.path(QStringLiteral("config/mimeapps.list"));
        env.writeFile(mimeApps, "[Added Associations]\ntext/plain=gedit.desktop;");
        QVERIFY(associate());
        QCOMPARE(env.readFile(mimeApps),
                 QStringLiteral("[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                                "[Default Applications]\n"
                                "application/x-tessaline-project=tessaline-ordwick.desktop\n"));

        env.writeFile(mimeApps, "[Default Applications]\ntext/html=firefox.desktop\n\n"
                                "[Added Associations]\n");
        QVERIFY(associate());
        QCOMPARE(env.readFile(mimeApps),
                 QStringLiteral("[Default Applications]\ntext/html=firefox.desktop\n"
                                "application/x-tessaline-project=tessaline-ordwick.desktop\n\n"
                                "[Added Associations]\n"));
    }

    void unwritableFolderIsReported() {
        TestEnvironment env;
        // A file where the applications folder belongs stops every user, root included.
        QVERIFY(QDir().mkpath(env.path(QStringLiteral("data"))));
        env.writeFile(env.path(QStringLiteral("data/applications")), "not a folder");
        env.prompt.answer(Prompt::Ignore);
        QVERIFY(!associate());
        QCOMPARE(env.prompt.messages().size(), 1);
        QVERIFY(env.readFile(env.errorLogPath())
                    .contains(QStringLiteral("|modFileAssociation.CreateAssociation|")));
        QVERIFY(!QFileInfo::exists(env.path(QStringLiteral("config/mimeapps.list"))));
    }

    void unreadableMimeAppsIsNotOverwritten() {
        TestEnvironment env;
        const QString mimeApps = env.path(QStringLiteral("config/mimeapps.list"));
        QVERIFY(QDir().mkpath(mimeApps));
        env.prompt.answer(Prompt::Ignore);
        QVERIFY(!associate());
        QCOMPARE(env.prompt.messages().size(), 1);
        QVERIFY(QFileInfo(mimeApps).isDir());
    }
};

QTEST_GUILESS_MAIN(FileAssociationTest)
#include "tst_fileassociation.moc"
