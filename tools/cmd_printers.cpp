// tovaro-report printers: the printers the report engine sees, or the virtual printer that stands
// in when none is installed.
#include "tools/command.h"

#include "report/output/frxPrinter.h"
#include "report/base/frxRes.h"

#include <cstdio>

namespace {

// "* NAME<TAB>N papers<TAB>X x Y dpi<TAB>W x H mm, margins L T R B mm", the star marking the
// default printer, the paper its default one with the margins it cannot print on.
QString describe(frx::TfrxCustomPrinter *printer, bool isDefault)
{
    printer->Prepare();
    QString line = (isDefault ? QStringLiteral("* ") : QStringLiteral("  ")) + printer->Name();
    if (!printer->Initialized()) return line + QStringLiteral("\tPrinter selected is not valid");
    const auto mm = [](frx::Extended value) { return QString::number(double(value)); };
    return line + QStringLiteral("\t%1 papers\t%2 x %3 dpi\t%4 x %5 mm, margins %6 %7 %8 %9 mm")
                      .arg(printer->Papers().size())
                      .arg(printer->DPI().x())
                      .arg(printer->DPI().y())
                      .arg(mm(printer->PaperWidth()), mm(printer->PaperHeight()), mm(printer->LeftMargin()),
                           mm(printer->TopMargin()), mm(printer->RightMargin()), mm(printer->BottomMargin()));
}

int listPrinters(const QStringList &arguments)
{
    if (!arguments.isEmpty()) return tools::fail(QStringLiteral("printers takes no arguments"));
    frx::TfrxPrinters *printers = frx::frxPrinters();
    if (!printers->HasRealPrinters())
        std::printf("%s\n", frx::frxGet(QStringLiteral("clNoPrinters")).toUtf8().constData());
    const QString defaultName = printers->DefaultPrinterName();
    for (int i = 0; i < printers->Count(); ++i) {
        frx::TfrxCustomPrinter *printer = printers->PrinterAt(i);
        const bool isDefault = printers->HasRealPrinters() ? printer->Name() == defaultName : true;
        std::printf("%s\n", describe(printer, isDefault).toUtf8().constData());
    }
    return 0;
}

const tools::CommandRegistration
    registration(QStringLiteral("printers"), QStringLiteral("printers"),
                 QStringLiteral("Lists the printers (the default one starred) with their papers, resolution, and\n"
                                "their default paper with the margins they cannot print on."),
                 listPrinters);

} // namespace
