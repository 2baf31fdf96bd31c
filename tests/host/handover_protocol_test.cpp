#include "host/handover_protocol.h"

#include "host_test_support.h"
#include <gtest/gtest.h>

#include "host/sheetwise_url.h"

namespace sw::host {
namespace {

using sw::test::PrintTo;

using State = HandoverRequestReader::State;

// ---- Requests arrive in pieces of any size ------------------------------------------------------

struct RequestCase {
    const char* name = nullptr;
    HandoverRequest request;
    base::Trust readAs;  // a link never runs trusted, whatever the header says
};

class HandoverRequests
    : public ::testing::TestWithParam<std::tuple<RequestCase, qsizetype /*piece size*/>> {};

TEST_P(HandoverRequests, ReadBackAsSentWhateverThePieces) {
    const auto& [c, pieceSize] = GetParam();
    const QByteArray request = encodeHandoverRequest(c.request);
    const QByteArray bytes = request + "trailing bytes";
    HandoverRequestReader reader;
    State state = State::NeedMore;
    qsizetype fed = 0;
    while (state == State::NeedMore && fed < bytes.size()) {
        state = reader.feed(bytes.mid(fed, pieceSize));
        fed += pieceSize;
    }
    // Complete with the piece that holds the request's last byte, not before.
    EXPECT_GE(fed, request.size());
    EXPECT_LT(fed - pieceSize, request.size());
    ASSERT_EQ(state, State::Complete) << reader.error().toStdString();
    const HandoverRequest& r = reader.request();
    EXPECT_EQ(std::tuple(r.kind, r.trust, r.source, r.payload),
              std::tuple(c.request.kind, c.readAs, c.request.source, c.request.payload));
}

using base::Trust;

INSTANTIATE_TEST_SUITE_P(
    Table, HandoverRequests,
    ::testing::Combine(
        ::testing::Values(
            RequestCase{"Show", {HandoverKind::Show, Trust::Trusted, "", ""}, Trust::Trusted},
            RequestCase{"TrustedDocument",
                        {HandoverKind::Document, Trust::Trusted, "calls.json",
                         "{\"calls\": [[\"Dump\"]]}\n\n{\"line\": 2}"},
                        Trust::Trusted},
            RequestCase{"BinaryPayload",
                        {HandoverKind::Document, Trust::Untrusted, "\xC3\xA9",
                         QByteArray("\0\n\xff{}\n", 6)},
                        Trust::Untrusted},
            RequestCase{"UrlSentAsTrusted",
                        {HandoverKind::Url, Trust::Trusted, "link", "sheetwise:calls?json=%7B%7D"},
                        Trust::Untrusted}),
        ::testing::Values(1, 7, 4096)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_In" +
               std::to_string(std::get<1>(info.param));
    });

// A big project's link repeated as the header's source made the header line too long: the
// header stays small and a link of a whole 1 MB document, every byte escaped, is read whole.
TEST(HandoverRequestSize, ALinkUpToTheDocumentLimitIsHandedOverWithASmallHeader) {
    const QString link = sheetwiseCallsUrl(QByteArray(kMaxDocumentBytes, '\n'));
    const HandoverRequest request{HandoverKind::Url, base::Trust::Untrusted, link, link.toUtf8()};
    const QByteArray bytes = encodeHandoverRequest(request);
    EXPECT_LT(bytes.indexOf('\n'), 1024);
    HandoverRequestReader reader;
    ASSERT_EQ(reader.feed(bytes), State::Complete) << reader.error().toStdString();
    EXPECT_EQ(reader.request().payload, request.payload);
}

// ---- Anything else is refused without reading on -----------------------------------------------

struct GarbageCase {
    const char* name = nullptr;
    QByteArray bytes;
    const char* error = nullptr;
};

class HandoverGarbage : public ::testing::TestWithParam<GarbageCase> {};

TEST_P(HandoverGarbage, IsRefusedWithAReasonAndStaysRefused) {
    HandoverRequestReader reader;
    ASSERT_EQ(reader.feed(GetParam().bytes), State::Invalid);
    EXPECT_TRUE(reader.error().contains(QString::fromUtf8(GetParam().error)))
        << reader.error().toStdString();
    EXPECT_EQ(reader.feed(encodeHandoverRequest({})), State::Invalid);
}

QByteArray header(const char* fields) {
    return QByteArray(R"({"sheetwise":1,)") + fields + "}\n";
}

INSTANTIATE_TEST_SUITE_P(
    Table, HandoverGarbage,
    ::testing::Values(
        GarbageCase{"HttpRequest", "GET / HTTP/1.1\r\nHost: x\r\n\r\n", "not a Sheetwise"},
        GarbageCase{"OtherVersion", "{\"sheetwise\":2,\"kind\":\"show\",\"length\":0}\n",
                    "another Sheetwise version"},
        GarbageCase{"UnknownKind", header(R"("kind":"exec","length":0)"), "unknown kind"},
        GarbageCase{"NegativeLength", header(R"("kind":"document","length":-5)"),
                    "no payload length"},
        GarbageCase{"UntrustedDocumentOverOneMegabyte",
                    header(R"("kind":"document","trust":"untrusted","length":1048577)"), "larger"},
        GarbageCase{"EndlessHeader", QByteArray(kMaxHandoverHeaderBytes + 1, 'x'),
                    "no header line"}),
    sw::test::byName);

}  // namespace
}  // namespace sw::host
