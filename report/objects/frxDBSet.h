// Report data sets: record cursors with named fields that reports and expressions read, whatever
// the data comes from. TfrxUserDataSet delivers values from host callbacks, TfrxDBDataset reads a
// database cursor of the platform layer. Every data set is listed in one process-wide list.
#pragma once

#include "platform/dataset.h"
#include "report/objects/frxClass.h"
#include "script/variant.h"

#include <QMutex>
#include <QStringList>

#include <functional>
#include <vector>

class QIODevice;

namespace frx {

enum TfrxFieldType { fftNumeric, fftString, fftBoolean };
enum TfrxRangeBegin { rbFirst, rbCurrent };
enum TfrxRangeEnd { reLast, reCurrent, reCount };

class TfrxDataSet;

// The list of every report data set of the process, guarded by its own lock.
class TfrxGlobalDataSetList {
public:
    static TfrxGlobalDataSetList &instance();

    void Add(TfrxDataSet *dataSet);
    void Remove(TfrxDataSet *dataSet);
    // The first data set with that UserName (case ignored) that the report may see: one owned by a
    // report is visible to that report only, any other to all. None when there is no such data set.
    TfrxDataSet *FindByUserName(const TfrxReport *report, const QString &userName);
    // Likewise by Name (case of A-Z ignored), for references in templates.
    TfrxDataSet *FindByName(const TfrxReport *report, const QString &name);
    // A copy of the list, taken under the lock.
    QList<TfrxDataSet *> DataSets();

private:
    QMutex m_lock;
    QList<TfrxDataSet *> m_list;
};

// A host data set of that Name visible to the report (none when there is none); template
// references to the host's data sets resolve through it.
TfrxComponent *findHostDataSet(const TfrxReport *report, const QString &name);

// A field reference in expressions: the alias, a full stop and the field name in double quotes
// (frxdbdtst1."姓名"). Splits at the first full stop directly followed by a double quote; the field
// name loses its last character. False when the text holds no such full stop.
bool splitFieldReference(const QString &reference, QString &alias, QString &fieldName);
// The reference text of a field of a data set: UserName."field".
QString fieldReference(const QString &userName, const QString &fieldName);

// The abstract record cursor.
class TfrxDataSet : public TfrxDialogComponent {
    FRX_CLASS(TfrxDataSet)
public:
    explicit TfrxDataSet(TfrxComponent *owner = nullptr);
    ~TfrxDataSet() override;

    // Renaming also renames UserName while it is empty or equal to the old Name.
    void SetName(const QString &name) override;
    const QString &UserName() const { return m_userName; }
    // Raises platform::Error "prInvProp" for a text that is empty after trimming spaces.
    virtual void SetUserName(const QString &userName);

    // Field access on the current record; the base data set has no fields.
    virtual QString DisplayText(const QString &fieldName);
    // Width in characters (10 here).
    virtual int DisplayWidth(const QString &fieldName);
    virtual TfrxFieldType FieldType(const QString &fieldName);
    // Null here.
    virtual script::Variant Value(const QString &fieldName);

    // Called for each data set of a report when its preparation starts and ends.
    virtual void Initialize() {}
    virtual void Finalize() {}
    virtual void Open();
    virtual void Close();
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
    virtual int FieldsCount() { return 0; }
    virtual bool IsBlobField(const QString &fieldName) { return false; }
    // RangeEndCount for a counted range from the first record, else 0.
    virtual int RecordCount();
    // Copies a large-object field into a text store or (rewound) into a stream; nothing here.
    virtual void AssignBlobTo(const QString &fieldName, TfrxWideStrings &target) {}
    virtual void AssignBlobTo(const QString &fieldName, QIODevice &target) {}
    // Replaces the list's content with the report-visible field names.
    virtual void GetFieldList(QStringList &list) { list.clear(); }
    // Whether GetFieldList names the field (case ignored).
    bool HasField(const QString &fieldName);

    bool Enabled = true;
    TfrxRangeBegin RangeBegin = rbFirst;
    TfrxRangeEnd RangeEnd = reLast;
    int RangeEndCount = 0;
    int RecNo = 0;
    // The report using the data set; set when the report's data sets are initialised. Not owned.
    TfrxReport *OwningReport = nullptr;

    std::function<void(TfrxDataSet *sender, bool &eof)> OnCheckEOF;
    std::function<void(TfrxDataSet *sender)> OnFirst, OnNext, OnPrior, OnOpen, OnClose;

protected:
    // Adds "<current object>: <field not found text> <reference>" to the owning report's errors
    // and returns the text without the object name.
    QString fieldNotFound(const QString &fieldName);

    bool m_eof = false;

private:
    QString m_userName;
};

// A data set whose values come from host callbacks; data bands count records with one.
class TfrxUserDataSet : public TfrxDataSet {
    FRX_CLASS(TfrxUserDataSet)
public:
    using TfrxDataSet::TfrxDataSet;
    QString DisplayText(const QString &fieldName) override;
    script::Variant Value(const QString &fieldName) override;
    int FieldsCount() override { return int(Fields.size()); }
    void GetFieldList(QStringList &list) override { list = Fields; }

    QStringList Fields;
    std::function<void(const QString &fieldName, script::Variant &value)> OnGetValue;
    std::function<void(TfrxDataSet *sender, const QString &fieldName, script::Variant &value)> OnNewGetValue;
};

// Base of the data sets over a database: field aliases and the list of report-visible fields.
class TfrxCustomDBDataSet : public TfrxDataSet {
    FRX_CLASS(TfrxCustomDBDataSet)
public:
    using TfrxDataSet::TfrxDataSet;
    int FieldsCount() override;
    // The field name behind a report-visible name: the first alias line naming it (case ignored),
    // or the name itself.
    QString ConvertAlias(const QString &userName) const;

    bool CloseDataSource = false;
    QStringList FieldAliases; // "field=alias" lines; a field name starting with "-" hides the field
    bool OpenDataSource = true;
};

// The host's view of a cursor that controls show (the data source of a grid).
class HostDataSource {
public:
    virtual ~HostDataSource() = default;
    // The cursor shown, or none while unconnected. Not owned.
    virtual platform::Cursor *dataSetCursor() const = 0;
};

// A report data set over a database cursor.
class TfrxDBDataset : public TfrxCustomDBDataSet, private platform::CursorObserver {
    FRX_CLASS(TfrxDBDataset)
public:
    using TfrxCustomDBDataSet::TfrxCustomDBDataSet;
    ~TfrxDBDataset() override;

    // The cursor read (not owned; it must outlive the data set or be detached first). Setting it
    // clears DataSource and the other way round.
    platform::Cursor *DataSet() const { return m_dataSet; }
    void SetDataSet(platform::Cursor *cursor);
    HostDataSource *DataSource() const { return m_dataSource; }
    void SetDataSource(HostDataSource *dataSource);
    // DataSet, or else the data source's cursor.
    platform::Cursor *source() const;

    // Raises platform::Error with the "dbNotConn" text when there is no cursor.
    void Initialize() override;
    void Finalize() override;
    void Open() override;
    void Close() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() override;
    // Unknown names give Null and an error line in the owning report.
    script::Variant Value(const QString &fieldName) override;
    // The reference text while the cursor is closed; unknown names give the field-not-found text.
    QString DisplayText(const QString &fieldName) override;
    int DisplayWidth(const QString &fieldName) override;
    TfrxFieldType FieldType(const QString &fieldName) override;
    bool IsBlobField(const QString &fieldName) override;
    int RecordCount() override;
    void AssignBlobTo(const QString &fieldName, TfrxWideStrings &target) override;
    void AssignBlobTo(const QString &fieldName, QIODevice &target) override;
    void GetFieldList(QStringList &list) override;

    bool BCDToCurrency = false;

private:
    struct Field {
        QString name; // report-visible name
        int index;    // the cursor's field, or -1
    };

    void cursorOpened() override;
    void cursorClosing() override;
    void attach(platform::Cursor *cursor);
    void rebuildFieldList();
    void beforeClose();
    // The cursor, opened; raises platform::Error with the "dbNotConn" text when there is none.
    platform::Cursor *openCursor();
    void forgetCursor();
    const Field *findField(const QString &name) const;

    platform::Cursor *m_dataSet = nullptr;
    HostDataSource *m_dataSource = nullptr;
    platform::Cursor *m_observed = nullptr; // the cursor this data set listens to
    platform::Cursor *m_opened = nullptr;   // the cursor Open opened
    platform::Bookmark m_bookmark;
    std::vector<Field> m_fields; // sorted by name, case ignored
    bool m_initialized = false;
};

} // namespace frx
