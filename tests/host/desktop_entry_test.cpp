#include "host/desktop_entry.h"

#include "host_test_support.h"
#include <gtest/gtest.h>

namespace sw::host {
namespace {

using sw::test::PrintTo;

// ---- Exec lines ---------------------------------------------------------------------------------

struct ExecCase {
    const char* name = nullptr;
    const char* program = nullptr;
    const char* exec = nullptr;
};

class DesktopExec : public ::testing::TestWithParam<ExecCase> {};

// Paths with blanks or characters the desktop reads specially are quoted and escaped; a path
// no Exec line can hold is refused. (The registration test gives a real entry to
// desktop-file-validate.)
TEST_P(DesktopExec, NamesTheProgramSoTheDesktopReadsItBack) {
    const std::optional<QString> exec = desktopExecProgram(QString::fromUtf8(GetParam().program));
    EXPECT_EQ(exec.value_or("<refused>"), QString::fromUtf8(GetParam().exec));
}

INSTANTIATE_TEST_SUITE_P(
    Table, DesktopExec,
    ::testing::Values(ExecCase{"PlainPath", "/usr/local/bin/sheetwise", "/usr/local/bin/sheetwise"},
                      ExecCase{"Space", "/opt/my apps/sheetwise", "\"/opt/my apps/sheetwise\""},
                      ExecCase{"Percent", "/opt/100%/sheetwise", "/opt/100%%/sheetwise"},
                      ExecCase{"DollarAndQuote", "/opt/a$b\"c/sw", R"("/opt/a\\$b\\"c/sw")"},
                      ExecCase{"Backslash", "/opt/a\\b/sw", R"("/opt/a\\\\b/sw")"},
                      ExecCase{"LineBreak", "/opt/a\nb/sw", "<refused>"}),
    sw::test::byName);

// ---- mimeapps.list ------------------------------------------------------------------------------

struct MimeappsCase {
    const char* name = nullptr;
    const char* before = nullptr;
    const char* after = nullptr;
};

class MimeappsWithoutSheetwise : public ::testing::TestWithParam<MimeappsCase> {};

TEST_P(MimeappsWithoutSheetwise, KeepsEverythingElse) {
    EXPECT_EQ(
        withoutMimeHandler(QString::fromUtf8(GetParam().before), kSchemeMimeType, kDesktopFileName),
        QString::fromUtf8(GetParam().after));
}

INSTANTIATE_TEST_SUITE_P(
    Table, MimeappsWithoutSheetwise,
    ::testing::Values(
        MimeappsCase{"OnlyHandler",
                     "[Default Applications]\nx-scheme-handler/sheetwise=sheetwise.desktop\n"
                     "text/plain=gedit.desktop\n",
                     "[Default Applications]\ntext/plain=gedit.desktop\n"},
        MimeappsCase{"OneOfSeveral",
                     "[Added Associations]\nx-scheme-handler/sheetwise=a.desktop;sheetwise.desktop;"
                     "b.desktop;\n",
                     "[Added Associations]\nx-scheme-handler/sheetwise=a.desktop;b.desktop;\n"},
        MimeappsCase{"OtherHandlerOnly",
                     "[Default Applications]\nx-scheme-handler/sheetwise=other.desktop\n",
                     "[Default Applications]\nx-scheme-handler/sheetwise=other.desktop\n"}),
    sw::test::byName);

}  // namespace
}  // namespace sw::host
