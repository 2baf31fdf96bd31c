#include "host/desktop_entry.h"

#include "host_test_support.h"
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace sw::host {
namespace {

using sw::test::PrintTo;

// ---- Exec lines ---------------------------------------------------------------------------------

struct ExecCase {
    const char* name = nullptr;
    const char* program = nullptr;
    const char* exec = nullptr;  // nullptr: the path cannot be written
};

class DesktopExec : public ::testing::TestWithParam<ExecCase> {};

// Each accepted value is also given to desktop-file-validate, the desktop's own reader of the
// rules, when it is installed.
TEST_P(DesktopExec, NamesTheProgramSoTheDesktopReadsItBack) {
    const ExecCase& c = GetParam();
    const std::optional<QString> exec = desktopExecProgram(QString::fromUtf8(c.program));
    if (c.exec == nullptr) {
        EXPECT_FALSE(exec.has_value());
        return;
    }
    ASSERT_TRUE(exec.has_value());
    EXPECT_EQ(*exec, QString::fromUtf8(c.exec));

    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty()) {
        return;
    }
    QTemporaryDir dir;
    const QString entry = dir.filePath("sheetwise.desktop");
    ASSERT_TRUE(test::writeFile(
        entry, "[Desktop Entry]\nType=Application\nName=Sheetwise\nExec=" + exec->toUtf8() +
                   " %u\nMimeType=x-scheme-handler/sheetwise;\n"));
    QProcess process;
    process.start(validator, {entry});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardOutput().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, DesktopExec,
    ::testing::Values(ExecCase{"PlainPath", "/usr/local/bin/sheetwise", "/usr/local/bin/sheetwise"},
                      ExecCase{"Space", "/opt/my apps/sheetwise", "\"/opt/my apps/sheetwise\""},
                      ExecCase{"Percent", "/opt/100%/sheetwise", "/opt/100%%/sheetwise"},
                      ExecCase{"DollarAndQuote", "/opt/a$b\"c/sw", R"("/opt/a\\$b\\"c/sw")"},
                      ExecCase{"Backslash", "/opt/a\\b/sw", R"("/opt/a\\\\b/sw")"},
                      ExecCase{"LineBreak", "/opt/a\nb/sw", nullptr}),
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
