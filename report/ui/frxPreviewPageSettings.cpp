#include "report/ui/frxPreviewPageSettings.h"

#include "platform/ui/errorguard.h"
#include "platform/errors.h"
#include "report/objects/frxClass.h"
#include "report/output/frxPrinter.h"
#include "report/base/frxRes.h"
#include "report/base/frxUtils.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QShowEvent>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace frx {

namespace {

const QString kRegistryPrefix = QStringLiteral("\\Software\\");

template <class T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A sheet standing or lying, with lines of text, for the orientation group.
QPixmap orientationPicture(bool landscape)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF sheet = landscape ? QRectF(3.5, 10.5, 41, 29) : QRectF(9.5, 3.5, 29, 41);
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    QFont font = p.font();
    font.setPixelSize(18);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x2a, 0x6c, 0xc4));
    p.drawText(sheet.adjusted(3, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("A"));
    p.setPen(QPen(QColor(0xa0, 0xa0, 0xa0), 1));
    for (qreal y = sheet.top() + 22; y < sheet.bottom() - 3; y += 4)
        p.drawLine(QPointF(sheet.left() + 4, y), QPointF(sheet.right() - 4, y));
    return pixmap;
}

// Sets a flag for the lifetime of the guard, so that change handlers skip the dialog's own edits.
class Updating {
public:
    explicit Updating(bool &flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~Updating() { m_flag = m_old; }

private:
    bool &m_flag;
    bool m_old;
};

} // namespace

std::unique_ptr<QSettings> frxOpenIniFile(const QString &iniFile)
{
    if (iniFile.startsWith(kRegistryPrefix, Qt::CaseInsensitive)) {
        QStringList parts = iniFile.mid(kRegistryPrefix.size()).split(u'\\', Qt::SkipEmptyParts);
        const QString organization = parts.isEmpty() ? QStringLiteral("Tovaro") : parts.takeFirst();
        const QString application = parts.isEmpty() ? QStringLiteral("Reports") : parts.join(u'/');
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, organization,
                                           application);
    }
    QString path = iniFile;
    if (QDir::isRelativePath(path))
        path = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).filePath(path);
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

void frxApplyPageSettings(TfrxReportPage &page, const TfrxReportPage &edited)
{
    page.SetOrientation(edited.Orientation());
    page.SetPaperWidth(edited.PaperWidth());
    page.SetPaperHeight(edited.PaperHeight());
    page.SetPaperSize(edited.PaperSize());
    page.LeftMargin = edited.LeftMargin;
    page.RightMargin = edited.RightMargin;
    page.TopMargin = edited.TopMargin;
    page.BottomMargin = edited.BottomMargin;
    page.UpdateDimensions();
}

void frxApplyPageSettingsToAll(TfrxReport *report, const TfrxReportPage &edited)
{
    for (int i = 0; i < report->PagesCount(); ++i)
        if (auto *page = dynamic_cast<TfrxReportPage *>(report->Pages(i))) frxApplyPageSettings(*page, edited);
}

TfrxPageSettingsForm::TfrxPageSettingsForm(TfrxReportPage *page, TfrxReport *report, QWidget *parent)
    : QDialog(parent), m_page(page), m_report(report)
{
    setObjectName(QStringLiteral("TfrxPageSettingsForm"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    CreateControls();
}

void TfrxPageSettingsForm::CreateControls()
{
    SizeL = named(new QGroupBox(this), "SizeL");
    WidthL = named(new QLabel(SizeL), "WidthL");
    WidthE = named(new QLineEdit(SizeL), "WidthE");
    UnitL1 = named(new QLabel(SizeL), "UnitL1");
    HeightL = named(new QLabel(SizeL), "HeightL");
    HeightE = named(new QLineEdit(SizeL), "HeightE");
    UnitL2 = named(new QLabel(SizeL), "UnitL2");
    SizeCB = named(new QComboBox(SizeL), "SizeCB");
    WidthL->setBuddy(WidthE);
    HeightL->setBuddy(HeightE);
    auto *sizeGrid = new QGridLayout(SizeL);
    sizeGrid->addWidget(SizeCB, 0, 0, 1, 3);
    sizeGrid->addWidget(WidthL, 1, 0);
    sizeGrid->addWidget(WidthE, 1, 1);
    sizeGrid->addWidget(UnitL1, 1, 2);
    sizeGrid->addWidget(HeightL, 2, 0);
    sizeGrid->addWidget(HeightE, 2, 1);
    sizeGrid->addWidget(UnitL2, 2, 2);
    sizeGrid->setColumnStretch(1, 1);

    OrientationL = named(new QGroupBox(this), "OrientationL");
    PortraitImg = named(new QLabel(OrientationL), "PortraitImg");
    LandscapeImg = named(new QLabel(OrientationL), "LandscapeImg");
    PortraitImg->setPixmap(orientationPicture(false));
    LandscapeImg->setPixmap(orientationPicture(true));
    PortraitRB = named(new QRadioButton(OrientationL), "PortraitRB");
    LandscapeRB = named(new QRadioButton(OrientationL), "LandscapeRB");
    PortraitRB->setChecked(true);
    auto *orientationButtons = new QVBoxLayout;
    orientationButtons->addWidget(PortraitRB);
    orientationButtons->addWidget(LandscapeRB);
    auto *orientationLayout = new QHBoxLayout(OrientationL);
    orientationLayout->addLayout(orientationButtons, 1);
    orientationLayout->addWidget(PortraitImg);
    orientationLayout->addWidget(LandscapeImg);

    MarginsL = named(new QGroupBox(this), "MarginsL");
    LeftL = named(new QLabel(MarginsL), "LeftL");
    TopL = named(new QLabel(MarginsL), "TopL");
    RightL = named(new QLabel(MarginsL), "RightL");
    BottomL = named(new QLabel(MarginsL), "BottomL");
    MarginLeftE = named(new QLineEdit(MarginsL), "MarginLeftE");
    MarginTopE = named(new QLineEdit(MarginsL), "MarginTopE");
    MarginRightE = named(new QLineEdit(MarginsL), "MarginRightE");
    MarginBottomE = named(new QLineEdit(MarginsL), "MarginBottomE");
    UnitL3 = named(new QLabel(MarginsL), "UnitL3");
    UnitL4 = named(new QLabel(MarginsL), "UnitL4");
    UnitL5 = named(new QLabel(MarginsL), "UnitL5");
    UnitL6 = named(new QLabel(MarginsL), "UnitL6");
    auto *marginsGrid = new QGridLayout(MarginsL);
    const struct {
        QLabel *label;
        QLineEdit *field;
        QLabel *unit;
        int row, column;
    } margins[] = {{LeftL, MarginLeftE, UnitL3, 0, 0},
                   {TopL, MarginTopE, UnitL4, 0, 3},
                   {RightL, MarginRightE, UnitL5, 1, 0},
                   {BottomL, MarginBottomE, UnitL6, 1, 3}};
    for (const auto &m : margins) {
        m.label->setBuddy(m.field);
        m.field->setMinimumWidth(48);
        marginsGrid->addWidget(m.label, m.row, m.column);
        marginsGrid->addWidget(m.field, m.row, m.column + 1);
        marginsGrid->addWidget(m.unit, m.row, m.column + 2);
    }
    marginsGrid->setColumnStretch(1, 1);
    marginsGrid->setColumnStretch(4, 1);
    marginsGrid->setColumnMinimumWidth(3, 24);

    OtherL = named(new QGroupBox(this), "OtherL");
    ApplyToCurRB = named(new QRadioButton(OtherL), "ApplyToCurRB");
    ApplyToAllRB = named(new QRadioButton(OtherL), "ApplyToAllRB");
    ApplyToCurRB->setChecked(true);
    auto *otherLayout = new QVBoxLayout(OtherL);
    otherLayout->addWidget(ApplyToCurRB);
    otherLayout->addWidget(ApplyToAllRB);

    OKB = named(new QPushButton(this), "OKB");
    OKB->setDefault(true);
    CancelB = named(new QPushButton(this), "CancelB");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKB);
    buttons->addWidget(CancelB);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SizeL);
    layout->addWidget(OrientationL);
    layout->addWidget(MarginsL);
    layout->addWidget(OtherL);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(286, 359);

    connect(OKB, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QPushButton::clicked, this, &QDialog::reject);
    const auto orientationClicked = [this] { platform::guard(this, [this] { PortraitRBClick(); }); };
    connect(PortraitRB, &QRadioButton::clicked, this, orientationClicked);
    connect(LandscapeRB, &QRadioButton::clicked, this, orientationClicked);
    connect(SizeCB, &QComboBox::activated, this,
            [this] { platform::guard(this, [this] { SizeCBClick(); }); });
    connect(WidthE, &QLineEdit::textChanged, this, &TfrxPageSettingsForm::WidthEChange);
    connect(HeightE, &QLineEdit::textChanged, this, &TfrxPageSettingsForm::WidthEChange);
}

void TfrxPageSettingsForm::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) FormShow();
    QDialog::showEvent(event);
}

void TfrxPageSettingsForm::FormShow()
{
    Updating updating(m_updating);
    setWindowTitle(frxGet(400));
    WidthL->setText(frxGet(401));
    HeightL->setText(frxGet(402));
    SizeL->setTitle(frxGet(403));
    OrientationL->setTitle(frxGet(404));
    LeftL->setText(frxGet(405));
    TopL->setText(frxGet(406));
    RightL->setText(frxGet(407));
    BottomL->setText(frxGet(408));
    MarginsL->setTitle(frxGet(409));
    PortraitRB->setText(frxGet(410));
    LandscapeRB->setText(frxGet(411));
    OtherL->setTitle(frxGet(412));
    ApplyToCurRB->setText(frxGet(413));
    ApplyToAllRB->setText(frxGet(414));
    OKB->setText(frxGet(1));
    CancelB->setText(frxGet(2));

    m_units =
        frxOpenIniFile(m_report->IniFile)->value(QStringLiteral("Form.TfrxDesignerForm/Units"), 0).toInt();
    const QString unit = frxGet(m_units == 1 ? QStringLiteral("uInch") : QStringLiteral("uCm"));
    for (QLabel *label : {UnitL1, UnitL2, UnitL3, UnitL4, UnitL5, UnitL6})
        label->setText(unit);

    const TfrxCustomPrinter *printer = frxPrinters()->Current();
    SizeCB->clear();
    for (const NamedCode &paper : printer->Papers())
        SizeCB->addItem(paper.name, paper.code);
    const int paperIndex = printer->PaperIndex(m_page->PaperSize());
    SizeCB->setCurrentIndex(paperIndex >= 0 ? paperIndex : qMax(0, printer->PaperIndex(DMPAPER_USER)));

    setMm(WidthE, m_page->PaperWidth());
    setMm(HeightE, m_page->PaperHeight());
    setMm(MarginLeftE, m_page->LeftMargin);
    setMm(MarginTopE, m_page->TopMargin);
    setMm(MarginRightE, m_page->RightMargin);
    setMm(MarginBottomE, m_page->BottomMargin);
    m_fieldsLandscape = m_page->Orientation() == poLandscape;
    (m_fieldsLandscape ? LandscapeRB : PortraitRB)->setChecked(true);
    PortraitRBClick();
    // The captions arrive only now; let the form grow to hold them.
    layout()->activate();
    resize(size().expandedTo(minimumSizeHint()));
}

void TfrxPageSettingsForm::PortraitRBClick()
{
    PortraitImg->setVisible(PortraitRB->isChecked());
    LandscapeImg->setVisible(LandscapeRB->isChecked());
    SizeCBClick();
}

void TfrxPageSettingsForm::SizeCBClick()
{
    if (m_updating) return;
    Updating updating(m_updating);
    TfrxCustomPrinter *printer = frxPrinters()->Current();
    const int index = SizeCB->currentIndex();
    const int code = index >= 0 ? SizeCB->itemData(index).toInt() : printer->Papers().value(0).code;
    Extended width = mm(WidthE);
    Extended height = mm(HeightE);
    const bool landscape = LandscapeRB->isChecked();
    // A user-defined size turns with the orientation; the fields keep it when nothing turned.
    if (code == DMPAPER_USER && landscape != m_fieldsLandscape) std::swap(width, height);
    printer->SetPaperForView(code, width, height, landscape ? poLandscape : poPortrait);
    // A printer that could not be prepared knows no size: the fields keep theirs.
    if (printer->PaperWidth() > 0 && printer->PaperHeight() > 0) {
        width = printer->PaperWidth();
        height = printer->PaperHeight();
    }
    setMm(WidthE, width);
    setMm(HeightE, height);
    m_fieldsLandscape = landscape;
}

void TfrxPageSettingsForm::WidthEChange()
{
    if (m_updating) return;
    SizeCB->setCurrentIndex(0);
}

void TfrxPageSettingsForm::done(int result)
{
    // Every field is read before anything changes, so that a bad entry leaves the page as it was
    // and the dialog open for correction.
    if (result == QDialog::Accepted && !platform::guard(this, [this] { FormHideOk(); })) return;
    QDialog::done(result);
}

void TfrxPageSettingsForm::FormHideOk()
{
    const Extended width = mm(WidthE);
    const Extended height = mm(HeightE);
    const Extended left = mm(MarginLeftE);
    const Extended right = mm(MarginRightE);
    const Extended top = mm(MarginTopE);
    const Extended bottom = mm(MarginBottomE);
    if (!(width > 0 && height > 0)) throw platform::Error(QStringLiteral("纸张的宽度和高度必须大于零"));
    const int index = SizeCB->currentIndex();
    const int code = index >= 0 ? SizeCB->itemData(index).toInt() : DMPAPER_USER;

    m_page->SetOrientation(LandscapeRB->isChecked() ? poLandscape : poPortrait);
    m_page->SetPaperWidth(width);
    m_page->SetPaperHeight(height);
    m_page->SetPaperSize(code);
    m_page->LeftMargin = left;
    m_page->RightMargin = right;
    m_page->TopMargin = top;
    m_page->BottomMargin = bottom;
    m_page->UpdateDimensions();
}

void TfrxPageSettingsForm::setMm(QLineEdit *field, long double mm)
{
    const long double shown = m_units == 1 ? mm / 25.4L : mm / 10.0L;
    const QString text = floatToText(Extended(roundHalfEven(shown * 100)) / 100);
    Updating updating(m_updating);
    field->setText(text);
    m_shown[field] = {text, mm};
}

long double TfrxPageSettingsForm::mm(QLineEdit *field) const
{
    const auto shown = m_shown.constFind(field);
    if (shown != m_shown.cend() && shown->text == field->text()) return shown->mm;
    QString text = field->text();
    text.remove(u' ');
    const std::optional<Extended> value = textToFloat(text);
    if (!value) throw platform::Error(QStringLiteral("\"%1\" 不是有效的数字").arg(field->text()));
    return m_units == 1 ? *value * 25.4L : *value * 10.0L;
}

} // namespace frx
