#pragma once

#include <QString>

namespace sw::printing {

// Coloured ink for one-bit images in a finished PDF file.
//
// Qt's PDF engine (which also writes the spool file of a CUPS printer) keeps a one-bit image one
// bit deep only when its colours are exactly black and white; a sheet in blue ink would go out
// as a 24-bit colour plane with a mask, ten times slower and twice the size. So a page device
// draws such a sheet's bits as a black-and-white image, unchanged, with the ink colour as the
// fill colour in force, and once the file is written turns those images into stencil masks
// (/ImageMask): the ink bits paint in the fill colour, the paper bits leave the page as it is.
// Stencils are as old as PostScript, so they survive every filter of a CUPS queue (an indexed
// colour image does not: Ghostscript's PDF-to-PostScript step turns it into PostScript that its
// PostScript-to-PDF step rejects). The image data are not touched, so this costs about one copy
// of the file. The rewriting is qpdf's (libqpdf).

// Turns every one-bit grey image of the PDF file `path` into a stencil mask that paints where
// its samples are `inkBit` (0 or 1); returns how many images it changed. The file is replaced
// only once the new one is complete. Throws sw::base::ScriptError with a readable description
// when the file cannot be read or written.
int turnBilevelImagesIntoStencils(const QString& path, int inkBit);

}  // namespace sw::printing
