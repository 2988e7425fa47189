// The print dialog: the printer, print to file, the pages, copies and collation, the print mode
// with its sheet, odd/even pages, order and duplex. On OK it has written its choices into the
// report's PrintOptions; the duplex choice is read from the dialog.
#pragma once

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace frx {

class TfrxReport;

class TfrxPrintDialog : public QDialog {
    Q_OBJECT
public:
    // Builds the dialog for report (not owned) with the printer list (FormCreate); the printer
    // current now is restored when the dialog is cancelled. currentPage is the 1-based number of
    // the page shown in the preview, used by "current page".
    explicit TfrxPrintDialog(TfrxReport *report, int currentPage = 1, QWidget *parent = nullptr);

    // 0 = as each page says, else 1 vertical, 2 horizontal, 3 simplex.
    int Duplex() const { return m_duplex; }

    // Shows the dialog modally over the active window for a print run of report; the duplex choice
    // on OK, nothing when cancelled.
    static std::optional<int> Run(TfrxReport &report, int currentPageNo);

    QPushButton *OkB;
    QPushButton *CancelB;
    QGroupBox *Label12;
    QLabel *NameL;
    QComboBox *PrintersCB;
    QPushButton *PropButton;
    QLabel *WhereL;
    QLabel *WhereL1;
    QCheckBox *FileCB;
    QGroupBox *Label1;
    QRadioButton *AllRB;
    QRadioButton *CurPageRB;
    QRadioButton *PageNumbersRB;
    QLineEdit *PageNumbersE;
    QLabel *DescrL;
    QGroupBox *Label2;
    QLabel *CopiesL;
    // The copies field with its up-down arrows (the up-down control of the form), 1 at least.
    QSpinBox *CopiesE;
    QCheckBox *CollateCB;
    QWidget *CopiesPB;
    QGroupBox *ScaleGB;
    QComboBox *PrintModeCB;
    QLabel *PagSizeL;
    QComboBox *PagPageSizeCB;
    QGroupBox *OtherGB;
    QLabel *PrintL;
    QComboBox *PrintPagesCB;
    QLabel *OrderL;
    QComboBox *OrderCB;
    QLabel *DuplexL;
    QComboBox *DuplexCB;
    QFileDialog *FileDlg;
    // Asks for the file to print to: FileDlg by default; nothing when cancelled. Replaceable, so that
    // the choice can be made without the file dialog's file system model (tests).
    std::function<std::optional<QString>()> AskPrintFile;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void FormShow();
    // False when the dialog must stay open (a bad page range, print to file cancelled).
    bool FormHideOk();
    void PrintersCBClick();
    void PropButtonClick();
    void PageNumbersRBClick();
    void CollateCBClick();
    void PrintModeCBClick();
    void SelectSheet(int paperCode);

    TfrxReport *m_report;
    int m_currentPage;
    int m_oldPrinterIndex = -1;
    int m_duplex = 0;
};

} // namespace frx
