// The preview of an import of names: how many guests it adds, and which names are empty, repeated
// within the file or already in the list, before anything is written. Repeated names are skipped
// unless the user keeps them.
#pragma once

#include "app/model/guestimport.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

class TImportDialog : public QDialog {
    Q_OBJECT
public:
    // source names where the names come from (a file name, or the clipboard); plan is not kept.
    TImportDialog(const QString &source, const GuestImport &plan, QWidget *parent = nullptr);

    // Whether repeated names are added too.
    bool keepDuplicates() const;

    QLabel *lblSource;
    QTableWidget *tblNames;
    QCheckBox *chkKeep;
    QLabel *lblSummary;
    QPushButton *btnOk;
    QPushButton *btnCancel;

private:
    void updateSummary();

    int m_new = 0;
    int m_empty = 0;
    int m_inFile = 0;
    int m_inList = 0;
};
