// PrintDialog with the system's Print dialog driven by the test as a user would.
#include "printing/ui/print_dialog.h"

#include <gtest/gtest.h>

#include "printing/print_dialog_driver.h"
#include "printing/test_sheets.h"

namespace sw::printing {
namespace {

struct ShowCase {
    std::string label;
    std::int16_t offerCopies, offerFrom, offerTo, pages;  // written before show()
    bool confirm;
    int chooseCopies, chooseFrom, chooseTo;  // entered in the dialog (from 0: all pages)
    int copies, fromPage, toPage;            // read after show()
};

SW_PRINT_LABEL(ShowCase)

class PrintDialogShow : public ::testing::TestWithParam<ShowCase> {};

TEST_P(PrintDialogShow, OffersThenReportsTheUsersChoice) {
    const ShowCase& c = GetParam();
    PrintDialog pd;
    EXPECT_EQ(pd.Copies(), 0);
    pd.setCopies(c.offerCopies);
    pd.setFromPage(c.offerFrom);
    pd.setToPage(c.offerTo);
    pd.setPages(c.pages);

    test::OfferedPrint offered;
    test::answerPrintDialog(offered, c.confirm,
                            test::choosePrint(c.chooseCopies, c.chooseFrom, c.chooseTo));
    pd.show();

    EXPECT_EQ(offered.copies, std::max<int>(c.offerCopies, 1));
    if (c.offerFrom > 0) {
        EXPECT_EQ(offered.from, c.offerFrom);
        EXPECT_EQ(offered.to, c.offerTo);
    }
    if (c.pages > 0) {
        EXPECT_EQ(offered.maxPage, c.pages);
    }
    EXPECT_EQ(std::vector<int>({pd.Copies(), pd.FromPage(), pd.ToPage(), pd.Pages()}),
              std::vector<int>({c.copies, c.fromPage, c.toPage, c.pages}));
    // The printer the dialog showed, when it is an installed printer of that exact name.
    const bool installed =
        c.confirm && QPrinterInfo::availablePrinterNames().contains(offered.printer);
    EXPECT_EQ(pd.m_Printer.isNull(), !installed);
    if (installed) {
        EXPECT_EQ(pd.m_Printer.printerName(), offered.printer);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrintDialogShow,
    ::testing::Values(ShowCase{"ConfirmedRange", 0, 0, 0, 0, true, 3, 2, 4, 3, 2, 4},
                      ShowCase{"ConfirmedAllPagesKeepsTheOfferedRange", 2, 3, 5, 9, true, 4, 0, 0,
                               4, 3, 5},
                      ShowCase{"RangeLimitedToPages", 1, 1, 2, 6, true, 1, 2, 9, 1, 2, 6},
                      ShowCase{"CancelledChangesNothing", 2, 3, 5, 0, false, 7, 1, 1, 0, 3, 5}),
    test::LabelName());

TEST(PrintDialogClass, CancelAfterAConfirmedShowKeepsCopiesAndClearsThePrinter) {
    PrintDialog pd;
    test::OfferedPrint offered;
    test::answerPrintDialog(offered, true, test::choosePrint(5, 0, 0));
    pd.show();
    ASSERT_EQ(pd.Copies(), 5);
    test::answerPrintDialog(offered, false);
    pd.show();
    EXPECT_EQ(pd.Copies(), 5);
    EXPECT_TRUE(pd.m_Printer.isNull());
}

}  // namespace
}  // namespace sw::printing
