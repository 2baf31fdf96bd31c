#pragma once

#include <QRgb>
#include <QString>

namespace sw::printing {

// Coloured ink for one-bit images in a finished PDF file.
//
// Qt's PDF engine (which also writes the spool file of a CUPS printer) keeps a one-bit image one
// bit deep only when its colours are exactly black and white; a sheet in blue ink would go out
// as a 24-bit colour plane with a mask, ten times slower and twice the size. So a page device
// draws such a sheet's bits as a black-and-white image, unchanged, and once the file is written
// gives those images their real two colours: each one-bit DeviceGray image becomes a one-bit
// image of a two-entry indexed colour space (bit 0 `zero`, bit 1 `one`). The image data are not
// touched, so this costs about one copy of the file. The rewriting is qpdf's (libqpdf).

struct BilevelColours {
    QRgb zero = 0;  // colour of the 0 bits
    QRgb one = 0;   // colour of the 1 bits
    friend bool operator==(const BilevelColours&, const BilevelColours&) = default;
};

// Gives every one-bit grey image of the PDF file `path` the colours `colours`; returns how many
// images it changed. The file is replaced only once the new one is complete. Throws
// sw::host::ScriptError with a readable description when the file cannot be read or written.
int colourBilevelImages(const QString& path, BilevelColours colours);

}  // namespace sw::printing
