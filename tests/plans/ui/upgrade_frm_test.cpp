#include "plans/ui/upgrade_frm.h"

#include "support/qt_print.h"
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include "plans/ui/plan_dialogs.h"

namespace sw::plans {
namespace {

TEST(UpgradeFrm, ShowsTheBuildVersionTitleAndProNoteWithoutButtons) {
    QPointer<UpgradeFrm> window = openUpgradeFrm(nullptr);
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->windowTitle(), "About Sheetwise");
    EXPECT_EQ(window->version->text(), "Version " SW_EXPECTED_VERSION);
    EXPECT_EQ(window->lblProOnly->text(),
              "The ability to markup a drawing, as well as a score of other features, is "
              "available in Sheetwise Pro only.");
    EXPECT_FALSE(window->Picture1->pixmap().isNull());
    EXPECT_TRUE(window->findChildren<QAbstractButton*>().isEmpty());

    EXPECT_EQ(openUpgradeFrm(nullptr), window.data()) << "Markup twice opens one window";
    window->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 2000));
    QPointer<UpgradeFrm> next = openUpgradeFrm(nullptr);
    EXPECT_FALSE(next.isNull());
    delete next;
}

}  // namespace
}  // namespace sw::plans
