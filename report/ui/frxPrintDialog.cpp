#include "report/ui/frxPrintDialog.h"

#include "platform/ui/errorguard.h"
#include "platform/errors.h"
#include "platform/printing.h"
#include "report/objects/frxClass.h"
#include "report/ui/frxPrintDialog_p.h"
#include "report/output/frxPrintPages.h"
#include "report/output/frxPrinter.h"
#include "report/base/frxRes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace frx {

namespace {

constexpr int kA4 = 9;

// Draws list items as a picture at a fixed offset and the text beside it, with a fixed height.
class PictureItemDelegate : public QStyledItemDelegate {
public:
    PictureItemDelegate(QPoint pictureOffset, QPoint textOffset, int itemHeight, QObject *parent)
        : QStyledItemDelegate(parent), m_pictureOffset(pictureOffset), m_textOffset(textOffset),
          m_itemHeight(itemHeight)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        background.icon = QIcon();
        option.widget->style()->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);

        const QRect r = option.rect;
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        if (!icon.isNull()) {
            const QSize size = icon.availableSizes().value(0);
            painter->drawPixmap(r.left() + m_pictureOffset.x(), r.top() + m_pictureOffset.y(),
                                icon.pixmap(size));
        }
        const bool selected = option.state & QStyle::State_Selected;
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        const QRect textRect(r.left() + m_textOffset.x(), r.top(), r.width() - m_textOffset.x(), r.height());
        const int flags = Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine;
        painter->drawText(textRect, flags, index.data(Qt::DisplayRole).toString());
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(qMax(m_itemHeight, size.height()));
        size.setWidth(m_textOffset.x() + option.fontMetrics.horizontalAdvance(index.data().toString()) + 8);
        return size;
    }

private:
    QPoint m_pictureOffset;
    QPoint m_textOffset;
    int m_itemHeight;
};

template <class T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The file name with its extension replaced by ".prn" (added when it has none).
QString withPrnExtension(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QString suffix = info.suffix();
    QString base = fileName;
    if (!suffix.isEmpty()) base.chop(suffix.size() + 1);
    return base + QStringLiteral(".prn");
}

// The printer's own settings dialog: paper and orientation of the printer as the driver sees
// them. A confirmed choice becomes the printer's current paper.
void ShowDriverDialog(TfrxCustomPrinter *printer, QWidget *parent)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(printer->Name());
    QPrinter qprinter(info, QPrinter::HighResolution);
    QPageSize pageSize = platform::pageSizeFromPaperCode(printer->Paper());
    if (!pageSize.isValid()) {
        const bool landscape = printer->Orientation() == poLandscape;
        const QSizeF mm(double(landscape ? printer->PaperHeight() : printer->PaperWidth()),
                        double(landscape ? printer->PaperWidth() : printer->PaperHeight()));
        pageSize = QPageSize(mm, QPageSize::Millimeter);
    }
    qprinter.setPageSize(pageSize);
    qprinter.setPageOrientation(printer->Orientation() == poLandscape ? QPageLayout::Landscape
                                                                      : QPageLayout::Portrait);
    QPageSetupDialog dialog(&qprinter, parent);
    dialog.setWindowTitle(printer->Name());
    if (dialog.exec() != QDialog::Accepted) return;

    const QPageLayout layout = qprinter.pageLayout();
    const TPrinterOrientation orientation =
        layout.orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
    const QSizeF portrait = layout.pageSize().size(QPageSize::Millimeter);
    int code = platform::paperCodeFromPageSize(layout.pageSize());
    if (code <= 0) code = DMPAPER_USER;
    const bool landscape = orientation == poLandscape;
    printer->SetPaperForView(code, landscape ? portrait.height() : portrait.width(),
                             landscape ? portrait.width() : portrait.height(), orientation);
}

} // namespace

TfrxPrintDialog::TfrxPrintDialog(TfrxReport *report, int currentPage, QWidget *parent)
    : QDialog(parent), m_report(report), m_currentPage(currentPage)
{
    setObjectName(QStringLiteral("TfrxPrintDialog"));
    setWindowTitle(frxGet(200));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    CreateControls();

    TfrxPrinters *printers = frxPrinters();
    PrintersCB->setItemDelegate(
        new PictureItemDelegate(QPoint(2, 1), QPoint(24, 0), logicalDpiY() > 96 ? 19 : 16, PrintersCB));
    const QIcon printIcon(printdialog::printerIcon());
    for (const QString &name : printers->Names())
        PrintersCB->addItem(printIcon, name);
    PrintersCB->setCurrentIndex(printers->CurrentIndex());
    PrintersCBClick();
    m_oldPrinterIndex = printers->CurrentIndex();
    CollateCBClick();
}

std::optional<int> TfrxPrintDialog::Run(TfrxReport &report, int currentPageNo)
{
    TfrxPrintDialog dialog(&report, currentPageNo, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Duplex();
}

void TfrxPrintDialog::CreateControls()
{
    // Printer.
    Label12 = named(new QGroupBox(frxGet(201), this), "Label12");
    NameL = named(new QLabel(frxGet(212), Label12), "NameL");
    PrintersCB = named(new QComboBox(Label12), "PrintersCB");
    PrintersCB->setIconSize(QSize(16, 16));
    PrintersCB->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    NameL->setBuddy(PrintersCB);
    PropButton = named(new QPushButton(frxGet(209), Label12), "PropButton");
    WhereL = named(new QLabel(frxGet(208), Label12), "WhereL");
    WhereL1 = named(new QLabel(Label12), "WhereL1");
    FileCB = named(new QCheckBox(frxGet(210), Label12), "FileCB");
    auto *printerGrid = new QGridLayout(Label12);
    printerGrid->addWidget(NameL, 0, 0);
    printerGrid->addWidget(PrintersCB, 0, 1);
    printerGrid->addWidget(PropButton, 0, 2);
    printerGrid->addWidget(WhereL, 1, 0);
    printerGrid->addWidget(WhereL1, 1, 1);
    printerGrid->addWidget(FileCB, 1, 2);
    printerGrid->setColumnStretch(1, 1);

    // Page range.
    Label1 = named(new QGroupBox(frxGet(202), this), "Label1");
    AllRB = named(new QRadioButton(frxGet(3), Label1), "AllRB");
    CurPageRB = named(new QRadioButton(frxGet(4), Label1), "CurPageRB");
    PageNumbersRB = named(new QRadioButton(frxGet(5), Label1), "PageNumbersRB");
    PageNumbersE = named(new QLineEdit(Label1), "PageNumbersE");
    DescrL = named(new QLabel(frxGet(9), Label1), "DescrL");
    DescrL->setWordWrap(true);
    AllRB->setChecked(true);
    auto *rangeGrid = new QGridLayout(Label1);
    rangeGrid->addWidget(AllRB, 0, 0, 1, 2);
    rangeGrid->addWidget(CurPageRB, 1, 0, 1, 2);
    rangeGrid->addWidget(PageNumbersRB, 2, 0);
    rangeGrid->addWidget(PageNumbersE, 2, 1);
    rangeGrid->addWidget(DescrL, 3, 0, 1, 2);
    rangeGrid->setColumnStretch(1, 1);
    rangeGrid->setRowStretch(4, 1);

    // Copies.
    Label2 = named(new QGroupBox(frxGet(205), this), "Label2");
    CopiesL = named(new QLabel(frxGet(203), Label2), "CopiesL");
    CopiesE = named(new QSpinBox(Label2), "CopiesE");
    CopiesE->setRange(1, 9999);
    CopiesE->setValue(1);
    CopiesL->setBuddy(CopiesE);
    CollateCB = named(new QCheckBox(frxGet(204), Label2), "CollateCB");
    CollateCB->setChecked(true);
    auto *copiesPicture = new QLabel(Label2);
    copiesPicture->setFixedSize(printdialog::collateImage(true).size());
    copiesPicture->installEventFilter(this);
    CopiesPB = named(copiesPicture, "CopiesPB");
    auto *copiesGrid = new QGridLayout(Label2);
    copiesGrid->addWidget(CopiesL, 0, 0);
    copiesGrid->addWidget(CopiesE, 0, 1);
    copiesGrid->addWidget(CopiesPB, 1, 0, 1, 2, Qt::AlignLeft);
    copiesGrid->addWidget(CollateCB, 2, 0, 1, 2);
    copiesGrid->setColumnStretch(1, 1);
    copiesGrid->setRowStretch(3, 1);

    // Print mode.
    ScaleGB = named(new QGroupBox(frxGet(213), this), "ScaleGB");
    PrintModeCB = named(new QComboBox(ScaleGB), "PrintModeCB");
    PrintModeCB->setIconSize(QSize(64, 32));
    PrintModeCB->setItemDelegate(new PictureItemDelegate(QPoint(2, 1), QPoint(74, 0), 34, PrintModeCB));
    const char *modes[] = {"pmDefault", "pmSplit", "pmJoin", "pmScale"};
    for (int i = 0; i < 4; ++i)
        PrintModeCB->addItem(QIcon(printdialog::printModeImage(i)), frxGet(QLatin1String(modes[i])));
    PagSizeL = named(new QLabel(frxGet(214), ScaleGB), "PagSizeL");
    PagPageSizeCB = named(new QComboBox(ScaleGB), "PagPageSizeCB");
    PagSizeL->setBuddy(PagPageSizeCB);
    auto *modeGrid = new QGridLayout(ScaleGB);
    modeGrid->addWidget(PrintModeCB, 0, 0, 1, 2);
    modeGrid->addWidget(PagSizeL, 1, 0);
    modeGrid->addWidget(PagPageSizeCB, 1, 1);
    modeGrid->setColumnStretch(1, 1);
    modeGrid->setRowStretch(2, 1);

    // Other.
    OtherGB = named(new QGroupBox(frxGet(207), this), "OtherGB");
    PrintL = named(new QLabel(frxGet(206), OtherGB), "PrintL");
    PrintPagesCB = named(new QComboBox(OtherGB), "PrintPagesCB");
    for (const char *name : {"ppAll", "ppOdd", "ppEven"})
        PrintPagesCB->addItem(frxGet(QLatin1String(name)));
    OrderL = named(new QLabel(frxGet(211), OtherGB), "OrderL");
    OrderCB = named(new QComboBox(OtherGB), "OrderCB");
    OrderCB->addItem(frxGet(QStringLiteral("poDirect")));
    OrderCB->addItem(frxGet(QStringLiteral("poReverse")));
    DuplexL = named(new QLabel(frxGet(216), OtherGB), "DuplexL");
    DuplexCB = named(new QComboBox(OtherGB), "DuplexCB");
    for (const char *name : {"dupDefault", "dupVert", "dupHorz", "dupSimpl"})
        DuplexCB->addItem(frxGet(QLatin1String(name)));
    PrintL->setBuddy(PrintPagesCB);
    OrderL->setBuddy(OrderCB);
    DuplexL->setBuddy(DuplexCB);
    auto *otherGrid = new QGridLayout(OtherGB);
    otherGrid->addWidget(PrintL, 0, 0);
    otherGrid->addWidget(PrintPagesCB, 0, 1);
    otherGrid->addWidget(OrderL, 1, 0);
    otherGrid->addWidget(OrderCB, 1, 1);
    otherGrid->addWidget(DuplexL, 2, 0);
    otherGrid->addWidget(DuplexCB, 2, 1);
    otherGrid->setColumnStretch(1, 1);
    otherGrid->setRowStretch(3, 1);

    OkB = named(new QPushButton(frxGet(1), this), "OkB");
    OkB->setDefault(true);
    CancelB = named(new QPushButton(frxGet(2), this), "CancelB");

    FileDlg = named(new QFileDialog(this, QStringLiteral("Print To File"), QString(),
                                    QStringLiteral("Printer files (*.prn)")),
                    "FileDlg");
    FileDlg->setAcceptMode(QFileDialog::AcceptSave);
    // Qt's own dialog, a child of this one: it looks the same on every desktop.
    FileDlg->setOption(QFileDialog::DontUseNativeDialog);
    AskPrintFile = [this]() -> std::optional<QString> {
        if (FileDlg->exec() != QDialog::Accepted || FileDlg->selectedFiles().isEmpty()) return std::nullopt;
        return FileDlg->selectedFiles().constFirst();
    };
    FileDlg->setDefaultSuffix(QStringLiteral("prn"));

    auto *grid = new QGridLayout;
    grid->addWidget(Label12, 0, 0, 1, 2);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(Label2, 1, 1);
    grid->addWidget(ScaleGB, 2, 0);
    grid->addWidget(OtherGB, 2, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkB);
    buttons->addWidget(CancelB);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(557, 334);

    connect(OkB, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QPushButton::clicked, this, &QDialog::reject);
    connect(PrintersCB, &QComboBox::activated, this,
            [this] { platform::guard(this, [this] { PrintersCBClick(); }); });
    connect(PropButton, &QPushButton::clicked, this,
            [this] { platform::guard(this, [this] { PropButtonClick(); }); });
    connect(PageNumbersRB, &QRadioButton::clicked, this, &TfrxPrintDialog::PageNumbersRBClick);
    connect(PageNumbersE, &QLineEdit::textEdited, PageNumbersRB, [this] { PageNumbersRB->setChecked(true); });
    PageNumbersE->installEventFilter(this);
    connect(CollateCB, &QCheckBox::toggled, this, &TfrxPrintDialog::CollateCBClick);
    connect(PrintModeCB, &QComboBox::activated, this, &TfrxPrintDialog::PrintModeCBClick);
}

bool TfrxPrintDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Entering the page-number field chooses page numbers; a click on the picture toggles collation.
    if (watched == PageNumbersE && event->type() == QEvent::FocusIn) PageNumbersRB->setChecked(true);
    if (watched == CopiesPB && event->type() == QEvent::MouseButtonPress) CollateCB->toggle();
    return QDialog::eventFilter(watched, event);
}

void TfrxPrintDialog::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) FormShow();
    QDialog::showEvent(event);
}

void TfrxPrintDialog::FormShow()
{
    const TfrxPrintOptions &options = m_report->PrintOptions;
    CopiesE->setValue(qMax(1, options.Copies));
    CollateCB->setChecked(options.Collate);
    PageNumbersE->setText(options.PageNumbers);
    if (!options.PageNumbers.isEmpty()) PageNumbersRB->setChecked(true);
    PrintPagesCB->setCurrentIndex(int(options.PrintPages));
    OrderCB->setCurrentIndex(options.Reverse ? 1 : 0);
    PrintModeCB->setCurrentIndex(int(options.PrintMode));
    PrintModeCBClick();
    if (options.PrintMode != pmDefault) SelectSheet(options.PrintOnSheet);
}

void TfrxPrintDialog::done(int result)
{
    if (result == QDialog::Accepted) {
        bool ok = false;
        if (!platform::guard(this, [&] { ok = FormHideOk(); })) return;
        if (!ok) result = QDialog::Rejected;
    }
    if (result != QDialog::Accepted) frxPrinters()->SetCurrentIndex(m_oldPrinterIndex);
    QDialog::done(result);
}

bool TfrxPrintDialog::FormHideOk()
{
    // A page range that cannot be read is refused here, where it can still be corrected.
    if (PageNumbersRB->isChecked()) {
        try {
            ParsePageNumbers(PageNumbersE->text(), 1);
        } catch (const platform::Error &) {
            PageNumbersE->setFocus();
            PageNumbersE->selectAll();
            throw;
        }
    }

    TfrxCustomPrinter *printer = frxPrinters()->Current();
    printer->SetOutputFile(QString());
    if (FileCB->isChecked()) {
        const std::optional<QString> file = AskPrintFile();
        if (!file || file->isEmpty()) return false;
        printer->SetOutputFile(withPrnExtension(*file));
    }

    TfrxPrintOptions &options = m_report->PrintOptions;
    options.Copies = CopiesE->value();
    options.Collate = CollateCB->isChecked();
    if (AllRB->isChecked())
        options.PageNumbers.clear();
    else if (CurPageRB->isChecked())
        options.PageNumbers = QString::number(m_currentPage);
    else
        options.PageNumbers = PageNumbersE->text();
    options.PrintPages = TfrxPrintPages(PrintPagesCB->currentIndex());
    m_duplex = DuplexCB->currentIndex();
    options.Reverse = OrderCB->currentIndex() == 1;
    options.PrintMode = TfrxPrintMode(PrintModeCB->currentIndex());
    options.PrintOnSheet = PagPageSizeCB->currentData().toInt();
    return true;
}

void TfrxPrintDialog::PrintersCBClick()
{
    int sheetCode = 0;
    if (PagPageSizeCB->currentIndex() > 0) sheetCode = PagPageSizeCB->currentData().toInt();

    TfrxPrinters *printers = frxPrinters();
    printers->SetCurrentIndex(PrintersCB->currentIndex());
    TfrxCustomPrinter *printer = printers->Current();
    WhereL1->setText(printer->Port());

    PagPageSizeCB->clear();
    PagPageSizeCB->addItem(frxGet(QStringLiteral("pgDefault")), DMPAPER_USER);
    for (const NamedCode &paper : printer->Papers())
        if (paper.code != DMPAPER_USER) PagPageSizeCB->addItem(paper.name, paper.code);
    SelectSheet(sheetCode);
}

void TfrxPrintDialog::SelectSheet(int paperCode)
{
    const int index = paperCode == DMPAPER_USER ? 0 : PagPageSizeCB->findData(paperCode);
    PagPageSizeCB->setCurrentIndex(qMax(0, index));
}

void TfrxPrintDialog::PropButtonClick()
{
    ShowDriverDialog(frxPrinters()->Current(), this);
}

void TfrxPrintDialog::PageNumbersRBClick()
{
    if (isVisible()) PageNumbersE->setFocus();
}

void TfrxPrintDialog::CollateCBClick()
{
    static_cast<QLabel *>(CopiesPB)->setPixmap(printdialog::collateImage(CollateCB->isChecked()));
}

void TfrxPrintDialog::PrintModeCBClick()
{
    if (PrintModeCB->currentIndex() == pmDefault) {
        PagPageSizeCB->setCurrentIndex(0);
        PagPageSizeCB->setEnabled(false);
        return;
    }
    PagPageSizeCB->setEnabled(true);
    if (PagPageSizeCB->currentIndex() == 0) SelectSheet(kA4);
}

} // namespace frx
