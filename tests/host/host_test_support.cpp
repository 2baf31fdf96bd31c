#include "host_test_support.h"

#include "support/test_paths.h"

#include <QDir>
#include <QImage>
#include <QJsonDocument>
#include <QProcess>

#include "imaging/sheet.h"
#include "imaging/tiff_writer.h"

namespace sw::host::test {

void writeTestSheet(const QString& path, int widthInches, int heightInches, int dpi) {
    QImage image(widthInches * dpi, heightInches * dpi, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int x = 0; x < image.width(); ++x) {
        image.setPixel(x, 0, 1);
        image.setPixel(x, image.height() - 1, 1);
    }
    imaging::saveTiffFile(imaging::Sheet(image, dpi, dpi), path, imaging::kFormatCompressed, 1);
}

QProcessEnvironment isolatedEnvironment(const QString& root) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QDir dir(root);
    for (const auto& [variable, folder] : {std::pair{"HOME", "home"},
                                           {"XDG_CONFIG_HOME", "config"},
                                           {"XDG_DATA_HOME", "data"},
                                           {"XDG_RUNTIME_DIR", "runtime"}}) {
        dir.mkpath(folder);
        env.insert(variable, dir.filePath(folder));
    }
    QFile::setPermissions(dir.filePath("runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("SystemRoot");
    return env;
}

ProcessRun runProgram(const QProcessEnvironment& env, const QString& program,
                      const QStringList& args, const QByteArray& input) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(120000)) << args.join(' ').left(200).toStdString();
    ProcessRun run{process.exitCode(), process.readAllStandardOutput(),
                   process.readAllStandardError()};
    for (const QByteArray& line : run.out.split('\n')) {
        if (!line.trimmed().isEmpty()) {
            run.replies.append(QJsonDocument::fromJson(line).object());
        }
    }
    return run;
}

ProcessRun runSheetwise(const QProcessEnvironment& env, const QStringList& args,
                        const QByteArray& input) {
    return runProgram(env, sw::test::binPath("sheetwise"), args, input);
}

}  // namespace sw::host::test
