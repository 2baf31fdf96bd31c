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

using sw::test::PrintTo;

class PrintingCalls : public ::testing::Test {
protected:
    // The m_Printer read back for the printer the dialog showed: its name when it is an installed
    // printer of that exact name and the dialog was confirmed.
    static QJsonValue chosenPrinter(const test::OfferedPrint& offered, bool confirmed) {
        const bool installed = QPrinterInfo::availablePrinterNames().contains(offered.printer);
        return confirmed && installed ? QJsonValue(offered.printer) : QJsonValue();
    }
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
// dialog (answered here as a user would), read back what the user chose. Copies read the last
// confirmed dialog's (0 before any); the range stays as offered when the user prints all pages
// and ends at Pages; a cancelled dialog changes nothing and chooses no printer.
TEST_F(PrintingCalls, PrintDialogIsMadeOfferedShownAndReadBack) {
    EXPECT_FALSE(run({"PrintDialog", "create"}, base::Trust::Untrusted).value("ok").toBool());
    const int n = run({"PrintDialog", "create"}).value("result").toInt();
    for (const auto& [member, value] :
         {std::pair{"Copies", 3}, {"FromPage", 2}, {"ToPage", 4}, {"Pages", 6}}) {
        EXPECT_TRUE(run({"PrintDialog", n, member, value}).value("ok").toBool()) << member;
    }
    struct Showing {
        bool confirm;
        test::PrintChoice choice;
        int copies, fromPage, toPage;  // read back
    };
    for (const Showing& s : {Showing{false, {7, 1, 1}, 0, 2, 4}, Showing{true, {5}, 5, 2, 4},
                             Showing{true, {1, 3, 9}, 1, 3, 6}, Showing{false, {}, 1, 3, 6}}) {
        test::OfferedPrint offered;
        test::answerPrintDialog(offered, s.confirm, s.choice);
        const QJsonObject shown = run({"PrintDialog", n, "show"}).value("result").toObject();
        if (s.copies == 0) {
            EXPECT_EQ(QList({offered.copies, offered.from, offered.to, offered.maxPage}),
                      QList({3, 2, 4, 6}));
        }
        EXPECT_EQ(shown, (QJsonObject{{"m_Printer", chosenPrinter(offered, s.confirm)},
                                      {"Copies", s.copies},
                                      {"FromPage", s.fromPage},
                                      {"ToPage", s.toPage},
                                      {"Pages", 6}}));
    }
    EXPECT_EQ(run({"PrintDialog", n + 1}).value("error"), "Subscript out of range");
    EXPECT_FALSE(run({"PrintDialog", n, "m_Printer", "No such printer"}).value("ok").toBool());
}

}  // namespace
}  // namespace sw::printing
