// Evaluation of expression nodes.
#include "script/tree.h"

#include "script/fsScript.h"
#include "script/scripterror.h"
#include "script/scriptobject.h"

#include <QVarLengthArray>

using namespace Qt::StringLiterals;

namespace script {

namespace {

thread_local int callDepth = 0;

// Runs a host callback; errors of the platform hierarchy become catchable script errors.
template <typename F> auto guarded(F &&f) -> decltype(f())
{
    try {
        return f();
    } catch (const ScriptError &) {
        throw;
    } catch (const platform::Error &e) {
        throw ScriptError::runtime(e.message());
    }
}

ScriptObject *objectFor(const Variant &v, const QString &member)
{
    if (v.isObject()) return v.objectValue();
    if (v.isNull()) throw ScriptError::runtime(u"Cannot use member '%1' of nil"_s.arg(member));
    throw ScriptError::runtime(u"Cannot use member '%1' of a value of type (%2)"_s.arg(member, v.typeName()));
}

Variant indexValue(const Variant &base, const VariantList &index)
{
    if (base.isString()) {
        if (index.size() != 1) throw ScriptError::runtime(u"A string takes one index"_s);
        qint64 k = index[0].toInt64();
        const QString &s = base.stringRef();
        if (k < 1 || k > s.size()) throw ScriptError::runtime(u"String index %1 out of range"_s.arg(k));
        return Variant(QString(s.at(qsizetype(k - 1))));
    }
    if (base.isArray()) {
        Variant current = base;
        for (const Variant &i : index) {
            if (!current.isArray()) throw ScriptError::runtime(u"Too many indices"_s);
            Variant next = current.at(i.toInt64());
            current = std::move(next);
        }
        return current;
    }
    if (base.isObject()) {
        Variant v;
        ScriptObject *o = base.objectValue();
        if (guarded([&] { return o->getIndexed(QString(), index, v); })) return v;
        throw ScriptError::runtime(u"%1 has no default indexed property"_s.arg(o->scriptClassName()));
    }
    throw ScriptError::runtime(u"A value of type (%1) cannot be indexed"_s.arg(base.typeName()));
}

VariantList evalAll(Exec &x, const ExprList &list)
{
    VariantList values;
    values.reserve(list.size());
    for (const ExprPtr &e : list)
        values.push_back(e->eval(x));
    return values;
}

int heightOf(const ExprPtr &a, const ExprPtr &b)
{
    return 1 + std::max(a ? a->height : 0, b ? b->height : 0);
}

} // namespace

void Expr::assign(Exec &, const Variant &) const
{
    throw ScriptError::runtime(u"Cannot assign to this expression"_s);
}

void LocalExpr::assign(Exec &x, const Variant &value) const
{
    if (readOnly) Expr::assign(x, value);
    *x.frame[slot] = hint == Hint::Null ? value : value.convertedTo(hint);
}

void GlobalExpr::assign(Exec &x, const Variant &value) const
{
    if (readOnly) Expr::assign(x, value);
    *slot = hint == Hint::Null ? value : value.convertedTo(hint);
}

BinaryExpr::BinaryExpr(BinOp o, ExprPtr l, ExprPtr r) : op(o), left(std::move(l)), right(std::move(r))
{
    height = heightOf(left, right);
}

Variant BinaryExpr::eval(Exec &x) const
{
    Variant a = left->eval(x);
    if (op == BinOp::And && a.type() == Variant::Type::Boolean && !a.boolValue())
        return a; // False and … is False without evaluating the rest
    if (op == BinOp::Or && a.type() == Variant::Type::Boolean && a.boolValue()) return a;
    Variant b = right->eval(x);
    switch (op) {
    case BinOp::Add:
        return Variant::add(a, b);
    case BinOp::Sub:
        return Variant::subtract(a, b);
    case BinOp::Mul:
        return Variant::multiply(a, b);
    case BinOp::Div:
        return Variant::divide(a, b);
    case BinOp::IntDiv:
        return Variant::intDivide(a, b);
    case BinOp::Mod:
        return Variant::modulo(a, b);
    case BinOp::And:
        return Variant::bitAnd(a, b);
    case BinOp::Or:
        return Variant::bitOr(a, b);
    case BinOp::Xor:
        return Variant::bitXor(a, b);
    case BinOp::Shl:
        return Variant::shiftLeft(a, b);
    case BinOp::Shr:
        return Variant::shiftRight(a, b);
    case BinOp::Eq:
        return Variant(Variant::equals(a, b));
    case BinOp::Ne:
        return Variant(!Variant::equals(a, b));
    case BinOp::Lt:
        return Variant(Variant::compare(a, b) < 0);
    case BinOp::Gt:
        return Variant(Variant::compare(a, b) > 0);
    case BinOp::Le:
        return Variant(Variant::compare(a, b) <= 0);
    case BinOp::Ge:
        return Variant(Variant::compare(a, b) >= 0);
    }
    return {};
}

UnaryExpr::UnaryExpr(UnOp o, ExprPtr e) : op(o), operand(std::move(e))
{
    height = operand->height + 1;
}

Variant UnaryExpr::eval(Exec &x) const
{
    Variant v = operand->eval(x);
    return op == UnOp::Neg ? Variant::negate(v) : Variant::logicalNot(v);
}

Variant SetExpr::eval(Exec &x) const
{
    VariantList items;
    for (const Element &e : elements) {
        Variant low = e.low->eval(x);
        if (!e.high) {
            items.push_back(std::move(low));
            continue;
        }
        qint64 from = low.toInt64(), to = e.high->eval(x).toInt64();
        if (to >= from && to - from >= 65536) throw ScriptError::runtime(u"Set range too large"_s);
        for (qint64 i = from; i <= to; ++i)
            items.push_back(Variant(i));
    }
    return Variant::array(std::move(items));
}

bool SetExpr::contains(Exec &x, const Variant &value) const
{
    for (const Element &e : elements) {
        if (!e.high) {
            if (Variant::equals(value, e.low->eval(x))) return true;
        } else if (Variant::compare(value, e.low->eval(x)) >= 0 &&
                   Variant::compare(value, e.high->eval(x)) <= 0) {
            return true;
        }
    }
    return false;
}

Variant InExpr::eval(Exec &x) const
{
    Variant v = value->eval(x);
    if (literal) return Variant(literal->contains(x, v));
    Variant s = set->eval(x);
    if (!s.isArray()) throw ScriptError::runtime(u"Operator 'in' needs a set"_s);
    for (qint64 i = 0, n = s.arrayCount(); i < n; ++i)
        if (Variant::equals(v, s.at(s.arrayLow() + i))) return Variant(true);
    return Variant(false);
}

Variant IsExpr::eval(Exec &x) const
{
    Variant v = value->eval(x);
    if (!v.isObject()) return Variant(false);
    ScriptObject *o = v.objectValue();
    return Variant(guarded([&] { return o->isA(className); }));
}

Variant invokeRoutine(Exec &x, const Routine &r, Variant **frame, int)
{
    if (++callDepth > MaxCallDepth) {
        --callDepth;
        throw ScriptError(ScriptError::Kind::Limit, u"Stack overflow"_s);
    }
    Variant **savedFrame = x.frame;
    int savedLine = x.line, savedColumn = x.column;
    x.frame = frame;
    try {
        x.tick();
        r.body->exec(x);
    } catch (ScriptError &e) {
        if (!e.hasPosition()) e.setPosition(x.line, x.column);
        e.addCaller(u"[line %1] in %2"_s.arg(x.line).arg(r.name));
        x.frame = savedFrame;
        x.line = savedLine;
        x.column = savedColumn;
        --callDepth;
        throw;
    }
    x.frame = savedFrame;
    x.line = savedLine;
    x.column = savedColumn;
    --callDepth;
    return r.resultSlot >= 0 ? std::move(*frame[r.resultSlot]) : Variant();
}

Variant CallExpr::eval(Exec &x) const
{
    const Routine &r = *routine;
    const size_t n = r.slotHints.size();
    const qsizetype count = qsizetype(n);
    QVarLengthArray<Variant, 8> storage(count);
    QVarLengthArray<Variant *, 8> frame(count);
    bool writeBack = false;
    for (size_t i = 0; i < r.params.size(); ++i) {
        const Param &p = r.params[i];
        if (p.byRef) {
            if (Variant *target = args[i]->ref(x)) {
                frame[qsizetype(i)] = target;
                continue;
            }
            writeBack = true;
            storage[qsizetype(i)] = args[i]->eval(x);
        } else {
            Variant v = args[i]->eval(x);
            storage[qsizetype(i)] = p.hint == Hint::Null ? std::move(v) : v.convertedTo(p.hint);
        }
        frame[qsizetype(i)] = &storage[qsizetype(i)];
    }
    for (size_t i = r.params.size(); i < n; ++i) {
        storage[qsizetype(i)] = r.slotInitial[i];
        frame[qsizetype(i)] = &storage[qsizetype(i)];
    }
    Variant result = invokeRoutine(x, r, frame.data(), int(n));
    if (writeBack)
        for (size_t i = 0; i < r.params.size(); ++i)
            if (r.params[i].byRef && frame[qsizetype(i)] == &storage[qsizetype(i)] && args[i]->assignable())
                args[i]->assign(x, storage[qsizetype(i)]);
    return result;
}

Variant HostCallExpr::eval(Exec &x) const
{
    x.tick();
    VariantList values;
    values.reserve(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
        Hint hint = function->params[i].hint;
        Variant v = args[i]->eval(x);
        values.push_back(hint == Hint::Null || function->params[i].byRef ? std::move(v)
                                                                         : v.convertedTo(hint));
    }
    static const QStringList noTexts;
    HostCall call{*x.script, values, noTexts};
    Variant result = guarded([&] { return function->impl(call); });
    for (size_t i = 0; i < args.size(); ++i)
        if (function->params[i].byRef && args[i]->assignable()) args[i]->assign(x, values[i]);
    return result;
}

Variant MacroCallExpr::eval(Exec &x) const
{
    x.tick();
    VariantList none;
    HostCall call{*x.script, none, texts};
    return guarded([&] { return function->impl(call); });
}

Variant CastExpr::eval(Exec &x) const
{
    Variant v = value->eval(x);
    return hint == Hint::Null ? v : v.convertedTo(hint);
}

Variant MemberExpr::eval(Exec &x) const
{
    Variant owner = object->eval(x);
    ScriptObject *o = objectFor(owner, name);
    Variant v;
    if (guarded([&] { return o->getProperty(name, v); })) return v;
    VariantList none;
    if (guarded([&] { return o->callMethod(name, none, v); })) return v;
    throw ScriptError::runtime(u"%1 has no member '%2'"_s.arg(o->scriptClassName(), name));
}

void MemberExpr::assign(Exec &x, const Variant &value) const
{
    Variant owner = object->eval(x);
    ScriptObject *o = objectFor(owner, name);
    if (!guarded([&] { return o->setProperty(name, value); }))
        throw ScriptError::runtime(u"%1 has no writable property '%2'"_s.arg(o->scriptClassName(), name));
}

Variant MethodCallExpr::eval(Exec &x) const
{
    Variant owner = object->eval(x);
    ScriptObject *o = objectFor(owner, name);
    VariantList values = evalAll(x, args);
    x.tick();
    Variant v;
    if (guarded([&] { return o->callMethod(name, values, v); })) return v;
    throw ScriptError::runtime(u"%1 has no method '%2'"_s.arg(o->scriptClassName(), name));
}

Variant IndexedMemberExpr::eval(Exec &x) const
{
    Variant owner = object->eval(x);
    ScriptObject *o = objectFor(owner, name);
    VariantList values = evalAll(x, index);
    Variant v;
    if (guarded([&] { return o->getIndexed(name, values, v); })) return v;
    if (guarded([&] { return o->getProperty(name, v); })) return indexValue(v, values);
    throw ScriptError::runtime(u"%1 has no member '%2'"_s.arg(o->scriptClassName(), name));
}

void IndexedMemberExpr::assign(Exec &x, const Variant &value) const
{
    Variant owner = object->eval(x);
    ScriptObject *o = objectFor(owner, name);
    VariantList values = evalAll(x, index);
    if (guarded([&] { return o->setIndexed(name, values, value); })) return;
    Variant v;
    if (guarded([&] { return o->getProperty(name, v); }) && v.isObject()) {
        ScriptObject *inner = v.objectValue();
        if (guarded([&] { return inner->setIndexed(QString(), values, value); })) return;
    }
    throw ScriptError::runtime(u"%1 has no writable indexed property '%2'"_s.arg(o->scriptClassName(), name));
}

Variant IndexExpr::eval(Exec &x) const
{
    Variant b = base->eval(x);
    return indexValue(b, evalAll(x, index));
}

Variant *IndexExpr::ref(Exec &x) const
{
    Variant *p = base->ref(x);
    if (!p || !p->isArray()) return nullptr;
    VariantList values = evalAll(x, index);
    for (size_t i = 0; i < values.size(); ++i) {
        if (!p->isArray()) throw ScriptError::runtime(u"Too many indices"_s);
        p = &p->elementRef(values[i].toInt64());
    }
    return p;
}

void IndexExpr::assign(Exec &x, const Variant &value) const
{
    Variant *p = base->ref(x);
    if (p && p->isArray()) {
        *ref(x) = value;
        return;
    }
    VariantList values = evalAll(x, index);
    if (p && p->isString()) {
        qint64 k = values.size() == 1 ? values[0].toInt64() : 0;
        QString s = p->stringRef();
        if (k < 1 || k > s.size()) throw ScriptError::runtime(u"String index %1 out of range"_s.arg(k));
        QString c = value.toString();
        s[qsizetype(k - 1)] = c.isEmpty() ? QChar(u' ') : c.at(0);
        *p = Variant(std::move(s));
        return;
    }
    Variant b = p ? *p : base->eval(x);
    if (b.isObject()) {
        ScriptObject *o = b.objectValue();
        if (guarded([&] { return o->setIndexed(QString(), values, value); })) return;
        throw ScriptError::runtime(u"%1 has no default indexed property"_s.arg(o->scriptClassName()));
    }
    throw ScriptError::runtime(u"A value of type (%1) cannot be indexed"_s.arg(b.typeName()));
}

Variant WithNameExpr::eval(Exec &x) const
{
    const Variant &w = slot >= 0 ? *x.frame[slot] : *global;
    if (w.isObject()) {
        ScriptObject *o = w.objectValue();
        Variant v;
        if (call) {
            VariantList values = evalAll(x, args);
            if (guarded([&] { return o->callMethod(name, values, v); })) return v;
        } else {
            if (guarded([&] { return o->getProperty(name, v); })) return v;
            VariantList none;
            if (guarded([&] { return o->callMethod(name, none, v); })) return v;
        }
    }
    if (fallback) return fallback->eval(x);
    throw ScriptError::runtime(u"Unknown identifier '%1'"_s.arg(name));
}

void WithNameExpr::assign(Exec &x, const Variant &value) const
{
    const Variant &w = slot >= 0 ? *x.frame[slot] : *global;
    if (w.isObject()) {
        ScriptObject *o = w.objectValue();
        if (guarded([&] { return o->setProperty(name, value); })) return;
    }
    if (fallback && fallback->assignable()) {
        fallback->assign(x, value);
        return;
    }
    throw ScriptError::runtime(u"Unknown identifier '%1'"_s.arg(name));
}

} // namespace script
