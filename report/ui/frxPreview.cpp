// The preview window: toolbar, status bar, right-click menu, the options that set them up, and the
// handlers of its controls.
#include "report/ui/frxPreview.h"

#include "platform/ui/errorguard.h"
#include "platform/errors.h"
#include "report/engine/frxEngine.h"
#include "report/base/frxRes.h"
#include "report/base/frxUtils.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScopeGuard>
#include <QScreen>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QWheelEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace frx {

namespace {

constexpr int kZoomPageWidthIndex = 6;
constexpr int kZoomWholePageIndex = 7;

bool hasDrillDown(TfrxReport *report)
{
    if (!report) return false;
    for (TfrxComponent *object : report->AllObjects())
        if (auto *header = dynamic_cast<TfrxGroupHeader *>(object); header && header->DrillDown) return true;
    return false;
}

// A small pre-printed card: red with a gold frame, for the button that shows the paper's picture.
QIcon paperBackgroundIcon()
{
    QPixmap icon(16, 16);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setPen(QColor(0x80, 0x10, 0x10));
    painter.setBrush(QColor(0xB2, 0x1B, 0x1B));
    painter.drawRect(2, 1, 11, 13);
    painter.setPen(QColor(0xE3, 0xB4, 0x4B));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(4, 3, 7, 9);
    return QIcon(icon);
}

} // namespace

TfrxPreviewForm::TfrxPreviewForm(QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
{
    FormCreate();
}

TfrxPreviewForm::~TfrxPreviewForm() = default;

QToolButton *TfrxPreviewForm::AddButton(const char *name, int image, int caption, int hint,
                                        void (TfrxPreviewForm::*handler)())
{
    auto *button = new QToolButton(ToolBar);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(frxPreviewButtonImages().value(image));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    if (caption) button->setText(frxGet(caption));
    if (hint) button->setToolTip(frxGet(hint));
    if (handler)
        connect(button, &QToolButton::clicked, this,
                [this, handler] { platform::guard(this, [this, handler] { (this->*handler)(); }); });
    m_actions.insert(button, ToolBar->addWidget(button));
    return button;
}

void TfrxPreviewForm::FormCreate()
{
    setObjectName(QStringLiteral("TfrxPreviewForm"));
    resize(803, 584);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setWindowTitle(frxGet(100));
    setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    layout->addWidget(ToolBar);

    PrintB = AddButton("PrintB", 2, 101, 102, &TfrxPreviewForm::PrintBClick);
    // The button prints at once as the report's options say; its menu asks first, for the printer,
    // the pages, the copies or a file.
    auto *printMenu = new QMenu(PrintB);
    printMenu->setObjectName(QStringLiteral("PrintMenu"));
    QAction *printWithDialog = printMenu->addAction(QStringLiteral("选择打印机、页码和份数后打印..."));
    printWithDialog->setObjectName(QStringLiteral("PrintDialogMI"));
    connect(printWithDialog, &QAction::triggered, this, [this] {
        platform::guard(this, [this] {
            // The print dialog for this run whatever the report's ShowDialog says.
            bool *showDialog = m_report ? &m_report->PrintOptions.ShowDialog : nullptr;
            const bool before = showDialog && *showDialog;
            if (showDialog) *showDialog = true;
            const auto restore = qScopeGuard([showDialog, before] {
                if (showDialog) *showDialog = before;
            });
            PrintBClick();
        });
    });
    PrintB->setMenu(printMenu);
    PrintB->setPopupMode(QToolButton::MenuButtonPopup);
    OpenB = AddButton("OpenB", 0, 103, 104, &TfrxPreviewForm::OpenBClick);
    SaveB = AddButton("SaveB", 1, 105, 106, &TfrxPreviewForm::SaveBClick);
    ExportB = AddButton("ExportB", 3, 107, 108, nullptr);
    ExportPopup = new QMenu(ExportB);
    ExportPopup->setObjectName(QStringLiteral("ExportPopup"));
    ExportB->setMenu(ExportPopup);
    ExportB->setPopupMode(QToolButton::InstantPopup);
    // Our PDF writer is the one export there is; the menu lists it as the filter list would.
    QAction *exportPdf = ExportPopup->addAction(QStringLiteral("PDF文件..."));
    exportPdf->setObjectName(QStringLiteral("ExportPdfMI"));
    connect(exportPdf, &QAction::triggered, this,
            [this] { platform::guard(this, [this] { PdfBClick(); }); });
    PdfB = AddButton("PdfB", 24, 0, 151, &TfrxPreviewForm::PdfBClick);
    PdfB->setText(QStringLiteral("导出PDF"));
    EmailB = AddButton("EmailB", 23, 0, 152, nullptr);
    SetShown(PdfB, false);
    SetShown(EmailB, false);
    FindB = AddButton("FindB", 4, 109, 110, &TfrxPreviewForm::FindBClick);
    Sep1 = ToolBar->addSeparator();
    Sep1->setObjectName(QStringLiteral("Sep1"));
    ZoomPlusB = AddButton("ZoomPlusB", 15, 124, 125, &TfrxPreviewForm::ZoomPlusBClick);

    Sep3 = new QWidget(ToolBar);
    Sep3->setObjectName(QStringLiteral("Sep3"));
    auto *zoomLayout = new QHBoxLayout(Sep3);
    zoomLayout->setContentsMargins(2, 0, 2, 0);
    ZoomCB = new QComboBox(Sep3);
    ZoomCB->setObjectName(QStringLiteral("ZoomCB"));
    ZoomCB->setEditable(true);
    ZoomCB->setInsertPolicy(QComboBox::NoInsert);
    ZoomCB->setToolTip(frxGet(119));
    ZoomCB->addItems({QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("75%"),
                      QStringLiteral("100%"), QStringLiteral("150%"), QStringLiteral("200%"),
                      frxGet(QStringLiteral("zmPageWidth")), frxGet(QStringLiteral("zmWholePage"))});
    ZoomCB->setEditText(QStringLiteral("100%"));
    ZoomCB->setMinimumContentsLength(6);
    zoomLayout->addWidget(ZoomCB);
    Sep3->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(ZoomCB, &QComboBox::activated, this,
            [this] { platform::guard(this, [this] { ZoomCBClick(); }); });
    connect(ZoomCB->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { platform::guard(this, [this] { ZoomCBClick(); }); });
    m_actions.insert(Sep3, ToolBar->addWidget(Sep3));

    ZoomMinusB = AddButton("ZoomMinusB", 16, 126, 127, &TfrxPreviewForm::ZoomMinusBClick);
    FullScreenBtn = AddButton("FullScreenBtn", 22, 0, 150, &TfrxPreviewForm::FullScreenBtnClick);
    FullScreenBtn->setText(frxGet(150));
    Sep2 = ToolBar->addSeparator();
    Sep2->setObjectName(QStringLiteral("Sep2"));
    OutlineB = AddButton("OutlineB", 12, 128, 129, &TfrxPreviewForm::OutlineBClick);
    OutlineB->setCheckable(true);
    ThumbB = AddButton("ThumbB", 5, 130, 131, &TfrxPreviewForm::ThumbBClick);
    ThumbB->setCheckable(true);
    BackgroundB = AddButton("BackgroundB", 5, 0, 0, &TfrxPreviewForm::BackgroundBClick);
    BackgroundB->setIcon(paperBackgroundIcon());
    BackgroundB->setText(frxGet(QStringLiteral("clPaperBackground")));
    BackgroundB->setToolTip(frxGet(QStringLiteral("clPaperBackgroundHint")));
    BackgroundB->setCheckable(true);
    BackgroundB->setChecked(true);
    SetShown(BackgroundB, false);
    PageSettingsB = AddButton("PageSettingsB", 7, 120, 121, &TfrxPreviewForm::PageSettingsBClick);
    DesignerB = AddButton("DesignerB", 21, 132, 133, &TfrxPreviewForm::DesignerBClick);
    HiddenMenu = new QMenu(this);
    HiddenMenu->setObjectName(QStringLiteral("HiddenMenu"));
    Showtemplate1 = HiddenMenu->addAction(QStringLiteral("Show template"));
    Showtemplate1->setObjectName(QStringLiteral("Showtemplate1"));
    DesignerB->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DesignerB, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { HiddenMenu->popup(DesignerB->mapToGlobal(at)); });
    Sep5 = ToolBar->addSeparator();
    Sep5->setObjectName(QStringLiteral("Sep5"));
    FirstB = AddButton("FirstB", 8, 134, 135, &TfrxPreviewForm::FirstBClick);
    PriorB = AddButton("PriorB", 9, 136, 137, &TfrxPreviewForm::PriorBClick);

    Sep4 = new QWidget(ToolBar);
    Sep4->setObjectName(QStringLiteral("Sep4"));
    auto *pageLayout = new QHBoxLayout(Sep4);
    pageLayout->setContentsMargins(2, 0, 2, 0);
    PageE = new QLineEdit(QStringLiteral("1"), Sep4);
    PageE->setObjectName(QStringLiteral("PageE"));
    PageE->setToolTip(frxGet(142));
    PageE->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), PageE));
    PageE->setAlignment(Qt::AlignCenter);
    PageE->setFixedWidth(48);
    pageLayout->addWidget(PageE);
    Sep4->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(PageE, &QLineEdit::returnPressed, this,
            [this] { platform::guard(this, [this] { PageEClick(); }); });
    m_actions.insert(Sep4, ToolBar->addWidget(Sep4));

    NextB = AddButton("NextB", 10, 138, 139, &TfrxPreviewForm::NextBClick);
    LastB = AddButton("LastB", 11, 140, 141, &TfrxPreviewForm::LastBClick);
    frTBPanel1 = new QWidget(ToolBar);
    frTBPanel1->setObjectName(QStringLiteral("frTBPanel1"));
    frTBPanel1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_actions.insert(frTBPanel1, ToolBar->addWidget(frTBPanel1));
    CancelB = new QPushButton(frxGet(QStringLiteral("clClose")), ToolBar);
    CancelB->setObjectName(QStringLiteral("CancelB"));
    CancelB->setFlat(true);
    CancelB->setAutoDefault(false);
    CancelB->setFocusPolicy(Qt::NoFocus);
    CancelB->setMinimumSize(68, 23);
    connect(CancelB, &QPushButton::clicked, this,
            [this] { platform::guard(this, [this] { CancelBClick(); }); });
    m_actions.insert(CancelB, ToolBar->addWidget(CancelB));

    Preview = new TfrxPreview(this);
    layout->addWidget(Preview, 1);
    Preview->OnPageChanged = [this](TfrxPreview *, int pageNo) { ShowPageInfo(pageNo); };
    Preview->OnDblClick = [this] {
        if (m_fullScreen) ToggleFullScreen();
    };
    Preview->OnZoomChanged = [this](Extended) { UpdateZoomText(); };
    Preview->OnStateChanged = [this] { EnableControls(); };
    Preview->OnStatusText = [this](int index, const QString &text) {
        StatusPanels[index == 0 ? 1 : 2]->setText(text);
    };

    JobCheckE = new QPlainTextEdit(this);
    JobCheckE->setObjectName(QStringLiteral("JobCheckE"));
    JobCheckE->setReadOnly(true);
    JobCheckE->setMaximumHeight(5 * JobCheckE->fontMetrics().lineSpacing() + 8);
    QPalette warning = JobCheckE->palette();
    warning.setColor(QPalette::Text, QColor(0xC0, 0x00, 0x00));
    JobCheckE->setPalette(warning);
    JobCheckE->hide();
    layout->addWidget(JobCheckE);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(StatusBar);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        StatusPanels[i]->setTextFormat(Qt::PlainText);
        StatusPanels[i]->setContentsMargins(4, 0, 4, 0);
    }
    // The panels keep fixed sizes: a new text then repaints its panel only, not the whole bar laid
    // out again, which matters for the engine's message at every page.
    for (QLabel *panel : StatusPanels)
        panel->setFixedSize(0, panel->sizeHint().height());
    StatusPanels[0]->setFixedWidth(200);
    StatusBar->addWidget(StatusPanels[0]);
    StatusBar->addWidget(StatusPanels[1], 1);
    StatusBar->addWidget(StatusPanels[2], 1);
    if (screen() && screen()->logicalDotsPerInch() > 96) StatusBar->setFixedHeight(24);
    layout->addWidget(StatusBar);

    RightMenu = new QMenu(this);
    RightMenu->setObjectName(QStringLiteral("RightMenu"));
    CollapseMI = RightMenu->addAction(frxPreviewButtonImages().value(13), frxGet(601));
    CollapseMI->setObjectName(QStringLiteral("CollapseMI"));
    connect(CollapseMI, &QAction::triggered, this,
            [this] { platform::guard(this, [this] { CollapseAllClick(); }); });
    ExpandMI = RightMenu->addAction(frxPreviewButtonImages().value(14), frxGet(600));
    ExpandMI->setObjectName(QStringLiteral("ExpandMI"));
    connect(ExpandMI, &QAction::triggered, this,
            [this] { platform::guard(this, [this] { ExpandAllClick(); }); });
    N1 = RightMenu->addSeparator();
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { RightMenu->popup(mapToGlobal(at)); });

    Preview->Workspace->setFocus();
    Preview->Workspace->installEventFilter(this);
    // The wheel over the bars moves the pages as it does over them.
    ToolBar->installEventFilter(this);
    StatusBar->installEventFilter(this);
    ShowPageInfo(1);
    EnableControls();
}

void TfrxPreviewForm::SetShown(QObject *control, bool shown)
{
    if (auto *action = qobject_cast<QAction *>(control))
        action->setVisible(shown);
    else if (QAction *action = m_actions.value(control))
        action->setVisible(shown);
}

bool TfrxPreviewForm::ControlShown(QObject *control) const
{
    if (auto *action = qobject_cast<QAction *>(control)) return action->isVisible();
    const QAction *action = m_actions.value(control);
    return action && action->isVisible();
}

void TfrxPreviewForm::ConfigureFromOptions(TfrxReport *report)
{
    m_report = report;
    Preview->InitFromReport(report);
    const TfrxPreviewOptions &options = report->PreviewOptions;
    if (options.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
    Preview->ZoomTo(options.Zoom);
    Preview->SetZoomMode(options.ZoomMode);
    DesignerB->setEnabled(options.AllowEdit);

    const TfrxPreviewButtons b = options.Buttons;
    SetShown(PrintB, b & pbPrint);
    SetShown(OpenB, b & pbLoad);
    SetShown(SaveB, b & pbSave);
    SetShown(ExportB, b & pbExport);
    SetShown(PdfB, b & pbExportQuick);
    SetShown(EmailB, false);
    SetShown(FindB, b & pbFind);
    SetShown(ZoomPlusB, b & pbZoom);
    SetShown(ZoomMinusB, b & pbZoom);
    SetShown(Sep3, b & pbZoom);
    SetShown(FullScreenBtn, (b & pbZoom) && !(b & pbNoFullScreen));
    SetShown(Sep1, b & pbZoom);
    SetShown(OutlineB, b & pbOutline);
    SetShown(ThumbB, b & pbOutline);
    SetShown(BackgroundB, Preview->HasPreviewBackground());
    SetShown(PageSettingsB, b & pbPageSetup);
    // There is no report designer to open: the edit button (and its "Show template" menu) would do
    // nothing, so it stays hidden whatever the buttons ask.
    SetShown(DesignerB, false);
    SetShown(Sep2, b & pbPageSetup);
    for (QObject *control :
         {static_cast<QObject *>(FirstB), static_cast<QObject *>(PriorB), static_cast<QObject *>(NextB),
          static_cast<QObject *>(LastB), static_cast<QObject *>(Sep4), static_cast<QObject *>(Sep5)})
        SetShown(control, b & pbNavigator);
    SetShown(CancelB, !(b & pbNoClose));

    setWindowTitle(report->ReportOptions.Name.isEmpty() ? frxGet(100) : report->ReportOptions.Name);
    ToolBar->setToolButtonStyle(options.ShowCaptions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    BuildRightMenu();
    setLayoutDirection(options.RightToLeftPreview ? Qt::RightToLeft : Qt::LeftToRight);
    EnableControls();
    ShowPageInfo(Preview->PageNo());
}

void TfrxPreviewForm::BuildRightMenu()
{
    const QList<QAction *> existing = RightMenu->actions();
    for (qsizetype i = existing.indexOf(N1) + 1; i < existing.size(); ++i) {
        RightMenu->removeAction(existing[i]);
        delete existing[i];
    }
    m_menuItems.clear();
    int separators = 0;
    for (QAction *action : ToolBar->actions()) {
        if (action->isSeparator()) {
            if (++separators == 2) break;
            if (action->isVisible()) RightMenu->addSeparator();
            continue;
        }
        auto *button = qobject_cast<QToolButton *>(ToolBar->widgetForAction(action));
        if (!button || !action->isVisible() || button->isCheckable() || button->toolTip().isEmpty()) continue;
        QAction *item = nullptr;
        if (button->menu()) {
            QMenu *sub = RightMenu->addMenu(button->icon(), button->toolTip());
            for (QAction *entry : button->menu()->actions())
                sub->addAction(entry);
            item = sub->menuAction();
        } else {
            item = RightMenu->addAction(button->icon(), button->toolTip(), button, &QToolButton::click);
        }
        item->setEnabled(button->isEnabled());
        m_menuItems.insert(button, item);
    }
}

void TfrxPreviewForm::EnableControls()
{
    const bool working = Preview->Working();
    const bool pages = Preview->PageCount() > 0;
    const bool ready = !working && pages;
    auto enable = [this](QWidget *control, bool enabled) {
        control->setEnabled(enabled);
        if (auto *button = qobject_cast<QToolButton *>(control); enabled && button && !button->isCheckable())
            button->setDown(false);
        if (QAction *item = m_menuItems.value(control)) item->setEnabled(enabled);
    };
    for (QWidget *control : {PrintB, OpenB, SaveB, ExportB, PdfB, EmailB, FindB, PageSettingsB})
        enable(control, ready);
    enable(DesignerB, ready && (!m_report || m_report->PreviewOptions.AllowEdit));
    // Without pages there is nothing to zoom, page through or lay out.
    for (QWidget *control :
         {static_cast<QWidget *>(ZoomPlusB), static_cast<QWidget *>(ZoomCB),
          static_cast<QWidget *>(ZoomMinusB), static_cast<QWidget *>(FullScreenBtn),
          static_cast<QWidget *>(OutlineB), static_cast<QWidget *>(ThumbB),
          static_cast<QWidget *>(BackgroundB), static_cast<QWidget *>(FirstB),
          static_cast<QWidget *>(PriorB), static_cast<QWidget *>(PageE), static_cast<QWidget *>(NextB),
          static_cast<QWidget *>(LastB)})
        enable(control, pages);
    const bool drillDown = !working && hasDrillDown(m_report);
    ExpandMI->setVisible(drillDown);
    CollapseMI->setVisible(drillDown);
    N1->setVisible(drillDown);
    OutlineB->setChecked(Preview->OutlineVisible());
    ThumbB->setChecked(Preview->ThumbnailVisible());
    BackgroundB->setChecked(Preview->PreviewBackgroundVisible());
    CancelB->setText(frxGet(working ? QStringLiteral("clCancel") : QStringLiteral("clClose")));
    if (!working) StatusPanels[1]->clear();
    if (working) m_jobChecked = false;
    // Once the pages are ready the whole job is checked, not only the page on screen.
    if (!working && pages && !m_jobChecked) {
        m_jobChecked = true;
        const QString findings = m_report && m_report->OnCheckJob ? m_report->OnCheckJob() : QString();
        JobCheckE->setPlainText(findings);
        JobCheckE->setVisible(!findings.isEmpty());
    }
    ShowPageInfo(Preview->PageNo());
}

void TfrxPreviewForm::ShowPageInfo(int pageNo)
{
    const int count = Preview->PageCount();
    const int shown = count == 0 ? 0 : pageNo;
    TfrxReport *report = Preview->Report();
    if (Preview->Working() && report && !report->Engine()->FinalPass()) {
        StatusPanels[0]->setText(frxGet(QStringLiteral("clFirstPass")) + u' ' + QString::number(count));
    } else {
        QString text = frxGet(QStringLiteral("clPageOf"));
        const qsizetype first = text.indexOf(QStringLiteral("%d"));
        if (first >= 0) text.replace(first, 2, QString::number(shown));
        const qsizetype second = text.indexOf(QStringLiteral("%d"));
        if (second >= 0) text.replace(second, 2, QString::number(count));
        StatusPanels[0]->setText(text);
    }
    PageE->setText(QString::number(shown));
    // A text that does not fit its object is clipped on paper: say so before anyone prints.
    const int overflows = Preview->OverflowCount();
    if (overflows > 0) {
        QString note = frxGet(QStringLiteral("clTextOverflow"));
        note.replace(QStringLiteral("%d"), QString::number(overflows));
        StatusPanels[1]->setText(note);
    } else if (m_overflowNoted) {
        StatusPanels[1]->clear();
    }
    m_overflowNoted = overflows > 0;
}

void TfrxPreviewForm::ShowMessage(const QString &text)
{
    if (!text.isEmpty() || !StatusPanels[2]->text().isEmpty())
        StatusPanels[2]->setText(text);
    else
        StatusPanels[1]->setText(text);
}

void TfrxPreviewForm::UpdateZoomText()
{
    ZoomCB->setEditText(QString::number(roundHalfEven(Preview->Zoom() * 100)) + u'%');
}

void TfrxPreviewForm::ToggleFullScreen()
{
    if (!m_fullScreen) {
        m_savedState = windowState();
        ToolBar->hide();
        StatusBar->hide();
        setWindowState(Qt::WindowFullScreen);
        m_fullScreen = true;
    } else {
        setWindowState(m_savedState);
        ToolBar->show();
        StatusBar->show();
        m_fullScreen = false;
    }
}

// ---- handlers ----

void TfrxPreviewForm::PrintBClick()
{
    Preview->PrintPages();
    setEnabled(true);
}


void TfrxPreviewForm::OpenBClick()
{
    Preview->OpenAs();
    if (m_report)
        setWindowTitle(m_report->ReportOptions.Name.isEmpty() ? frxGet(100) : m_report->ReportOptions.Name);
}

void TfrxPreviewForm::SaveBClick()
{
    Preview->SaveAs();
}

void TfrxPreviewForm::PdfBClick()
{
    Preview->ExportPdf();
    setEnabled(true);
}

void TfrxPreviewForm::FindBClick()
{
    Preview->FindText();
}

void TfrxPreviewForm::ZoomPlusBClick()
{
    Preview->ZoomTo(Preview->Zoom() + 0.25L);
}

void TfrxPreviewForm::ZoomMinusBClick()
{
    Preview->ZoomTo(Preview->Zoom() - 0.25L);
}

void TfrxPreviewForm::ZoomCBClick()
{
    const QString text = ZoomCB->currentText();
    if (text == ZoomCB->itemText(kZoomPageWidthIndex)) {
        Preview->SetZoomMode(zmPageWidth);
    } else if (text == ZoomCB->itemText(kZoomWholePageIndex)) {
        Preview->SetZoomMode(zmWholePage);
    } else {
        QString number = text;
        number.replace(u'%', u' ').remove(u' ');
        if (!number.isEmpty()) {
            const std::optional<Extended> value = textToFloat(number);
            if (!value) {
                UpdateZoomText();
                throw platform::ConvertError(
                    QStringLiteral("'%1' is not a valid floating point value").arg(number));
            }
            Preview->ZoomTo(*value / 100);
        }
    }
    UpdateZoomText();
}

void TfrxPreviewForm::OutlineBClick()
{
    Preview->SetOutlineVisible(OutlineB->isChecked());
}

void TfrxPreviewForm::ThumbBClick()
{
    Preview->SetThumbnailVisible(ThumbB->isChecked());
}

void TfrxPreviewForm::BackgroundBClick()
{
    Preview->SetPreviewBackgroundVisible(BackgroundB->isChecked());
}

void TfrxPreviewForm::PageSettingsBClick()
{
    Preview->EditPageSettings();
}

void TfrxPreviewForm::PageEClick()
{
    // An empty field leaves the page as it is.
    if (PageE->text().isEmpty()) return;
    Preview->ShowPage(PageE->text().toInt());
}

void TfrxPreviewForm::CancelBClick()
{
    if (Preview->Working())
        Preview->CancelPreparation();
    else
        close();
}

void TfrxPreviewForm::reject()
{
    if (Preview->Working()) return;
    QDialog::reject();
}

void TfrxPreviewForm::keyPressEvent(QKeyEvent *event)
{
    bool used = true;
    platform::guard(this, [&] {
        if (event->key() == Qt::Key_Escape)
            CancelBClick();
        else if (event->key() == Qt::Key_F11)
            ToggleFullScreen();
        else
            used = Preview->KeyDown(event->key(), event->modifiers());
    });
    if (!used) QDialog::keyPressEvent(event);
}

bool TfrxPreviewForm::eventFilter(QObject *watched, QEvent *event)
{
    // Key preview: Escape and F11 act on the window wherever the focus is.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_F11) {
            keyPressEvent(key);
            return true;
        }
    }
    if (event->type() == QEvent::Wheel && (watched == ToolBar || watched == StatusBar)) {
        wheelEvent(static_cast<QWheelEvent *>(event));
        return event->isAccepted();
    }
    return QDialog::eventFilter(watched, event);
}

void TfrxPreviewForm::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        QDialog::wheelEvent(event);
        return;
    }
    Preview->MouseWheel(delta > 0, event->modifiers() & Qt::ControlModifier);
    event->accept();
}

void TfrxPreviewForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    // What the bar needs besides its panels (margins, spacing, the size grip) stays free, so that
    // the panels never widen the window.
    int panels = 0;
    for (const QLabel *panel : StatusPanels)
        panels += panel->minimumWidth();
    const int besides = StatusBar->minimumSizeHint().width() - panels;
    const int half = std::max(0, width() - StatusPanels[0]->minimumWidth() - besides) / 2;
    StatusPanels[1]->setFixedWidth(half);
    StatusPanels[2]->setFixedWidth(half);
}

void TfrxPreviewForm::closeEvent(QCloseEvent *event)
{
    if (Preview->Working()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace frx
