#include "foundation/errorlog.h"
#include "foundation/inidocument.h"
#include "foundation/inifile.h"
#include "foundation/runtimeerror.h"
#include "support/testenvironment.h"

#include <QFile>
#include <QtTest>
#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace ordwick;
using ordwick::test::TestEnvironment;

namespace {

// Limits the size of files this process writes, for as long as it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

// Takes the right to read a file away for as long as it lives. A root test
// process would read it anyway, so it checks files as the user "nobody" meanwhile
// (the folder is opened to everybody so that only reading is refused).
class Unreadable {
public:
    Unreadable(const QStringList& files, const QString& folder) : m_files(files) {
        // Everybody may pass through the folders above and write in this one.
        QFile::setPermissions(QFileInfo(folder).absolutePath(), QFileDevice::Permissions(0x7711));
        QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
        for (const QString& file : files) {
            QFile::setPermissions(file, QFileDevice::WriteOwner | QFileDevice::WriteUser);
            if (::geteuid() == 0)
                QVERIFY(::chown(QFile::encodeName(file).constData(), kNobody, kNobody) == 0);
        }
        if (::geteuid() == 0) {
            ::setfsuid(kNobody);
            ::setfsgid(kNobody);
        }
    }
    ~Unreadable() {
        if (::geteuid() == 0) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
        for (const QString& file : m_files)
            QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    Unreadable(const Unreadable&) = delete;
    Unreadable& operator=(const Unreadable&) = delete;

private:
    static constexpr uid_t kNobody = 65534;
    QStringList m_files;
};

class IniFileTest : public QObject {
    Q_OBJECT

private:
    static IniFile iniAt(const QString& path, const QString& section, const QString& key = {}) {
        IniFile ini;
        ini.setPath(path);
        ini.setSection(section);
        ini.setKey(key);
        return ini;
    }

private Q_SLOTS:
    void missingFileSectionOrKeyReadsDefault() {
        TestEnvironment env;
        IniFile ini =
            iniAt(env.path(QStringLiteral("none.ini")), QStringLiteral("S"), QStringLiteral("K"));
        QCOMPARE(ini.value(), QString());
        ini.setDefaultValue(QStringLiteral("fallback"));
        QCOMPARE(ini.value(), QStringLiteral("fallback"));
        QStringList names{QStringLiteral("stale")};
        qint32 count = 7;
        ini.enumerateKeys(names, count);
        QCOMPARE(count, 0);
        QVERIFY(names.isEmpty());
        QVERIFY(!QFile::exists(env.path(QStringLiteral("none.ini"))));
        ini.deleteSection();
        QVERIFY(!QFile::exists(env.path(QStringLiteral("none.ini"))));
    }

    void writesAppendInFileOrderAndMatchAnyCase() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("a.ini"));
        IniFile ini = iniAt(file, QStringLiteral("First"), QStringLiteral("Alpha"));
        ini.setValue(QStringLiteral("1"));
        QVERIFY(ini.succeeded());
        ini.setSection(QStringLiteral("Second"));
        ini.setKey(QStringLiteral("Beta"));
        ini.setValue(QStringLiteral("2"));
        // A new key of an existing section goes to the end of that section.
        ini.setSection(QStringLiteral("FIRST"));
        ini.setKey(QStringLiteral("Gamma"));
        ini.setValue(QStringLiteral("3"));
        // An existing key is replaced in place, whatever the letter case.
        ini.setKey(QStringLiteral("ALPHA"));
        ini.setValue(QStringLiteral("one"));
        QCOMPARE(env.readFile(file),
                 QStringLiteral("[First]\r\nAlpha=one\r\nGamma=3\r\n[Second]\r\nBeta=2\r\n"));
        ini.setSection(QStringLiteral("second"));
        ini.setKey(QStringLiteral("bEtA"));
        QCOMPARE(ini.value(), QStringLiteral("2"));
        QCOMPARE(ini.sectionsText(),
                 QStringLiteral("First") + QChar(u'\0') + QStringLiteral("Second") + QChar(u'\0'));
        ini.setSection(QStringLiteral("First"));
        QCOMPARE(ini.sectionText(),
                 QStringLiteral("Alpha") + QChar(u'\0') + QStringLiteral("Gamma") + QChar(u'\0'));
    }

    void deletionRemovesLinesAndKeepsTheRest() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("b.ini"));
        env.writeFile(file, "; a comment\n[Recent]\nFile1=a\n# note\nFile2=b\nFile3=c\n\n"
                            "odd line\n[Other]\nX=1\n");
        IniFile ini = iniAt(file, QStringLiteral("recent"), QStringLiteral("file2"));
        ini.deleteKey();
        QStringList names;
        qint32 count = 0;
        ini.enumerateKeys(names, count);
        QCOMPARE(count, 2);
        QCOMPARE(names, (QStringList{QStringLiteral("File1"), QStringLiteral("File3")}));
        QCOMPARE(env.readFile(file),
                 QStringLiteral("; a comment\r\n[Recent]\r\nFile1=a\r\n# note\r\n"
                                "File3=c\r\n\r\nodd line\r\n[Other]\r\nX=1\r\n"));
        ini.deleteSection();
        QCOMPARE(env.readFile(file), QStringLiteral("; a comment\r\n[Other]\r\nX=1\r\n"));
        // A section written again after deletion holds only the new keys, in order.
        ini.setKey(QStringLiteral("File9"));
        ini.setValue(QStringLiteral("z"));
        ini.setKey(QStringLiteral("File4"));
        ini.setValue(QStringLiteral("y"));
        ini.enumerateKeys(names, count);
        QCOMPARE(names, (QStringList{QStringLiteral("File9"), QStringLiteral("File4")}));
        ini.setSectionText(QStringLiteral("ignored"));
        ini.enumerateSections(names, count);
        QCOMPARE(names, QStringList{QStringLiteral("Other")});
        QCOMPARE(count, 1);
    }

    void twoObjectsOnOneFileSeeEachOther() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("shared.ini"));
        IniFile writer = iniAt(file, QStringLiteral("S"), QStringLiteral("K"));
        IniFile reader = iniAt(file, QStringLiteral("S"), QStringLiteral("K"));
        writer.setValue(QStringLiteral("first"));
        QCOMPARE(reader.value(), QStringLiteral("first"));
        writer.setValue(QStringLiteral("second"));
        QCOMPARE(reader.value(), QStringLiteral("second"));
        reader.deleteKey();
        QCOMPARE(writer.value(), QString());
    }

    void valuesKeepTheirTextWhole() {
        TestEnvironment env;
        IniFile ini =
            iniAt(env.path(QStringLiteral("c.ini")), QStringLiteral("S"), QStringLiteral("K"));
        const QString longValue = QString(300, u'x') + QStringLiteral(" end");
        ini.setValue(longValue);
        QCOMPARE(ini.value(), longValue);
        ini.setValue(QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b"));
        QCOMPARE(ini.value(), QStringLiteral("ab"));
        const QString spaced = QStringLiteral("  both ends  = and \"quotes\" ; x ");
        ini.setValue(spaced);
        QCOMPARE(ini.value(), spaced);
        const QString unicode = QStringLiteral("Umsätze € 𝄞");
        ini.setValue(unicode);
        QCOMPARE(ini.value(), unicode);
        QVERIFY(env.prompt.messages().isEmpty());
    }

    void lineBreakIsRefusedAndReported() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("d.ini"));
        IniFile ini = iniAt(file, QStringLiteral("S"), QStringLiteral("K"));
        ini.setValue(QStringLiteral("kept"));
        env.prompt.answer(Prompt::Ignore);
        ini.setValue(QStringLiteral("one\r\nInjected=1"));
        QCOMPARE(env.prompt.messages().size(), 1);
        QVERIFY(env.prompt.messages().first().text.contains(QStringLiteral("line break")));
        QCOMPARE(ini.value(), QStringLiteral("kept"));
        ini.setKey(QStringLiteral("Injected"));
        QCOMPARE(ini.value(), QString());
        QVERIFY(env.readFile(env.errorLogPath()).contains(QStringLiteral("|clsINI.Value(let)|")));
    }

    void oldSingleByteFilesReadCorrectly() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("old.ini"));
        // "Umsätze" and a euro sign in Windows-1252.
        env.writeFile(file, "[Configuration]\r\nTableName=Ums\xe4tze\r\nPrice=\x80 5\r\n");
        IniFile ini = iniAt(file, QStringLiteral("Configuration"), QStringLiteral("TableName"));
        QCOMPARE(ini.value(), QStringLiteral("Umsätze"));
        ini.setKey(QStringLiteral("Price"));
        QCOMPARE(ini.value(), QStringLiteral("€ 5"));
        // Written back as UTF-8, and still the same text.
        ini.setKey(QStringLiteral("Added"));
        ini.setValue(QStringLiteral("ö"));
        QFile raw(file);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QCOMPARE(
            raw.readAll(),
            QByteArray("[Configuration]\r\nTableName=Ums\xc3\xa4tze\r\nPrice=\xe2\x82\xac 5\r\n"
                       "Added=\xc3\xb6\r\n"));
    }

    void replacementIsAtomicAndFailureLeavesOldFile() {
        TestEnvironment env;
        const QString folder = env.path(QStringLiteral("limited"));
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + QStringLiteral("/e.ini");
        IniFile ini = iniAt(file, QStringLiteral("S"), QStringLiteral("K"));
        ini.setValue(QStringLiteral("before"));
        QVERIFY(ini.succeeded());
        {
            // The disk "fills up" halfway through the write (a file size limit
            // holds for every user, root included).
            FileSizeLimit limit(256);
            ini.setValue(QString(4096, u'x'));
        }
        QVERIFY(!ini.succeeded());
        QCOMPARE(ini.lastReturnCode(), 0);
        QCOMPARE(ini.value(), QStringLiteral("before"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("e.ini")});
    }

    void writesThroughALinkReachItsTarget() {
        TestEnvironment env;
        const QString target = env.path(QStringLiteral("real.ini"));
        const QString link = env.path(QStringLiteral("link.ini"));
        env.writeFile(target, "[S]\r\nOld=1\r\n");
        QVERIFY(QFile::link(target, link));
        IniFile ini = iniAt(link, QStringLiteral("S"), QStringLiteral("New"));
        ini.setValue(QStringLiteral("2"));
        QVERIFY(ini.succeeded());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(env.readFile(target), QStringLiteral("[S]\r\nOld=1\r\nNew=2\r\n"));
        // The error log is written through its link the same way.
        const QString log = env.path(QStringLiteral("logs/err.txt"));
        QVERIFY(QDir().mkpath(env.path(QStringLiteral("logs"))));
        const QString logTarget = env.path(QStringLiteral("kept-err.txt"));
        env.writeFile(logTarget, "");
        QVERIFY(QFile::link(logTarget, log));
        ErrorLog errors(QStringList{env.path(QStringLiteral("logs"))}, [&] { return env.now; });
        QCOMPARE(errors.LogError(QStringLiteral("frmMain.SaveProject|Disk full|61")), log);
        QVERIFY(QFileInfo(log).isSymLink());
        QCOMPARE(
            env.readFile(logTarget),
            QStringLiteral("5QWT8RX|2026-02-03 09:05|frmMain.SaveProject|Disk full|61|1|N\r\n"));
    }

    void filesThatCannotBeReadAreNeverOverwritten() {
        TestEnvironment env;
        const QString folder = env.path(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        const QString recent = folder + QStringLiteral("/Tessaline.ini");
        const QString log = folder + QStringLiteral("/err.txt");
        env.writeFile(recent, "[Recent]\r\nFile1=/srv/a.pjx\r\n");
        env.writeFile(log, "5QWT8RX|2026-02-01 10:00|frmMain.OpenProject|x|53|1|N\r\n");
        const QString fallback = folder + QStringLiteral("/fallback");
        QString logged;
        {
            const Unreadable locked({recent, log}, folder);
            env.prompt.answer(Prompt::Ignore); // the report of the unreadable file
            IniFile ini = iniAt(recent, QStringLiteral("Recent"), QStringLiteral("File1"));
            ini.setValue(QStringLiteral("/srv/b.pjx"));
            QVERIFY(!ini.succeeded());
            ErrorLog errors(QStringList{folder, fallback}, [&] { return env.now; });
            logged = errors.LogError(QStringLiteral("frmMain.SaveProject|Disk full|61"));
        }
        QCOMPARE(env.readFile(recent), QStringLiteral("[Recent]\r\nFile1=/srv/a.pjx\r\n"));
        QCOMPARE(env.readFile(log),
                 QStringLiteral("5QWT8RX|2026-02-01 10:00|frmMain.OpenProject|x|53|1|N\r\n"));
        QCOMPARE(logged, fallback + QStringLiteral("/err.txt"));
        QCOMPARE(env.prompt.messages().size(), 1);
        QVERIFY(env.prompt.messages().constFirst().text.contains(QStringLiteral("cannot read")));
    }

    void defaultProfileIsPerUserAndRedirectable() {
        TestEnvironment env;
        IniFile ini;
        ini.setSection(QStringLiteral("Directories"));
        ini.setKey(QStringLiteral("Select Data Source File 1"));
        ini.setValue(QStringLiteral("/data/shop.db"));
        QVERIFY(IniFile::defaultProfilePath().startsWith(env.path(QStringLiteral("config"))));
        QVERIFY(env.readFile(IniFile::defaultProfilePath())
                    .contains(QStringLiteral("Select Data Source File 1=/data/shop.db")));
        QCOMPARE(ini.value(), QStringLiteral("/data/shop.db"));
    }

    void badNamesAreRefused() {
        TestEnvironment env;
        IniDocument document;
        QVERIFY_THROWS_EXCEPTION(RuntimeError,
                                 document.setValue(QStringLiteral("S"), QStringLiteral("a=b"), {}));
        QVERIFY_THROWS_EXCEPTION(RuntimeError,
                                 document.setValue(QStringLiteral("a]b"), QStringLiteral("k"), {}));
        QVERIFY_THROWS_EXCEPTION(
            RuntimeError, document.setValue(QStringLiteral("S"), QStringLiteral("a\nb"), {}));
        QVERIFY(document.sections().isEmpty());
    }

    void duplicateSectionsAreDeletedWhole() {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("dup.ini"));
        env.writeFile(file, "[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n");
        IniDocument document = IniDocument::load(file);
        QCOMPARE(document.sections(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
        document.deleteSection(QStringLiteral("A"));
        QCOMPARE(QString::fromUtf8(document.toBytes()), QStringLiteral("[B]\r\ny=2\r\n"));
    }
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "tst_inifile.moc"
