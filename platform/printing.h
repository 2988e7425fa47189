// The print device seam: the printers of the workstation, what each offers (papers, bins,
// resolutions, duplex), what it measures for a given setting, and print jobs on it. Paper codes
// are the Windows DMPAPER numbers (1 letter, 9 A4, 256 user-defined size, driver-specific sizes
// from 257), bin codes the DMBIN numbers (7 automatic selection). The real implementation talks
// to CUPS through Qt and libcups; the fake is deterministic and records what it is asked to do.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPageSize>
#include <QPicture>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QPainter;
class QPaintDevice;

namespace platform {

class Canvas;

inline constexpr int kUserPaperCode = 256; // DMPAPER_USER: width and height given in the mode
inline constexpr int kAutoBinCode = 7;     // DMBIN_AUTO

// Duplex codes of a device mode (DMDUP_*).
inline constexpr int kDuplexSimplex = 1;
inline constexpr int kDuplexVertical = 2;   // long edge
inline constexpr int kDuplexHorizontal = 3; // short edge

// One paper a printer offers: its name, DMPAPER code and portrait size.
struct DevicePaper {
    QString name;
    int code = 0;
    QPageSize pageSize;
};

// One paper source: its name, DMBIN code and the printer's own key for it.
struct DeviceBin {
    QString name;
    int code = 0;
    QString key;
    bool operator==(const DeviceBin &other) const = default;
};

// The settings a job or a measurement runs with (the device mode block).
struct DeviceMode {
    int paperCode = 9;
    // Only for kUserPaperCode: the paper in tenths of a millimetre, in portrait terms.
    int paperWidthTenthsMm = 0;
    int paperLengthTenthsMm = 0;
    bool landscape = false;
    int bin = kAutoBinCode;
    int duplex = 0; // 0 leaves the printer's own choice, else a kDuplex* code
    int copies = 1;
    bool operator==(const DeviceMode &other) const = default;
};

// What a printer measures for a mode, in device dots (the physical page as oriented, the offset of
// the printable area from the paper's corner, and the printable area's size).
struct DeviceMetrics {
    int dpiX = 0;
    int dpiY = 0;
    int physicalWidth = 0;
    int physicalHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
    int printableWidth = 0;
    int printableHeight = 0;
};

class FakePrintSystem;
class PdfFileJob;

// One printer. Lists are read from the printer on first request and cached. Job calls are only
// valid in the order beginJob, (beginPage, endPage)*, endJob or abortJob.
class PrintDevice {
public:
    virtual ~PrintDevice() = default;

    virtual QString name() const = 0;
    // The papers in the printer's order, each code once.
    virtual QList<DevicePaper> papers() = 0;
    virtual QList<DeviceBin> bins() = 0;
    // Resolutions in dots per inch the printer offers (square dots).
    virtual QList<int> resolutions() = 0;
    virtual bool supportsDuplex() = 0;

    // The printer's current settings; nothing when the printer cannot be reached.
    virtual std::optional<DeviceMode> defaultMode() = 0;
    // Measures the page for mode; nothing when the printer or the paper is unusable.
    virtual std::optional<DeviceMetrics> measure(const DeviceMode &mode) = 0;

    // Starts a job; with a non-empty outputFile the pages go to that file as PDF, drawn through our
    // own PDF canvas (canvas()), instead of the printer. False when the job could not start
    // (nothing is then open).
    virtual bool beginJob(const DeviceMode &mode, const QString &title, const QString &outputFile) = 0;
    // Changes paper, orientation, copies, bin or duplex for the pages that follow.
    virtual bool setJobMode(const DeviceMode &mode) = 0;
    virtual bool beginPage() = 0;
    virtual bool endPage() = 0;
    // Sends the job; false when it could not be delivered.
    virtual bool endJob() = 0;
    // Drops the job; nothing reaches the printer.
    virtual void abortJob() = 0;
    // The painter of the open page of a job to the printer, owned by the device (null outside a
    // page and for a job to a file). Its device coordinates are dots from the corner of the
    // printable area.
    virtual QPainter *painter() = 0;
    // The canvas of the open page of a job to a file, a printer canvas owned by the device (null
    // outside a page and for a job to the printer). Its coordinates are dots from the paper's
    // corner at the device's resolution.
    virtual Canvas *canvas() = 0;

    // A job of bytes the printer takes unchanged (dot-matrix control codes).
    virtual bool beginRawJob(const QString &title) = 0;
    virtual bool writeRaw(const QByteArray &bytes) = 0;
    virtual bool endRawJob() = 0;
};

// The workstation's printers.
class PrintSystem {
public:
    virtual ~PrintSystem() = default;
    // Printer names in enumeration order.
    virtual QStringList printerNames() = 0;
    // The user's default printer; empty when none is set.
    virtual QString defaultPrinterName() = 0;
    // A device for the printer of that name, owned by the caller; null when there is none.
    virtual std::unique_ptr<PrintDevice> open(const QString &name) = 0;
};

// The process-wide print system: CUPS unless a test installed another.
PrintSystem &printSystem();
// Installs system (ownership passes); null restores CUPS.
void setPrintSystem(std::unique_ptr<PrintSystem> system);
// A new CUPS print system, owned by the caller.
std::unique_ptr<PrintSystem> createCupsPrintSystem();

// The standard paper table: the size of a DMPAPER code in tenths of a millimetre, portrait, for
// the codes 1 to 68 except 48 and 49; nothing for other codes.
std::optional<QSize> standardPaperSizeTenthsMm(int code);
// The codes of the standard paper table in ascending order (66 codes).
const QList<int> &standardPaperCodes();
// The first standard code whose size matches widthMm x heightMm within half a millimetre, in
// either orientation; kUserPaperCode when none does.
int standardPaperCodeBySize(double widthMm, double heightMm);

// The DMPAPER code of a page size: the standard table's code when the sizes agree, else the
// Windows code Qt knows for it; 0 for sizes without a code.
int paperCodeFromPageSize(const QPageSize &pageSize);
// The page size of a DMPAPER code (the standard table first, then the codes Qt knows); an invalid
// QPageSize for unknown codes and for kUserPaperCode.
QPageSize pageSizeFromPaperCode(int code);

// A deterministic printer for tests. Its measurements follow the mode exactly: the paper of the
// code (or the user size) at dpi, less the fixed margins. Every call is logged.
class FakePrintDevice : public PrintDevice {
public:
    struct Setup {
        QString name;
        QList<DevicePaper> papers;
        QList<DeviceBin> bins;
        int dpi = 600;
        int dpiY = 0; // 0: same as dpi
        QList<int> resolutions;
        bool duplex = false;
        std::optional<DeviceMode> defaultMode = DeviceMode{};
        // Unprintable margins in dots.
        int marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
        int papersLimit = 0; // more than 0: papers() is cut to this many, like a driver's buffer
    };

    explicit FakePrintDevice(Setup setup);
    ~FakePrintDevice() override;

    QString name() const override { return m_setup.name; }
    QList<DevicePaper> papers() override;
    QList<DeviceBin> bins() override { return m_setup.bins; }
    QList<int> resolutions() override { return m_setup.resolutions; }
    bool supportsDuplex() override { return m_setup.duplex; }
    std::optional<DeviceMode> defaultMode() override;
    std::optional<DeviceMetrics> measure(const DeviceMode &mode) override;
    bool beginJob(const DeviceMode &mode, const QString &title, const QString &outputFile) override;
    bool setJobMode(const DeviceMode &mode) override;
    bool beginPage() override;
    bool endPage() override;
    bool endJob() override;
    void abortJob() override;
    QPainter *painter() override;
    Canvas *canvas() override;
    bool beginRawJob(const QString &title) override;
    bool writeRaw(const QByteArray &bytes) override;
    bool endRawJob() override;

    // One line per call, such as "measure 9 portrait", "beginJob Title", "page 1", "endJob".
    const QStringList &log() const { return m_log; }
    void clearLog() { m_log.clear(); }
    // The bytes of the last raw job.
    const QByteArray &rawData() const { return m_raw; }
    // What the pages of the last job to the printer (not to a file) painted, one picture each,
    // clipped to the printable area of their paper.
    const QList<QPicture> &pages() const { return m_pages; }
    int measureCount() const { return m_measureCount; }

private:
    std::optional<QSizeF> paperMm(const DeviceMode &mode) const;

    Setup m_setup;
    QStringList m_log;
    QByteArray m_raw;
    QList<QPicture> m_pages;
    std::unique_ptr<QPicture> m_page;
    std::unique_ptr<QPainter> m_pagePainter;
    std::unique_ptr<PdfFileJob> m_fileJob;
    DeviceMode m_jobMode; // the paper of the pages printed next
    bool m_inJob = false;
    bool m_inRawJob = false;
    int m_measureCount = 0;
    friend class FakePrintSystem;
    FakePrintSystem *m_system = nullptr;
};

// A print system over fake devices, for tests. Each open() hands out a new device built from the
// setup of that name; lastOpened() gives access to it while its owner keeps it (null after).
class FakePrintSystem : public PrintSystem {
public:
    FakePrintSystem(QList<FakePrintDevice::Setup> printers, QString defaultName);
    ~FakePrintSystem() override;

    QStringList printerNames() override;
    QString defaultPrinterName() override { return m_default; }
    std::unique_ptr<PrintDevice> open(const QString &name) override;

    FakePrintDevice *lastOpened(const QString &name) const;

private:
    QList<FakePrintDevice::Setup> m_printers;
    QString m_default;
    QHash<QString, FakePrintDevice *> m_opened;
    friend class FakePrintDevice;
};

} // namespace platform
