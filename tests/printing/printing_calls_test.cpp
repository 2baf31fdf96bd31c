#include "printing/printing_calls.h"

#include <gtest/gtest.h>

#include <QPrinterInfo>
#include <QTemporaryDir>

#include "base/host_calls.h"
#include "host/ui/fast_viewer.h"
#include "printing/print_dialog_driver.h"
#include "printing/print_to_directory.h"
#include "printing/ui/print_dialog_calls.h"

namespace sw::printing {
namespace {

class PrintingCalls : public ::testing::Test {
protected:
    void SetUp() override {
        registerPrintingCalls(registry);
        registerPrintDialogCalls(registry);
    }
    void TearDown() override { setPrintToDirectory(QString()); }

    QJsonObject run(const QJsonArray& call, base::Trust trust = base::Trust::Trusted) {
        return base::HostCallRunner(viewer, registry, trust).run(call);
    }

    base::HostCallRegistry registry;
    host::FastViewer viewer;
};

TEST_F(PrintingCalls, PrintToSwitchesRedirectionOnAndOffForTrustedCallersOnly) {
    EXPECT_FALSE(run({"PrintTo", "/tmp/x"}, base::Trust::Untrusted).value("ok").toBool());
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

// A script uses the PrintDialog class as a page would: make one, offer values, show the system
// dialog (answered here as a user would), read back what the user chose.
TEST_F(PrintingCalls, PrintDialogIsMadeOfferedShownAndReadBack) {
    EXPECT_FALSE(run({"PrintDialog", "create"}, base::Trust::Untrusted).value("ok").toBool());
    const int n = run({"PrintDialog", "create"}).value("result").toInt();
    for (const auto& [member, value] : {std::pair{"Copies", 3}, {"FromPage", 2}, {"ToPage", 4}}) {
        EXPECT_TRUE(run({"PrintDialog", n, member, value}).value("ok").toBool()) << member;
    }
    test::OfferedPrint offered;
    test::answerPrintDialog(offered, true, test::choosePrint(5, 0, 0));
    const QJsonObject shown = run({"PrintDialog", n, "show"});
    EXPECT_EQ(offered.copies, 3);
    EXPECT_EQ(offered.from, 2);
    EXPECT_EQ(
        shown.value("result").toObject(),
        (QJsonObject{{"m_Printer", QPrinterInfo::availablePrinterNames().contains(offered.printer)
                                       ? QJsonValue(offered.printer)
                                       : QJsonValue()},
                     {"Copies", 5},
                     {"FromPage", 2},
                     {"ToPage", 4},
                     {"Pages", 0}}));
    EXPECT_EQ(run({"PrintDialog", n + 1}).value("error"), "Subscript out of range");
    EXPECT_FALSE(run({"PrintDialog", n, "m_Printer", "No such printer"}).value("ok").toBool());
}

}  // namespace
}  // namespace sw::printing
