// A fuzz target's seeds and regression corpus run through the target under CTest: every input
// that ever made a target fail (saved in regression/<target>/) must now pass. The target's own
// source, which defines LLVMFuzzerTestOneInput, is compiled into the same test program;
// SW_FUZZ_SEEDS and SW_FUZZ_REGRESSIONS name the folders.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#include <QDir>
#include <QFile>
#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

class FuzzInputs : public ::testing::TestWithParam<QString> {};

TEST_P(FuzzInputs, RunsCleanly) {
    QFile file(GetParam());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                     static_cast<std::size_t>(bytes.size())),
              0);
}

QStringList inputs() {
    QStringList files;
    for (const char* folder : {SW_FUZZ_SEEDS, SW_FUZZ_REGRESSIONS}) {
        const QDir dir(QString::fromUtf8(folder));
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            files << dir.filePath(name);
        }
    }
    return files;
}

// "seeds_g4_tif", "regression_crash_1a2b...".
std::string caseName(const ::testing::TestParamInfo<QString>& info) {
    QString name = info.param.section(QLatin1Char('/'), -2);
    for (QChar& c : name) {
        if (!c.isLetterOrNumber()) {
            c = QLatin1Char('_');
        }
    }
    return name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Corpus, FuzzInputs, ::testing::ValuesIn(inputs()), caseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FuzzInputs);

}  // namespace
