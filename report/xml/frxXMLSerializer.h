// Report template files: the object serialiser that turns a tree of report objects into XML elements
// and attributes and back through the published properties, the binary property stream carried in
// PropData attributes, and the loading and saving of whole reports with option preservation,
// password handling and error collection.
#pragma once

#include "report/objects/frxClass.h"
#include "report/xml/frxXML.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;

namespace frx {

// ---- binary property stream ----

// Value tags of the binary property stream.
enum class PropertyTag : quint8 {
    EndOfList = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    String = 6,      // 8-bit length, system code page bytes
    Binary = 10,     // 32-bit length, bytes
    LString = 12,    // 32-bit length, system code page bytes
    Collection = 14, // read only
    WString = 18,    // 32-bit count of UTF-16 code units
    Utf8String = 20, // 32-bit byte count, UTF-8
};

// Builds a binary property stream: entries of a property name followed by one value.
class PropertyStreamWriter {
public:
    // A property name as a length byte and the name's system code page bytes; names longer than
    // 255 bytes raise platform::Error.
    void WriteName(const QString &name);
    void WriteListBegin() { m_data.append(char(PropertyTag::List)); }
    void WriteListEnd() { m_data.append(char(PropertyTag::EndOfList)); }
    // With the smallest of the 8, 16 and 32-bit tags that holds it; other values raise platform::Error.
    void WriteInteger(qint64 value);
    // As UTF-16 when UTF-8 would not be shorter than two bytes per code unit, as system code page
    // bytes when the text is plain ASCII (8-bit length up to 255 bytes, 32-bit beyond), else as UTF-8.
    void WriteString(const QString &value);
    void WriteBinary(const QByteArray &bytes);

    const QByteArray &Data() const { return m_data; }

private:
    void appendInt32(quint32 value);
    QByteArray m_data;
};

// Reads a binary property stream. Every read past the end, an unexpected tag or a length that
// runs beyond the data raises platform::Error naming the byte offset.
class PropertyStreamReader {
public:
    explicit PropertyStreamReader(QByteArray data) : m_data(std::move(data)) {}

    bool AtEnd() const { return m_pos >= m_data.size(); }
    qsizetype Position() const { return m_pos; }
    QString ReadName();
    // The tag of the next value, without consuming it.
    PropertyTag NextTag() const;
    // True when the next value is the end-of-list tag (does not consume it).
    bool EndOfList() const { return NextTag() == PropertyTag::EndOfList; }
    void ReadListBegin() { expect(PropertyTag::List); }
    void ReadListEnd() { expect(PropertyTag::EndOfList); }
    void ReadCollectionBegin() { expect(PropertyTag::Collection); }
    qint64 ReadInteger();
    // Any of the string tags.
    QString ReadString();
    QByteArray ReadBinary();
    // True when the next value is an integer (does not consume it).
    bool NextIsInteger() const;
    // Skips one value of any tag, lists and collections included (nested at most 64 deep).
    void SkipValue();

    static constexpr int maxNesting = 64;

private:
    [[noreturn]] void fail(const QString &what) const;
    void skipValue(int depth);
    void expect(PropertyTag tag);
    PropertyTag readTag();
    QByteArray readBytes(qint64 count);
    quint32 readUInt32();

    QByteArray m_data;
    qsizetype m_pos = 0;
};

// Upper-case hexadecimal text of bytes, and back. Text that is not an even number of hexadecimal
// digits raises platform::ConvertError.
QString bytesToHex(const QByteArray &bytes);
QByteArray hexToBytes(QStringView text);

// ---- the serialiser ----

// Turns report objects into template elements and back, for one read or one write.
class TfrxXMLSerializer {
public:
    // The stream (not owned) is read or written by ReadObjectTree and WriteObjectTree when they are
    // given no element; it may be none when only elements and attribute texts are used.
    explicit TfrxXMLSerializer(QIODevice *stream = nullptr);
    ~TfrxXMLSerializer();
    TfrxXMLSerializer(const TfrxXMLSerializer &) = delete;
    TfrxXMLSerializer &operator=(const TfrxXMLSerializer &) = delete;

    // The object whose objects references are looked up in and written relative to (normally the
    // report); not owned.
    TfrxComponent *Owner = nullptr;
    // Problems met while reading: sorted, duplicates dropped.
    SortedStringList Errors;
    // Write every property its stored rule allows, defaults included.
    bool SerializeDefaultValues = false;
    // Attribute texts came from a document in the old single-byte format; Text and u are UTF-8 in it.
    bool OldFormat = false;
    // For report inheritance: the object of the ancestor report to compare an object with, or none.
    std::function<TfrxComponent *(TfrxComponent *object)> OnGetAncestor;

    // Builds the element tree of the object (and of its children when saveChildren) in `item`, or,
    // without one, in a new indented document written to the stream. With useAncestor, objects from
    // an ancestor report are written under their class name instead of "inherited".
    void WriteObjectTree(TfrxComponent *object, bool saveChildren = true, TfrxXMLItem *item = nullptr,
                         bool useAncestor = false);
    // Reads the element (or the document of the stream) into the object and its children, resolves
    // references and clears the loading flags. Every problem becomes a line of Errors, except
    // malformed XML: the elements before the damage are read, then TfrxInvalidXMLException is raised.
    void ReadObjectTree(TfrxComponent *object, TfrxXMLItem *item = nullptr);

    // Applies an attribute text (` Name="value"` pairs, escaped) to the object. References are
    // recorded for resolution by ResolveReferences. Bad values add lines to Errors.
    void ApplyAttributes(const QString &text, TfrxComponent *object);
    // The attribute text of the object's stored properties (names prefixed with `prefix`), a text
    // object's Text and PropData; with an ancestor only what differs from it.
    QString CollectAttributes(TfrxComponent *object, const QString &prefix = {},
                              TfrxComponent *ancestor = nullptr);
    // The class name followed directly by the object's attribute text (no children).
    QString ObjectToAttributes(TfrxComponent *object);
    // Creates an object from ObjectToAttributes text as a child of `owner`, applies the attributes
    // and resolves references (or drops them with skipReferences). Returns none for a blank text;
    // an unknown class raises platform::Error with the "xrCantFindClass" text and the name. The
    // new object's loading flag stays set.
    TfrxComponent *AttributesToObject(const QString &text, TfrxComponent *owner, bool skipReferences = false);

    // Starts collecting references anew, dropping pending ones.
    void CreateFixups() { m_fixups.clear(); }
    // Stores every pending reference whose name can be found (in the order recorded) and forgets them.
    void FixupReferences();

    // The reference name of a component as written from the owner: its Name, or owner name + "." + Name
    // for a component that belongs to another host object.
    QString ReferenceName(const TfrxComponent *component) const;

    // Elements nested deeper than this below the root are not read (an error line says so).
    static constexpr int maxObjectDepth = 256;

private:
    // A reference property waiting for the object it names.
    struct Fixup {
        void *target; // the object or value object holding the property
        const PropInfo *info;
        QString name;
    };

    void readTree(TfrxComponent *object, TfrxXMLItem *item);
    TfrxComponent *readElement(TfrxXMLItem *item, TfrxComponent *parent, TfrxComponent *root);
    void writeElement(TfrxComponent *object, TfrxXMLItem *item, bool isRoot, bool useAncestor);
    void applyTo(const QString &text, TfrxComponent *component, void *target, const ClassInfo &cls);
    void applyOne(TfrxComponent *component, void *target, const ClassInfo &cls, const QString &name,
                  const QString &rawValue);
    void collectProperties(QString &text, void *target, const ClassInfo &cls, const QString &prefix,
                           void *ancestor);
    QByteArray definedProperties(TfrxComponent *object);
    // Reads a picture's property stream into `picture` and its kept stored form; a stream that holds
    // no readable picture adds an error line, leaves both as they were and gives false.
    bool readPictureData(QImage &picture, TfrxStoredPicture &stored, const QString &hex,
                         TfrxComponent *object);
    void readDefinedProperties(TfrxComponent *object, const QString &hex);
    TfrxComponent *findReference(const QString &name) const;
    QString decodedText(const QString &value) const;

    QIODevice *m_stream;
    std::vector<Fixup> m_fixups;
};

// ---- reports and components ----

// Reads a template document into the object (its subtree is cleared first). For a report this is the
// whole report load: options keep their session values where they should, the password is checked
// (through the prompt of frxPasswordCheck.h),
// a data page is guaranteed, and collected errors are shown once through ReportError. For any other
// object the errors go to its report's ErrorList. Errors of the stream propagate.
void LoadFromStream(TfrxComponent &object, QIODevice &stream);
// Empties the report, then loads the file when it exists (or fails with platform::FileError when
// it does not and exceptionIfNotFound). Returns whether the file existed.
bool LoadFromFile(TfrxReport &report, const QString &fileName, bool exceptionIfNotFound = false);
// Writes the object (and its subtree with saveChildren) as an indented template document; a report's
// password is stored shifted. Stream failures raise platform::FileError.
void SaveToStream(TfrxComponent &object, QIODevice &stream, bool saveChildren = true,
                  bool saveDefaultValues = false, bool useAncestor = false);
// Creates or replaces the file with the report's template; an absolute ParentReport is rewritten
// relative to the file's folder first. Raises platform::FileError naming the file on failure.
void SaveToFile(TfrxReport &report, const QString &fileName);

// Each UTF-16 code unit of the password moved by delta (the stored form is delta -10).
QString shiftedPassword(const QString &password, int delta);

} // namespace frx
