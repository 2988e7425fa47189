// The main window: toolbar, card canvas with the template picture and the seventeen text items,
// template list, guest list, card size and offset controls. It owns the layout table and the guest
// list for the whole run. Every event handler runs inside the application's error guard.
#pragma once

#include "app/model/cardprinter.h"
#include "app/model/cardtemplates.h"
#include "app/model/gueststore.h"
#include "app/model/layoutprofile.h"
#include "app/model/layoutstore.h"

#include "platform/appdir.h"

#include <QFont>
#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class CardLabel;
class DataGrid;
class QAction;
class QComboBox;
class QFontDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolButton;
class QWindow;
class ScrollBox;
class SpinEdit;
class Tfrm_tmp;

class TMainForm : public QWidget {
    Q_OBJECT
public:
    // folders tells where the data files (pictures, layout profile, card report) are read from and
    // where the guest store, the user's layouts and the event details are written.
    explicit TMainForm(const platform::AppFolders &folders, QWidget *parent = nullptr);
    ~TMainForm() override;

    // The user's files, by name, in the folder the window writes into.
    static QString guestStoreFileName() { return QStringLiteral("tovaro.db"); }
    static QString userLayoutFileName() { return QStringLiteral("userlayout.ini"); }
    static QString detailsFileName() { return QStringLiteral("eventdetails.ini"); }
    static QString lastChoiceFileName() { return QStringLiteral("lastchoice.ini"); }
    // The folder of the user's own templates, one folder each.
    static QString userTemplatesFolderName() { return QStringLiteral("templates"); }

    // The event details dialog the window reads its texts from; not owned. It gets the details
    // confirmed at the last run.
    void setDetailsDialog(Tfrm_tmp *dialog);
    // The print job the print buttons run instead of the window's own card report job; not owned.
    void setCardPrinter(CardPrinter *printer) { m_printer = printer ? printer : m_cardReport.get(); }
    // The window's own print job, with the card report frxrprt1 and its data set frxdbdtst1.
    CardReportPrinter &cardReportPrinter() { return *m_cardReport; }

    // The template list's position: 0, 1 vertical layout; 2, 3 horizontal; -1 after typing.
    int templatePosition() const;
    bool isVerticalLayout() const;
    bool isHorizontalLayout() const;
    // The template at the list's position; none after typing.
    std::optional<CardTemplate> currentTemplate() const;
    // The layout section of the current template and the store that holds it.
    QString currentSection() const;
    LayoutStore currentLayouts() const;
    // The templates of the list, in its order: the shipped ones, then the user's.
    const QList<CardTemplate> &templates() const { return m_templates; }
    UserTemplateStore &userTemplates() { return m_userTemplates; }

    const LayoutTable &layoutTable() const { return m_para; }
    GuestStore &guests() { return m_guests; }
    CardState cardState() const;
    // The card state a print job gets: with the template picture for its preview.
    CardState printState() const;
    CardLabel *item(int n) const { return qj.at(static_cast<size_t>(n)); }
    // The font the font dialog opens with: the last one chosen in it.
    QFont fontDialogFont() const { return m_dialogFont; }

    // Event handlers.
    void FormActivate();
    void cbb1Change();
    void btn1Click();
    void btnprintClick();
    void btnPrintBtnClick();
    void btnSaveLayoutClick();
    void btnCalibrateClick();
    void cbbPrinterChange();
    void btnRestoreLayoutClick();
    void btnNewTemplateClick();
    void btnRenameTemplateClick();
    void btnDeleteTemplateClick();
    void btnExportTemplateClick();
    void btnImportTemplateClick();
    void btnPrintSelectedClick();
    void btnImportClick();
    void btnExportClick();
    void edtPWidthChange();
    void edtPHeightChange();
    void edtPLeftChange();
    void edtPTopChange();
    void qj0MouseDown(CardLabel *Sender, Qt::MouseButton Button, bool DoubleClick, int X, int Y);
    void qj0MouseMove(CardLabel *Sender, int X, int Y);
    void qj0MouseUp(CardLabel *Sender, int X, int Y);
    void btnMyAddClick();
    void btnMyDelClick();
    void btnMyDelAllClick();
    void dbgrd1CellClick();
    void dbgrd1DrawColumnCell(QPainter *painter, const QRect &cell, int row, const QString &columnTitle);

    // The template switch: picture, texts, layout profile, card size, placement of the items.
    void textinit();
    // Puts the event details and the current guest's name on the items, by the layout.
    void readtext();
    // Sizes the picture to the card size in the spin edits.
    void ImagesizeChange();
    // Gives the items the picture's pixels per card millimetre, so that their texts stand on the
    // picture as they print on the card.
    void updateCardScale();
    // Puts the current guest's name on item 0, however the guest became current.
    void showCurrentGuest();
    // Checks, once the current event has been handled, which items' texts overflow their printed
    // text objects: those are outlined in red and named in the status bar.
    void scheduleOverflowCheck();
    void checkOverflow();
    // The printer whose offsets are in force (chosen in cbbPrinter); empty without printers.
    QString currentPrinter() const;
    // Prints the calibration sheet of the card as it stands; true when it was printed, with the
    // printer it went to in printerName.
    bool printCalibrationSheet(QString &printerName);
    // Adds move to the offsets of printerName (which becomes the printer in force) and stores them.
    void addCalibration(const QString &printerName, OffsetsMm move);
    // The name of item n (0..16) as the user knows it ("地点").
    static QString itemTitle(int n);

    // Makes a template from the card picture at path through the new-template dialog; true when
    // one was made (it is then the current template).
    bool newTemplateFromFile(const QString &path);
    // Imports the template file at path and makes it the current template.
    void importTemplateFile(const QString &path);
    // Fills the template list anew, keeping the template named current selected when it is there.
    void fillTemplateList(const QString &current = {});
    // Selects the template named name as the user would, with its switch; false when there is none.
    bool selectTemplate(const QString &name);
    // Keeps the current template and printer for the next start.
    void rememberChoice();

    // Reads the guest list file at path, previews it and adds its names as the user chooses.
    void importFile(const QString &path);
    // Previews names from source (a file name, the clipboard) and adds them as the user chooses.
    void importNames(const QStringList &names, const QString &source);
    // Writes the guest list to path as CSV.
    void exportFile(const QString &path);

    // Components, by name.
    QWidget *rztlbr1;
    QToolButton *btn1;
    QToolButton *btnPrintPreviewBtn;
    QToolButton *btnPrintBtn;
    QToolButton *btnSaveLayout;
    QToolButton *btnRestoreLayout;
    QToolButton *btnPrintSelected;
    QToolButton *btnImport;
    QToolButton *btnExport;
    QToolButton *btnCalibrate;
    QComboBox *cbbPrinter; // the printer whose whole-layout offsets are in force
    QStatusBar *rzstsbr1;
    QLabel *rzstspn1;
    QLabel *rzstspn2;
    QLabel *rzstspn3; // notes: texts that overflow their place on the card
    ScrollBox *scrlbx1;
    QLabel *img1;
    std::array<CardLabel *, cardItemCount> qj{};
    QLabel *qj26;
    QComboBox *cbb1;
    QToolButton *btnTemplates; // the template commands: new, rename, delete, export, import
    QAction *actWholeCards;    // checked: print whole cards (picture and texts) on blank card stock
    DataGrid *dbgrd1;
    QLabel *qj25;
    QLineEdit *edtMyName;
    QPushButton *btnMyAdd;
    QPushButton *btnMyDel;
    QPushButton *btnMyDelAll;
    QGroupBox *grp1;
    QLabel *qj19;
    QLabel *qj20;
    QLabel *qj21;
    QLabel *qj22;
    QLabel *qj23;
    QLabel *qj24;
    SpinEdit *edtPWidth;
    SpinEdit *edtPHeight;
    SpinEdit *edtPLeft;
    SpinEdit *edtPTop;
    QFontDialog *dlgFontDiag1;
    QList<QIcon> il1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildToolbar();
    void buildCanvas();
    void buildSidePanel();
    void buildStatusBar();
    void buildPrinterChoice();
    void buildTemplateMenu();
    // Selects the remembered template and printer, at the first activation of a run.
    void restoreLastChoice();
    // The template position a print job gets: the shipped templates' own, a user's template's
    // that of the shipped layout of its direction.
    int layoutPosition() const;
    QString dataOrUserFile(const CardTemplate &templ) const;
    void wire();
    void watchActivation();
    // The items follow the picture's size (updateCardScale) and the guest list's current guest.
    void watchCardScale();
    void followCurrentGuest();
    void onFocusWindowChanged(QWindow *window);
    void runPrint(bool currentGuestOnly);
    // Runs a print job with the guest grid resting: the job walks the cursor through every guest and
    // opens the list again; once it is over, the guest current before is current again (when the
    // list still holds it) and the grid shows its row.
    void withGridResting(const std::function<void()> &job);
    // Commits a name being edited in the guest grid; false when the store refused it (its message
    // is shown), and the action that asked should not go on.
    bool commitGuestEdit();
    // A paste of several lines into the name edit offers each line as a guest.
    void watchNamePaste();
    void placeItem(int n, const para &record);
    int itemNumber(const CardLabel *label) const;
    // The label's canvas millimetres; empty when the picture has no size to divide by.
    std::optional<QPoint> canvasMm(const CardLabel *label) const;
    void handle(const std::function<void()> &handler);

    platform::AppFolders m_folders;
    LayoutStore m_layouts;
    UserTemplateStore m_userTemplates;
    QList<CardTemplate> m_templates;
    Tfrm_tmp *frm_tmp = nullptr;
    CardPrinter *m_printer = nullptr;
    LayoutTable m_para;
    GuestStore m_guests;
    // After the guest list: the report's data set reads its cursor.
    std::unique_ptr<CardReportPrinter> m_cardReport;
    // The calibration sheet's report, built anew for every sheet.
    std::unique_ptr<frx::TfrxReport> m_calibrationSheet;
    QFont m_dialogFont;
    bool m_templateTyped = false;
    bool m_overflowCheckPending = false;
    bool m_centred = false;
    bool m_activatedOnce = false;
    bool m_choiceRestored = false;
    // The window that had the program's focus before the current one (null: another program).
    QPointer<QWindow> m_focusWindow;
    bool m_focusWindowBlocking = false;
};
