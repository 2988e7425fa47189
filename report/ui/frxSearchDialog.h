// The preview's search dialog: takes the text to find, whether case matters and whether the search
// starts from the first page. The preview reads TextE, CaseCB and TopCB after OK.
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace frx {

class TfrxSearchDialog : public QDialog {
    Q_OBJECT
public:
    // Builds the dialog with its captions (FormCreate); right-to-left layouts follow the
    // application's layout direction.
    explicit TfrxSearchDialog(QWidget *parent = nullptr);

    // The text last confirmed with OK in this program run; empty before the first search.
    static QString LastText();

    // The replace panel has no function in this system and stays hidden.
    QWidget *ReplacePanel;
    QLabel *ReplaceL;
    QLineEdit *ReplaceE;
    QWidget *Panel2;
    QLabel *TextL;
    QLineEdit *TextE;
    QWidget *Panel3;
    QPushButton *OkB;
    QPushButton *CancelB;
    QGroupBox *SearchL;
    QCheckBox *CaseCB;
    QCheckBox *TopCB;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormShow();
    void FormActivate();
};

} // namespace frx
