#include "host/ui/viewer_app.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QIcon>
#include <QMainWindow>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPixmap>
#include <QTimer>
#include <QUrl>

#include "base/host_calls.h"
#include "host/sheetwise_url.h"
#include "host/ui/call_dispatcher.h"
#include "host/ui/desktop_registration.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/single_instance.h"
#include "host/ui/standard_calls.h"

namespace sw::host {

namespace {

constexpr int kUsageError = 2;

const char kUsage[] =
    "Usage:\n"
    "  sheetwise [FILE | http(s)://URL]      open the viewer; run the host calls of the document\n"
    "  sheetwise --headless --script FILE    run a host-call document without a window and\n"
    "                                        print one JSON reply per call (FILE - = stdin)\n"
    "  sheetwise --screenshot PNG [DOCUMENT] open the viewer, wait until the first sheet has\n"
    "                                        loaded (or failed), save the window as PNG, exit\n"
    "  sheetwise sheetwise:calls?json=...    run the calls of a plan-room link (untrusted caller;\n"
    "  sheetwise sheetwise:open?url=...      open?url= fetches the document over http(s))\n"
    "  sheetwise --register | --unregister   make this program the handler of sheetwise: links\n"
    "  sheetwise render|info|print|measure|compare|widgets\n"
    "                                        tools; see sheetwise <command> --help\n"
    "  sheetwise --help | --version\n"
    "\n"
    "A host-call document is JSON: {\"calls\": [[\"InitVars\", \"http://h/\", \"2004~0815\",\n"
    "\"Main Street School\", 90, \"north\"], [\"MakePlanList\", \"hdr~A,Sheet 1,s1.tif\"],\n"
    "[\"SetFirstImage\", \"s1.tif\", \"Sheet 1\"], [\"Dump\"]]}\n"
    "Each reply is {\"call\": ..., \"ok\": true, \"result\": ..., \"args\": [...]} or\n"
    "{\"call\": ..., \"ok\": false, \"error\": \"...\"}.\n"
    "\n"
    "While a viewer window is open, a later launch (but --headless or --screenshot) hands its\n"
    "calls to it, prints the replies and exits.\n";

struct Options {
    bool headless = false;
    QString script;               // --script FILE
    QString document;             // FILE or URL of the windowed viewer
    QString screenshot;           // --screenshot PNG
    bool registration = false;    // --register
    bool unregistration = false;  // --unregister
};

// How long --screenshot waits for the first load to end before grabbing what is there.
constexpr int kScreenshotWaitMs = 120000;
// Time for the last repaints after the load ended (progress bar reset, rulers refreshed).
constexpr int kScreenshotSettleMs = 300;

// Parses the command line; prints usage or version and returns an exit code when done.
std::optional<int> parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("sheetwise %s\n", SW_VERSION_STRING);
            return 0;
        }
        if (std::strcmp(arg, "--headless") == 0) {
            options.headless = true;
        } else if (std::strcmp(arg, "--script") == 0 && i + 1 < argc) {
            options.script = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(arg, "--register") == 0) {
            options.registration = true;
        } else if (std::strcmp(arg, "--unregister") == 0) {
            options.unregistration = true;
        } else if (std::strcmp(arg, "--screenshot") == 0 && i + 1 < argc) {
            options.screenshot = QString::fromLocal8Bit(argv[++i]);
        } else if (arg[0] == '-' && arg[1] != '\0') {
            std::fprintf(stderr, "sheetwise: unknown option %s\n\n%s", arg, kUsage);
            return kUsageError;
        } else if (options.document.isEmpty()) {
            options.document = QString::fromLocal8Bit(arg);
        } else {
            std::fprintf(stderr, "sheetwise: more than one document given\n\n%s", kUsage);
            return kUsageError;
        }
    }
    if (options.headless && options.script.isEmpty()) {
        std::fprintf(stderr, "sheetwise: --headless needs --script FILE\n\n%s", kUsage);
        return kUsageError;
    }
    return std::nullopt;
}

bool isWebAddress(const QString& text) {
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// The bytes of FILE, or of standard input for "-"; nothing with `error` set when unreadable.
std::optional<QByteArray> readDocument(const QString& path, QString& error) {
    QFile file;
    const bool opened = path == QLatin1String("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        error = file.errorString();
        return std::nullopt;
    }
    return file.readAll();
}

// Runs every call of `calls` on `viewer`, writing one reply line per call to standard output.
void runCalls(FastViewer& viewer, const QJsonArray& calls) {
    const base::HostCallRunner runner(viewer, standardRegistry(), base::Trust::Trusted);
    for (const QJsonValue& call : calls) {
        const QByteArray line = base::replyLine(runner.run(call)) + '\n';
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
        std::fflush(stdout);
        QCoreApplication::processEvents();
    }
}

int runHeadless(int argc, char** argv, const Options& options) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QString error;
    const std::optional<QByteArray> bytes = readDocument(options.script, error);
    std::optional<QJsonArray> calls;
    if (bytes) {
        calls = base::parseHostCallDocument(*bytes, &error);
    }
    if (!calls) {
        std::fprintf(stderr, "sheetwise: cannot read host calls from %s: %s\n",
                     qPrintable(options.script), qPrintable(error));
        return kUsageError;
    }
    QApplication app(argc, argv);
    FastViewer viewer;
    viewer.setMessageSink([](const QString& text) {
        std::fprintf(stderr, "sheetwise: message: %s\n", qPrintable(text));
    });
    viewer.resize(1024, 768);
    viewer.show();
    runCalls(viewer, *calls);
    return 0;
}

// Parses `bytes` and runs its calls in the window's viewer; a bad document is shown to the user.
void runDocumentInWindow(QMainWindow& window, FastViewer& viewer, const QByteArray& bytes,
                         const QString& source) {
    QString error;
    const std::optional<QJsonArray> calls = base::parseHostCallDocument(bytes, &error);
    if (!calls) {
        QMessageBox::warning(
            &window, QStringLiteral("Sheetwise"),
            QStringLiteral("Cannot read host calls from %1:\n%2").arg(source, error));
        return;
    }
    runCalls(viewer, *calls);
}

void fetchAndRun(QMainWindow& window, FastViewer& viewer, const QString& address) {
    auto* network = new QNetworkAccessManager(&window);
    QNetworkReply* reply = network->get(QNetworkRequest(QUrl(address)));
    QObject::connect(reply, &QNetworkReply::finished, &window, [&window, &viewer, reply, address] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            QMessageBox::warning(&window, QStringLiteral("Sheetwise"),
                                 QStringLiteral("Cannot fetch host calls from %1:\n%2")
                                     .arg(address, reply->errorString()));
            return;
        }
        runDocumentInWindow(window, viewer, reply->readAll(), address);
    });
}

// Saves the whole window as a PNG once the first load has ended (or after a long wait), then
// quits the application with 0, or 1 when the image cannot be written.
void grabAfterFirstLoad(QMainWindow& window, FastViewer& viewer, const QString& path) {
    auto grab = [&window, path] {
        const QPixmap shot = window.grab();
        if (!shot.save(path, "PNG")) {
            std::fprintf(stderr, "sheetwise: cannot write %s\n", qPrintable(path));
            QCoreApplication::exit(1);
            return;
        }
        std::printf("sheetwise: screenshot saved to %s\n", qPrintable(path));
        QCoreApplication::exit(0);
    };
    auto* watchdog = new QTimer(&window);
    watchdog->setSingleShot(true);
    QObject::connect(watchdog, &QTimer::timeout, &window, grab);
    watchdog->start(kScreenshotWaitMs);
    QObject::connect(
        &viewer, &FastViewer::loadEnded, &window, [watchdog, grab](bool ok, const QString& reason) {
            if (!ok) {
                std::fprintf(stderr, "sheetwise: the sheet did not load: %s\n", qPrintable(reason));
            }
            watchdog->stop();
            QTimer::singleShot(kScreenshotSettleMs, grab);
        });
}

// Hands the launch to a viewer already running for this user; nothing when none runs.
std::optional<int> handOver(int argc, char** argv, const Options& options) {
    const QCoreApplication app(argc, argv);
    return handOverToRunningViewer(instanceSocketPath(),
                                   options.document.isEmpty() ? options.script : options.document);
}

int runWindowed(int argc, char** argv, const Options& options) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sheetwise"));
    QApplication::setApplicationVersion(QStringLiteral(SW_VERSION_STRING));
    QMainWindow window;
    window.setObjectName(QStringLiteral("Sheetwise"));
    window.setWindowTitle(QStringLiteral("Sheetwise"));
    auto* viewer = new FastViewer(&window);
    window.setCentralWidget(viewer);
    QApplication::setWindowIcon(
        QIcon(QStringLiteral(":/sheetwise/icons/hicolor/128x128/apps/sheetwise.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("sheetwise"));
    CallDispatcher dispatcher(window, *viewer);
    const std::unique_ptr<InstanceServer> instance =
        options.screenshot.isEmpty() ? listenForLaunches(dispatcher) : nullptr;
    QObject::connect(viewer, &QWidget::windowTitleChanged, &window, &QWidget::setWindowTitle);
    window.resize(1200, 800);
    if (!options.screenshot.isEmpty()) {
        // No pointer over the window, so no button is drawn hovered in the picture.
        QCursor::setPos(-10000, -10000);
    }
    window.show();
    viewer->setFocus();
    if (!options.screenshot.isEmpty()) {
        grabAfterFirstLoad(window, *viewer, options.screenshot);
    }

    const QString document = options.document.isEmpty() ? options.script : options.document;
    if (!document.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, viewer, &dispatcher, document] {
            if (isSheetwiseUrl(document)) {
                dispatcher.submit(*launchRequest(document, nullptr), standardOutputChannel());
                return;
            }
            if (isWebAddress(document)) {
                fetchAndRun(window, *viewer, document);
                return;
            }
            QString error;
            if (const std::optional<QByteArray> bytes = readDocument(document, error)) {
                runDocumentInWindow(window, *viewer, *bytes, document);
            } else {
                QMessageBox::warning(
                    &window, QStringLiteral("Sheetwise"),
                    QStringLiteral("Cannot read host calls from %1:\n%2").arg(document, error));
            }
        });
    }
    return QApplication::exec();
}

}  // namespace

int runViewerApp(int argc, char** argv) {
    Options options;
    if (const std::optional<int> done = parseOptions(argc, argv, options)) {
        return *done;
    }
    if (options.registration || options.unregistration) {
        return runRegistrationCommand(argc, argv, options.unregistration);
    }
    if (!options.headless && options.screenshot.isEmpty()) {
        if (const std::optional<int> code = handOver(argc, argv, options)) {
            return *code;
        }
    }
    return options.headless ? runHeadless(argc, argv, options) : runWindowed(argc, argv, options);
}

}  // namespace sw::host
