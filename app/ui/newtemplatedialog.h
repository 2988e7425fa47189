// "新建模板": the user marks the four corners of the card on its photo or scan, gives its size in
// millimetres (or takes it from the scan's resolution), the direction of its text and a name.
#pragma once

#include "app/model/cardphoto.h"
#include "app/model/cardtemplates.h"

#include <QDialog>
#include <QImage>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The photo with four corner handles (左上, 右上, 右下, 左下) dragged onto the card's corners.
class CornerView : public QWidget {
    Q_OBJECT
public:
    CornerView(const QImage &photo, QWidget *parent = nullptr);

    const cardphoto::Corners &corners() const { return m_corners; }
    void setCorners(const cardphoto::Corners &corners);
    // Where corner n is shown, in the view's pixels.
    QPointF shownCorner(int n) const;

signals:
    void cornersChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPointF toPhoto(QPointF shown) const;

    QImage m_shown; // the photo scaled to the view
    double m_scale = 1;
    QSize m_photoSize;
    cardphoto::Corners m_corners;
    int m_dragged = -1;
};

class NewTemplateDialog : public QDialog {
    Q_OBJECT
public:
    // photo is the card's picture as read; takenNames are the names in use.
    NewTemplateDialog(const QImage &photo, const QStringList &takenNames, QWidget *parent = nullptr);

    cardphoto::Corners corners() const { return cornerView->corners(); }
    layout::CardSizeMm cardSize() const;
    TextDirection direction() const;
    QString name() const;

    CornerView *cornerView;
    QLabel *lblPreview;
    QSpinBox *edtWidth;
    QSpinBox *edtHeight;
    QPushButton *btnFromScan;
    QRadioButton *rbVertical;
    QRadioButton *rbHorizontal;
    QLineEdit *edtName;
    QLabel *lblCheck;
    QDialogButtonBox *buttons;

private:
    void updatePreview();
    void updateCheck();

    QImage m_photo;
    QStringList m_taken;
};
