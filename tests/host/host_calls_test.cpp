#include "host/host_calls.h"

#include "support/qt_print.h"
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QJsonDocument>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "host/ini_store.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "imaging/ui/imaging_control.h"

namespace sw::host {
namespace {

QJsonArray json(const char* text) {
    return QJsonDocument::fromJson(text).array();
}

class CallsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_viewer.iniPath = m_dir.filePath("Sheetwise.ini");
        writeProfileString(m_viewer.iniPath, "Prefs", "Plan Directory", m_dir.filePath("plans"));
    }

    QJsonObject run(const char* call, Trust trust = Trust::Trusted) {
        const HostCallRunner runner(m_viewer, standardRegistry(), trust);
        const QJsonDocument document = QJsonDocument::fromJson(call);
        return runner.run(document.isArray() ? QJsonValue(document.array()) : QJsonValue(call));
    }

    QTemporaryDir m_dir;
    FastViewer m_viewer;
};

// ---- Scripting methods through the runner -------------------------------------------------------

struct CallCase {
    const char* name;
    const char* call;
    const char* error;   // nullptr: the call succeeds
    const char* result;  // JSON of "result" when it succeeds
    const char* args;    // JSON of "args" when it succeeds
};

void PrintTo(const CallCase& c, std::ostream* os) {
    *os << c.name;
}

class ScriptingCalls : public CallsFixture, public ::testing::WithParamInterface<CallCase> {};

TEST_P(ScriptingCalls, ReplyCarriesResultChangedArgumentsOrError) {
    const CallCase& c = GetParam();
    const QJsonObject reply = run(c.call);
    EXPECT_EQ(reply.value("call").toString(),
              QJsonDocument::fromJson(c.call).array().at(0).toString());
    if (c.error != nullptr) {
        EXPECT_FALSE(reply.value("ok").toBool());
        EXPECT_EQ(reply.value("error").toString(), QString::fromUtf8(c.error));
        return;
    }
    ASSERT_TRUE(reply.value("ok").toBool()) << reply.value("error").toString().toStdString();
    EXPECT_EQ(QJsonArray{reply.value("result")}, json(c.result));
    EXPECT_EQ(reply.value("args").toArray(), json(c.args));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScriptingCalls,
    ::testing::Values(
        CallCase{"InitVars", R"(["InitVars","http://h/","2004~0815","School",90,"north"])", nullptr,
                 "[null]", R"(["http://h/","2004-0815","School",90,"north"])"},
        CallCase{"InitVarsTextRotation", R"(["InitVars","u/","1-2","P","270","s"])", nullptr,
                 "[null]", R"(["u/","1-2","P",270,"s"])"},
        CallCase{"InitVarsNumberAsText", R"(["InitVars","u/",2004.5,"P",0,"s"])",
                 "Invalid procedure call or argument", nullptr, nullptr},
        CallCase{"InitVarsBadRotation", R"(["InitVars","u/","1-2","P","ninety","s"])",
                 "Type mismatch", nullptr, nullptr},
        CallCase{"InitVarsHugeRotation", R"(["InitVars","u/","1-2","P",3e10,"s"])", "Overflow",
                 nullptr, nullptr},
        CallCase{"InitVarsClimbingSite", R"(["InitVars","u/","1-2","P",0,"../x"])",
                 "Invalid procedure call or argument", nullptr, nullptr},
        CallCase{"InitVarsTooFew", R"(["InitVars","u/","1-2"])", "Argument not optional", nullptr,
                 nullptr},
        CallCase{"ResetRootTooMany", R"(["ResetRoot",1])",
                 "Wrong number of arguments or invalid property assignment", nullptr, nullptr},
        CallCase{"GetPart", R"(["GetPart","C:\\a\\b\\","\\"])", nullptr, R"(["C:\\"])",
                 R"(["a\\b\\","\\"])"},
        CallCase{"GetPartMissing", R"(["GetPart","abc","/"])", "Overflow", nullptr, nullptr},
        CallCase{"GetPartListArgument", R"(["GetPart",["abc"],"/"])", "Type mismatch", nullptr,
                 nullptr},
        CallCase{"MakePlanList", R"(["MakePlanList","hdr~A,S,s.tif"])", nullptr, "[null]",
                 R"(["hdr~A,S,s.tif"])"},
        CallCase{"MakePlanListShort", R"(["MakePlanList","hdr~A,S"])", "Subscript out of range",
                 nullptr, nullptr},
        CallCase{"SetPlanUrlNoDash", R"(["SetPlanUrl","u/","12"])",
                 "Invalid procedure call or argument", nullptr, nullptr},
        CallCase{"SetProjectID", R"(["SetProjectID","9-9"])", nullptr, "[null]", R"(["9-9"])"},
        CallCase{"SetProjectName", R"(["setprojectname",true])", nullptr, "[null]", R"(["True"])"},
        CallCase{"SetImage", R"(["SetImage","s1.tif",null])", nullptr, "[null]",
                 R"(["s1.tif",""])"},
        CallCase{"Unknown", R"(["Format","C:"])", "Object doesn't support this property or method",
                 nullptr, nullptr}));

TEST_F(CallsFixture, MalformedCallsFailOneByOne) {
    for (const char* call : {"[]", "[42]", "{\"call\":\"Dump\"}", "\"Dump\""}) {
        const QJsonObject reply = run(call);
        EXPECT_FALSE(reply.value("ok").toBool()) << call;
        EXPECT_TRUE(reply.value("call").isNull()) << call;
        EXPECT_FALSE(reply.value("error").toString().isEmpty()) << call;
    }
}

TEST_F(CallsFixture, UntrustedCallerMayScriptButNotActAsUser) {
    EXPECT_TRUE(run(R"(["SetProjectName","P"])", Trust::Untrusted).value("ok").toBool());
    for (const char* call : {R"(["Dump"])", R"(["Click","FastViewer/pmn"])", R"(["Wait",1])"}) {
        const QJsonObject reply = run(call, Trust::Untrusted);
        EXPECT_FALSE(reply.value("ok").toBool()) << call;
        EXPECT_EQ(reply.value("error").toString(), "Permission denied") << call;
    }
}

TEST_F(CallsFixture, DumpShowsTheFieldsAndTrees) {
    run(R"(["InitVars","http://h/","2004~0815","Main Street School",90,"north"])");
    run(R"(["MakePlanList","hdr~A,Sheet 1,s1.tif~B,Sheet 2,s2.tif"])");
    run(R"(["SetFirstImage","s1.tif","Sheet 1"])");
    const QJsonObject reply = run(R"(["Dump"])");
    ASSERT_TRUE(reply.value("ok").toBool());
    const QJsonObject state = reply.value("state").toObject();
    for (const char* field : {"planLabels",      "planFiles",     "projectId",     "planUrl",
                              "currentPlanName", "sheetSizeText", "projectName",   "localRoot",
                              "projectSubPath",  "savedFolders",  "rotation",      "siteName",
                              "localPlansShown", "planListShown", "planDirectory", "iniPath",
                              "printInBlue",     "reversePrint",  "pmn",           "LocalPlans",
                              "status"}) {
        EXPECT_TRUE(state.contains(field)) << field;
    }
    EXPECT_EQ(state.value("projectId").toString(), "2004-0815");
    EXPECT_EQ(state.value("rotation").toInt(), 90);
    EXPECT_EQ(state.value("planLabels").toArray(), json(R"(["c1~Sheet 1","c3~Sheet 2",""])"));
    EXPECT_EQ(state.value("pmn").toArray().at(3).toObject(),
              QJsonObject({{"key", "c3"}, {"text", "Sheet 2"}, {"parent", "c2"}}));
    EXPECT_EQ(state.value("status").toArray().at(0).toString(), "s1.tif");
    EXPECT_EQ(state.value("viewer").toObject().value("loadAddress").toString(),
              "http://h/2004/0815/plans/s1.tif");
}

TEST(HostCallRegistry, StateProvidersExtendDumpInOrder) {
    HostCallRegistry registry;
    addStandardCalls(registry);
    registry.addStateProvider([](FastViewer&, QJsonObject& state) { state.insert("extra", 1); });
    registry.addStateProvider([](FastViewer&, QJsonObject& state) {
        state.insert("extra", state.value("extra").toInt() + 1);
    });
    registry.add("dump", CallKind::Pseudo, [](FastViewer&, const QJsonArray&) {
        return CallReply{{"state", "replaced"}};
    });
    FastViewer viewer;
    EXPECT_EQ(HostCallRunner(viewer, registry, Trust::Trusted)
                  .run(json(R"(["Dump"])"))
                  .value("state")
                  .toString(),
              "replaced");
    EXPECT_EQ(registry.names()
                  .filter(QRegularExpression("^dump$", QRegularExpression::CaseInsensitiveOption))
                  .size(),
              1);
}

// ---- Widget pseudo-calls -----------------------------------------------------------------------

class WidgetCalls : public CallsFixture {
protected:
    void SetUp() override {
        CallsFixture::SetUp();
        m_form.setObjectName("DlgTest");
        m_combo = new QComboBox(&m_form);
        m_combo->setObjectName("Combo1");
        m_combo->addItems({"Letter", "Legal", "Tabloid"});
        m_edit = new QLineEdit(&m_form);
        m_edit->setObjectName("txtScale");
        m_list = new QListWidget(&m_form);
        m_list->setObjectName("thelist");
        m_list->setSelectionMode(QAbstractItemView::MultiSelection);
        m_list->addItems({"Sheet 1", "Sheet 2", "Sheet 3"});
        m_button = new QPushButton("Print", &m_form);
        m_button->setObjectName("Command1");
        m_form.show();
    }

    QDialog m_form;
    QComboBox* m_combo = nullptr;
    QLineEdit* m_edit = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_button = nullptr;
};

TEST_F(WidgetCalls, SetAndGetBehaveAsAUserWould) {
    QSignalSpy activated(m_combo, &QComboBox::activated);
    QSignalSpy edited(m_edit, &QLineEdit::textEdited);
    EXPECT_TRUE(run(R"(["Set","DlgTest/Combo1","Tabloid"])").value("ok").toBool());
    EXPECT_EQ(activated.count(), 1);
    EXPECT_TRUE(run(R"(["Set","DlgTest/txtScale","1/4"])").value("ok").toBool());
    EXPECT_EQ(edited.count(), 1);
    const QJsonObject combo = run(R"(["Get","DlgTest/Combo1"])").value("result").toObject();
    EXPECT_EQ(combo.value("text").toString(), "Tabloid");
    EXPECT_EQ(combo.value("selected").toInt(), 2);
    EXPECT_EQ(combo.value("items").toArray().size(), 3);
    EXPECT_EQ(run(R"(["Get","DlgTest/txtScale"])").value("result").toObject().value("text"), "1/4");
    EXPECT_FALSE(run(R"(["Set","DlgTest/Combo1","A0"])").value("ok").toBool());
}

TEST_F(WidgetCalls, SelectClickAndDoubleClick) {
    EXPECT_TRUE(run(R"(["Select","DlgTest/thelist",[0,2]])").value("ok").toBool());
    EXPECT_EQ(run(R"(["Get","DlgTest/thelist"])").value("result").toObject().value("selected"),
              QJsonArray({0, 2}));
    EXPECT_FALSE(run(R"(["Select","DlgTest/thelist",[7]])").value("ok").toBool());

    QSignalSpy clicked(m_button, &QPushButton::clicked);
    EXPECT_TRUE(run(R"(["Click","DlgTest/Command1"])").value("ok").toBool());
    EXPECT_EQ(clicked.count(), 1);
    m_button->setEnabled(false);
    EXPECT_EQ(run(R"(["Click","DlgTest/Command1"])").value("error").toString(),
              "DlgTest/Command1 is disabled");

    run(R"(["InitVars","http://h/","1-2","P",0,"s"])");
    run(R"(["MakePlanList","h~A,Sheet 1,s1.tif"])");
    EXPECT_TRUE(run(R"(["DblClick","FastViewer/pmn","Sheet 1"])").value("ok").toBool());
    EXPECT_EQ(m_viewer.viewer->loadAddress(), "http://h/1/2/plans/s1.tif");
}

TEST_F(WidgetCalls, UnknownControlsAreClearErrors) {
    EXPECT_EQ(run(R"(["Get","DlgTest/nothing"])").value("error").toString(),
              "No control named DlgTest/nothing");
    EXPECT_EQ(run(R"(["Get","NoForm/x"])").value("error").toString(), "No form named NoForm");
    EXPECT_EQ(run(R"(["Click","FastViewer/pmn"])").value("error").toString(),
              "FastViewer/pmn cannot be clicked");
    EXPECT_FALSE(run(R"(["Get"])").value("ok").toBool());
}

// ---- Documents and reply lines ----------------------------------------------------------------

struct DocumentCase {
    const char* name;
    const char* text;
    int calls;  // -1: refused
};

void PrintTo(const DocumentCase& c, std::ostream* os) {
    *os << c.name;
}

class DocumentTable : public ::testing::TestWithParam<DocumentCase> {};

TEST_P(DocumentTable, ReadsTheCallsList) {
    QString error;
    const std::optional<QJsonArray> calls = parseHostCallDocument(GetParam().text, &error);
    if (GetParam().calls < 0) {
        EXPECT_FALSE(calls.has_value());
        EXPECT_FALSE(error.isEmpty());
    } else {
        ASSERT_TRUE(calls.has_value()) << error.toStdString();
        EXPECT_EQ(calls->size(), GetParam().calls);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DocumentTable,
                         ::testing::Values(DocumentCase{"TwoCalls",
                                                        R"({"calls":[["Dump"],["ResetRoot"]]})", 2},
                                           DocumentCase{"NoCalls", R"({"calls":[]})", 0},
                                           DocumentCase{"BadCallInside", R"({"calls":[3]})", 1},
                                           DocumentCase{"NotJson", "calls: Dump", -1},
                                           DocumentCase{"Truncated", R"({"calls":[["Dump"])", -1},
                                           DocumentCase{"Array", R"([["Dump"]])", -1},
                                           DocumentCase{"CallsNotList", R"({"calls":"Dump"})", -1},
                                           DocumentCase{"Empty", "", -1}));

TEST(ReplyLine, StartsWithCallAndOkAndIsOneJsonLine) {
    const QJsonObject reply{
        {"ok", true}, {"call", "GetPart"}, {"result", "a\nb"}, {"args", QJsonArray{"x", 1}}};
    const QByteArray line = replyLine(reply);
    EXPECT_TRUE(line.startsWith(R"({"call":"GetPart","ok":true,)"));
    EXPECT_FALSE(line.contains('\n'));
    EXPECT_EQ(QJsonDocument::fromJson(line).object(), reply);
}

}  // namespace
}  // namespace sw::host
