#include "printing/printing_calls.h"

#include <gtest/gtest.h>

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

TEST_F(PrintingCalls, PrintToSwitchesRedirectionOnAndOffForTrustedCallersOnly) {
    EXPECT_FALSE(run({"PrintTo", "/tmp/x"}, host::Trust::Untrusted).value("ok").toBool());
    EXPECT_TRUE(printToDirectory().isEmpty());

    QTemporaryDir dir;
    const QJsonObject on = run({"printto", dir.path()});
    EXPECT_TRUE(on.value("ok").toBool());
    EXPECT_EQ(on.value("result").toString(), dir.path());
    EXPECT_EQ(printToDirectory(), dir.path());
    QJsonObject state;
    registry.fillState(viewer, state);
    EXPECT_EQ(state.value("printTo").toString(), dir.path());

    EXPECT_TRUE(run({"PrintTo", QString()}).value("ok").toBool());
    EXPECT_TRUE(printToDirectory().isEmpty());
    EXPECT_FALSE(run({"PrintTo"}).value("ok").toBool());
}

}  // namespace
}  // namespace sw::printing
