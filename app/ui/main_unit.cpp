#include "app/ui/main_unit.h"

#include "app/ui/cardlabel.h"
#include "app/ui/guestgrid.h"
#include "app/ui/scrollbox.h"
#include "app/ui/spinedit.h"
#include "app/ui/tmp.h"
#include "app/ui/toolbaricons.h"

#include "platform/ui/errorguard.h"
#include "platform/fontsubstitution.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStatusBar>
#include <QToolButton>
#include <QWindow>

namespace {

QFont tahoma(int pixelHeight)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelHeight);
    return font;
}

// The picture the canvas shows before the first template switch: a blank red card with a gold
// frame.
QPixmap placeholderPicture()
{
    QPixmap picture(972, 659);
    picture.fill(QColor(0xF6, 0xEE, 0xE3));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card(40, 30, 892, 599);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xB2, 0x1B, 0x1B));
    painter.drawRoundedRect(card, 10, 10);
    painter.setPen(QPen(QColor(0xE3, 0xB4, 0x4B), 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(card.adjusted(16, 16, -16, -16), 6, 6);
    painter.setPen(QPen(QColor(0xE3, 0xB4, 0x4B), 1));
    painter.drawRoundedRect(card.adjusted(24, 24, -24, -24), 4, 4);
    QFont title(QStringLiteral("AR PL UKai CN"));
    title.setPixelSize(120);
    painter.setFont(title);
    painter.setPen(QColor(0xE3, 0xB4, 0x4B));
    painter.drawText(card, Qt::AlignCenter, QStringLiteral("请柬"));
    return picture;
}

struct BuiltInItem {
    const char *caption;
    int left;
    int top;
};

// The items' captions and places before the first template switch, over the placeholder card.
const BuiltInItem builtInItems[cardItemCount] = {
    {"客人姓名", 740, 120}, {"年", 690, 120},     {"农历月", 640, 120}, {"公历月", 640, 260},
    {"农历日", 590, 120},   {"公历日", 590, 260}, {"星期", 540, 120},   {"新郎", 490, 120},
    {"新娘", 490, 260},     {"地点", 440, 120},   {"时间", 390, 120},   {"父亲", 440, 260},
    {"母亲", 390, 260},     {"携", 540, 260},     {"新郎", 340, 120},   {"新娘", 340, 260},
    {"举行", 290, 120}};

} // namespace

TMainForm::TMainForm(const platform::AppFolders &folders, QWidget *parent)
    : QWidget(parent), m_folders(folders),
      m_layouts(folders.dataFile(QStringLiteral("temp.ini")), folders.userFile(userLayoutFileName())),
      m_userTemplates(folders.userFile(userTemplatesFolderName()))
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Tovaro V1.2.1.3"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(837, 608);
    setFont(tahoma(11));

    platform::installFontSubstitutions();
    il1 = toolbarImages();
    m_dialogFont = tahoma(11);
    m_guests.setDatabaseFile(m_folders.userFile(guestStoreFileName()));
    m_cardReport = std::make_unique<CardReportPrinter>(
        QFileInfo(m_folders.dataFile(QStringLiteral("frx.fr3"))).absolutePath());
    m_printer = m_cardReport.get();

    buildToolbar();
    buildCanvas();
    buildSidePanel();
    buildStatusBar();

    dlgFontDiag1 = new QFontDialog(this);
    dlgFontDiag1->setObjectName(QStringLiteral("dlgFontDiag1"));
    dlgFontDiag1->setOption(QFontDialog::DontUseNativeDialog);

    wire();
    watchActivation();
}

TMainForm::~TMainForm()
{
    // The grid observes the guest list's cursor, which goes before the child widgets do.
    delete dbgrd1;
    dbgrd1 = nullptr;
}

void TMainForm::buildToolbar()
{
    rztlbr1 = new QWidget(this);
    rztlbr1->setObjectName(QStringLiteral("rztlbr1"));
    rztlbr1->setGeometry(0, 0, width(), 29);
    rztlbr1->setAutoFillBackground(true);
    const auto button = [this](const char *name, const QString &caption, int left, const QIcon &icon) {
        auto *tool = new QToolButton(rztlbr1);
        tool->setObjectName(QString::fromLatin1(name));
        tool->setText(caption);
        tool->setIcon(icon);
        tool->setIconSize(QSize(16, 16));
        tool->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        tool->setAutoRaise(true);
        tool->setGeometry(left, 2, 76, 25);
        return tool;
    };
    btn1 = button("btn1", QStringLiteral("设置信息"), 4, il1.at(0));
    btnPrintPreviewBtn = button("btnPrintPreviewBtn", QStringLiteral("打印当前"), 80, il1.at(2));
    btnPrintBtn = button("btnPrintBtn", QStringLiteral("打印全部"), 156, il1.at(3));
    btnPrintSelected = button("btnPrintSelected", QStringLiteral("打印选中"), 232, il1.at(6));
    btnImport = button("btnImport", QStringLiteral("导入名单"), 316, il1.at(4));
    btnExport = button("btnExport", QStringLiteral("导出名单"), 392, il1.at(5));
    btnCalibrate = button("btnCalibrate", QStringLiteral("打印校准页"), 468, il1.at(2));
    btnCalibrate->setGeometry(468, 2, 86, 25);
    btnCalibrate->setToolTip(QStringLiteral("印一张校准页，量出打印机的位置偏差，加到整体位置偏移上"));
    buildPrinterChoice();
    // The layout commands stand at the toolbar's right end, apart from the printing ones.
    btnSaveLayout = button("btnSaveLayout", QStringLiteral("保存布局"), width() - 4 - 2 * 76,
                           style()->standardIcon(QStyle::SP_DialogSaveButton));
    btnRestoreLayout = button("btnRestoreLayout", QStringLiteral("恢复默认"), width() - 4 - 76,
                              style()->standardIcon(QStyle::SP_DialogResetButton));
    auto *rule = new QFrame(rztlbr1);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(0, 27, width(), 2);
}

void TMainForm::buildCanvas()
{
    scrlbx1 = new ScrollBox(this);
    scrlbx1->setObjectName(QStringLiteral("scrlbx1"));
    scrlbx1->setGeometry(1, 30, 645, 557);
    scrlbx1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    scrlbx1->setLineWidth(2);
    scrlbx1->client()->setAutoFillBackground(true);

    // The canvas is built unscrolled and then scrolled to its initial position, which leaves the
    // picture at its stored place -348, 3.
    const int initialScroll = 353;
    img1 = new QLabel(scrlbx1->client());
    img1->setObjectName(QStringLiteral("img1"));
    img1->setPixmap(placeholderPicture());
    img1->setScaledContents(true);
    img1->setGeometry(-348 + initialScroll, 3, 972, 659);

    for (int n = 0; n < cardItemCount; ++n) {
        auto *label = new CardLabel(QString::fromUtf8(builtInItems[n].caption), scrlbx1->client());
        label->setObjectName(QStringLiteral("qj%1").arg(n));
        label->move(builtInItems[n].left - 348 + initialScroll, builtInItems[n].top);
        label->setCursor(Qt::SizeAllCursor);
        label->setMouseHandlers(
            [this](CardLabel *l, Qt::MouseButton b, bool dbl, int x, int y) {
                qj0MouseDown(l, b, dbl, x, y);
            },
            [this](CardLabel *l, Qt::MouseButton, int x, int y) { qj0MouseMove(l, x, y); },
            [this](CardLabel *l, Qt::MouseButton, int x, int y) { qj0MouseUp(l, x, y); });
        qj[static_cast<size_t>(n)] = label;
    }
    qj[13]->setCaption(QStringLiteral("携"));
    scrlbx1->updateRange();
    scrlbx1->horizontalScrollBar()->setValue(initialScroll);
}

void TMainForm::buildSidePanel()
{
    qj26 = new QLabel(QStringLiteral("选择模板："), this);
    qj26->setObjectName(QStringLiteral("qj26"));
    qj26->move(656, 37);
    qj26->adjustSize();

    cbb1 = new QComboBox(this);
    cbb1->setObjectName(QStringLiteral("cbb1"));
    cbb1->setEditable(true);
    cbb1->setInsertPolicy(QComboBox::NoInsert);
    cbb1->setCompleter(nullptr);
    fillTemplateList();
    cbb1->setCurrentIndex(-1);
    cbb1->setEditText(QStringLiteral("A4模板"));
    cbb1->setGeometry(740, 29, 89, 21);
    buildTemplateMenu();

    dbgrd1 = new DataGrid(m_guests.cursor(),
                          {GridColumn{QStringLiteral("序号"), 32, QString(), Qt::AlignCenter},
                           GridColumn{QStringLiteral("客人姓名"), 105, GuestStore::nameColumn()}},
                          this);
    dbgrd1->setObjectName(QStringLiteral("dbgrd1"));
    dbgrd1->cursorModel()->setErrorTranslator(
        [this](const platform::DatabaseError &error) { return m_guests.inChinese(error); });
    dbgrd1->setGeometry(652, 56, 177, 346);

    qj25 = new QLabel(QStringLiteral("客人姓名："), this);
    qj25->setObjectName(QStringLiteral("qj25"));
    qj25->move(652, 413);
    qj25->adjustSize();

    edtMyName = new QLineEdit(this);
    edtMyName->setObjectName(QStringLiteral("edtMyName"));
    edtMyName->setMaxLength(8);
    edtMyName->setGeometry(711, 408, 118, 21);

    const auto button = [this](const char *name, const QString &caption, int left) {
        auto *push = new QPushButton(caption, this);
        push->setObjectName(QString::fromLatin1(name));
        push->setGeometry(left, 435, 53, 25);
        return push;
    };
    btnMyAdd = button("btnMyAdd", QStringLiteral("添加"), 652);
    btnMyDel = button("btnMyDel", QStringLiteral("删除"), 714);
    btnMyDelAll = button("btnMyDelAll", QStringLiteral("清空"), 776);

    grp1 = new QGroupBox(QStringLiteral("请柬参数设置（单位毫米）"), this);
    grp1->setObjectName(QStringLiteral("grp1"));
    grp1->setGeometry(652, 466, 177, 121);

    const auto label = [this](const char *name, const QString &caption, int left, int top, bool heading) {
        auto *l = new QLabel(caption, grp1);
        l->setObjectName(QString::fromLatin1(name));
        if (heading) {
            l->setFont(tahoma(12));
            QPalette palette = l->palette();
            palette.setColor(QPalette::WindowText, Qt::red);
            l->setPalette(palette);
        }
        l->move(left, top);
        l->adjustSize();
        return l;
    };
    qj19 = label("qj19", QStringLiteral("请柬尺寸设置"), 54, 19, true);
    qj20 = label("qj20", QStringLiteral("整体位置偏移"), 54, 68, true);
    qj23 = label("qj23", QStringLiteral("宽度"), 8, 43, false);
    qj24 = label("qj24", QStringLiteral("高度"), 94, 43, false);
    qj21 = label("qj21", QStringLiteral("左边距"), 2, 94, false);
    qj22 = label("qj22", QStringLiteral("上边距"), 88, 94, false);

    const auto spin = [this](const char *name, int min, int max, int initial, int left, int top) {
        auto *edit = new SpinEdit(min, max, initial, grp1);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setGeometry(left, top, 42, 21);
        return edit;
    };
    edtPWidth = spin("edtPWidth", 100, 350, 100, 42, 40);
    edtPHeight = spin("edtPHeight", 100, 240, 100, 129, 40);
    edtPLeft = spin("edtPLeft", -1000, 1000, 0, 42, 90);
    edtPTop = spin("edtPTop", -1000, 1000, 0, 129, 90);
}

void TMainForm::buildStatusBar()
{
    rzstsbr1 = new QStatusBar(this);
    rzstsbr1->setObjectName(QStringLiteral("rzstsbr1"));
    rzstsbr1->setSizeGripEnabled(false);
    rzstsbr1->setGeometry(0, height() - 19, width(), 19);
    const auto pane = [this](const char *name, const QString &caption, int paneWidth) {
        auto *label = new QLabel(caption, rzstsbr1);
        label->setObjectName(QString::fromLatin1(name));
        label->setFixedWidth(paneWidth);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setIndent(3);
        rzstsbr1->addWidget(label);
        return label;
    };
    rzstspn1 = pane("rzstspn1", QStringLiteral("当前位置"), 57);
    rzstspn2 = pane("rzstspn2", QString(), 208);
    rzstspn3 = new QLabel(rzstsbr1);
    rzstspn3->setObjectName(QStringLiteral("rzstspn3"));
    rzstspn3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    rzstspn3->setIndent(3);
    rzstsbr1->addWidget(rzstspn3, 1);
}

QString TMainForm::itemTitle(int n)
{
    return n >= 0 && n < cardItemCount ? QString::fromUtf8(builtInItems[n].caption) : QString();
}

void TMainForm::wire()
{
    connect(cbb1, &QComboBox::textActivated, this, [this] {
        m_templateTyped = false;
        cbb1Change();
    });
    connect(cbb1->lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_templateTyped = true;
        cbb1Change();
    });
    connect(btn1, &QToolButton::clicked, this, &TMainForm::btn1Click);
    connect(btnPrintPreviewBtn, &QToolButton::clicked, this, &TMainForm::btnprintClick);
    connect(btnPrintBtn, &QToolButton::clicked, this, &TMainForm::btnPrintBtnClick);
    connect(btnSaveLayout, &QToolButton::clicked, this, &TMainForm::btnSaveLayoutClick);
    connect(btnCalibrate, &QToolButton::clicked, this, &TMainForm::btnCalibrateClick);
    connect(cbbPrinter, &QComboBox::activated, this, &TMainForm::cbbPrinterChange);
    connect(btnRestoreLayout, &QToolButton::clicked, this, &TMainForm::btnRestoreLayoutClick);
    connect(btnPrintSelected, &QToolButton::clicked, this, &TMainForm::btnPrintSelectedClick);
    connect(btnImport, &QToolButton::clicked, this, &TMainForm::btnImportClick);
    connect(btnExport, &QToolButton::clicked, this, &TMainForm::btnExportClick);
    watchNamePaste();
    watchCardScale();
    followCurrentGuest();
    connect(edtPWidth, &SpinEdit::textChanged, this, &TMainForm::edtPWidthChange);
    connect(edtPHeight, &SpinEdit::textChanged, this, &TMainForm::edtPHeightChange);
    connect(edtPLeft, &SpinEdit::textChanged, this, &TMainForm::edtPLeftChange);
    connect(edtPTop, &SpinEdit::textChanged, this, &TMainForm::edtPTopChange);
    connect(btnMyAdd, &QPushButton::clicked, this, &TMainForm::btnMyAddClick);
    connect(btnMyDel, &QPushButton::clicked, this, &TMainForm::btnMyDelClick);
    connect(btnMyDelAll, &QPushButton::clicked, this, &TMainForm::btnMyDelAllClick);
    connect(dbgrd1, &DataGrid::cellClicked, this, &TMainForm::dbgrd1CellClick);
    dbgrd1->setCellPainter([this](QPainter *painter, const QRect &cell, int row, const GridColumn &column) {
        dbgrd1DrawColumnCell(painter, cell, row, column.title);
    });
}

void TMainForm::handle(const std::function<void()> &handler)
{
    platform::guard(this, handler);
}

int TMainForm::templatePosition() const
{
    return m_templateTyped ? -1 : cbb1->currentIndex();
}

bool TMainForm::isVerticalLayout() const
{
    const auto templ = currentTemplate();
    return templ && templ->direction == TextDirection::Vertical;
}

bool TMainForm::isHorizontalLayout() const
{
    const auto templ = currentTemplate();
    return templ && templ->direction == TextDirection::Horizontal;
}

CardState TMainForm::cardState() const
{
    CardState state;
    state.templatePosition = layoutPosition();
    state.cardWidthText = edtPWidth->text();
    state.cardHeightText = edtPHeight->text();
    state.leftOffsetText = edtPLeft->text();
    state.topOffsetText = edtPTop->text();
    state.layout = m_para;
    if (frm_tmp) state.details = frm_tmp->details();
    state.printerName = currentPrinter();
    state.itemTitle = &TMainForm::itemTitle;
    state.printerOffsets = [layouts = currentLayouts(), section = currentSection()](const QString &printer) {
        return layouts.printerOffsets(section, printer);
    };
    return state;
}

CardState TMainForm::printState() const
{
    CardState state = cardState();
    state.cardPicture = img1->pixmap().toImage();
    state.wholeCards = actWholeCards->isChecked();
    return state;
}

void TMainForm::setDetailsDialog(Tfrm_tmp *dialog)
{
    frm_tmp = dialog;
    if (frm_tmp)
        frm_tmp->setDetails(loadEventDetails(m_folders.userFile(detailsFileName()), frm_tmp->details()));
}

void TMainForm::btn1Click()
{
    handle([this] {
        if (!frm_tmp || frm_tmp->exec() != QDialog::Accepted) return;
        readtext();
        scheduleOverflowCheck();
        saveEventDetails(m_folders.userFile(detailsFileName()), frm_tmp->details());
    });
}

void TMainForm::btnprintClick()
{
    handle([this] { runPrint(true); });
}

void TMainForm::btnPrintBtnClick()
{
    handle([this] { runPrint(false); });
}

void TMainForm::runPrint(bool currentGuestOnly)
{
    if (!commitGuestEdit()) return;
    withGridResting([&] { m_printer->print(printState(), m_guests, currentGuestOnly); });
}

void TMainForm::withGridResting(const std::function<void()> &job)
{
    // The list is opened again after a job; the grid comes back on the guest it showed.
    const qint64 shown = m_guests.currentId();
    const auto wakeGrid = [this, shown] {
        if (shown) m_guests.makeCurrent(shown);
        dbgrd1->setFollowingCursor(true);
    };
    dbgrd1->setFollowingCursor(false);
    try {
        job();
    } catch (...) {
        wakeGrid();
        throw;
    }
    wakeGrid();
}

bool TMainForm::commitGuestEdit()
{
    return dbgrd1->commitPendingEdit();
}
