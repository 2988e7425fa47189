// tovaro-report print FILE.fp3 [--printer NAME] [--pages RANGE] [--copies N]: the pages of a prepared
// report to a printer, with the same print run as the preview's print button (no dialog).
#include "tools/command.h"

#include "platform/errors.h"
#include "report/objects/frxClass.h"
#include "report/engine/frxPreviewPages.h"
#include "report/output/frxPrintPages.h"
#include "report/output/frxPrinter.h"

#include <cstdio>

namespace {

const QString kUsage = QStringLiteral("print FILE.fp3 [--printer NAME] [--pages RANGE] [--copies N]");

int print(const QStringList &arguments)
{
    QString file, printerName, pages;
    int copies = 1;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--printer") && hasValue) {
            printerName = arguments[++i];
        } else if (argument == QLatin1String("--pages") && hasValue) {
            pages = arguments[++i];
        } else if (argument == QLatin1String("--copies") && hasValue) {
            bool ok = false;
            copies = arguments[++i].toInt(&ok);
            if (!ok || copies < 1 || copies > 9999)
                return tools::fail(
                    QStringLiteral("--copies takes a number from 1 to 9999, not \"%1\"").arg(arguments[i]));
        } else if (file.isEmpty() && !argument.startsWith(QLatin1String("--"))) {
            file = argument;
        } else {
            return tools::fail(QStringLiteral("usage: tovaro-report ") + kUsage);
        }
    }
    if (file.isEmpty()) return tools::fail(QStringLiteral("usage: tovaro-report ") + kUsage);

    try {
        frx::TfrxReport report;
        // Errors of the run come back here instead of going to a message box.
        report.EngineOptions.NewSilentMode = frx::simReThrow;
        report.ShowProgress = false;
        if (!report.PreviewPages()->LoadFromFile(file))
            return tools::fail(QStringLiteral("%1: no such file").arg(file));
        frx::TfrxPrinters *printers = frx::frxPrinters();
        // A named printer that is not there must not print somewhere else.
        if (!printerName.isEmpty() && printers->FindByName(printerName) < 0)
            return tools::fail(QStringLiteral("no printer named \"%1\"").arg(printerName));
        report.TemplateFileName = file;
        report.PrintOptions.ShowDialog = false;
        report.PrintOptions.Printer = printerName;
        report.PrintOptions.PageNumbers = pages;
        report.PrintOptions.Copies = copies;
        int sheets = 0;
        report.OnProgress = [&sheets](frx::TfrxProgressType kind, int) {
            if (kind == frx::ptPrinting) ++sheets;
        };
        if (!frx::PrintPrepared(report)) return tools::fail(QStringLiteral("%1: not printed").arg(file));
        std::printf("%d sheets sent to %s\n", sheets, printers->Current()->Name().toUtf8().constData());
        return 0;
    } catch (const platform::Error &e) {
        return tools::fail(QStringLiteral("%1: %2").arg(file, e.message()));
    }
}

const tools::CommandRegistration
    registration(QStringLiteral("print"), kUsage,
                 QStringLiteral("Prints a prepared report as the preview's print button does, without a dialog.\n"
                                "  --printer NAME  a printer other than the default one\n"
                                "  --pages RANGE   pages such as 1,3-5 or 2- (all by default)\n"
                                "  --copies N      copies of each page"),
                 print);

} // namespace
