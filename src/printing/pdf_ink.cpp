// qpdf 11 keeps its old smart pointer only for compatibility; use the standard ones.
#define POINTERHOLDER_TRANSITION 4

#include "printing/pdf_ink.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <cstdio>
#include <exception>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "base/script_error.h"

namespace sw::printing {

namespace {

bool isOneBitGreyImage(QPDFObjectHandle& object) {
    if (!object.isStream()) {
        return false;
    }
    QPDFObjectHandle dict = object.getDict();
    return dict.getKey("/Subtype").isNameAndEquals("/Image") &&
           dict.getKey("/ColorSpace").isNameAndEquals("/DeviceGray") &&
           dict.getKey("/BitsPerComponent").isInteger() &&
           dict.getKey("/BitsPerComponent").getIntValue() == 1;
}

}  // namespace

int turnBilevelImagesIntoStencils(const QString& path, int inkBit) {
    const QFileInfo info(path);
    QTemporaryFile out(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                       QStringLiteral(".XXXXXX"));
    if (!out.open()) {
        throw base::ScriptError::custom(
            QStringLiteral("Cannot write next to %1: %2").arg(path, out.errorString()));
    }
    out.close();
    int changed = 0;
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(QFile::encodeName(path).constData());
        // A stencil paints where its samples decode to 0: [0 1] for ink bits 0, [1 0] for 1.
        const QPDFObjectHandle decode = QPDFObjectHandle::parse(inkBit == 0 ? "[0 1]" : "[1 0]");
        for (QPDFObjectHandle& object : pdf.getAllObjects()) {
            if (isOneBitGreyImage(object)) {
                QPDFObjectHandle dict = object.getDict();
                dict.removeKey("/ColorSpace");
                dict.removeKey("/BitsPerComponent");
                dict.replaceKey("/ImageMask", QPDFObjectHandle::newBool(true));
                dict.replaceKey("/Decode", decode);
                ++changed;
            }
        }
        // QPDFWriter keeps the name's pointer and opens the file only in write().
        const QByteArray outName = QFile::encodeName(out.fileName());
        QPDFWriter writer(pdf, outName.constData());
        writer.setStreamDataMode(qpdf_s_preserve);
        writer.write();
    } catch (const std::exception& e) {
        throw base::ScriptError::custom(QStringLiteral("Cannot colour the images of %1: %2")
                                            .arg(path, QString::fromUtf8(e.what())));
    }
    QFile::setPermissions(out.fileName(), QFile::permissions(path));
    // rename(2) replaces the old file in one step.
    if (std::rename(QFile::encodeName(out.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0) {
        throw base::ScriptError::custom(QStringLiteral("Cannot replace ") + path);
    }
    out.setAutoRemove(false);
    return changed;
}

}  // namespace sw::printing
