#include "report/objects/frxClass_p.h"

namespace frx {

namespace {

struct PendingReference {
    void *target;
    const PropInfo *info;
    QString name;
};

// Copies the stored properties of one object (or value object) into another by property name, as a
// template written with default values and read back would: value objects recursively, references
// recorded for resolution by name once the whole tree is there. Failing setters add error lines.
class Copier {
public:
    QStringList errors;
    std::vector<PendingReference> references;
    std::vector<TfrxComponent *> loaded;

    void copyProperties(void *target, const ClassInfo &targetClass, void *source,
                        const ClassInfo &sourceClass)
    {
        for (const PropInfo *from : sourceClass.all) {
            if (!from->isStored(source)) continue;
            // Objects of one class share their property table: no lookup by name.
            const PropInfo *to = &targetClass == &sourceClass ? from : targetClass.property(from->name);
            if (!to || to->kind != from->kind) continue;
            if (from->kind == PropKind::Object) {
                copyProperties(to->objectOf(target), *to->objectClass, from->objectOf(source),
                               *from->objectClass);
                if (to->objectChanged) to->objectChanged(target);
                continue;
            }
            if (from->kind == PropKind::TextStore || to->isReadOnly()) continue;
            const PropValue value = from->value(source);
            if (from->kind == PropKind::Component) {
                if (const TfrxComponent *referenced = std::get<TfrxComponent *>(value))
                    references.push_back({target, to, referenced->Name()});
                continue;
            }
            try {
                to->setValue(target, value);
            } catch (const platform::Error &error) {
                errors.append(error.message());
            }
        }
    }

    void copyObject(TfrxComponent *target, TfrxComponent *source)
    {
        target->IsLoading = true;
        loaded.push_back(target);
        copyProperties(target, *target->classInfo(), source, *source->classInfo());
        // The source is looked at only for a target of that kind: casts are not free.
        auto *targetMemo = dynamic_cast<TfrxCustomMemoView *>(target);
        auto *sourceMemo = targetMemo ? dynamic_cast<TfrxCustomMemoView *>(source) : nullptr;
        if (targetMemo && sourceMemo) {
            QString text = sourceMemo->Text();
            if (text.endsWith(u"\r\n")) text.chop(2);
            targetMemo->SetText(text);
        }
        // Pictures are stored outside the published properties.
        auto *targetPicture = targetMemo ? nullptr : dynamic_cast<TfrxPictureView *>(target);
        auto *sourcePicture = targetPicture ? dynamic_cast<TfrxPictureView *>(source) : nullptr;
        if (targetPicture && sourcePicture) {
            targetPicture->Picture = sourcePicture->Picture;
            targetPicture->StoredPicture = sourcePicture->StoredPicture;
        }
        auto *targetPage = targetMemo || targetPicture ? nullptr : dynamic_cast<TfrxReportPage *>(target);
        auto *sourcePage = targetPage ? dynamic_cast<TfrxReportPage *>(source) : nullptr;
        if (targetPage && sourcePage) {
            targetPage->BackPicture = sourcePage->BackPicture;
            targetPage->StoredBackPicture = sourcePage->StoredBackPicture;
            targetPage->PreviewBackground = sourcePage->PreviewBackground;
        }
    }

    void copyChildren(TfrxComponent *target, TfrxComponent *source, TfrxComponent *owner)
    {
        const QList<TfrxComponent *> children = source->Objects();
        for (TfrxComponent *child : children) {
            TfrxComponent *copy = owner->FindComponent(child->Name());
            if (!copy) {
                if (!child->classInfo()->create) continue;
                copy = child->classInfo()->create(target);
                try {
                    copy->SetName(child->Name());
                } catch (const platform::Error &error) {
                    errors.append(error.message());
                }
            }
            copyObject(copy, child);
            copyChildren(copy, child, owner);
        }
    }

    void resolve(TfrxComponent *root)
    {
        for (const PendingReference &reference : references) {
            TfrxComponent *found = root->FindObject(reference.name);
            if (!found) found = root->FindComponent(reference.name);
            if (!found) continue;
            try {
                reference.info->setValue(reference.target, found);
            } catch (const platform::Error &error) {
                errors.append(error.message());
            }
        }
        for (TfrxComponent *object : loaded)
            object->IsLoading = false;
    }
};

void copyCollections(TfrxReport *target, const TfrxReport *source)
{
    for (int i = 0; i < source->Datasets.Count(); ++i)
        target->Datasets.Add()->SetDataSet(source->Datasets.Items(i)->DataSet());
    for (int i = 0; i < source->Variables.Count(); ++i)
        *target->Variables.Add() = *source->Variables.Items(i);
    target->Styles.Name = source->Styles.Name;
    for (int i = 0; i < source->Styles.Count(); ++i) {
        const TfrxStyleItem *from = source->Styles.Items(i);
        TfrxStyleItem *to = target->Styles.Add();
        to->SetName(from->Name());
        to->Color = from->Color;
        to->Font = from->Font;
        to->Frame = from->Frame;
    }
}

void copyFrom(TfrxComponent *target, TfrxComponent *source, bool withChildren)
{
    if (!source || source == target) return;
    target->Clear();
    // Looked up once: the walk up the parents is a type test at every step.
    TfrxReport *report = target->OwnerReport();
    TfrxComponent *owner = report ? report : target;
    Copier copier;
    copier.copyObject(target, source);
    // A report is its own owner report.
    TfrxReport *targetReport = report == target ? report : nullptr;
    auto *sourceReport = targetReport ? dynamic_cast<TfrxReport *>(source) : nullptr;
    if (targetReport && sourceReport) copyCollections(targetReport, sourceReport);
    if (withChildren) copier.copyChildren(target, source, owner);
    copier.resolve(owner);
    if (report)
        for (const QString &error : copier.errors)
            report->ErrorList.Add(TfrxError{.source = TfrxErrorSource::Template, .message = error});
}

} // namespace

void TfrxComponent::Assign(TfrxComponent *source)
{
    copyFrom(this, source, false);
}

void TfrxComponent::AssignAll(TfrxComponent *source)
{
    copyFrom(this, source, true);
}

} // namespace frx
