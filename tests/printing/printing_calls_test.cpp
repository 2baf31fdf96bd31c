#include "printing/printing_calls.h"

#include <gtest/gtest.h>

#include <QPrinterInfo>
#include <QTemporaryDir>

#include "base/host_calls.h"
#include "host/ui/fast_viewer.h"
#include "printing/print_dialog_driver.h"
#include "printing/print_to_directory.h"
#include "printing/ui/print_dialog.h"
#include "printing/ui/print_dialog_calls.h"

namespace sw::printing {
namespace {

using sw::test::PrintTo;

class PrintingCalls : public ::testing::Test {
public:
    // The m_Printer read back for the printer the dialog showed: its name when it is an installed
    // printer of that exact name and the dialog was confirmed.
    static QJsonValue chosenPrinter(const test::OfferedPrint& offered, bool confirmed) {
        const bool installed = QPrinterInfo::availablePrinterNames().contains(offered.printer);
        return confirmed && installed ? QJsonValue(offered.printer) : QJsonValue();
    }

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
// dialog (answered here as a user would), read back what the user chose. Cancelled later, the
// dialog keeps the copies and chooses no printer.
TEST_F(PrintingCalls, PrintDialogIsMadeOfferedShownAndReadBack) {
    EXPECT_FALSE(run({"PrintDialog", "create"}, base::Trust::Untrusted).value("ok").toBool());
    const int n = run({"PrintDialog", "create"}).value("result").toInt();
    for (const auto& [member, value] : {std::pair{"Copies", 3}, {"FromPage", 2}, {"ToPage", 4}}) {
        EXPECT_TRUE(run({"PrintDialog", n, member, value}).value("ok").toBool()) << member;
    }
    test::OfferedPrint offered;
    test::answerPrintDialog(offered, true, {5});
    const QJsonObject shown = run({"PrintDialog", n, "show"});
    EXPECT_EQ(offered.copies, 3);
    EXPECT_EQ(offered.from, 2);
    EXPECT_EQ(shown.value("result").toObject(),
              (QJsonObject{{"m_Printer", chosenPrinter(offered, true)},
                           {"Copies", 5},
                           {"FromPage", 2},
                           {"ToPage", 4},
                           {"Pages", 0}}));
    test::answerPrintDialog(offered, false);
    const QJsonObject cancelled = run({"PrintDialog", n, "show"}).value("result").toObject();
    EXPECT_EQ(cancelled.value("Copies"), 5);
    EXPECT_EQ(cancelled.value("m_Printer"), QJsonValue());
    EXPECT_EQ(run({"PrintDialog", n + 1}).value("error"), "Subscript out of range");
    EXPECT_FALSE(run({"PrintDialog", n, "m_Printer", "No such printer"}).value("ok").toBool());
}

// ---- The PrintDialog class itself
// ----------------------------------------------------------------

struct ShowCase {
    const char* name;
    std::int16_t copies, fromPage, toPage, pages;  // offered (written before show())
    bool confirm;
    test::PrintChoice choice;
    int copiesRead, fromRead, toRead;  // read after show()
};

class PrintDialogShow : public ::testing::TestWithParam<ShowCase> {};

TEST_P(PrintDialogShow, OffersThenReportsTheUsersChoice) {
    const ShowCase& c = GetParam();
    PrintDialog pd;
    pd.setCopies(c.copies);
    pd.setFromPage(c.fromPage);
    pd.setToPage(c.toPage);
    pd.setPages(c.pages);
    test::OfferedPrint offered;
    test::answerPrintDialog(offered, c.confirm, c.choice);
    pd.show();

    EXPECT_EQ(offered.copies, std::max<int>(c.copies, 1));
    if (c.fromPage > 0) {
        EXPECT_EQ(QPoint(offered.from, offered.to), QPoint(c.fromPage, c.toPage));
    }
    if (c.pages > 0) {
        EXPECT_EQ(offered.maxPage, c.pages);
    }
    EXPECT_EQ(std::vector<int>({pd.Copies(), pd.FromPage(), pd.ToPage(), pd.Pages()}),
              std::vector<int>({c.copiesRead, c.fromRead, c.toRead, c.pages}));
    EXPECT_EQ(pd.m_Printer.isNull() ? QJsonValue() : QJsonValue(pd.m_Printer.printerName()),
              PrintingCalls::chosenPrinter(offered, c.confirm));
}

// Copies read 0 before any confirmed dialog.
const ShowCase kShows[] = {
    {"ConfirmedRange", 0, 0, 0, 0, true, {3, 2, 4}, 3, 2, 4},
    {"ConfirmedAllPagesKeepsTheOfferedRange", 2, 3, 5, 9, true, {4}, 4, 3, 5},
    {"RangeLimitedToPages", 1, 1, 2, 6, true, {1, 2, 9}, 1, 2, 6},
    {"CancelledChangesNothing", 2, 3, 5, 0, false, {7, 1, 1}, 0, 3, 5},
};
INSTANTIATE_TEST_SUITE_P(Table, PrintDialogShow, ::testing::ValuesIn(kShows), sw::test::byName);

}  // namespace
}  // namespace sw::printing
