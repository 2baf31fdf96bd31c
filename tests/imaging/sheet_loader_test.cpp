// Background loading from the plan server (loopback, in this thread), from file URLs and paths:
// progress, the loaded sheet, and a readable reason for every kind of failure.
#include "imaging/sheet_loader.h"

#include "planserver/plan_server.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>

#include "imaging/sheet_fixtures.h"

namespace sw::imaging {
namespace {

// A plan server over a folder holding G4.TIF as sheet.tif (throttled: about half a second), as
// cut.tif (sent half, then the connection closes) and stall.tif (half, then silence), a third of
// it as corrupt.tif (complete under its own length), and an HTML page, as a log-in page would be.
// The folder holds a FIFO too.
class LoaderTest : public ::testing::Test {
protected:
    LoaderTest() {
        const QByteArray sheet = test::readFile(g4);
        const QByteArray page = "<!DOCTYPE html><html><body>Log in</body></html>";
        for (const auto& [name, data] : {std::pair("sheet.tif", sheet),
                                         {"cut.tif", sheet},
                                         {"stall.tif", sheet},
                                         {"corrupt.tif", sheet.left(sheet.size() / 3)},
                                         {"page.html", page}}) {
            test::writeFile(m_dir.filePath(QLatin1String(name)), data);
        }
        mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.tif"))), 0600);
        tools::PlanServerOptions options;
        options.root = m_dir.path();
        options.throttle = {{"/sheet.tif", 100'000}};
        options.truncate = {"/cut.tif"};
        options.stall = {"/stall.tif"};
        m_server = std::make_unique<tools::PlanServer>(options);
        m_server->start();
        QObject::connect(&loader, &SheetLoader::progress, [this](int p) { progress << p; });
    }

    // A table's address: $HTTP/ is the plan server, $DIR the folder, $DATA the corpus, $CLOSED a
    // port nothing listens on.
    QString address(QString a) const {
        if (a.contains(QLatin1String("$CLOSED"))) {
            QTcpServer closed;
            closed.listen(QHostAddress::LocalHost);
            a.replace(QLatin1String("$CLOSED"), QString::number(closed.serverPort()));
        }
        return a.replace(QLatin1String("$HTTP/"), m_server->baseUrl().toString())
            .replace(QLatin1String("$DIR"), m_dir.path())
            .replace(QLatin1String("$DATA"), test::corpus({}));
    }

    // Waits for the end of the load; returns the failure reason (empty when loaded). The spies are
    // made after start(): a load that ends inside start(), before its caller could connect, is
    // seen as never ending.
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

    const QString g4 = test::corpus("drawings_bilevel/G4.TIF");
    QTemporaryDir m_dir;
    std::unique_ptr<tools::PlanServer> m_server;
    SheetLoader loader;
    QList<int> progress;
    Sheet sheet;
};

struct LoadCase {
    const char* name;
    const char* address;
    const char* reasonStart;  // null: loads G4.TIF
    qint64 maxImageBytes = DecodeOptions().maxImageBytes;
};

using sw::test::PrintTo;

class Loads : public LoaderTest, public ::testing::WithParamInterface<LoadCase> {};

// A load ends once, after start(), with the sheet and progress rising from 0 to 100 (in steps
// while a download trickles in), or with a reason and progress short of 100.
TEST_P(Loads, EndWithTheSheetOrAReadableReason) {
    const LoadCase& c = GetParam();
    loader.setTransferTimeout(c.reasonStart ? 300 : SheetLoader::kDefaultTransferTimeout);
    loader.setDecodeOptions({.maxImageBytes = c.maxImageBytes});
    loader.start(address(QLatin1String(c.address)));
    EXPECT_TRUE(loader.isLoading());
    const QString reason = finish();
    EXPECT_FALSE(loader.isLoading());
    if (c.reasonStart) {
        EXPECT_TRUE(reason.startsWith(QLatin1String(c.reasonStart))) << qPrintable(reason);
        EXPECT_FALSE(progress.contains(100));
        return;
    }
    EXPECT_EQ(reason, QString());
    EXPECT_EQ(sheet.size(), QSize(2464, 3248));
    ASSERT_GE(progress.size(), std::string_view(c.address).starts_with("$HTTP") ? 3 : 2);
    EXPECT_EQ(progress.first(), 0);
    EXPECT_EQ(progress.last(), 100);
    for (int i = 1; i < progress.size(); ++i) {
        EXPECT_GT(progress[i], progress[i - 1]);
    }
}

// Only regular files are read, and nothing waits for a device or a pipe; a server that sends more
// than any acceptable image stops being read.
INSTANTIATE_TEST_SUITE_P(
    Addresses, Loads,
    ::testing::Values(
        LoadCase{"Http", "$HTTP/sheet.tif", nullptr},
        LoadCase{"HttpMissing", "$HTTP/missing.tif", "HTTP 404 Not Found"},
        LoadCase{"HttpCut", "$HTTP/cut.tif", "The response was cut short"},
        LoadCase{"HttpStalled", "$HTTP/stall.tif", "No data received for 0.3 s"},
        LoadCase{"HttpLogInPage", "$HTTP/page.html", "Not a TIFF file (received an HTML"},
        LoadCase{"HttpOversized", "$HTTP/sheet.tif", "The response is larger than 5 KB", 1024},
        LoadCase{"ConnectionRefused", "http://127.0.0.1:$CLOSED/sheet.tif", "Connection refused"},
        LoadCase{"FileUrl", "file://$DATA/drawings_bilevel/G4.TIF", nullptr},
        LoadCase{"MissingFile", "/no/such/sheet.tif", "Cannot open"},
        LoadCase{"Device", "/dev/zero", "Cannot open /dev/zero: not a regular file"},
        LoadCase{"Fifo", "file://$DIR/pipe.tif", "Cannot open"},
        LoadCase{"Malformed", "file://$DATA/malformed/fuzz-inf_loop-000028.tif", "Corrupt data"},
        LoadCase{"NoAddress", "", "No address given"},
        LoadCase{"OtherScheme", "ftp://host/sheet.tif", "Unsupported address scheme \"ftp\""}),
    sw::test::byName);

// A newer load or cancel() silences the load before it: neither the stalled load's timeout nor
// the end of the cancelled download is heard of.
TEST_F(LoaderTest, NewerLoadsAndCancelSilenceTheLoadBefore) {
    loader.setTransferTimeout(200);
    loader.start(address(QStringLiteral("$HTTP/stall.tif")));
    loader.start(address(QStringLiteral("$HTTP/sheet.tif")));
    EXPECT_EQ(finish(), QString());
    EXPECT_EQ(progress.count(0), 2);  // each load starts at 0
    EXPECT_EQ(progress.last(), 100);
    QSignalSpy loaded(&loader, &SheetLoader::loaded);
    QSignalSpy failed(&loader, &SheetLoader::failed);
    loader.start(address(QStringLiteral("$HTTP/sheet.tif")));
    loader.cancel();
    loaded.wait(1000);  // the download takes about half a second
    EXPECT_TRUE(loaded.isEmpty());
    EXPECT_TRUE(failed.isEmpty());
}

}  // namespace
}  // namespace sw::imaging
