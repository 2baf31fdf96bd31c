#include "printing/ui/print_dialog_calls.h"

#include <map>
#include <memory>

#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>

#include "base/host_calls.h"
#include "base/script_error.h"
#include "base/vb.h"
#include "printing/ui/print_dialog.h"

namespace sw::printing {

namespace {

// The dialogs a script made, by instance number. They go with the application: a printer they
// hold may not outlive the print support it came from.
std::map<int, std::unique_ptr<PrintDialog>>& instances() {
    static std::map<int, std::unique_ptr<PrintDialog>> made;
    static const bool clearedAtTheEnd = [] {
        qAddPostRoutine([] { made.clear(); });
        return true;
    }();
    Q_UNUSED(clearedAtTheEnd);
    return made;
}

QJsonObject stateOf(const PrintDialog& pd) {
    return {{QStringLiteral("m_Printer"),
             pd.m_Printer.isNull() ? QJsonValue() : QJsonValue(pd.m_Printer.printerName())},
            {QStringLiteral("Copies"), pd.Copies()},
            {QStringLiteral("FromPage"), pd.FromPage()},
            {QStringLiteral("ToPage"), pd.ToPage()},
            {QStringLiteral("Pages"), pd.Pages()}};
}

void write(PrintDialog& pd, const QString& member, const QJsonArray& args) {
    if (member == QLatin1String("m_Printer")) {
        const QString name = base::stringArgument(args, 2);
        if (name.isEmpty()) {
            pd.m_Printer = QPrinterInfo();
        } else if (QPrinterInfo::availablePrinterNames().contains(name)) {
            pd.m_Printer = QPrinterInfo::printerInfo(name);
        } else {
            throw base::ScriptError::invalidArgument();
        }
        return;
    }
    const std::int16_t value = base::vb::toInt16(base::longArgument(args, 2));
    if (member == QLatin1String("Copies")) {
        pd.setCopies(value);
    } else if (member == QLatin1String("FromPage")) {
        pd.setFromPage(value);
    } else if (member == QLatin1String("ToPage")) {
        pd.setToPage(value);
    } else if (member == QLatin1String("Pages")) {
        pd.setPages(value);
    } else {
        throw base::ScriptError::invalidArgument();
    }
}

base::CallReply printDialogCall(host::FastViewer&, const QJsonArray& args) {
    base::expectArgumentCount(args, 1, 3);
    auto& made = instances();
    if (args.size() == 1 && base::stringArgument(args, 0) == QLatin1String("create")) {
        const int number = made.empty() ? 1 : made.rbegin()->first + 1;
        made.emplace(number, std::make_unique<PrintDialog>());
        return {{QStringLiteral("result"), number}};
    }
    const auto found = made.find(base::longArgument(args, 0));
    if (found == made.end()) {
        throw base::ScriptError::subscriptOutOfRange();
    }
    PrintDialog& pd = *found->second;
    const QString member = args.size() > 1 ? base::stringArgument(args, 1) : QString();
    if (args.size() == 2) {
        if (member != QLatin1String("show")) {
            throw base::ScriptError::invalidArgument();
        }
        pd.show(QApplication::activeWindow());
    } else if (args.size() == 3) {
        write(pd, member, args);
    }
    return {{QStringLiteral("result"), stateOf(pd)}};
}

}  // namespace

void registerPrintDialogCalls(base::HostCallRegistry& registry) {
    registry.add(QStringLiteral("PrintDialog"), base::CallKind::Pseudo, printDialogCall);
}

}  // namespace sw::printing
