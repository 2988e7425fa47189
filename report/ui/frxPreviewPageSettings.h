// The page settings dialog of the preview: paper size, orientation and margins of one page
// object, shown in the unit the report's settings choose (centimetres or inches). After OK the
// preview asks ApplyToAllRB whether every page of the report takes the settings.
#pragma once

#include <QDialog>
#include <QHash>

#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSettings;

namespace frx {

class TfrxReport;
class TfrxReportPage;

// The settings store named by a report's IniFile: a value beginning with "\Software\" names a
// store of the current user (organisation and application from the rest of the path), any other
// value an ini file (relative names lie in the user's configuration folder).
std::unique_ptr<QSettings> frxOpenIniFile(const QString &iniFile);

// Gives page the orientation, paper and margins of edited.
void frxApplyPageSettings(TfrxReportPage &page, const TfrxReportPage &edited);

// Gives every report page of report the orientation, paper size and margins of edited (a page of
// another tree, normally a prepared page's page object).
void frxApplyPageSettingsToAll(TfrxReport *report, const TfrxReportPage &edited);

class TfrxPageSettingsForm : public QDialog {
    Q_OBJECT
public:
    // Edits page (not owned) of report (not owned; its IniFile gives the unit).
    TfrxPageSettingsForm(TfrxReportPage *page, TfrxReport *report, QWidget *parent = nullptr);

    TfrxReportPage *Page() const { return m_page; }
    // 0 centimetres, 1 inches, 2 and 3 shown as centimetres.
    int Units() const { return m_units; }

    QPushButton *OKB;
    QPushButton *CancelB;
    QGroupBox *SizeL;
    QLabel *WidthL;
    QLineEdit *WidthE;
    QLabel *UnitL1;
    QLabel *HeightL;
    QLineEdit *HeightE;
    QLabel *UnitL2;
    QComboBox *SizeCB;
    QGroupBox *OrientationL;
    QLabel *PortraitImg;
    QLabel *LandscapeImg;
    QRadioButton *PortraitRB;
    QRadioButton *LandscapeRB;
    QGroupBox *MarginsL;
    QLabel *LeftL;
    QLabel *TopL;
    QLabel *RightL;
    QLabel *BottomL;
    QLineEdit *MarginLeftE;
    QLineEdit *MarginTopE;
    QLineEdit *MarginRightE;
    QLineEdit *MarginBottomE;
    QLabel *UnitL3;
    QLabel *UnitL4;
    QLabel *UnitL5;
    QLabel *UnitL6;
    QGroupBox *OtherL;
    QRadioButton *ApplyToCurRB;
    QRadioButton *ApplyToAllRB;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void CreateControls();
    void FormShow();
    void FormHideOk();
    void PortraitRBClick();
    void SizeCBClick();
    void WidthEChange();

    // A field shows millimetres in the dialog's unit; an untouched field gives back the exact
    // millimetres it was filled with, so that rounding for display never alters a page.
    void setMm(QLineEdit *field, long double mm);
    long double mm(QLineEdit *field) const;

    TfrxReportPage *m_page;
    TfrxReport *m_report;
    int m_units = 0;
    bool m_updating = false;
    // The orientation the size fields were filled for; a user-defined size follows a change.
    bool m_fieldsLandscape = false;
    struct Shown {
        QString text;
        long double mm = 0;
    };
    QHash<const QLineEdit *, Shown> m_shown;
};

} // namespace frx
