#include "printing/printing_calls.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QTemporaryDir>

#include "host/host_calls.h"
#include "host/ui/fast_viewer.h"
#include "printing/print_to_directory.h"

namespace sw::printing {
namespace {

class PrintingCalls : public ::testing::Test {
protected:
    void SetUp() override { registerPrintingCalls(registry); }
    void TearDown() override { setPrintToDirectory(QString()); }

    QJsonObject run(const QJsonArray& call, host::Trust trust = host::Trust::Trusted) {
        return host::HostCallRunner(viewer, registry, trust).run(call);
    }

    host::HostCallRegistry registry;
    host::FastViewer viewer;
};

TEST_F(PrintingCalls, PrintToSwitchesRedirectionOnAndOff) {
    QTemporaryDir dir;
    const QJsonObject on = run({QStringLiteral("printto"), dir.path()});
    EXPECT_TRUE(on.value(QStringLiteral("ok")).toBool());
    EXPECT_EQ(on.value(QStringLiteral("result")).toString(), dir.path());
    EXPECT_EQ(printToDirectory(), dir.path());

    QJsonObject state;
    registry.fillState(viewer, state);
    EXPECT_EQ(state.value(QStringLiteral("printTo")).toString(), dir.path());

    const QJsonObject off = run({QStringLiteral("PrintTo"), QString()});
    EXPECT_TRUE(off.value(QStringLiteral("ok")).toBool());
    EXPECT_TRUE(printToDirectory().isEmpty());
    EXPECT_FALSE(run({QStringLiteral("PrintTo")}).value(QStringLiteral("ok")).toBool());
}

TEST_F(PrintingCalls, UntrustedDocumentsCannotRedirectPrinting) {
    const QJsonObject reply =
        run({QStringLiteral("PrintTo"), QStringLiteral("/tmp/x")}, host::Trust::Untrusted);
    EXPECT_FALSE(reply.value(QStringLiteral("ok")).toBool());
    EXPECT_TRUE(printToDirectory().isEmpty());
}

}  // namespace
}  // namespace sw::printing
