#include "host/sheetwise_url.h"

#include "host_test_support.h"
#include <gtest/gtest.h>

namespace sw::host {
namespace {

using sw::test::PrintTo;

// ---- Reading links ------------------------------------------------------------------------------

struct UrlCase {
    const char* name;
    const char* url;
    // "calls <document>", "open <document address>", or "refused <part of the reason>"
    const char* expected;
};

class SheetwiseUrls : public ::testing::TestWithParam<UrlCase> {};

TEST_P(SheetwiseUrls, AreReadOrRefusedWithAReason) {
    QString error;
    const std::optional<SheetwiseUrl> url = parseSheetwiseUrl(GetParam().url, &error);
    const QString expected = QString::fromUtf8(GetParam().expected);
    if (!url) {
        EXPECT_TRUE(error.startsWith("The sheetwise: link was refused: ")) << error.toStdString();
        EXPECT_TRUE(expected.startsWith("refused ") && error.contains(expected.mid(8)))
            << error.toStdString();
    } else if (url->action == SheetwiseUrl::Action::Calls) {
        EXPECT_EQ("calls " + QString::fromUtf8(url->document), expected);
    } else {
        EXPECT_EQ("open " + url->documentUrl.toString(), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SheetwiseUrls,
    ::testing::Values(
        UrlCase{"Calls", "sheetwise:calls?json=%7B%22calls%22%3A%5B%5D%7D",
                R"(calls {"calls":[]})"},
        UrlCase{"SchemeAndActionInAnyCase", "SheetWise:CALLS?json=%7B%7D", "calls {}"},
        UrlCase{"SlashesAfterTheScheme", "sheetwise://calls/?json=%7B%7D", "calls {}"},
        UrlCase{"PlusIsASpaceAndEscapedPlusAPlus", "sheetwise:calls?json=a+b%2Bc", "calls a b+c"},
        UrlCase{"FragmentIsDropped", "sheetwise:calls?json=x#part", "calls x"},
        UrlCase{"OpenEscapedAddress", "sheetwise:open?url=http%3A%2F%2F127.0.0.1%3A8080%2Fc.json",
                "open http://127.0.0.1:8080/c.json"},
        UrlCase{"WebAddress", "http://plans.example/calls?json=1",
                "refused does not start with sheetwise:"},
        UrlCase{"LookalikeScheme", "sheetwisex:calls?json=1",
                "refused does not start with sheetwise:"},
        UrlCase{"UnknownAction", "sheetwise:run?json=1", "refused is not an action"},
        UrlCase{"NoQuery", "sheetwise:calls", "refused no \"json\" parameter"},
        UrlCase{"EmptyDocument", "sheetwise:calls?json=", "refused no \"json\""},
        UrlCase{"ExtraParameter", "sheetwise:calls?json=1&x=2", "refused unknown parameter \"x\""},
        UrlCase{"ParameterTwice", "sheetwise:calls?json=1&json=2", "refused twice"},
        UrlCase{"CutEscape", "sheetwise:calls?json=%7", "refused broken %-escape"},
        UrlCase{"OpenFile", "sheetwise:open?url=file%3A%2F%2F%2Fetc%2Fpasswd",
                "refused only http and https"},
        UrlCase{"OpenRelative", "sheetwise:open?url=calls.json", "refused not a valid address"},
        UrlCase{"OpenWithoutServer", "sheetwise:open?url=http:c.json", "refused names no server"}),
    sw::test::byName);

// ---- Sizes and round trips ----------------------------------------------------------------------

TEST(SheetwiseUrlSizes, DocumentOfExactlyTheLimitPassesOneByteMoreIsRefused) {
    QString error;
    const QByteArray limit(kMaxDocumentBytes, 'a');
    const std::optional<SheetwiseUrl> atLimit = parseSheetwiseUrl(sheetwiseCallsUrl(limit), &error);
    ASSERT_TRUE(atLimit.has_value()) << error.toStdString();
    EXPECT_EQ(atLimit->document.size(), kMaxDocumentBytes);

    // Escaped, the over-size document is still a URL of acceptable length.
    const QByteArray over(kMaxDocumentBytes + 1, '~');
    EXPECT_FALSE(parseSheetwiseUrl(sheetwiseCallsUrl(over), &error).has_value());
    EXPECT_TRUE(error.contains("larger than 1 MB (1048577 bytes)")) << error.toStdString();

    const QString tooLong = "sheetwise:calls?json=" + QString(kMaxSheetwiseUrlLength, u'a');
    EXPECT_FALSE(parseSheetwiseUrl(tooLong, &error).has_value());
    EXPECT_TRUE(error.contains("longer than")) << error.toStdString();
}

TEST(SheetwiseUrlSizes, EveryByteSurvivesTheCallsUrl) {
    QByteArray document;
    for (int i = 0; i < 256; ++i) {
        document += static_cast<char>(i);
    }
    document += R"( {"calls": [["SetProjectName", "A & B + C = 100% <ok>?#"]]})";
    const QString url = sheetwiseCallsUrl(document);
    for (const QChar c : url.mid(QStringLiteral("sheetwise:calls?json=").size())) {
        EXPECT_TRUE(c.isLetterOrNumber() || QStringLiteral("%-._~").contains(c))
            << int(c.unicode());
    }
    QString error;
    const std::optional<SheetwiseUrl> parsed = parseSheetwiseUrl(url, &error);
    ASSERT_TRUE(parsed.has_value()) << error.toStdString();
    EXPECT_EQ(parsed->document, document);
}

// ---- Documents from an untrusted caller ---------------------------------------------------------

TEST(UntrustedDocuments, AreCheckedBeforeAnyCallRuns) {
    const QByteArray oneCall = R"({"calls": [["ResetRoot"]]})";
    const struct {
        QByteArray document;
        int calls;          // calls read, -1: refused
        const char* error;  // part of the refusal
    } cases[] = {
        {R"({"calls": [["ResetRoot"], ["Dump"]]})", 2, ""},
        {oneCall + QByteArray(kMaxDocumentBytes - oneCall.size(), ' '), 1, ""},
        {oneCall + QByteArray(kMaxDocumentBytes + 1 - oneCall.size(), ' '), -1, "larger than 1 MB"},
        {"InitVars('http://h/')", -1, "not valid JSON"},
        {R"({"call": []})", -1, "no \"calls\" list"},
    };
    for (const auto& c : cases) {
        QString error;
        const std::optional<QJsonArray> calls = readUntrustedDocument(c.document, &error);
        EXPECT_EQ(calls ? calls->size() : -1, c.calls) << c.error;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
    }
}

}  // namespace
}  // namespace sw::host
