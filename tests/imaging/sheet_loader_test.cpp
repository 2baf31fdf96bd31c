// Background loading from a small HTTP responder inside the test (loopback), from file URLs and
// paths: progress, the loaded sheet, and a readable reason for every kind of failure.
#include "imaging/sheet_loader.h"

#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include "imaging/sheet_fixtures.h"

namespace sw::imaging {
namespace {

QByteArray corpusFile(const QString& name) {
    QFile file(test::dataPath(QStringLiteral("corpus/") + name));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Answers GET requests on loopback. Paths: /sheet.tif (the body in 8 KB pieces), /missing.tif
// (404), /cut.tif (half the announced body, then closes), /stall.tif (headers and a little data,
// then silence), /page.html (an HTML page with status 200), /corrupt.tif (a TIFF cut short but
// sent whole under its own length).
class Responder : public QObject {
public:
    Responder() {
        m_body = corpusFile(QStringLiteral("drawings_bilevel/G4.TIF"));
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this,
                        [this, socket] { onRequest(socket); });
            }
        });
    }
    QString url(const char* path) const {
        return QStringLiteral("http://127.0.0.1:%1%2")
            .arg(m_server.serverPort())
            .arg(QLatin1String(path));
    }
    const QByteArray& body() const { return m_body; }

private:
    static QByteArray head(int status, const char* reason, qint64 length, const char* type) {
        return QStringLiteral("HTTP/1.1 %1 %2\r\nContent-Type: %3\r\nContent-Length: %4\r\n\r\n")
            .arg(status)
            .arg(QLatin1String(reason), QLatin1String(type))
            .arg(length)
            .toLatin1();
    }

    void sendPieces(QTcpSocket* socket, QByteArray data, bool closeEarly) {
        if (data.isEmpty()) {
            if (closeEarly) {
                socket->disconnectFromHost();
            }
            return;
        }
        socket->write(data.left(8192));
        socket->flush();
        QTimer::singleShot(5, socket,
                           [=, this] { sendPieces(socket, data.mid(8192), closeEarly); });
    }

    void onRequest(QTcpSocket* socket) {
        m_request += socket->readAll();
        if (!m_request.contains("\r\n\r\n")) {
            return;
        }
        const QByteArray path = m_request.split(' ').value(1);
        m_request.clear();
        if (path == "/sheet.tif") {
            socket->write(head(200, "OK", m_body.size(), "image/tiff"));
            sendPieces(socket, m_body, false);
        } else if (path == "/missing.tif") {
            socket->write(head(404, "Not Found", 9, "text/plain") + "not found");
        } else if (path == "/cut.tif") {
            socket->write(head(200, "OK", m_body.size(), "image/tiff"));
            sendPieces(socket, m_body.left(m_body.size() / 2), true);
        } else if (path == "/stall.tif") {
            socket->write(head(200, "OK", m_body.size(), "image/tiff") + m_body.left(1000));
        } else if (path == "/page.html") {
            const QByteArray page = "<!DOCTYPE html><html><body>Log in</body></html>";
            socket->write(head(200, "OK", page.size(), "text/html") + page);
        } else if (path == "/corrupt.tif") {
            const QByteArray part = m_body.left(m_body.size() / 3);
            socket->write(head(200, "OK", part.size(), "image/tiff") + part);
        }
    }

    QTcpServer m_server;
    QByteArray m_body;
    QByteArray m_request;
};

class LoaderTest : public ::testing::Test {
protected:
    LoaderTest() {
        QObject::connect(&loader, &SheetLoader::progress, [this](int p) { progress << p; });
    }

    // Waits for the end of the load; returns the failure reason (empty when loaded).
    QString finish() {
        QSignalSpy loaded(&loader, &SheetLoader::loaded);
        QSignalSpy failed(&loader, &SheetLoader::failed);
        for (int i = 0; i < 100 && loaded.isEmpty() && failed.isEmpty(); ++i) {
            loaded.wait(100);
        }
        EXPECT_EQ(loaded.size() + failed.size(), 1);
        if (!loaded.isEmpty()) {
            sheet = loaded.first().first().value<Sheet>();
            return {};
        }
        return failed.isEmpty() ? QStringLiteral("(nothing)") : failed.first().first().toString();
    }

    Responder responder;
    SheetLoader loader;
    QList<int> progress;
    Sheet sheet;
};

TEST_F(LoaderTest, HttpLoadReportsRisingProgressAndDeliversTheSheet) {
    loader.start(responder.url("/sheet.tif"));
    EXPECT_TRUE(loader.isLoading());
    EXPECT_EQ(finish(), QString());
    EXPECT_EQ(sheet.size(), QSize(2464, 3248));
    ASSERT_GE(progress.size(), 3);
    EXPECT_EQ(progress.first(), 0);
    EXPECT_EQ(progress.last(), 100);
    for (int i = 1; i < progress.size(); ++i) {
        EXPECT_GT(progress[i], progress[i - 1]);
    }
    EXPECT_FALSE(loader.isLoading());
}

struct FailureCase {
    const char* path;
    const char* reasonStart;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.path;
}

class LoaderFailures : public LoaderTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LoaderFailures, EndWithAReadableReason) {
    loader.setTransferTimeout(300);
    loader.start(responder.url(GetParam().path));
    const QString reason = finish();
    EXPECT_TRUE(reason.startsWith(QLatin1String(GetParam().reasonStart))) << qPrintable(reason);
    EXPECT_FALSE(progress.contains(100));
}

INSTANTIATE_TEST_SUITE_P(
    Http, LoaderFailures,
    ::testing::Values(FailureCase{"/missing.tif", "HTTP 404 Not Found"},
                      FailureCase{"/cut.tif", "The response was cut short"},
                      FailureCase{"/stall.tif", "No data received for 0.3 s"},
                      FailureCase{"/page.html", "Not a TIFF file (received an HTML"},
                      FailureCase{"/corrupt.tif", "Corrupt data: "}),
    [](const auto& info) { return test::caseName(QLatin1String(info.param.path)).toStdString(); });

// A server that sends more than any acceptable image stops being read.
TEST_F(LoaderTest, OversizedResponseIsRefused) {
    DecodeOptions tiny;
    tiny.maxImageBytes = 1024;
    loader.setDecodeOptions(tiny);
    loader.start(responder.url("/sheet.tif"));
    EXPECT_TRUE(finish().startsWith(QLatin1String("The response is larger than 5 KB")));
}

TEST_F(LoaderTest, RefusedConnectionFails) {
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    loader.start(QStringLiteral("http://127.0.0.1:%1/sheet.tif").arg(port));
    EXPECT_FALSE(finish().isEmpty());
}

TEST_F(LoaderTest, NewerLoadSupersedesTheOlderOne) {
    loader.setTransferTimeout(200);
    QSignalSpy failed(&loader, &SheetLoader::failed);
    loader.start(responder.url("/stall.tif"));
    loader.start(responder.url("/sheet.tif"));
    EXPECT_EQ(finish(), QString());
    EXPECT_EQ(sheet.width(), 2464);
    QSignalSpy more(&loader, &SheetLoader::failed);
    more.wait(500);  // longer than the stalled load's timeout: it must stay silent
    EXPECT_TRUE(more.isEmpty());
    EXPECT_EQ(progress.count(0), 2);  // each load starts at 0
    EXPECT_EQ(progress.last(), 100);
}

TEST_F(LoaderTest, CancelledLoadSaysNothingMore) {
    QSignalSpy loaded(&loader, &SheetLoader::loaded);
    QSignalSpy failed(&loader, &SheetLoader::failed);
    loader.start(responder.url("/sheet.tif"));
    loader.cancel();
    loaded.wait(500);
    EXPECT_TRUE(loaded.isEmpty());
    EXPECT_TRUE(failed.isEmpty());
}

struct LocalCase {
    const char* name;
    bool asUrl;
    const char* file;
    const char* reasonStart;  // null: loads
};

void PrintTo(const LocalCase& c, std::ostream* os) {
    *os << c.name;
}

class LocalLoads : public LoaderTest, public ::testing::WithParamInterface<LocalCase> {};

TEST_P(LocalLoads, FileUrlsAndPathsLoadInTheBackground) {
    const LocalCase c = GetParam();
    const QString path = c.file[0] == '/' ? QString::fromLatin1(c.file)
                                          : test::dataPath(QStringLiteral("corpus/") + c.file);
    loader.start(c.asUrl ? QUrl::fromLocalFile(path).toString() : path);
    const QString reason = finish();
    if (!c.reasonStart) {
        EXPECT_EQ(reason, QString());
        EXPECT_EQ(progress, (QList<int>{0, 100}));
    } else {
        EXPECT_TRUE(reason.startsWith(QLatin1String(c.reasonStart))) << qPrintable(reason);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Local, LocalLoads,
    ::testing::Values(LocalCase{"FileUrl", true, "drawings_bilevel/CCITT_2.TIF", nullptr},
                      LocalCase{"Path", false, "drawings_bilevel/CCITT_2.TIF", nullptr},
                      LocalCase{"MissingFile", false, "/no/such/sheet.tif", "Cannot open"},
                      LocalCase{"Malformed", true, "malformed/fuzz-inf_loop-000028.tif",
                                "Corrupt data"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoaderTest, EmptyOrUnsupportedAddressFailsLater) {
    for (const QString& address : {QString(), QStringLiteral("ftp://host/sheet.tif")}) {
        QSignalSpy failed(&loader, &SheetLoader::failed);
        loader.start(address);
        EXPECT_TRUE(failed.isEmpty());  // never from inside start(): callers connect first
        EXPECT_TRUE(failed.wait(1000));
    }
}

}  // namespace
}  // namespace sw::imaging
