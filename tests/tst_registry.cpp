#include "foundation/odbcdatasources.h"
#include "foundation/settingsstore.h"
#include "support/testenvironment.h"

#include <QtTest>
#include <odbcinst.h>

using namespace ordwick;
using ordwick::test::TestEnvironment;

namespace {

const QString kSettings = QStringLiteral("SOFTWARE\\Tessaline\\Settings");
const QString kDataSources = QStringLiteral("SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources");

SettingsStore keyAt(std::uint32_t root, const QString& path, const QString& value = {}) {
    SettingsStore registry;
    registry.setClassKey(root);
    registry.setSectionKey(path);
    registry.setValueKey(value);
    return registry;
}

QString storeOf(const QString& root) {
    return SettingsStore::storeFolder() + QLatin1Char('/') + root + QStringLiteral(".ini");
}

QString machineStore() {
    return storeOf(QStringLiteral("HKEY_LOCAL_MACHINE"));
}

QStringList valueNames(SettingsStore& registry, std::int32_t* count = nullptr) {
    QStringList names{QStringLiteral("stale")};
    std::int32_t found = -1;
    registry.enumerateValues(names, found);
    if (count)
        *count = found;
    return names;
}

QStringList subKeys(SettingsStore& registry) {
    QStringList names{QStringLiteral("stale")};
    std::int32_t count = -1;
    registry.enumerateSections(names, count);
    return count == names.size() ? names : QStringList{QStringLiteral("count differs")};
}

// Writes through the object and reads back through a fresh one, so that the
// value has been to the file and back.
QVariant roundTrip(std::int32_t type, const QVariant& value, std::int32_t* storedType) {
    SettingsStore writer = keyAt(HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("Probe"));
    writer.setValueType(type);
    writer.setValue(value);
    SettingsStore reader = keyAt(HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("Probe"));
    reader.setValueType(-1);
    const QVariant read = reader.value();
    *storedType = reader.valueType();
    return read;
}

QString nul() {
    return QString(QChar(u'\0'));
}

} // namespace

class RegistryTest : public QObject {
    Q_OBJECT

private:
    // The driver manager takes its configuration folder from the environment
    // once per process, so one folder serves every case and each case writes
    // the files it needs. It also keeps the attributes it has read for some
    // seconds, so a data source has the same attributes in every case.
    QTemporaryDir m_odbc;

    void writeOdbcFiles(const QByteArray& odbcIni, const QByteArray& odbcinstIni) const {
        QFile ini(m_odbc.filePath(QStringLiteral("odbc.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(odbcIni);
        QFile inst(m_odbc.filePath(QStringLiteral("odbcinst.ini")));
        QVERIFY(inst.open(QIODevice::WriteOnly | QIODevice::Truncate));
        inst.write(odbcinstIni);
    }

    void writeShopSources() const {
        writeOdbcFiles("[ODBC]\nTrace=No\n\n"
                       "[Shop]\nDriver=SQLite3\nDatabase=/data/shop.db\nDescription=Shop data\n\n"
                       "[Accounts]\nDriver=PostgreSQL Unicode\nServer=db.example\n"
                       "Database=accounts\n",
                       "[SQLite3]\nDescription=SQLite3 ODBC Driver\n"
                       "Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n\n"
                       "[PostgreSQL Unicode]\nDriver=psqlodbcw.so\n");
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_odbc.isValid());
        qputenv("ODBCSYSINI", QFile::encodeName(m_odbc.path()));
    }

    // --- Keys -------------------------------------------------------------------

    void missingKeyIsCreatedOnFirstRead() {
        TestEnvironment env;
        QVERIFY(SettingsStore::storeFolder().startsWith(env.path(QStringLiteral("config"))));
        QVERIFY(!keyAt(HKEY_LOCAL_MACHINE, kSettings).keyExists());

        const QVariant value =
            registryValue(HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("Theme"));
        QVERIFY(!value.isValid());
        QVERIFY(value.toString().isEmpty());
        QVERIFY(keyAt(HKEY_LOCAL_MACHINE, kSettings).keyExists());
        QCOMPARE(env.readFile(machineStore()),
                 QStringLiteral("[SOFTWARE\\Tessaline]\r\n"
                                "[SOFTWARE\\Tessaline\\Settings]\r\n"));

        // The new key is empty, and says so whatever the caller's list held.
        SettingsStore key = keyAt(HKEY_LOCAL_MACHINE, kSettings);
        std::int32_t count = -1;
        QCOMPARE(valueNames(key, &count), QStringList());
        QCOMPARE(count, 0);
        SettingsStore parent = keyAt(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Tessaline"));
        QCOMPARE(subKeys(parent), QStringList{QStringLiteral("Settings")});

        // A missing value reads as the caller's Default and leaves ValueType alone.
        key.setValueKey(QStringLiteral("Missing"));
        key.setDefaultValue(QStringLiteral("fallback"));
        key.setValueType(REG_BINARY);
        QCOMPARE(key.value(), QVariant(QStringLiteral("fallback")));
        QCOMPARE(key.valueType(), std::int32_t(REG_BINARY));
    }

    void missingKeysHaveNothingToList() {
        TestEnvironment env;
        SettingsStore key = keyAt(HKEY_CLASSES_ROOT, QStringLiteral("Nowhere\\Deeper"));
        std::int32_t count = -1;
        QCOMPARE(valueNames(key, &count), QStringList());
        QCOMPARE(count, 0);
        QCOMPARE(subKeys(key), QStringList());
        key.deleteKey();
        key.deleteValue();
        // Asking and deleting create nothing.
        QVERIFY(!QFileInfo::exists(storeOf(QStringLiteral("HKEY_CLASSES_ROOT"))));
    }

    void keysAndValuesMatchWithoutRegardToCase() {
        TestEnvironment env;
        setRegistryValue(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Tessaline"),
                         QStringLiteral("LastFolder"), REG_SZ, QStringLiteral("/srv/a"));
        QCOMPARE(registryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\TESSALINE"),
                               QStringLiteral("lastfolder")),
                 QVariant(QStringLiteral("/srv/a")));
        // Writing under another spelling replaces the value and keeps the stored names.
        setRegistryValue(HKEY_LOCAL_MACHINE, QStringLiteral("software\\tessaline\\"),
                         QStringLiteral("LASTFOLDER"), REG_SZ, QStringLiteral("/srv/b"));
        setRegistryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\TESSALINE\\Recent"),
                         QStringLiteral("File1"), REG_SZ, QStringLiteral("x.pjx"));
        SettingsStore key = keyAt(HKEY_LOCAL_MACHINE, QStringLiteral("sOfTwArE\\tessaline"));
        QCOMPARE(valueNames(key), QStringList{QStringLiteral("LastFolder")});
        QCOMPARE(subKeys(key), QStringList{QStringLiteral("Recent")});
        // Keys that exist keep their spelling; SOFTWARE exists on every machine.
        QCOMPARE(env.readFile(machineStore()),
                 QStringLiteral("[SOFTWARE\\Tessaline]\r\nLastFolder=sz:/srv/b\r\n"
                                "[SOFTWARE\\Tessaline\\Recent]\r\nFile1=sz:x.pjx\r\n"));
    }

    void deletingValuesAndKeys() {
        TestEnvironment env;
        const QString recent = QStringLiteral("SOFTWARE\\Tessaline\\Recent");
        for (const QString& name :
             {QStringLiteral("File1"), QStringLiteral("File2"), QStringLiteral("File3")}) {
            setRegistryValue(HKEY_LOCAL_MACHINE, recent, name, REG_SZ,
                             name + QStringLiteral(".pjx"));
        }
        SettingsStore key = keyAt(HKEY_LOCAL_MACHINE, recent, QStringLiteral("FILE2"));
        key.deleteValue();
        QCOMPARE(valueNames(key), (QStringList{QStringLiteral("File1"), QStringLiteral("File3")}));
        QVERIFY(!key.value().isValid());

        // A key with sub-keys stays, as in the registry; its leaves go first.
        SettingsStore parent = keyAt(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Tessaline"));
        parent.deleteKey();
        QVERIFY(parent.keyExists());
        QVERIFY(key.keyExists());
        key.deleteKey();
        QVERIFY(!key.keyExists());
        QVERIFY(parent.keyExists());
        QCOMPARE(subKeys(parent), QStringList());
        parent.deleteKey();
        QVERIFY(!parent.keyExists());
        // SOFTWARE is there without a section of its own, as on every machine.
        QCOMPARE(env.readFile(machineStore()), QString());
        QVERIFY(keyAt(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE")).keyExists());
    }

    void twoObjectsSeeEachOthersWrites() {
        TestEnvironment env;
        SettingsStore writer = keyAt(HKEY_CLASSES_ROOT, QStringLiteral(".pjx"), QString());
        SettingsStore reader = keyAt(HKEY_CLASSES_ROOT, QStringLiteral(".PJX"), QString());
        writer.createKey();
        writer.setValue(QStringLiteral("Tessaline"));
        QCOMPARE(reader.value(), QVariant(QStringLiteral("Tessaline")));
        writer.setValue(QStringLiteral("Other"));
        QCOMPARE(reader.value(), QVariant(QStringLiteral("Other")));
        reader.deleteValue();
        QVERIFY(!writer.value().isValid());
        // Each root is a store of its own.
        QVERIFY(!keyAt(HKEY_LOCAL_MACHINE, QStringLiteral(".pjx")).keyExists());
    }

    // --- Values -----------------------------------------------------------------

    void valuesKeepTheirTypes() {
        TestEnvironment env;
        std::int32_t type = 0;
        QCOMPARE(roundTrip(REG_SZ, QStringLiteral("plain text"), &type),
                 QVariant(QStringLiteral("plain text")));
        QCOMPARE(type, std::int32_t(REG_SZ));

        qputenv("TESSALINE_REGISTRY_TEST", "/home/tess");
        QCOMPARE(
            roundTrip(REG_EXPAND_SZ, QStringLiteral("%TESSALINE_REGISTRY_TEST%/projects"), &type),
            QVariant(QStringLiteral("/home/tess/projects")));
        QCOMPARE(type, std::int32_t(REG_EXPAND_SZ));
        qunsetenv("TESSALINE_REGISTRY_TEST");

        const QByteArray bytes("\x00\xff\x10\x80", 4);
        QCOMPARE(roundTrip(REG_BINARY, bytes, &type), QVariant(bytes));
        QCOMPARE(type, std::int32_t(REG_BINARY));

        QCOMPARE(roundTrip(REG_DWORD, 256, &type), QVariant(256));
        QCOMPARE(type, std::int32_t(REG_DWORD));
        QCOMPARE(roundTrip(REG_DWORD, -2, &type), QVariant(-2));

        // Big-endian numbers from the program are kept as ordinary numbers.
        QCOMPARE(roundTrip(REG_DWORD_BIG_ENDIAN, 7, &type), QVariant(7));
        QCOMPARE(type, std::int32_t(REG_DWORD));

        QCOMPARE(env.readFile(machineStore()),
                 QStringLiteral("[SOFTWARE\\Tessaline]\r\n"
                                "[SOFTWARE\\Tessaline\\Settings]\r\nProbe=dword:00000007\r\n"));
    }

    void storeIsReadableText() {
        TestEnvironment env;
        const QString path = QStringLiteral("SOFTWARE\\Tessaline");
        setRegistryValue(HKEY_LOCAL_MACHINE, path, QString(), REG_SZ, QStringLiteral("Tessaline"));
        setRegistryValue(HKEY_LOCAL_MACHINE, path, QStringLiteral("Templates"), REG_EXPAND_SZ,
                         QStringLiteral("%HOME%\\Templates"));
        setRegistryValue(HKEY_LOCAL_MACHINE, path, QStringLiteral("Window"), REG_BINARY,
                         QByteArray("\x00\x0a\xff", 3));
        setRegistryValue(HKEY_LOCAL_MACHINE, path, QStringLiteral("Theme"), REG_DWORD, -1);
        QCOMPARE(env.readFile(machineStore()),
                 QStringLiteral("[SOFTWARE\\Tessaline]\r\n"
                                "@=sz:Tessaline\r\n"
                                "Templates=expand_sz:%HOME%\\\\Templates\r\n"
                                "Window=hex:00,0a,ff\r\n"
                                "Theme=dword:ffffffff\r\n"));
    }

    void storedTypesTheProgramDoesNotWriteAreRead() {
        TestEnvironment env;
        QVERIFY(QDir().mkpath(SettingsStore::storeFolder()));
        env.writeFile(machineStore(), "[SOFTWARE\\Tessaline\\Settings]\r\n"
                                      "Big=hex(5):00,00,01,00\r\n"
                                      "List=multi_sz:one\\0two\\0\\0\r\n"
                                      "Link=hex(6):41,42\r\n"
                                      "Little=hex(4):00,01,00,00\r\n");
        SettingsStore key = keyAt(HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("Big"));
        QCOMPARE(key.value(), QVariant(256));
        QCOMPARE(key.valueType(), std::int32_t(REG_DWORD_BIG_ENDIAN));
        key.setValueKey(QStringLiteral("List"));
        QCOMPARE(key.value(),
                 QVariant(QStringLiteral("one") + nul() + QStringLiteral("two") + nul() + nul()));
        QCOMPARE(key.valueType(), std::int32_t(REG_MULTI_SZ));
        key.setValueKey(QStringLiteral("Link"));
        QCOMPARE(key.value(), QVariant(QByteArray("AB")));
        QCOMPARE(key.valueType(), std::int32_t(6));
        key.setValueKey(QStringLiteral("Little"));
        QCOMPARE(key.value(), QVariant(256));
        QCOMPARE(key.valueType(), std::int32_t(REG_DWORD));
    }

    void textIsExpandableOnlyWithAReference() {
        TestEnvironment env;
        qputenv("TESSALINE_REGISTRY_TEST", "value");
        std::int32_t type = 0;
        QCOMPARE(roundTrip(REG_EXPAND_SZ, QStringLiteral("100%"), &type),
                 QVariant(QStringLiteral("100%")));
        QCOMPARE(type, std::int32_t(REG_SZ));
        // Two signs side by side enclose no name.
        QCOMPARE(roundTrip(REG_EXPAND_SZ, QStringLiteral("a%%b"), &type),
                 QVariant(QStringLiteral("a%%b")));
        QCOMPARE(type, std::int32_t(REG_SZ));
        // Text written as plain text that holds a reference is expandable all the same.
        QCOMPARE(roundTrip(REG_SZ, QStringLiteral("%TESSALINE_REGISTRY_TEST%!"), &type),
                 QVariant(QStringLiteral("value!")));
        QCOMPARE(type, std::int32_t(REG_EXPAND_SZ));
        // Names the environment does not know stay, and a stray sign does not
        // swallow the reference after it.
        QCOMPARE(roundTrip(REG_SZ,
                           QStringLiteral("50% of %TESSALINE_REGISTRY_TEST% and %NOT_SET_HERE%"),
                           &type),
                 QVariant(QStringLiteral("50% of value and %NOT_SET_HERE%")));
        QCOMPARE(type, std::int32_t(REG_EXPAND_SZ));
        qunsetenv("TESSALINE_REGISTRY_TEST");
    }

    void valuesThatDoNotFitTheirTypeAreNotStored() {
        TestEnvironment env;
        SettingsStore key = keyAt(HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("Count"));
        key.setValueType(REG_DWORD);
        key.setValue(QStringLiteral("5"));
        key.setValue(qlonglong(1) << 40);
        key.setValue(2.5);
        key.setValueType(REG_BINARY);
        key.setValue(QStringLiteral("not bytes"));
        key.setValueType(REG_MULTI_SZ);
        key.setValue(QStringLiteral("a"));
        key.setValueType(0);
        key.setValue(QStringLiteral("a"));
        // The key is made all the same; only the value is refused.
        QVERIFY(key.keyExists());
        QCOMPARE(valueNames(key), QStringList());

        key.setValueType(REG_DWORD);
        key.setValue(QVariant::fromValue<short>(-3));
        QCOMPARE(key.value(), QVariant(-3));
        key.setValue(QVariant::fromValue<qlonglong>(70000));
        QCOMPARE(key.value(), QVariant(70000));
        QCOMPARE(key.value().typeId(), int(QMetaType::Int));
    }

    void programSettingsAreThirtyTwoBitNumbers() {
        TestEnvironment env;
        const QString path = QStringLiteral("SOFTWARE\\Tessaline");
        setRegistryValue(HKEY_LOCAL_MACHINE, path, QStringLiteral("Associate"), REG_DWORD, 1);
        setRegistryValue(HKEY_LOCAL_MACHINE, path, QStringLiteral("ThemeSupport"), REG_DWORD, 0);
        setRegistryValue(HKEY_LOCAL_MACHINE, path, QStringLiteral("Theme"), REG_DWORD, 3);
        for (const auto& [name, expected] : {std::pair{QStringLiteral("Associate"), 1},
                                             std::pair{QStringLiteral("ThemeSupport"), 0},
                                             std::pair{QStringLiteral("Theme"), 3}}) {
            const QVariant value = registryValue(HKEY_LOCAL_MACHINE, path, name);
            QCOMPARE(value.typeId(), int(QMetaType::Int));
            QCOMPARE(value.toInt(), expected);
        }
        QCOMPARE(env.readFile(machineStore()),
                 QStringLiteral("[SOFTWARE\\Tessaline]\r\n"
                                "Associate=dword:00000001\r\nThemeSupport=dword:00000000\r\n"
                                "Theme=dword:00000003\r\n"));
    }

    void oddNamesAndTextsComeBackExactly() {
        TestEnvironment env;
        const QString path = QStringLiteral(" Odd]Key \\ inner = x ");
        const QStringList names{QString(),
                                QStringLiteral("a=b"),
                                QStringLiteral("@"),
                                QStringLiteral("  padded  "),
                                QStringLiteral(";not a comment"),
                                QStringLiteral("[not a section]"),
                                QStringLiteral("100%25"),
                                QStringLiteral("line\nbreak")};
        const QStringList texts{QStringLiteral("default"),
                                QStringLiteral("C:\\Program Files\\x"),
                                QStringLiteral("two\r\nlines\tand a tab"),
                                QStringLiteral("  both ends  "),
                                QStringLiteral("literal \\n and \\x41 stay"),
                                QStringLiteral("Umsätze € 𝄞"),
                                QStringLiteral("bell\a and nul") + nul() + QStringLiteral("end"),
                                QString()};
        for (qsizetype i = 0; i < names.size(); ++i)
            setRegistryValue(HKEY_CLASSES_ROOT, path, names.at(i), REG_SZ, texts.at(i));

        SettingsStore key = keyAt(HKEY_CLASSES_ROOT, QStringLiteral(" odd]key \\ INNER = X "));
        QCOMPARE(valueNames(key), names);
        for (qsizetype i = 0; i < names.size(); ++i) {
            key.setValueKey(names.at(i));
            QCOMPARE(key.value(), QVariant(texts.at(i)));
        }
        // The file stays one line per value under one section per key.
        const QString file = env.readFile(storeOf(QStringLiteral("HKEY_CLASSES_ROOT")));
        QCOMPARE(file.count(QStringLiteral("\r\n")), 2 + names.size());
        QVERIFY(file.contains(QStringLiteral("\r\n@=sz:default\r\n")));
        QVERIFY(file.contains(QStringLiteral("=sz:C:\\\\Program Files\\\\x\r\n")));
        QCOMPARE(subKeys(key), QStringList());
        SettingsStore parent = keyAt(HKEY_CLASSES_ROOT, QStringLiteral(" ODD]KEY "));
        QCOMPARE(subKeys(parent), QStringList{QStringLiteral(" inner = x ")});
    }

    // --- Stores that cannot be used ------------------------------------------------

    void unwritableStoreLosesWritesQuietly() {
        TestEnvironment env;
        // A file where the store's folder should be: no one, root included, can
        // make the folder.
        QVERIFY(QDir().mkpath(env.path(QStringLiteral("config"))));
        env.writeFile(env.path(QStringLiteral("config/Tessaline")), "not a folder");

        setRegistryValue(HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("Theme"), REG_DWORD, 2);
        QVERIFY(!registryValue(HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("Theme")).isValid());
        SettingsStore key = keyAt(HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("Theme"));
        QVERIFY(!key.createKey());
        QVERIFY(!key.keyExists());
        key.setDefaultValue(7);
        QCOMPARE(key.value(), QVariant(7));
        QVERIFY(env.prompt.messages().isEmpty());
    }

    void rootsWithoutAStoreAreRefused() {
        TestEnvironment env;
        constexpr std::uint32_t currentUser = 0x80000001u;
        setRegistryValue(currentUser, QStringLiteral("Software\\Tessaline"), QStringLiteral("X"),
                         REG_SZ, QStringLiteral("lost"));
        SettingsStore key =
            keyAt(currentUser, QStringLiteral("Software\\Tessaline"), QStringLiteral("X"));
        QVERIFY(!key.keyExists());
        QVERIFY(!key.createKey());
        QVERIFY(!key.value().isValid());
        QVERIFY(!QFileInfo::exists(SettingsStore::storeFolder()));
        QVERIFY(env.prompt.messages().isEmpty());
    }

    void unreadableStoreIsReportedAndKeptWhole() {
        TestEnvironment env;
        // A folder in the place of the file cannot be read, not even by root.
        QVERIFY(QDir().mkpath(machineStore()));
        env.prompt.answer(Prompt::Ignore);
        env.prompt.answer(Prompt::Ignore);
        SettingsStore key = keyAt(HKEY_LOCAL_MACHINE, kSettings, QStringLiteral("Theme"));
        key.setDefaultValue(QStringLiteral("fallback"));
        QCOMPARE(key.value(), QVariant(QStringLiteral("fallback")));
        key.setValue(QStringLiteral("blue"));
        QCOMPARE(env.prompt.messages().size(), 2);
        QVERIFY(QFileInfo(machineStore()).isDir());
        const QString log = env.readFile(env.errorLogPath());
        QVERIFY(log.contains(QStringLiteral("|clsRegistry.Property get Value|")));
        QVERIFY(log.contains(QStringLiteral("|clsRegistry.Property let Value|")));
    }

    void damagedEntryIsReportedAndLeftAlone() {
        TestEnvironment env;
        QVERIFY(QDir().mkpath(SettingsStore::storeFolder()));
        env.writeFile(machineStore(),
                      "[SOFTWARE\\Tessaline]\r\nBroken=dword:xyz\r\nGood=sz:ok\r\n");
        env.prompt.answer(Prompt::Ignore);
        SettingsStore key = keyAt(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Tessaline"),
                                  QStringLiteral("Broken"));
        QVERIFY(!key.value().isValid());
        QCOMPARE(env.prompt.messages().size(), 1);
        QVERIFY(env.prompt.messages().first().text.contains(QStringLiteral("dword:xyz")));
        // The rest of the key reads and writes as usual, and the damaged line stays
        // for whoever wants to look at it.
        key.setValueKey(QStringLiteral("Good"));
        QCOMPARE(key.value(), QVariant(QStringLiteral("ok")));
        key.setValue(QStringLiteral("better"));
        QCOMPARE(env.readFile(machineStore()),
                 QStringLiteral("[SOFTWARE\\Tessaline]\r\nBroken=dword:xyz\r\nGood=sz:better\r\n"));
    }

    // --- The driver manager's data sources ------------------------------------------

    void dataSourcesAreListedWithTheirDrivers() {
        TestEnvironment env;
        writeShopSources();
        const std::vector<OdbcDataSource> sources = systemDataSources();
        QCOMPARE(sources.size(), size_t(2));
        QCOMPARE(sources.at(0).name, QStringLiteral("Shop"));
        QCOMPARE(sources.at(0).driver, QStringLiteral("SQLite3"));
        QCOMPARE(sources.at(1).name, QStringLiteral("Accounts"));
        QCOMPARE(sources.at(1).driver, QStringLiteral("PostgreSQL Unicode"));

        SettingsStore key = keyAt(HKEY_LOCAL_MACHINE, kDataSources);
        QVERIFY(key.keyExists());
        std::int32_t count = -1;
        QCOMPARE(valueNames(key, &count),
                 (QStringList{QStringLiteral("Shop"), QStringLiteral("Accounts")}));
        QCOMPARE(count, 2);
        key.setValueKey(QStringLiteral("ACCOUNTS"));
        key.setValueType(-1);
        QCOMPARE(key.value(), QVariant(QStringLiteral("PostgreSQL Unicode")));
        QCOMPARE(key.valueType(), std::int32_t(REG_SZ));
        QCOMPARE(registryValue(HKEY_LOCAL_MACHINE, kDataSources, QStringLiteral("Shop")),
                 QVariant(QStringLiteral("SQLite3")));

        SettingsStore odbcIni =
            keyAt(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\ODBC\\ODBC.INI"));
        QCOMPARE(subKeys(odbcIni),
                 (QStringList{QStringLiteral("ODBC Data Sources"), QStringLiteral("Shop"),
                              QStringLiteral("Accounts")}));
        SettingsStore software = keyAt(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE"));
        QCOMPARE(subKeys(software), QStringList{QStringLiteral("ODBC")});

        // The list is read afresh every time.
        writeOdbcFiles("[Warehouse]\nDriver=SQLite3\nDatabase=/data/stock.db\n", "");
        key.setValueKey(QString());
        QCOMPARE(valueNames(key), QStringList{QStringLiteral("Warehouse")});
        // Nothing of the driver manager's went into the program's own store.
        QVERIFY(!QFileInfo::exists(machineStore()));
    }

    void dataSourceAttributesAreValuesOfItsKey() {
        TestEnvironment env;
        writeShopSources();
        SettingsStore shop =
            keyAt(HKEY_LOCAL_MACHINE, QStringLiteral("software\\odbc\\odbc.ini\\SHOP"));
        QVERIFY(shop.keyExists());
        QCOMPARE(valueNames(shop),
                 (QStringList{QStringLiteral("Driver"), QStringLiteral("Database"),
                              QStringLiteral("Description")}));
        shop.setValueKey(QStringLiteral("database"));
        QCOMPARE(shop.value(), QVariant(QStringLiteral("/data/shop.db")));
        shop.setValueKey(QStringLiteral("Server"));
        QVERIFY(!shop.value().isValid());
        QCOMPARE(dataSourceAttribute(QStringLiteral("Accounts"), QStringLiteral("Server")),
                 QStringLiteral("db.example"));

        SettingsStore missing =
            keyAt(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\ODBC\\ODBC.INI\\Nowhere"));
        QVERIFY(!missing.keyExists());
        std::int32_t count = -1;
        QCOMPARE(valueNames(missing, &count), QStringList());
        QCOMPARE(count, 0);
        // The driver manager's own settings section is no data source.
        QVERIFY(!keyAt(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\ODBC\\ODBC.INI\\ODBC"))
                     .keyExists());
        QCOMPARE(dataSourceAttributeNames(QStringLiteral("ODBC")), QStringList());
    }

    void longAttributeListsAndValuesArriveWhole() {
        TestEnvironment env;
        QByteArray ini = "[Wide]\nDriver=SQLite3\n";
        QStringList expected{QStringLiteral("Driver")};
        for (int i = 0; i < 200; ++i) {
            const QByteArray name = "Attribute_with_a_long_name_" + QByteArray::number(i);
            ini += name + "=v" + QByteArray::number(i) + "\n";
            expected.append(QString::fromLatin1(name));
        }
        // Near the driver manager's line length of 1000 bytes.
        const QByteArray longValue(900, 'x');
        ini += "Long=" + longValue + "\n";
        expected.append(QStringLiteral("Long"));
        writeOdbcFiles(ini, "");
        QCOMPARE(dataSourceAttributeNames(QStringLiteral("Wide")), expected);
        QCOMPARE(dataSourceAttribute(QStringLiteral("Wide"), QStringLiteral("Long")),
                 QString::fromLatin1(longValue));
        QCOMPARE(dataSourceAttribute(QStringLiteral("Wide"),
                                     QStringLiteral("Attribute_with_a_long_name_199")),
                 QStringLiteral("v199"));
    }

    void dataSourceKeysAreReadOnly() {
        TestEnvironment env;
        writeShopSources();
        const QByteArray before = [&] {
            QFile file(m_odbc.filePath(QStringLiteral("odbc.ini")));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        setRegistryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\ODBC\\ODBC.INI\\Shop"),
                         QStringLiteral("Database"), REG_SZ, QStringLiteral("/tmp/other.db"));
        setRegistryValue(HKEY_LOCAL_MACHINE, kDataSources, QStringLiteral("New"), REG_SZ,
                         QStringLiteral("SQLite3"));
        SettingsStore shop =
            keyAt(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\ODBC\\ODBC.INI\\Shop"),
                  QStringLiteral("Driver"));
        shop.deleteValue();
        shop.deleteKey();
        QVERIFY(!keyAt(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\ODBC\\ODBC.INI\\New"))
                     .createKey());
        QVERIFY(shop.createKey()); // it exists already

        QCOMPARE(shop.value(), QVariant(QStringLiteral("SQLite3")));
        QCOMPARE(dataSourceAttribute(QStringLiteral("Shop"), QStringLiteral("Database")),
                 QStringLiteral("/data/shop.db"));
        QCOMPARE(systemDataSources().size(), size_t(2));
        QFile after(m_odbc.filePath(QStringLiteral("odbc.ini")));
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
        QVERIFY(!QFileInfo::exists(machineStore()));
        QVERIFY(env.prompt.messages().isEmpty());
    }

    void driverManagerModeIsPutBack() {
        TestEnvironment env;
        writeShopSources();
        QVERIFY(SQLSetConfigMode(ODBC_USER_DSN));
        systemDataSources();
        dataSourceAttribute(QStringLiteral("Shop"), QStringLiteral("Driver"));
        dataSourceAttributeNames(QStringLiteral("Shop"));
        UWORD mode = ODBC_BOTH_DSN;
        QVERIFY(SQLGetConfigMode(&mode));
        QCOMPARE(mode, UWORD(ODBC_USER_DSN));
        QVERIFY(SQLSetConfigMode(ODBC_BOTH_DSN));
        keyAt(HKEY_LOCAL_MACHINE, kDataSources, QStringLiteral("Shop")).value();
        QVERIFY(SQLGetConfigMode(&mode));
        QCOMPARE(mode, UWORD(ODBC_BOTH_DSN));
    }
};

QTEST_GUILESS_MAIN(RegistryTest)
#include "tst_registry.moc"
