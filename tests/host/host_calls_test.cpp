#include "base/host_calls.h"

#include "host_test_support.h"
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "base/ini_store.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "host/ui/tree_nodes.h"
#include "imaging/ui/imaging_control.h"

namespace sw::host {
namespace {

using base::Trust;
using sw::test::PrintTo;

using test::text;

class CallsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_viewer.iniPath = m_dir.filePath("Sheetwise.ini");
        base::writeProfileString(m_viewer.iniPath, "Prefs", "Plan Directory",
                                 m_dir.filePath("plans"));
    }

    QJsonObject run(const char* call, Trust trust = Trust::Trusted) {
        const base::HostCallRunner runner(m_viewer, standardRegistry(), trust);
        const QJsonDocument document = QJsonDocument::fromJson(call);
        return runner.run(document.isArray() ? QJsonValue(document.array()) : QJsonValue(call));
    }
    QString error(const char* call) { return run(call).value("error").toString(); }

    QTemporaryDir m_dir;
    FastViewer m_viewer;
};

// ---- Calls through the runner: arguments converted as a script host converts them, errors by
// their script names, malformed calls refused one by one, pseudo-calls only for trusted callers.

struct CallCase {
    const char* name;
    const char* call;
    const char* reply;  // "call" is the name as called unless given
    Trust trust = Trust::Trusted;
};

class ScriptingCalls : public CallsFixture, public ::testing::WithParamInterface<CallCase> {};

TEST_P(ScriptingCalls, ReplyCarriesResultChangedArgumentsOrError) {
    QJsonObject expected = QJsonDocument::fromJson(GetParam().reply).object();
    if (!expected.contains("call")) {
        expected.insert("call", QJsonDocument::fromJson(GetParam().call).array().at(0));
    }
    EXPECT_EQ(text(run(GetParam().call, GetParam().trust)), text(expected));
}

#define SW_FAILS(description) R"({"ok":false,"error":")" description R"("})"
#define SW_MALFORMED \
    R"({"call":null,"ok":false,"error":"a call is a list whose first element is the call's name"})"

INSTANTIATE_TEST_SUITE_P(
    Table, ScriptingCalls,
    ::testing::Values(
        CallCase{
            "InitVars", R"(["InitVars","http://h/","2004~0815","School",90,"north"])",
            R"({"ok":true,"result":null,"args":["http://h/","2004-0815","School",90,"north"]})"},
        CallCase{"InitVarsNumberAsText", R"(["InitVars","u/",2004.5,"P",0,"s"])",
                 SW_FAILS("Invalid procedure call or argument")},
        CallCase{"InitVarsBadRotation", R"(["InitVars","u/","1-2","P","ninety","s"])",
                 SW_FAILS("Type mismatch")},
        CallCase{"InitVarsHugeRotation", R"(["InitVars","u/","1-2","P",3e10,"s"])",
                 SW_FAILS("Overflow")},
        CallCase{"InitVarsTooFew", R"(["InitVars","u/","1-2"])", SW_FAILS("Argument not optional")},
        CallCase{"ResetRootTooMany", R"(["ResetRoot",1])",
                 SW_FAILS("Wrong number of arguments or invalid property assignment")},
        CallCase{"GetPart", R"(["GetPart","C:\\a\\b\\","\\"])",
                 R"({"ok":true,"result":"C:\\","args":["a\\b\\","\\"]})"},
        CallCase{"GetPartListArgument", R"(["GetPart",["abc"],"/"])", SW_FAILS("Type mismatch")},
        CallCase{"MakePlanListShort", R"(["MakePlanList","hdr~A,S"])",
                 SW_FAILS("Subscript out of range")},
        CallCase{"SetProjectNameFromTrue", R"(["setprojectname",true])",
                 R"({"ok":true,"result":null,"args":["True"]})"},
        CallCase{"SetImageNull", R"(["SetImage","s1.tif",null])",
                 R"({"ok":true,"result":null,"args":["s1.tif",""]})"},
        CallCase{"Unknown", R"(["Format","C:"])",
                 SW_FAILS("Object doesn't support this property or method")},
        CallCase{"EmptyList", "[]", SW_MALFORMED}, CallCase{"NumberAsName", "[42]", SW_MALFORMED},
        CallCase{"Object", R"({"call":"Dump"})", SW_MALFORMED},
        CallCase{"UntrustedScriptingMethod", R"(["SetProjectName","P"])",
                 R"({"ok":true,"result":null,"args":["P"]})", Trust::Untrusted},
        CallCase{"UntrustedDump", R"(["Dump"])", SW_FAILS("Permission denied"), Trust::Untrusted}),
    sw::test::byName);

#undef SW_FAILS
#undef SW_MALFORMED

// A page's call must not leave the user's own actions after it marked untrusted: a double click
// in the plan tree still opens a local sheet of a list a trusted script made.
TEST_F(CallsFixture, AfterAnUntrustedCallTheUsersOwnActionsAreTrustedAgain) {
    run(R"(["MakePlanList","h~A,Sheet 1,/srv/s1.tif~A,Sheet 2,/srv/s2.tif"])");
    ASSERT_TRUE(run(R"(["SetProjectName","P"])", Trust::Untrusted).value("ok").toBool());
    emit m_viewer.pmn->itemDoubleClicked(findTreeItem(*m_viewer.pmn, "Sheet 2"), 0);
    EXPECT_EQ(m_viewer.viewer->loadAddress(), "/srv/s2.tif")
        << m_viewer.messagesShown.join('\n').toStdString();
}

// A script's author finds every call the viewer adds to the scripting methods in the README.
TEST(HostCallRegistry, EveryPseudoCallIsDocumentedInTheReadme) {
    QFile readme(sw::test::dataPath("../../README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    for (const QString& name : standardRegistry().names()) {
        if (standardRegistry().find(name)->kind == base::CallKind::Pseudo) {
            EXPECT_TRUE(text.contains("`[\"" + name + "\"")) << name.toStdString();
        }
    }
}

// ---- Widget pseudo-calls -----------------------------------------------------------------------

TEST_F(CallsFixture, WidgetCallsActAsAUserWouldOrSayWhyNot) {
    QDialog form;
    form.setObjectName("DlgTest");
    auto* combo = new QComboBox(&form);
    combo->setObjectName("Combo1");
    combo->addItems({"Letter", "Legal", "Tabloid"});
    auto* edit = new QLineEdit(&form);
    edit->setObjectName("txtScale");
    auto* list = new QListWidget(&form);
    list->setObjectName("thelist");
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    list->addItems({"Sheet 1", "Sheet 2", "Sheet 3"});
    auto* button = new QPushButton("Print", &form);
    button->setObjectName("Command1");
    form.show();

    QSignalSpy activated(combo, &QComboBox::activated);
    QSignalSpy edited(edit, &QLineEdit::textEdited);
    QSignalSpy clicked(button, &QPushButton::clicked);
    for (const char* call :
         {R"(["Set","DlgTest/Combo1","Tabloid"])", R"(["Set","DlgTest/txtScale","1/4"])",
          R"(["Select","DlgTest/thelist",[0,2]])", R"(["Click","DlgTest/Command1"])"}) {
        EXPECT_EQ(error(call), "") << call;
    }
    EXPECT_EQ(QList<qsizetype>({activated.size(), edited.size(), clicked.size()}),
              QList<qsizetype>({1, 1, 1}));
    const auto shown = [this](const char* call) {
        return text(run(call).value("result").toObject());
    };
    EXPECT_EQ(
        shown(R"(["Get","DlgTest/Combo1"])"),
        R"({"enabled":true,"items":["Letter","Legal","Tabloid"],"selected":2,"text":"Tabloid","visible":true})");
    EXPECT_EQ(
        shown(R"(["Get","DlgTest/thelist"])"),
        R"({"enabled":true,"items":["Sheet 1","Sheet 2","Sheet 3"],"selected":[0,2],"visible":true})");

    button->setEnabled(false);
    for (const auto& [call, why] :
         {std::pair{R"(["Set","DlgTest/Combo1","A0"])", "DlgTest/Combo1 has no item A0"},
          {R"(["Select","DlgTest/thelist",[7]])", "DlgTest/thelist has no row 7"},
          {R"(["Click","DlgTest/Command1"])", "DlgTest/Command1 is disabled"},
          {R"(["Get","DlgTest/nothing"])", "No control named DlgTest/nothing"},
          {R"(["Click","FastViewer/pmn"])", "FastViewer/pmn cannot be clicked"}}) {
        EXPECT_EQ(error(call), why) << call;
    }

    run(R"(["InitVars","http://h/","1-2","P",0,"s"])");
    run(R"(["MakePlanList","h~A,Sheet 1,s1.tif"])");
    EXPECT_EQ(error(R"(["DblClick","FastViewer/pmn","Sheet 1"])"), "");
    EXPECT_EQ(m_viewer.viewer->loadAddress(), "http://h/1/2/plans/s1.tif");
}

}  // namespace
}  // namespace sw::host
