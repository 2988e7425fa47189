// The question after a calibration sheet has been printed: how far the print must move, right and
// down, in whole millimetres (left and up negative), for the grey card picture to meet the card's
// own.
#pragma once

#include "app/model/layoutstore.h"

#include <QDialog>

class QSpinBox;

class CalibrationDialog : public QDialog {
    Q_OBJECT
public:
    // printerName is the printer the sheet was printed on, named in the question.
    explicit CalibrationDialog(const QString &printerName, QWidget *parent = nullptr);

    // The move typed, mm.
    OffsetsMm move() const;
    void setMove(OffsetsMm move);

    QSpinBox *edtRight;
    QSpinBox *edtDown;
};
