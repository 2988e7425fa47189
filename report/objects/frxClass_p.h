// Internals shared by the frxClass_*.cpp files: the property registration builder and small helpers.
#pragma once

#include "report/objects/frxClass.h"
#include "report/xml/frxXML.h"

#include <platform/errors.h>

#include <concepts>
#include <type_traits>

namespace frx {

// Compares ignoring the case of A-Z only; every other character must match exactly.
bool sameTextAscii(QStringView a, QStringView b);
// Lower-cases A-Z only.
QString asciiLower(QStringView text);

// Value names of the enumerations and sets of the object model.
namespace enums {
const EnumInfo &TfrxAlign();
const EnumInfo &TfrxShiftMode();
const EnumInfo &TfrxStretchMode();
const EnumInfo &TfrxFrameStyle();
const EnumInfo &TfrxFrameTypes();
const EnumInfo &TfrxHAlign();
const EnumInfo &TfrxVAlign();
const EnumInfo &TfrxRestrictions();
const EnumInfo &TfrxShapeKind();
const EnumInfo &TfrxDuplexMode();
const EnumInfo &TPrinterOrientation();
const EnumInfo &TfrxFormatKind();
const EnumInfo &TfrxDMPFontStyles();
const EnumInfo &TBrushStyle();
const EnumInfo &TFormBorderStyle();
const EnumInfo &TPosition();
const EnumInfo &TWindowState();
const EnumInfo &TFontStyles();
const EnumInfo &TfrxPreviewButtons();
const EnumInfo &TfrxZoomMode();
const EnumInfo &TfrxPrintMode();
const EnumInfo &TfrxPrintPages();
const EnumInfo &TfrxSilentMode();
} // namespace enums

namespace detail {

template <class C> C *targetAs(void *p)
{
    if constexpr (std::is_base_of_v<TfrxComponent, C>)
        return static_cast<C *>(static_cast<TfrxComponent *>(p));
    else
        return static_cast<C *>(p);
}

template <class C> const C *targetAs(const void *p)
{
    if constexpr (std::is_base_of_v<TfrxComponent, C>)
        return static_cast<const C *>(static_cast<const TfrxComponent *>(p));
    else
        return static_cast<const C *>(p);
}

template <class T> PropValue toPropValue(const T &value)
{
    if constexpr (std::is_same_v<T, bool>)
        return value;
    else if constexpr (std::is_enum_v<T> || std::is_integral_v<T>)
        return static_cast<qint64>(value);
    else if constexpr (std::is_floating_point_v<T>)
        return static_cast<Extended>(value);
    else if constexpr (std::is_same_v<T, QString>)
        return value;
    else if constexpr (std::is_same_v<T, QStringList>)
        return value;
    else if constexpr (std::is_pointer_v<T>)
        return static_cast<TfrxComponent *>(value);
    else
        static_assert(sizeof(T) == 0, "unsupported property type");
}

template <class T> T fromPropValue(const PropValue &value)
{
    if constexpr (std::is_same_v<T, bool>)
        return std::get<bool>(value);
    else if constexpr (std::is_enum_v<T> || std::is_integral_v<T>)
        return static_cast<T>(std::get<qint64>(value));
    else if constexpr (std::is_floating_point_v<T>)
        return static_cast<T>(std::get<Extended>(value));
    else if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, QStringList>)
        return std::get<T>(value);
    else if constexpr (std::is_pointer_v<T>)
        return static_cast<T>(std::get<TfrxComponent *>(value));
    else
        static_assert(sizeof(T) == 0, "unsupported property type");
}

} // namespace detail

// Registers the published properties of class C in declaration order. Getters and setters are data
// member pointers or member functions; def() and stored() refine the property added last.
template <class C> class ClassBuilder {
public:
    explicit ClassBuilder(ClassInfo &info) : m_info(info) {}

    template <class Get, class Set = std::nullptr_t>
    ClassBuilder &integer(const char16_t *name, Get get, Set set = nullptr)
    {
        return add(PropKind::Integer, name, get, set, std::is_same_v<Set, std::nullptr_t>);
    }
    template <class Get, class Set = std::nullptr_t>
    ClassBuilder &floating(const char16_t *name, Get get, Set set = nullptr)
    {
        return add(PropKind::Float, name, get, set, std::is_same_v<Set, std::nullptr_t>);
    }
    template <class Get, class Set = std::nullptr_t>
    ClassBuilder &string(const char16_t *name, Get get, Set set = nullptr)
    {
        return add(PropKind::String, name, get, set, std::is_same_v<Set, std::nullptr_t>);
    }
    template <class Get, class Set = std::nullptr_t>
    ClassBuilder &boolean(const char16_t *name, Get get, Set set = nullptr)
    {
        return add(PropKind::Boolean, name, get, set, std::is_same_v<Set, std::nullptr_t>);
    }
    template <class Get, class Set = std::nullptr_t>
    ClassBuilder &enumeration(const char16_t *name, const EnumInfo &info, Get get, Set set = nullptr)
    {
        add(PropKind::Enum, name, get, set, std::is_same_v<Set, std::nullptr_t>);
        m_info.own.back().enumInfo = &info;
        return *this;
    }
    template <class Get, class Set = std::nullptr_t>
    ClassBuilder &set(const char16_t *name, const EnumInfo &info, Get get, Set set = nullptr)
    {
        add(PropKind::Set, name, get, set, std::is_same_v<Set, std::nullptr_t>);
        m_info.own.back().enumInfo = &info;
        return *this;
    }
    template <class Get, class Set = std::nullptr_t>
    ClassBuilder &stringList(const char16_t *name, Get get, Set set = nullptr)
    {
        return add(PropKind::StringList, name, get, set, std::is_same_v<Set, std::nullptr_t>);
    }
    template <class Get, class Set>
    ClassBuilder &component(const char16_t *name, const char16_t *referenceClass, Get get, Set set)
    {
        add(PropKind::Component, name, get, set, false);
        m_info.own.back().referenceClass = QString::fromUtf16(referenceClass);
        return *this;
    }
    // A read-write text store exposed as its lines.
    template <class Get, class Set> ClassBuilder &textStore(const char16_t *name, Get get, Set set)
    {
        PropInfo info;
        info.name = QString::fromUtf16(name);
        info.kind = PropKind::TextStore;
        info.getter = [get](const void *t) -> PropValue { return get(*detail::targetAs<C>(t)); };
        info.setter = [set](void *t, const PropValue &v) {
            set(*detail::targetAs<C>(t), std::get<QStringList>(v));
        };
        m_info.own.push_back(std::move(info));
        return *this;
    }
    // An owned value object; `changed` (may be none) runs after one of its sub-properties was written.
    template <class Object, class Changed = std::nullptr_t>
    ClassBuilder &object(const char16_t *name, const ClassInfo &objectClass, Object object,
                         Changed changed = nullptr)
    {
        PropInfo info;
        info.name = QString::fromUtf16(name);
        info.kind = PropKind::Object;
        info.objectClass = &objectClass;
        info.getter = [](const void *) -> PropValue { return {}; };
        info.objectOf = [object](void *t) -> void * {
            return static_cast<void *>(object(*detail::targetAs<C>(t)));
        };
        if constexpr (!std::is_same_v<Changed, std::nullptr_t>)
            info.objectChanged = [changed](void *t) { changed(*detail::targetAs<C>(t)); };
        m_info.own.push_back(std::move(info));
        return *this;
    }

    template <class T> ClassBuilder &def(T value)
    {
        m_info.own.back().defaultValue = detail::toPropValue(value);
        return *this;
    }
    template <class Rule> ClassBuilder &stored(Rule rule)
    {
        m_info.own.back().storedRule = [rule](const void *t) { return rule(*detail::targetAs<C>(t)); };
        return *this;
    }

private:
    template <class Get, class Set>
    ClassBuilder &add(PropKind kind, const char16_t *name, Get get, Set set, bool setFromGetter)
    {
        PropInfo info;
        info.name = QString::fromUtf16(name);
        info.kind = kind;
        using T = std::decay_t<std::invoke_result_t<Get, const C &>>;
        info.getter = [get](const void *t) -> PropValue {
            return detail::toPropValue<T>(std::invoke(get, *detail::targetAs<C>(t)));
        };
        if (setFromGetter) {
            if constexpr (std::is_member_object_pointer_v<Get>)
                info.setter = [get](void *t, const PropValue &v) {
                    std::invoke(get, *detail::targetAs<C>(t)) = detail::fromPropValue<T>(v);
                };
        } else if constexpr (std::is_member_object_pointer_v<Set>) {
            info.setter = [set](void *t, const PropValue &v) {
                std::invoke(set, *detail::targetAs<C>(t)) = detail::fromPropValue<T>(v);
            };
        } else if constexpr (!std::is_same_v<Set, std::nullptr_t>) {
            info.setter = [set](void *t, const PropValue &v) {
                std::invoke(set, *detail::targetAs<C>(t), detail::fromPropValue<T>(v));
            };
        }
        m_info.own.push_back(std::move(info));
        return *this;
    }

    ClassInfo &m_info;
};

// Common published properties of component classes.
template <class C> void publishBounds(ClassBuilder<C> &b)
{
    b.floating(u"Left", &C::Left, &C::SetLeft);
    b.floating(u"Top", &C::Top, &C::SetTop);
    b.floating(u"Width", &C::Width, &C::SetWidth);
    b.floating(u"Height", &C::Height, &C::SetHeight);
}
template <class C> void publishFont(ClassBuilder<C> &b)
{
    b.object(
         u"Font", fontClassInfo(), [](C &c) { return c.mutableFont(); }, [](C &c) { c.FontChanged(); })
        .stored([](const C &c) { return !c.ParentFont(); });
}
template <class C> void publishParentFont(ClassBuilder<C> &b)
{
    b.boolean(u"ParentFont", &C::ParentFont, &C::SetParentFont).def(true);
}
template <class C> void publishVisible(ClassBuilder<C> &b)
{
    b.boolean(u"Visible", &C::Visible, &C::SetVisible).def(true);
}
template <class C> void publishRestrictions(ClassBuilder<C> &b)
{
    b.set(u"Restrictions", enums::TfrxRestrictions(), &C::Restrictions).def(0u);
}
template <class C> void publishGroupIndex(ClassBuilder<C> &b)
{
    b.integer(u"GroupIndex", &C::GroupIndex).def(0);
}
template <class C> void publishFrame(ClassBuilder<C> &b)
{
    b.object(u"Frame", TfrxFrame::staticClassInfo(), [](C &c) { return &c.Frame(); });
}
template <class C> void publishDataSet(ClassBuilder<C> &b)
{
    b.component(u"DataSet", u"TfrxDataSet", &C::DataSet, &C::SetDataSet);
    b.string(u"DataSetName", &C::DataSetName, &C::SetDataSetName);
}

// Builds the class information of a component class once: name, parent, factory and properties.
template <class C, class Register>
const ClassInfo &buildClass(const char16_t *name, const ClassInfo *parent, bool inTemplateRegistry,
                            Register registerProperties)
{
    static const ClassInfo info = [&] {
        ClassInfo result;
        result.name = QString::fromUtf16(name);
        result.parent = parent;
        result.inTemplateRegistry = inTemplateRegistry;
        if constexpr (std::is_base_of_v<TfrxComponent, C> && !std::is_abstract_v<C> &&
                      std::is_constructible_v<C, TfrxComponent *>)
            result.create = [](TfrxComponent *owner) -> TfrxComponent * { return new C(owner); };
        ClassBuilder<C> builder(result);
        registerProperties(builder);
        result.finish();
        return result;
    }();
    return info;
}

} // namespace frx
