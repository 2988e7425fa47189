// Execution of statement nodes.
#include "script/tree.h"

#include "script/fsScript.h"
#include "script/scripterror.h"

#include <limits>

namespace script {

namespace {

inline void at(Exec &x, const Stmt &s)
{
    x.line = s.line;
    x.column = s.column;
}

} // namespace

Flow runList(Exec &x, const std::vector<StmtPtr> &list)
{
    for (const StmtPtr &s : list) {
        Flow f = s->exec(x);
        if (f != Flow::Normal) return f;
    }
    return Flow::Normal;
}

Flow ExprStmt::exec(Exec &x) const
{
    at(x, *this);
    expr->eval(x);
    return Flow::Normal;
}

Flow AssignStmt::exec(Exec &x) const
{
    at(x, *this);
    Variant v = value->eval(x);
    target->assign(x, v);
    return Flow::Normal;
}

Flow BlockStmt::exec(Exec &x) const
{
    return runList(x, body);
}

Flow IfStmt::exec(Exec &x) const
{
    at(x, *this);
    if (condition->eval(x).toBool()) return then ? then->exec(x) : Flow::Normal;
    return otherwise ? otherwise->exec(x) : Flow::Normal;
}

Flow WhileStmt::exec(Exec &x) const
{
    for (;;) {
        at(x, *this);
        x.tick();
        if (!condition->eval(x).toBool()) return Flow::Normal;
        Flow f = body ? body->exec(x) : Flow::Normal;
        if (f == Flow::Break) return Flow::Normal;
        if (f == Flow::Exit) return f;
    }
}

Flow RepeatStmt::exec(Exec &x) const
{
    for (;;) {
        x.tick();
        Flow f = runList(x, body);
        if (f == Flow::Break) return Flow::Normal;
        if (f == Flow::Exit) return f;
        at(x, *this);
        if (condition->eval(x).toBool()) return Flow::Normal;
    }
}

Flow ForStmt::exec(Exec &x) const
{
    at(x, *this);
    qint64 i = from->eval(x).toInt64();
    qint64 last = to->eval(x).toInt64();
    if (down ? i < last : i > last) return Flow::Normal;
    for (;;) {
        x.tick();
        variable->assign(x, Variant(i));
        Flow f = body ? body->exec(x) : Flow::Normal;
        if (f == Flow::Break) return Flow::Normal;
        if (f == Flow::Exit) return f;
        if (i == last) return Flow::Normal;
        down ? --i : ++i;
        at(x, *this);
    }
}

Flow CaseStmt::exec(Exec &x) const
{
    at(x, *this);
    Variant v = selector->eval(x);
    for (const Branch &b : branches)
        if (b.labels.contains(x, v)) return b.body ? b.body->exec(x) : Flow::Normal;
    return otherwise ? otherwise->exec(x) : Flow::Normal;
}

Flow TryExceptStmt::exec(Exec &x) const
{
    Variant **frame = x.frame;
    try {
        return runList(x, body);
    } catch (const ScriptError &e) {
        if (!e.isCatchable()) throw;
        x.frame = frame;
        x.script->setExceptionMessage(e.message());
    } catch (const platform::Error &e) {
        x.frame = frame;
        x.script->setExceptionMessage(e.message());
    }
    return runList(x, handler);
}

Flow TryFinallyStmt::exec(Exec &x) const
{
    Variant **frame = x.frame;
    Flow f;
    try {
        f = runList(x, body);
    } catch (...) {
        x.frame = frame;
        runList(x, cleanup);
        throw;
    }
    Flow g = runList(x, cleanup);
    return g != Flow::Normal ? g : f;
}

Flow WithStmt::exec(Exec &x) const
{
    at(x, *this);
    Variant &holder = slot >= 0 ? *x.frame[slot] : *global;
    holder = object->eval(x);
    if (!holder.isObject())
        throw ScriptError::runtime(holder.isNull() ? QStringLiteral("With needs an object, not nil")
                                                   : QStringLiteral("With needs an object"));
    return body ? body->exec(x) : Flow::Normal;
}

Flow JumpStmt::exec(Exec &x) const
{
    at(x, *this);
    if (result) {
        Variant v = result->eval(x);
        if (resultSlot >= 0) *x.frame[resultSlot] = std::move(v);
    }
    return flow;
}

} // namespace script
