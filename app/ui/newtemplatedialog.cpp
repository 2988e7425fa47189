#include "app/ui/newtemplatedialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const QSize viewSize(560, 440);
constexpr double handleRadius = 9;

} // namespace

CornerView::CornerView(const QImage &photo, QWidget *parent) : QWidget(parent), m_photoSize(photo.size())
{
    setObjectName(QStringLiteral("cornerView"));
    setFixedSize(viewSize);
    setMouseTracking(false);
    m_scale = std::min(double(viewSize.width() - 2 * handleRadius) / photo.width(),
                       double(viewSize.height() - 2 * handleRadius) / photo.height());
    m_shown = photo.scaled(
        QSize(std::max(1, int(photo.width() * m_scale)), std::max(1, int(photo.height() * m_scale))),
        Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // A scan holds the card alone: its corners are the picture's, and the user moves them for a photo.
    const double w = photo.width();
    const double h = photo.height();
    m_corners = {QPointF(0, 0), QPointF(w, 0), QPointF(w, h), QPointF(0, h)};
}

void CornerView::setCorners(const cardphoto::Corners &corners)
{
    m_corners = corners;
    update();
    emit cornersChanged();
}

QPointF CornerView::shownCorner(int n) const
{
    return QPointF(handleRadius, handleRadius) + m_corners.at(static_cast<size_t>(n)) * m_scale;
}

QPointF CornerView::toPhoto(QPointF shown) const
{
    const QPointF p = (shown - QPointF(handleRadius, handleRadius)) / m_scale;
    return QPointF(std::clamp(p.x(), 0.0, double(m_photoSize.width())),
                   std::clamp(p.y(), 0.0, double(m_photoSize.height())));
}

void CornerView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    painter.drawImage(QPointF(handleRadius, handleRadius), m_shown);
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF outline;
    for (int n = 0; n < 4; ++n)
        outline << shownCorner(n);
    painter.setPen(QPen(QColor(0x00, 0xA0, 0xFF), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(outline);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    for (int n = 0; n < 4; ++n) {
        const QPointF at = shownCorner(n);
        painter.setPen(QPen(Qt::white, 1.5));
        painter.setBrush(n == m_dragged ? QColor(0xFF, 0x60, 0x00) : QColor(0x00, 0x70, 0xD0));
        painter.drawEllipse(at, handleRadius, handleRadius);
        painter.drawText(
            QRectF(at.x() - handleRadius, at.y() - handleRadius, 2 * handleRadius, 2 * handleRadius),
            Qt::AlignCenter, QString::number(n + 1));
    }
}

void CornerView::mousePressEvent(QMouseEvent *event)
{
    m_dragged = -1;
    double nearest = 3 * handleRadius;
    for (int n = 0; n < 4; ++n) {
        const double distance = QLineF(event->position(), shownCorner(n)).length();
        if (distance < nearest) {
            nearest = distance;
            m_dragged = n;
        }
    }
    update();
}

void CornerView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragged < 0) return;
    m_corners[static_cast<size_t>(m_dragged)] = toPhoto(event->position());
    update();
}

void CornerView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragged < 0) return;
    m_corners[static_cast<size_t>(m_dragged)] = toPhoto(event->position());
    m_dragged = -1;
    update();
    emit cornersChanged();
}

NewTemplateDialog::NewTemplateDialog(const QImage &photo, const QStringList &takenNames, QWidget *parent)
    : QDialog(parent), m_photo(photo), m_taken(takenNames)
{
    setObjectName(QStringLiteral("NewTemplateDialog"));
    setWindowTitle(QStringLiteral("新建模板"));

    cornerView = new CornerView(photo, this);
    auto *hint = new QLabel(
        QStringLiteral("把四个圆点拖到请柬的四个角上：1 左上、2 右上、3 右下、4 左下（按请柬文字的方向）。"
                       "斜着拍的照片会被拉正。"),
        this);
    hint->setWordWrap(true);

    lblPreview = new QLabel(this);
    lblPreview->setObjectName(QStringLiteral("lblPreview"));
    lblPreview->setFixedSize(200, 200);
    lblPreview->setAlignment(Qt::AlignCenter);
    lblPreview->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    edtWidth = new QSpinBox(this);
    edtWidth->setObjectName(QStringLiteral("edtWidth"));
    edtWidth->setRange(50, 350);
    edtWidth->setSuffix(QStringLiteral(" 毫米"));
    edtHeight = new QSpinBox(this);
    edtHeight->setObjectName(QStringLiteral("edtHeight"));
    edtHeight->setRange(50, 240);
    edtHeight->setSuffix(QStringLiteral(" 毫米"));
    btnFromScan = new QPushButton(QStringLiteral("按扫描分辨率"), this);
    btnFromScan->setObjectName(QStringLiteral("btnFromScan"));
    btnFromScan->setToolTip(QStringLiteral("扫描图记着每英寸多少点，由此算出请柬的尺寸"));

    rbVertical = new QRadioButton(QStringLiteral("竖排文字"), this);
    rbVertical->setObjectName(QStringLiteral("rbVertical"));
    rbHorizontal = new QRadioButton(QStringLiteral("横排文字"), this);
    rbHorizontal->setObjectName(QStringLiteral("rbHorizontal"));
    edtName = new QLineEdit(this);
    edtName->setObjectName(QStringLiteral("edtName"));
    lblCheck = new QLabel(this);
    lblCheck->setObjectName(QStringLiteral("lblCheck"));
    lblCheck->setWordWrap(true);
    QPalette warning = lblCheck->palette();
    warning.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    lblCheck->setPalette(warning);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *size = new QHBoxLayout;
    size->addWidget(edtWidth);
    size->addWidget(new QLabel(QStringLiteral("×"), this));
    size->addWidget(edtHeight);
    auto *direction = new QHBoxLayout;
    direction->addWidget(rbVertical);
    direction->addWidget(rbHorizontal);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("拉正后："), lblPreview);
    form->addRow(QStringLiteral("请柬尺寸："), size);
    form->addRow(QString(), btnFromScan);
    form->addRow(QStringLiteral("文字："), direction);
    form->addRow(QStringLiteral("模板名称："), edtName);
    auto *side = new QVBoxLayout;
    side->addLayout(form);
    side->addWidget(lblCheck);
    side->addStretch();
    side->addWidget(buttons);
    auto *left = new QVBoxLayout;
    left->addWidget(cornerView);
    left->addWidget(hint);
    auto *top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(side);

    // A card taller than wide reads in columns, as a rule; the user says otherwise.
    const bool upright = photo.height() >= photo.width();
    (upright ? rbVertical : rbHorizontal)->setChecked(true);
    edtWidth->setValue(upright ? 176 : 285);
    edtHeight->setValue(upright ? 240 : 210);
    const auto fromScan = [this] {
        if (const auto mm = cardphoto::sizeFromResolution(m_photo, corners())) {
            edtWidth->setValue(mm->width);
            edtHeight->setValue(mm->height);
        }
    };
    // A scan's resolution is believed only where it gives a card's size, not a camera's 72 dpi.
    if (const auto mm = cardphoto::sizeFromResolution(photo, corners());
        mm && mm->width >= 50 && mm->width <= 350 && mm->height >= 50 && mm->height <= 240)
        fromScan();
    btnFromScan->setEnabled(cardphoto::sizeFromResolution(photo, corners()).has_value());
    connect(btnFromScan, &QPushButton::clicked, this, fromScan);

    QString name = QStringLiteral("我的请柬");
    for (int n = 2; m_taken.contains(name, Qt::CaseInsensitive); ++n)
        name = QStringLiteral("我的请柬%1").arg(n);
    edtName->setText(name);

    connect(cornerView, &CornerView::cornersChanged, this, &NewTemplateDialog::updatePreview);
    connect(edtWidth, &QSpinBox::valueChanged, this, &NewTemplateDialog::updatePreview);
    connect(edtHeight, &QSpinBox::valueChanged, this, &NewTemplateDialog::updatePreview);
    connect(edtName, &QLineEdit::textChanged, this, &NewTemplateDialog::updateCheck);
    updatePreview();
}

layout::CardSizeMm NewTemplateDialog::cardSize() const
{
    return {edtWidth->value(), edtHeight->value()};
}

TextDirection NewTemplateDialog::direction() const
{
    return rbHorizontal->isChecked() ? TextDirection::Horizontal : TextDirection::Vertical;
}

QString NewTemplateDialog::name() const
{
    return edtName->text().trimmed();
}

void NewTemplateDialog::updatePreview()
{
    const QImage card = cardphoto::straighten(m_photo, corners(), cardSize(), 400);
    lblPreview->setPixmap(
        card.isNull() ? QPixmap()
                      : QPixmap::fromImage(card.scaled(lblPreview->size() - QSize(4, 4), Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation)));
    updateCheck();
}

void NewTemplateDialog::updateCheck()
{
    QString problem;
    if (name().isEmpty())
        problem = QStringLiteral("请给模板起个名字。");
    else if (m_taken.contains(name(), Qt::CaseInsensitive))
        problem = QStringLiteral("已经有名为“%1”的模板。").arg(name());
    else if (lblPreview->pixmap().isNull())
        problem = QStringLiteral("四个角围不成请柬：请把圆点拖到请柬的四个角上。");
    lblCheck->setText(problem);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty());
}
