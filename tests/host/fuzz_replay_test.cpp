// Replays the host fuzz targets' regression files (inputs that once broke a reader) and seeds
// through the same bodies the fuzzers run: a broken invariant aborts this test.
#include "fuzz/host/host_fuzz_bodies.h"
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>

namespace sw::host::fuzz {
namespace {

TEST(FuzzReplay, EveryKeptInputOfEveryHostTargetPasses) {
    const std::pair<const char*, void (*)(QByteArrayView)> targets[] = {
        {"host_calls", hostCallDocument},
        {"sheetwise_link", sheetwiseLink},
        {"handover", handoverRequest},
        {"settings_file", settingsFile}};
    for (const auto& [name, body] : targets) {
        int replayed = 0;
        for (const char* kind : {"regression", "seeds"}) {
            QDirIterator files(QStringLiteral(SW_FUZZ_HOST_DIR "/%1/%2").arg(kind, name),
                               QDir::Files);
            while (files.hasNext()) {
                QFile file(files.next());
                ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
                SCOPED_TRACE(file.fileName().toStdString());
                body(file.readAll());
                ++replayed;
            }
        }
        EXPECT_GT(replayed, 0) << name;
    }
}

}  // namespace
}  // namespace sw::host::fuzz
