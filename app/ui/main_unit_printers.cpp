// The printer whose whole-layout offsets are in force, and the calibration sheet that measures them.
#include "app/ui/main_unit.h"

#include "app/model/calibrationsheet.h"
#include "app/ui/calibrationdialog.h"
#include "app/ui/spinedit.h"

#include "report/output/frxPrinter.h"

#include <QComboBox>
#include <QLabel>

void TMainForm::buildPrinterChoice()
{
    cbbPrinter = new QComboBox(rztlbr1);
    cbbPrinter->setObjectName(QStringLiteral("cbbPrinter"));
    cbbPrinter->setGeometry(558, 4, 119, 21);
    cbbPrinter->setToolTip(QStringLiteral("整体位置偏移按这台打印机保存和使用；在打印对话框里换用别的打印机时，"
                                          "按那台打印机保存的偏移印"));
    frx::TfrxPrinters *printers = frx::frxPrinters();
    if (!printers->HasRealPrinters()) {
        cbbPrinter->setPlaceholderText(QStringLiteral("（没有打印机）"));
        cbbPrinter->setEnabled(false);
        return;
    }
    cbbPrinter->addItems(printers->Names());
    const int preferred = printers->FindByName(printers->DefaultPrinterName());
    cbbPrinter->setCurrentIndex(preferred >= 0 ? preferred : 0);
}

QString TMainForm::currentPrinter() const
{
    return cbbPrinter->currentIndex() >= 0 ? cbbPrinter->currentText() : QString();
}

void TMainForm::cbbPrinterChange()
{
    handle([this] {
        const TemplateLayout layout = currentLayouts().read(currentSection(), currentPrinter());
        edtPLeft->setText(QString::number(layout.leftOffsetMm));
        edtPTop->setText(QString::number(layout.topOffsetMm));
        rzstspn3->setText(QStringLiteral("整体位置偏移现在按打印机“%1”").arg(currentPrinter()));
        rememberChoice();
    });
}

bool TMainForm::printCalibrationSheet(QString &printerName)
{
    if (!m_calibrationSheet) m_calibrationSheet = std::make_unique<frx::TfrxReport>();
    frx::TfrxReport &sheet = *m_calibrationSheet;
    const CardState state = printState();
    calibration::buildSheet(sheet, state);
    setUpPrinter(sheet, state);
    sheet.PrintOptions.ShowDialog = true;
    if (!sheet.Print()) return false;
    printerName = frx::frxPrinters()->Current()->Name();
    return true;
}

void TMainForm::addCalibration(const QString &printerName, OffsetsMm move)
{
    const int index = cbbPrinter->findText(printerName, Qt::MatchFixedString);
    if (index >= 0 && index != cbbPrinter->currentIndex()) {
        cbbPrinter->setCurrentIndex(index);
        cbbPrinterChange();
    }
    const OffsetsMm offsets{edtPLeft->value() + move.left, edtPTop->value() + move.top};
    edtPLeft->setText(QString::number(offsets.left));
    edtPTop->setText(QString::number(offsets.top));
    currentLayouts().savePrinterOffsets(currentSection(), currentPrinter(), offsets);
    rzstspn3->setText(QStringLiteral("已保存打印机“%1”的整体位置偏移：左 %2 毫米，上 %3 毫米")
                          .arg(currentPrinter())
                          .arg(offsets.left)
                          .arg(offsets.top));
}

void TMainForm::btnCalibrateClick()
{
    handle([this] {
        if (!commitGuestEdit()) return;
        QString printerName;
        if (!printCalibrationSheet(printerName)) return;
        CalibrationDialog dialog(printerName, this);
        if (dialog.exec() != QDialog::Accepted) return;
        addCalibration(printerName, dialog.move());
    });
}
