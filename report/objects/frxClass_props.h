// Published properties of report objects: one registration per class, read by the template serialiser,
// the script host and the difference text. Included through frxClass.h.
#pragma once

#include "report/base/frxUtils.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace frx {

class TfrxComponent;
struct ClassInfo;

enum class PropKind {
    Integer,    // 32-bit integer, colour, cursor
    Float,      // extended float
    String,     // text
    Boolean,    // stored by name "True" / "False"
    Enum,       // ordinal, stored by value name
    Set,        // bit mask, stored as its decimal value
    Component,  // reference to another report object, stored by name
    StringList, // lines, stored as Property.Text
    TextStore,  // the text object's text store; never stored as a property (the object's Text is)
    Object,     // owned value object with dotted sub-properties (Font.Name, Frame.LeftLine.Color)
};

// A value crossing the registry boundary. Integer, Enum and Set carry qint64 (ordinal or bits), Float
// Extended, Boolean bool, String QString, StringList and TextStore QStringList (the lines), Component a
// pointer (none = nullptr). Object properties carry no value (monostate); walk into them instead.
using PropValue = std::variant<std::monostate, qint64, Extended, bool, QString, QStringList, TfrxComponent *>;

// Value names of an enumeration (ordinal = index) or of a set's bits (bit i = 1 << i).
struct EnumInfo {
    QString typeName;
    QStringList names;

    // Index of the name compared ignoring ASCII case, or -1.
    int indexOf(QStringView name) const;
    QString nameOf(qint64 ordinal) const; // empty outside the range
};

// One published property. The target of every accessor is the object that owns the property: for a
// report object a TfrxComponent pointer, for a value object a pointer to the value object itself.
struct PropInfo {
    QString name;
    PropKind kind = PropKind::Integer;
    const EnumInfo *enumInfo = nullptr;     // Enum and Set
    const ClassInfo *objectClass = nullptr; // Object: the sub-properties
    QString referenceClass;                 // Component: class name a referenced object must inherit
    std::optional<PropValue> defaultValue;  // declared default of ordinal kinds; none = always written

    std::function<PropValue(const void *)> getter;
    std::function<void(void *, const PropValue &)> setter; // none: read-only
    std::function<bool(const void *)> storedRule;          // none: always stored
    std::function<void *(void *)> objectOf;                // Object: the owned value object
    std::function<void(void *)> objectChanged;             // Object: after a sub-property was set

    PropValue value(const void *target) const { return getter(target); }
    // Converts the value to the property's kind and calls the setter. Throws platform::Error for a
    // read-only property, a value of the wrong kind or an out-of-range ordinal; setters throw their own.
    void setValue(void *target, const PropValue &value) const;
    bool isStored(const void *target) const { return !storedRule || storedRule(target); }
    bool isReadOnly() const { return !setter; }
    // True when the value equals the declared default (false when there is none).
    bool isDefault(const void *target) const;
};

// A class of the report object tree (or a value object type) with its published properties.
struct ClassInfo {
    QString name;
    const ClassInfo *parent = nullptr;
    std::vector<PropInfo> own;               // this class's published properties, in declaration order
    std::vector<const PropInfo *> all;       // inherited first, then own
    QHash<QString, const PropInfo *> byName; // lower-case ASCII name -> property
    // Creates an object of this class as a child of the given object; none for abstract and value classes.
    std::function<TfrxComponent *(TfrxComponent *owner)> create;
    bool inTemplateRegistry = false; // element names a template may use for this class

    const PropInfo *property(QStringView propertyName) const; // ASCII case ignored; none when absent
    bool inherits(QStringView className) const;               // this class or an ancestor has that name
    // Fills `all` and `byName` from the parent's list and `own`; called once when the class is built.
    void finish();
};

// The class registry: every class of the report object tree and the value object types, by name
// (ASCII case ignored). Returns none for an unknown name.
const ClassInfo *findClass(QStringView className);
// Adds a class of another unit (data sets) to the registry; a later class of the same name replaces it.
void registerClass(const ClassInfo &info);
// All registered classes in registration order.
std::vector<const ClassInfo *> registeredClasses();

// A resolved dotted property name: the property, the object that holds it, and the value objects walked
// through on the way (outermost first), whose change notifications run after a write.
struct PropPath {
    void *target = nullptr;
    const PropInfo *info = nullptr;
    QString rest; // the part after a string list or text store property ("Text" of "ScriptText.Text")
    std::vector<std::pair<void *, const PropInfo *>> walked;
};

// Resolves "Left", "Font.Name" or "Frame.LeftLine.Color" on an object. A part before the last that is
// not an Object property ends the walk; the remaining dotted name is then looked up as a whole (and
// normally does not exist). Returns nothing when the final name is not a published property.
std::optional<PropPath> resolveProperty(TfrxComponent *object, QStringView dottedName);
// Reads a property by dotted name; monostate when it does not exist.
PropValue readProperty(TfrxComponent *object, QStringView dottedName);
// Writes a property by dotted name and runs the change notifications of the value objects walked
// through. Returns false when the property does not exist or is read-only; the setter's errors propagate.
bool writeProperty(TfrxComponent *object, QStringView dottedName, const PropValue &value);
// Writes through a resolved path (as writeProperty).
void writeProperty(const PropPath &path, const PropValue &value);

// The value as a template attribute carries it: decimal integers and set bits, enumeration value names,
// "True"/"False", floats in the general decimal form, escaped strings, a referenced object's Name, and
// string lists joined by CR LF without the final one (escaped). Empty for Object and TextStore.
QString propertyText(const PropInfo &info, const PropValue &value);
// The attributes of an object's stored properties as a template element carries them, each pair as
// ` Name="value"`, value objects with their dotted prefix, a text object's Text last; without Name and
// class name. Without `saveDefaults`, ordinal values equal to their default, empty strings and unset
// references are left out.
QString storedAttributes(TfrxComponent *object, bool saveDefaults = false);
// The same for a value object (a style item, an option object) of the given class.
QString storedAttributes(void *target, const ClassInfo &cls, bool saveDefaults = false);
// The value of an attribute text (already unescaped) for the property: decimal integers and set bits;
// an enumeration's decimal ordinal or value name; "True"/"False" or a number for Booleans; floats
// with "." or "," and blanks ignored; strings as they are; a string list split into lines. Throws
// platform::Error for a text the kind does not accept (an unknown value name included). Component
// and Object properties have no text value and throw too.
PropValue propertyValueFromText(const PropInfo &info, const QString &text);
// Applies an attribute text (name="value" pairs, escapes in place) to a value object; a name that is
// not a published property is ignored, and a bad value adds the error's message to `errors`.
void applyAttributeText(void *target, const ClassInfo &cls, const QString &text, QStringList &errors);

} // namespace frx
