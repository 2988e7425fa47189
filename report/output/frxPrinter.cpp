#include "report/output/frxPrinter.h"

#include "report/base/frxHost.h"
#include "report/output/frxPrinter_p.h"
#include "report/base/frxRes.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

namespace frx {

std::optional<PaperSizeMm> LookUpPaperSize(int code)
{
    const std::optional<QSize> tenths = platform::standardPaperSizeTenthsMm(code);
    if (!tenths) return std::nullopt;
    return PaperSizeMm{tenths->width() / 10.0L, tenths->height() / 10.0L};
}

int LookUpPaperCode(Extended width, Extended height)
{
    return platform::standardPaperCodeBySize(double(width), double(height));
}

QString invalidPrinterText(const QString &printerName)
{
    return QStringLiteral("打印机“%1”不能使用（Printer selected is not valid）。请确认它已开机、接好，"
                          "在系统的打印机设置里可以打印，或者换用另一台打印机。")
        .arg(printerName);
}

// Reports that the printer cannot be used, captioned like every error of the engine.
void reportInvalidPrinter(const QString &printerName)
{
    frxHost().ShowPrinterError(frxGet(QStringLiteral("mbError")), invalidPrinterText(printerName));
}

TfrxPrinterCanvas::TfrxPrinterCanvas() = default;

TfrxPrinterCanvas::~TfrxPrinterCanvas() = default;

void TfrxPrinterCanvas::Bind(QPainter *painter, QPoint dpi)
{
    Unbind();
    if (!painter) return;
    m_painter = painter;
    m_painterCanvas = std::make_unique<platform::Canvas>(painter, dpi.x(), dpi.y());
    m_painterCanvas->setPrinterCanvas(true);
    m_canvas = m_painterCanvas.get();
}

void TfrxPrinterCanvas::Bind(platform::Canvas *canvas)
{
    Unbind();
    m_canvas = canvas;
}

void TfrxPrinterCanvas::Unbind()
{
    m_canvas = nullptr;
    m_painterCanvas.reset();
    m_painter = nullptr;
}

TfrxCustomPrinter::TfrxCustomPrinter(const QString &name, const QString &port) : m_name(name), m_port(port)
{
    m_bins.append(NamedCode{frxGet(QStringLiteral("prDefault")), DMBIN_AUTO});
    m_papers.append(NamedCode{frxGet(QStringLiteral("prCustom")), DMPAPER_USER});
}

int TfrxCustomPrinter::PaperIndex(int code) const
{
    for (int i = 0; i < m_papers.size(); ++i)
        if (m_papers[i].code == code) return i;
    return -1;
}

int TfrxCustomPrinter::BinIndex(int code) const
{
    for (int i = 0; i < m_bins.size(); ++i)
        if (m_bins[i].code == code) return i;
    return -1;
}

int TfrxCustomPrinter::PaperNameToCode(const QString &name) const
{
    for (const NamedCode &paper : m_papers)
        if (paper.name == name) return paper.code;
    return m_papers.first().code;
}

int TfrxCustomPrinter::BinNameToCode(const QString &name) const
{
    for (const NamedCode &bin : m_bins)
        if (bin.name == name) return bin.code;
    return m_bins.first().code;
}

TfrxPrinters::TfrxPrinters()
{
    Fill();
}

TfrxPrinters::~TfrxPrinters()
{
    Clear();
}

void TfrxPrinters::Fill()
{
    platform::PrintSystem &system = platform::printSystem();
    // Every CUPS queue is one printer; queues have no ports.
    for (const QString &name : system.printerNames()) {
        m_printers.append(new TfrxPrinter(name, QString()));
        m_names.append(name);
    }
    m_hasRealPrinters = !m_printers.isEmpty();
    if (!m_hasRealPrinters) {
        const QString name = frxGet(QStringLiteral("prVirtual"));
        m_printers.append(new TfrxVirtualPrinter(name, QString()));
        m_names.append(name);
    }
    SetCurrentIndex(-1);
}

void TfrxPrinters::Clear()
{
    qDeleteAll(m_printers);
    m_printers.clear();
    m_names.clear();
    m_currentIndex = -1;
    m_hasRealPrinters = false;
}

void TfrxPrinters::Refill()
{
    Clear();
    Fill();
}

TfrxCustomPrinter *TfrxPrinters::PrinterAt(int i) const
{
    return i >= 0 && i < m_printers.size() ? m_printers[i] : nullptr;
}

int TfrxPrinters::FindByName(const QString &name) const
{
    const QLocale locale = QLocale::system();
    const QString wanted = locale.toLower(name);
    for (int i = 0; i < m_names.size(); ++i)
        if (locale.toLower(m_names[i]) == wanted) return i;
    return -1;
}

QString TfrxPrinters::DefaultPrinterName() const
{
    return m_hasRealPrinters ? platform::printSystem().defaultPrinterName() : QString();
}

void TfrxPrinters::SetCurrentIndex(int i)
{
    if (i == -1) {
        // The default printer, by name; a default that is not listed leaves the first printer.
        const QString defaultName = DefaultPrinterName();
        i = defaultName.isEmpty() ? -1 : m_names.indexOf(defaultName);
        if (i < 0) i = 0;
    }
    if (i < 0 || i >= m_printers.size()) return;
    m_currentIndex = i;
    m_printers[i]->Prepare();
}

void TfrxPrinters::SelectByName(const QString &name)
{
    const int index = FindByName(name);
    if (index >= 0) SetCurrentIndex(index);
}

namespace {

std::unique_ptr<TfrxPrinters> &printerList()
{
    static std::unique_ptr<TfrxPrinters> list;
    return list;
}

void releasePrinterList()
{
    printerList().reset();
}

} // namespace

TfrxPrinters *frxPrinters()
{
    std::unique_ptr<TfrxPrinters> &list = printerList();
    if (!list) {
        list = std::make_unique<TfrxPrinters>();
        // The devices hold Qt printers, which must go before the application does.
        if (QCoreApplication::instance()) qAddPostRoutine(releasePrinterList);
    }
    return list.get();
}

} // namespace frx
