#include "host/sheetwise_url.h"

#include "host_test_support.h"
#include <gtest/gtest.h>

#include <QRegularExpression>

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
        UrlCase{"LookalikeScheme", "sheetwisex:calls?json=1",
                "refused does not start with sheetwise:"},
        UrlCase{"UnknownAction", "sheetwise:run?json=1", "refused is not an action"},
        UrlCase{"NoQuery", "sheetwise:calls", "refused no \"json\" parameter"},
        UrlCase{"ExtraParameter", "sheetwise:calls?json=1&x=2", "refused unknown parameter \"x\""},
        UrlCase{"ParameterTwice", "sheetwise:calls?json=1&json=2", "refused twice"},
        UrlCase{"CutEscape", "sheetwise:calls?json=%7", "refused broken %-escape"},
        UrlCase{"OpenFile", "sheetwise:open?url=file%3A%2F%2F%2Fetc%2Fpasswd",
                "refused only http and https"},
        UrlCase{"OpenWithoutServer", "sheetwise:open?url=http:c.json", "refused names no server"}),
    sw::test::byName);

// ---- Sizes and round trips ----------------------------------------------------------------------

// Every byte survives the calls URL, which holds only unreserved characters and escapes. A
// document of exactly the limit passes and one byte more is refused, although escaped it is
// still a URL of acceptable length; a longer URL is refused before it is read.
TEST(SheetwiseUrlSizes, EveryByteSurvivesUpToTheLimitOneByteMoreIsRefused) {
    QByteArray document = R"( {"calls": [["SetProjectName", "A & B + C = 100% <ok>?#"]]})";
    for (int i = 0; i < 256; ++i) {
        document += static_cast<char>(i);
    }
    document += QByteArray(kMaxDocumentBytes - document.size(), 'a');
    const QString url = sheetwiseCallsUrl(document);
    static const QRegularExpression kUnreserved("^sheetwise:calls\\?json=[A-Za-z0-9%._~-]*$");
    EXPECT_TRUE(kUnreserved.match(url).hasMatch());
    QString error;
    EXPECT_EQ(parseSheetwiseUrl(url, &error).value_or(SheetwiseUrl{}).document, document)
        << error.toStdString();
    for (const auto& [url, reason] :
         {std::pair{sheetwiseCallsUrl(QByteArray(kMaxDocumentBytes + 1, '~')),
                    "larger than 1 MB (1048577 bytes)"},
          {"sheetwise:calls?json=" + QString(kMaxSheetwiseUrlLength, u'a'), "longer than"}}) {
        EXPECT_FALSE(parseSheetwiseUrl(url, &error).has_value());
        EXPECT_TRUE(error.contains(reason)) << error.toStdString();
    }
}

// ---- Documents from an untrusted caller: checked before any call runs ------------------------

TEST(UntrustedDocuments, AreCheckedBeforeAnyCallRuns) {
    const QByteArray oneCall = R"({"calls": [["ResetRoot"]]})";
    const QByteArray padded = oneCall + QByteArray(kMaxDocumentBytes - oneCall.size(), ' ');
    for (const auto& [document, calls, reason] :
         {std::tuple{padded, 1, ""},
          {padded + " ", -1, "larger than 1 MB"},
          {R"({"call": []})", -1, "no \"calls\" list"}}) {
        QString error;
        const std::optional<QJsonArray> read = readUntrustedDocument(document, &error);
        EXPECT_EQ(read ? read->size() : -1, calls) << reason;
        EXPECT_TRUE(error.contains(QString::fromUtf8(reason))) << error.toStdString();
    }
}

}  // namespace
}  // namespace sw::host
