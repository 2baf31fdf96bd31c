#include "printing/named_printers.h"

namespace sw::printing {

namespace {
NamedPrinterOpener& opener() {
    static NamedPrinterOpener instance = nullptr;
    return instance;
}
}  // namespace

void setNamedPrinterOpener(NamedPrinterOpener value) {
    opener() = value;
}

NamedPrinterOpener namedPrinterOpener() {
    return opener();
}

}  // namespace sw::printing
