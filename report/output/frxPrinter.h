// The report engine's model of the workstation's printers: the list of printers with the current
// one, each printer's papers, bins, resolution, current paper and unprintable margins, print jobs
// and the canvas they draw on. Without any printer a virtual printer with the standard paper table
// stands in, so that reports can still be laid out and previewed. Sizes and margins are
// millimetres, paper codes the Windows paper-size numbers (256 user-defined), bin codes the
// Windows paper-source numbers (7 automatic).
#pragma once

#include "platform/canvas.h"
#include "platform/printing.h"
#include "report/base/frxUtils.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QPainter;

namespace frx {

enum TPrinterOrientation { poPortrait, poLandscape };

inline constexpr int DMPAPER_USER = 256;
inline constexpr int DMBIN_AUTO = 7;

// A paper or a bin as a printer lists it.
struct NamedCode {
    QString name;
    int code = 0;
    bool operator==(const NamedCode &other) const = default;
};

// A paper size in millimetres.
struct PaperSizeMm {
    Extended width = 0;
    Extended height = 0;
};

// The portrait size of a standard paper code in millimetres; nothing for codes outside the
// standard table (and for 256). Report pages take their size from here when PaperSize is set.
std::optional<PaperSizeMm> LookUpPaperSize(int code);
// The first standard paper code of that size (either orientation, within half a millimetre);
// DMPAPER_USER when no standard paper has it.
int LookUpPaperCode(Extended width, Extended height);

// The canvas of a printer: between BeginSheet and EndSheet it draws on the sheet in printer dots
// from the corner of the printable area (of the paper, for a job to a file), at the printer's
// resolution, and sizes every font it selects by its point size at the vertical resolution, so that
// point sizes map to printer dots. A job to a file draws through the device's PDF canvas.
class TfrxPrinterCanvas {
public:
    TfrxPrinterCanvas();
    ~TfrxPrinterCanvas();
    TfrxPrinterCanvas(const TfrxPrinterCanvas &) = delete;
    TfrxPrinterCanvas &operator=(const TfrxPrinterCanvas &) = delete;

    // The canvas of the open sheet (owned by this object or by the printer's device); null outside
    // a sheet.
    platform::Canvas *Canvas() const { return m_canvas; }
    // The painter of the open sheet, owned by the printer's device; null outside a sheet and for a
    // job to a file.
    QPainter *Painter() const { return m_painter; }

    // Binds the canvas to the painter of a sheet just begun, at dpi, or to the device's own
    // canvas of it; the printer calls these.
    void Bind(QPainter *painter, QPoint dpi);
    void Bind(platform::Canvas *canvas);
    void Unbind();

private:
    std::unique_ptr<platform::Canvas> m_painterCanvas;
    platform::Canvas *m_canvas = nullptr;
    QPainter *m_painter = nullptr;
};

// What every printer offers. Operations that talk to the device return false when it refused.
class TfrxCustomPrinter {
public:
    TfrxCustomPrinter(const QString &name, const QString &port);
    virtual ~TfrxCustomPrinter() = default;
    TfrxCustomPrinter(const TfrxCustomPrinter &) = delete;
    TfrxCustomPrinter &operator=(const TfrxCustomPrinter &) = delete;

    // Reads the printer's papers, bins and current settings once; the printer stays unprepared
    // (Initialized() false) when it cannot be reached or measured.
    virtual void Prepare() = 0;
    // Drops the running job, then ends it as EndJob does.
    virtual void AbortJob() = 0;
    // Starts a job titled JobTitle() (a default title when empty), to OutputFile() as PDF when
    // that is set. False when it could not start.
    virtual bool BeginJob() = 0;
    virtual bool BeginSheet() = 0;
    // Starts a job of raw bytes (dot-matrix control codes) titled JobTitle().
    virtual bool BeginRawJob() = 0;
    // Sends the job; false when it could not be delivered. The printer is idle afterwards.
    virtual bool EndJob() = 0;
    virtual bool EndSheet() = 0;
    virtual bool EndRawJob() = 0;
    // Writes text in the system code page to the raw job.
    virtual bool WriteRaw(const QString &text) = 0;
    // Sets the paper used to lay out and show pages: a paper code with the printer's own size,
    // or 256 with width x height in millimetres.
    virtual void SetPaperForView(int paperCode, Extended paperWidth, Extended paperHeight,
                                 TPrinterOrientation orientation) = 0;
    // Sets the paper for the pages printed next, with bin, duplex (1 printer's choice,
    // 2 vertical, 3 horizontal, 4 simplex) and copies. Unchanged settings do not touch the device.
    virtual void SetPaperForPrint(int paperCode, Extended paperWidth, Extended paperHeight,
                                  TPrinterOrientation orientation, int bin, int duplex, int copies) = 0;

    const QString &Name() const { return m_name; }
    const QString &Port() const { return m_port; }
    const QList<NamedCode> &Bins() const { return m_bins; }
    const QList<NamedCode> &Papers() const { return m_papers; }
    // Horizontal and vertical resolution in dots per inch.
    QPoint DPI() const { return m_dpi; }
    int DefPaper() const { return m_defPaper; }
    TPrinterOrientation DefOrientation() const { return m_defOrientation; }
    Extended DefPaperWidth() const { return m_defPaperWidth; }
    Extended DefPaperHeight() const { return m_defPaperHeight; }
    int Paper() const { return m_paper; }
    TPrinterOrientation Orientation() const { return m_orientation; }
    Extended PaperWidth() const { return m_paperWidth; }
    Extended PaperHeight() const { return m_paperHeight; }
    Extended LeftMargin() const { return m_leftMargin; }
    Extended TopMargin() const { return m_topMargin; }
    Extended RightMargin() const { return m_rightMargin; }
    Extended BottomMargin() const { return m_bottomMargin; }
    // The bin chosen in the printer's own settings dialog, −1 when none; it overrides the bin of
    // SetPaperForPrint until the next job ends.
    int DriverDialogBin() const { return m_driverDialogBin; }
    bool Initialized() const { return m_initialized; }
    bool Printing() const { return m_printing; }
    const QString &JobTitle() const { return m_jobTitle; }
    void SetJobTitle(const QString &title) { m_jobTitle = title; }
    // The file a job is written to as PDF; empty prints on the printer.
    const QString &OutputFile() const { return m_outputFile; }
    void SetOutputFile(const QString &fileName) { m_outputFile = fileName; }
    TfrxPrinterCanvas *Canvas() { return &m_canvas; }

    // Position of the paper (bin) with that code in Papers() (Bins()), −1 when absent.
    int PaperIndex(int code) const;
    int BinIndex(int code) const;
    // Code of the paper (bin) of that name; the first entry's code when no entry has it.
    int PaperNameToCode(const QString &name) const;
    int BinNameToCode(const QString &name) const;

protected:
    QString m_name;
    QString m_port;
    QList<NamedCode> m_bins;
    QList<NamedCode> m_papers;
    TfrxPrinterCanvas m_canvas;
    QPoint m_dpi;
    int m_defPaper = 0;
    TPrinterOrientation m_defOrientation = poPortrait;
    Extended m_defPaperWidth = 0;
    Extended m_defPaperHeight = 0;
    int m_paper = 0;
    TPrinterOrientation m_orientation = poPortrait;
    Extended m_paperWidth = 0;
    Extended m_paperHeight = 0;
    Extended m_leftMargin = 0;
    Extended m_topMargin = 0;
    Extended m_rightMargin = 0;
    Extended m_bottomMargin = 0;
    int m_driverDialogBin = -1;
    bool m_initialized = false;
    bool m_printing = false;
    QString m_jobTitle;
    QString m_outputFile;
};

// A printer of the workstation, reached through the print device seam.
class TfrxPrinter : public TfrxCustomPrinter {
public:
    using TfrxCustomPrinter::TfrxCustomPrinter;

    void Prepare() override;
    void AbortJob() override;
    bool BeginJob() override;
    bool BeginSheet() override;
    bool BeginRawJob() override;
    bool EndJob() override;
    bool EndSheet() override;
    bool EndRawJob() override;
    bool WriteRaw(const QString &text) override;
    void SetPaperForView(int paperCode, Extended paperWidth, Extended paperHeight,
                         TPrinterOrientation orientation) override;
    void SetPaperForPrint(int paperCode, Extended paperWidth, Extended paperHeight,
                          TPrinterOrientation orientation, int bin, int duplex, int copies) override;

    // The device settings in force (meaningful once prepared).
    const platform::DeviceMode &Mode() const { return m_mode; }

private:
    // Measures the paper of mode; on success mode becomes the printer's and the sizes, margins and
    // resolution follow it. On failure reports "Printer selected is not valid" and keeps all.
    bool ApplyMode(const platform::DeviceMode &mode);
    QString EffectiveJobTitle() const;

    std::unique_ptr<platform::PrintDevice> m_device;
    platform::DeviceMode m_mode;
};

// The stand-in when the workstation has no printer: 600 dots per inch, the standard paper table,
// 5 mm margins on every paper. It cannot print.
class TfrxVirtualPrinter : public TfrxCustomPrinter {
public:
    using TfrxCustomPrinter::TfrxCustomPrinter;

    void Prepare() override;
    void AbortJob() override {}
    bool BeginJob() override { return false; }
    bool BeginSheet() override { return false; }
    bool BeginRawJob() override { return false; }
    bool EndJob() override { return false; }
    bool EndSheet() override { return false; }
    bool EndRawJob() override { return false; }
    bool WriteRaw(const QString &) override { return false; }
    void SetPaperForView(int paperCode, Extended paperWidth, Extended paperHeight,
                         TPrinterOrientation orientation) override;
    void SetPaperForPrint(int paperCode, Extended paperWidth, Extended paperHeight,
                          TPrinterOrientation orientation, int bin, int duplex, int copies) override;
};

// The printers of the workstation and the current one.
class TfrxPrinters {
public:
    // Builds the list from the process-wide print system.
    TfrxPrinters();
    ~TfrxPrinters();
    TfrxPrinters(const TfrxPrinters &) = delete;
    TfrxPrinters &operator=(const TfrxPrinters &) = delete;

    // Printer names in enumeration order.
    const QStringList &Names() const { return m_names; }
    // The printer at index i (owned by the list), null outside the list.
    TfrxCustomPrinter *PrinterAt(int i) const;
    // Index of the first printer of that name, letter case ignored; −1 when none.
    int FindByName(const QString &name) const;
    int CurrentIndex() const { return m_currentIndex; }
    // Selects printer i and prepares it; −1 selects the default printer (the first printer when
    // the default is not listed). Other indexes outside the list change nothing.
    void SetCurrentIndex(int i);
    // The current printer; never null.
    TfrxCustomPrinter *Current() const { return PrinterAt(m_currentIndex); }
    // The user's default printer; empty when none is set.
    QString DefaultPrinterName() const;
    bool HasRealPrinters() const { return m_hasRealPrinters; }
    // Selects the printer named by a report's print options when one has that name; otherwise
    // the current printer stays.
    void SelectByName(const QString &name);
    // Empties the list and enumerates the printers again.
    void Refill();
    // Number of printers listed.
    int Count() const { return int(m_printers.size()); }

private:
    void Fill();
    void Clear();

    QList<TfrxCustomPrinter *> m_printers;
    QStringList m_names;
    int m_currentIndex = -1;
    bool m_hasRealPrinters = false;
};

// The process-wide printer list, built on first use.
TfrxPrinters *frxPrinters();

} // namespace frx
