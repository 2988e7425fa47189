// The template list's entries and commands: the shipped templates and the user's own, made from a
// picture of a bought card, renamed, deleted, exported and imported; the choice kept for the next
// start.
#include "app/ui/main_unit.h"

#include "app/model/cardphoto.h"
#include "app/model/lastchoice.h"
#include "app/ui/newtemplatedialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>

namespace {

QStringList namesOf(const QList<CardTemplate> &templates)
{
    QStringList names;
    for (const CardTemplate &templ : templates)
        names.append(templ.name);
    return names;
}

const QString templateFilter = QStringLiteral("请柬模板 (*.zip)");

} // namespace

void TMainForm::buildTemplateMenu()
{
    btnTemplates = new QToolButton(this);
    btnTemplates->setObjectName(QStringLiteral("btnTemplates"));
    btnTemplates->setText(QStringLiteral("…"));
    btnTemplates->setToolTip(QStringLiteral("模板：新建模板、重命名、删除、导出、导入"));
    btnTemplates->setPopupMode(QToolButton::InstantPopup);
    btnTemplates->setGeometry(718, 29, 20, 21);
    auto *menu = new QMenu(btnTemplates);
    menu->setObjectName(QStringLiteral("templateMenu"));
    menu->addAction(QStringLiteral("新建模板…"), this, &TMainForm::btnNewTemplateClick);
    QAction *renameAction =
        menu->addAction(QStringLiteral("重命名模板…"), this, &TMainForm::btnRenameTemplateClick);
    QAction *deleteAction =
        menu->addAction(QStringLiteral("删除模板"), this, &TMainForm::btnDeleteTemplateClick);
    QAction *exportAction =
        menu->addAction(QStringLiteral("导出模板…"), this, &TMainForm::btnExportTemplateClick);
    menu->addAction(QStringLiteral("导入模板…"), this, &TMainForm::btnImportTemplateClick);
    menu->addSeparator();
    actWholeCards = menu->addAction(QStringLiteral("整张打印（空白卡纸：图片和文字一起印）"));
    actWholeCards->setObjectName(QStringLiteral("actWholeCards"));
    actWholeCards->setCheckable(true);
    connect(actWholeCards, &QAction::toggled, this, [this](bool on) {
        handle([this] { rememberChoice(); });
        rzstspn3->setText(on ? QStringLiteral("整张打印：请柬图片和文字一起印在空白卡纸上")
                             : QStringLiteral("套印：只印文字，印在买来的请柬上"));
    });
    // Only the user's own templates can be renamed, deleted and exported.
    connect(menu, &QMenu::aboutToShow, this, [this, renameAction, deleteAction, exportAction] {
        const auto templ = currentTemplate();
        const bool own = templ && templ->isUserMade();
        for (QAction *action : {renameAction, deleteAction, exportAction})
            action->setEnabled(own);
    });
    btnTemplates->setMenu(menu);
    cbb1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(cbb1, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint &at) { menu->popup(cbb1->mapToGlobal(at)); });
}

void TMainForm::fillTemplateList(const QString &current)
{
    m_templates = shippedTemplates();
    m_templates.append(m_userTemplates.templates());
    const QSignalBlocker blocker(cbb1);
    cbb1->clear();
    cbb1->addItems(namesOf(m_templates));
    if (!current.isEmpty()) {
        const int index = cbb1->findText(current, Qt::MatchFixedString);
        cbb1->setCurrentIndex(index >= 0 ? index : 0);
    }
}

std::optional<CardTemplate> TMainForm::currentTemplate() const
{
    const int position = templatePosition();
    if (position < 0 || position >= m_templates.size()) return std::nullopt;
    return m_templates.at(position);
}

QString TMainForm::currentSection() const
{
    const auto templ = currentTemplate();
    return templ && templ->isUserMade() ? UserTemplateStore::layoutSection() : cbb1->currentText();
}

LayoutStore TMainForm::currentLayouts() const
{
    const auto templ = currentTemplate();
    return templ && templ->isUserMade() ? UserTemplateStore::layouts(*templ) : m_layouts;
}

int TMainForm::layoutPosition() const
{
    const int position = templatePosition();
    if (position >= 0 && position <= 3) return position;
    if (isVerticalLayout()) return 0;
    if (isHorizontalLayout()) return 2;
    return -1;
}

QString TMainForm::dataOrUserFile(const CardTemplate &templ) const
{
    return templ.isUserMade() ? templ.pictureFile : m_folders.dataFile(templ.pictureFile);
}

bool TMainForm::selectTemplate(const QString &name)
{
    const int index = cbb1->findText(name, Qt::MatchFixedString);
    if (index < 0) return false;
    m_templateTyped = false;
    cbb1->setCurrentIndex(index);
    cbb1Change();
    return true;
}

void TMainForm::restoreLastChoice()
{
    m_choiceRestored = true;
    const LastChoice last = loadLastChoice(m_folders.userFile(lastChoiceFileName()));
    const int templateIndex = cbb1->findText(last.templateName, Qt::MatchFixedString);
    if (!last.templateName.isEmpty() && templateIndex >= 0) cbb1->setCurrentIndex(templateIndex);
    const int printerIndex = cbbPrinter->findText(last.printerName, Qt::MatchFixedString);
    if (!last.printerName.isEmpty() && printerIndex >= 0) cbbPrinter->setCurrentIndex(printerIndex);
    const QSignalBlocker blocker(actWholeCards);
    actWholeCards->setChecked(last.wholeCards);
}

void TMainForm::rememberChoice()
{
    const auto templ = currentTemplate();
    saveLastChoice(m_folders.userFile(lastChoiceFileName()),
                   {templ ? templ->name : QString(), currentPrinter(), actWholeCards->isChecked()});
}

void TMainForm::btnNewTemplateClick()
{
    handle([this] {
        const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("选择请柬的照片或扫描图"), QString(),
                                         QStringLiteral("图片 (*.jpg *.jpeg *.png)"));
        if (!path.isEmpty()) newTemplateFromFile(path);
    });
}

bool TMainForm::newTemplateFromFile(const QString &path)
{
    if (!commitGuestEdit()) return false;
    const QImage photo = cardphoto::readPhoto(path);
    NewTemplateDialog dialog(photo, namesOf(m_templates), this);
    if (dialog.exec() != QDialog::Accepted) return false;
    const QImage card = cardphoto::straighten(photo, dialog.corners(), dialog.cardSize());
    const TemplateLayout start = cardtemplates::startingLayout(m_folders.dataFile(QStringLiteral("temp.ini")),
                                                               dialog.direction(), dialog.cardSize());
    const CardTemplate made =
        m_userTemplates.create(dialog.name(), dialog.direction(), card, start, namesOf(shippedTemplates()));
    fillTemplateList(made.name);
    selectTemplate(made.name);
    rzstspn3->setText(
        QStringLiteral("已建立模板“%1”：把文字拖到请柬上的位置，再按“保存布局”").arg(made.name));
    return true;
}

void TMainForm::btnRenameTemplateClick()
{
    handle([this] {
        const auto templ = currentTemplate();
        if (!templ || !templ->isUserMade()) return;
        bool ok = false;
        const QString name =
            QInputDialog::getText(this, QStringLiteral("重命名模板"), QStringLiteral("新名称："),
                                  QLineEdit::Normal, templ->name, &ok);
        if (!ok || name.trimmed() == templ->name) return;
        const CardTemplate renamed = m_userTemplates.rename(*templ, name, namesOf(shippedTemplates()));
        fillTemplateList(renamed.name);
        rememberChoice();
    });
}

void TMainForm::btnDeleteTemplateClick()
{
    handle([this] {
        const auto templ = currentTemplate();
        if (!templ || !templ->isUserMade()) return;
        const auto answer = QMessageBox::question(
            this, QStringLiteral("Tovaro"),
            QStringLiteral("删除模板“%1”吗？它的图片和保存过的布局都将被删除。").arg(templ->name),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) return;
        m_userTemplates.remove(*templ);
        fillTemplateList(shippedTemplates().first().name);
        selectTemplate(shippedTemplates().first().name);
    });
}

void TMainForm::btnExportTemplateClick()
{
    handle([this] {
        const auto templ = currentTemplate();
        if (!templ || !templ->isUserMade()) return;
        QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出模板"),
                                                    templ->name + QStringLiteral(".zip"), templateFilter);
        if (path.isEmpty()) return;
        if (!path.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive)) path += QStringLiteral(".zip");
        m_userTemplates.exportTo(*templ, path);
        rzstspn3->setText(QStringLiteral("已导出模板“%1”").arg(templ->name));
    });
}

void TMainForm::btnImportTemplateClick()
{
    handle([this] {
        const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("导入模板"), QString(), templateFilter);
        if (!path.isEmpty()) importTemplateFile(path);
    });
}

void TMainForm::importTemplateFile(const QString &path)
{
    if (!commitGuestEdit()) return;
    const CardTemplate made = m_userTemplates.importFrom(path, namesOf(shippedTemplates()));
    fillTemplateList(made.name);
    selectTemplate(made.name);
    rzstspn3->setText(QStringLiteral("已导入模板“%1”").arg(made.name));
}
