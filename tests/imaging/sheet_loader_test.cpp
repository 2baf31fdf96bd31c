// Background loading from the plan server (loopback, in this thread), from file URLs and paths:
// progress, the loaded sheet, and a readable reason for every kind of failure.
#include "imaging/sheet_loader.h"

#include "planserver/plan_server.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUrl>

#include "imaging/sheet_fixtures.h"

namespace sw::imaging {
namespace {

// A plan server over a folder holding G4.TIF as sheet.tif (throttled: about half a second), as
// cut.tif (sent half, then the connection closes) and stall.tif (half, then silence), a third of
// it as corrupt.tif (complete under its own length), and an HTML page, as a log-in page would be.
class LoaderTest : public ::testing::Test {
protected:
    LoaderTest() {
        QFile corpus(test::dataPath(QStringLiteral("corpus/drawings_bilevel/G4.TIF")));
        corpus.open(QIODevice::ReadOnly);
        const QByteArray sheet = corpus.readAll();
        const QByteArray page = "<!DOCTYPE html><html><body>Log in</body></html>";
        for (const auto& [name, data] : {std::pair("sheet.tif", sheet),
                                         {"cut.tif", sheet},
                                         {"stall.tif", sheet},
                                         {"corrupt.tif", sheet.left(sheet.size() / 3)},
                                         {"page.html", page}}) {
            QFile file(m_dir.filePath(QLatin1String(name)));
            file.open(QIODevice::WriteOnly);
            file.write(data);
        }
        tools::PlanServerOptions options;
        options.root = m_dir.path();
        options.throttle = {{"/sheet.tif", 100'000}};
        options.truncate = {"/cut.tif"};
        options.stall = {"/stall.tif"};
        m_server = std::make_unique<tools::PlanServer>(options);
        m_server->start();
        QObject::connect(&loader, &SheetLoader::progress, [this](int p) { progress << p; });
    }

    QString url(const char* file) const { return m_server->baseUrl().toString() + file; }

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

    QTemporaryDir m_dir;
    std::unique_ptr<tools::PlanServer> m_server;
    SheetLoader loader;
    QList<int> progress;
    Sheet sheet;
};

TEST_F(LoaderTest, HttpLoadReportsRisingProgressAndDeliversTheSheet) {
    loader.start(url("sheet.tif"));
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
    loader.start(url(GetParam().path));
    const QString reason = finish();
    EXPECT_TRUE(reason.startsWith(QLatin1String(GetParam().reasonStart))) << qPrintable(reason);
    EXPECT_FALSE(progress.contains(100));
}

INSTANTIATE_TEST_SUITE_P(
    Http, LoaderFailures,
    ::testing::Values(FailureCase{"missing.tif", "HTTP 404 Not Found"},
                      FailureCase{"cut.tif", "The response was cut short"},
                      FailureCase{"stall.tif", "No data received for 0.3 s"},
                      FailureCase{"page.html", "Not a TIFF file (received an HTML"},
                      FailureCase{"corrupt.tif", "Corrupt data: "}),
    [](const auto& info) { return test::caseName(QLatin1String(info.param.path)).toStdString(); });

// A server that sends more than any acceptable image stops being read.
TEST_F(LoaderTest, OversizedResponseIsRefused) {
    DecodeOptions tiny;
    tiny.maxImageBytes = 1024;
    loader.setDecodeOptions(tiny);
    loader.start(url("sheet.tif"));
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
    loader.start(url("stall.tif"));
    loader.start(url("sheet.tif"));
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
    loader.start(url("sheet.tif"));
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

using sw::test::PrintTo;

class LocalLoads : public LoaderTest, public ::testing::WithParamInterface<LocalCase> {};

TEST_P(LocalLoads, FileUrlsAndPathsLoadInTheBackground) {
    const LocalCase c = GetParam();
    ASSERT_EQ(mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.tif"))), 0600), 0);
    const QString path = c.file[0] == '/'   ? QString::fromLatin1(c.file)
                         : c.file[0] == '.' ? m_dir.filePath(QLatin1String(c.file))
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
    ::testing::Values(
        LocalCase{"FileUrl", true, "drawings_bilevel/CCITT_2.TIF", nullptr},
        LocalCase{"Path", false, "drawings_bilevel/CCITT_2.TIF", nullptr},
        LocalCase{"MissingFile", false, "/no/such/sheet.tif", "Cannot open"},
        // Only regular files are read, and nothing waits for a device or a pipe.
        LocalCase{"Device", false, "/dev/zero", "Cannot open /dev/zero: not a regular file"},
        LocalCase{"Fifo", true, "./pipe.tif", "Cannot open"},
        LocalCase{"Folder", false, ".", "Cannot open"},
        LocalCase{"Malformed", true, "malformed/fuzz-inf_loop-000028.tif", "Corrupt data"}),
    sw::test::byName);

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
