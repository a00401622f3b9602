// ordwick-preview SITE_DIR [--port N] [--no-browser] [--no-token]: runs a
// generated site on 127.0.0.1 until Ctrl+C.
#include "preview/previewhost.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcess>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Ctrl+C and SIGTERM reach the event loop through a socket pair, the one
// thing a signal handler may safely write to.
int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

bool openBrowser(const QUrl& url) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString()});
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ordwick-preview"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(ORDWICK_VERSION_MAJOR)
                                                .arg(ORDWICK_VERSION_MINOR)
                                                .arg(ORDWICK_VERSION_PATCH));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Runs the classic ASP pages of a generated site on this machine "
                       "(127.0.0.1 only) as IIS would."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("SITE_DIR"),
                                 QStringLiteral("The folder of the generated site."));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("The port to listen on (default: any free "
                                                       "port)."),
                                        QStringLiteral("N"));
    const QCommandLineOption noBrowser(QStringLiteral("no-browser"),
                                       QStringLiteral("Do not open the desktop's browser."));
    const QCommandLineOption noToken(
        QStringLiteral("no-token"),
        QStringLiteral("Answer every client on this machine, not only the one that opened the "
                       "address with the token (for scripts)."));
    const QCommandLineOption memoryLimit(
        QStringLiteral("memory-limit"),
        QStringLiteral("Stop the page that has run longest once the host uses more than MB "
                       "megabytes of memory (default 2048; 0: no limit)."),
        QStringLiteral("MB"));
    parser.addOption(portOption);
    parser.addOption(noBrowser);
    parser.addOption(noToken);
    parser.addOption(memoryLimit);
    const char* const usage = "usage: ordwick-preview SITE_DIR [--port N] [--no-browser] "
                              "[--no-token] [--memory-limit MB]\n";
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "ordwick-preview: %s\n%s", qPrintable(parser.errorText()), usage);
        return 2;
    }
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        std::fprintf(stderr, "%s", usage);
        return 2;
    }
    quint16 port = 0;
    if (parser.isSet(portOption)) {
        bool ok = false;
        const uint value = parser.value(portOption).toUInt(&ok);
        if (!ok || value == 0 || value > 65535) {
            std::fprintf(stderr, "ordwick-preview: --port takes a number from 1 to 65535.\n");
            return 2;
        }
        port = static_cast<quint16>(value);
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) {
        std::perror("ordwick-preview: socketpair");
        return 1;
    }
    QSocketNotifier signals(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signals, &QSocketNotifier::activated, &app, [&] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    ordwick::PreviewHost host;
    if (parser.isSet(memoryLimit)) {
        bool ok = false;
        const qint64 megabytes = parser.value(memoryLimit).toLongLong(&ok);
        if (!ok || megabytes < 0) {
            std::fprintf(stderr, "ordwick-preview: --memory-limit takes a number of megabytes.\n");
            return 2;
        }
        host.setMemoryLimit(megabytes << 20);
    }
    const ordwick::PreviewHost::Started started =
        host.start(positional.first(), port,
                   parser.isSet(noToken) ? ordwick::PreviewHost::Access::Open
                                         : ordwick::PreviewHost::Access::Key);
    if (!started.ok()) {
        std::fprintf(stderr, "ordwick-preview: %s\n", qPrintable(started.error));
        return 1;
    }
    std::printf("Serving %s at %s\n", qPrintable(host.siteFolder()),
                qPrintable(host.address().toString()));
    std::printf("Open %s — press Ctrl+C to stop.\n", qPrintable(started.url.toString()));
    std::fflush(stdout);
    if (!parser.isSet(noBrowser) && !openBrowser(started.url))
        std::fprintf(stderr, "ordwick-preview: the browser could not be opened; open the "
                             "address above by hand.\n");

    const int status = QCoreApplication::exec();
    host.stop();
    std::printf("Stopped.\n");
    return status;
}
