#include "script/fsScript.h"

#include "script/parser.h"
#include "script/tree.h"

#include <QDebug>

#include <limits>
#include <new>

using namespace Qt::StringLiterals;

namespace script {

void Exec::checkpoint()
{
    for (int i = 0; i < stopFlagCount; ++i)
        if (stopFlags[i]->load(std::memory_order_relaxed))
            throw ScriptError(ScriptError::Kind::Stopped, u"Script stopped"_s);
    qint64 limit = script->m_stepLimit;
    if (limit > 0 && steps >= limit) throw ScriptError(ScriptError::Kind::Limit, u"Step limit exceeded"_s);
    if (script->m_poll) {
        nextCheck = steps + script->m_pollInterval;
        script->m_poll();
    } else {
        nextCheck = std::numeric_limits<qint64>::max();
    }
    if (limit > 0) nextCheck = std::min(nextCheck, limit);
}

TfsExpression::~TfsExpression() = default;

Variant TfsExpression::evaluate()
{
    return m_script->runEntry([this](Exec &x) { return m_expr->eval(x); }, u"expression"_s);
}

TfsScript::TfsScript() = default;
TfsScript::~TfsScript() = default;

// Counts the runs in progress; the outermost one starts and ends with a cleared stop request, so that
// a request never outlives the run it stopped (expressions of child scripts watch it too).
class TfsScript::RunGuard {
public:
    explicit RunGuard(TfsScript &s) : m_s(s)
    {
        if (m_s.m_running++ == 0) m_s.m_stop.store(false, std::memory_order_relaxed);
    }
    ~RunGuard()
    {
        if (--m_s.m_running == 0) m_s.m_stop.store(false, std::memory_order_relaxed);
    }

private:
    TfsScript &m_s;
};

void TfsScript::beginExec(Exec &x)
{
    x.script = this;
    x.stopFlagCount = 0;
    for (const TfsScript *s = this; s && x.stopFlagCount < 4; s = s->m_parent)
        x.stopFlags[x.stopFlagCount++] = &s->m_stop;
    x.nextCheck = std::numeric_limits<qint64>::max();
    if (m_stepLimit > 0) x.nextCheck = m_stepLimit;
    if (m_poll) x.nextCheck = std::min(x.nextCheck, m_pollInterval);
}

Variant TfsScript::runEntry(const std::function<Variant(Exec &)> &body, const QString &where)
{
    RunGuard guard(*this);
    Exec x;
    beginExec(x);
    try {
        return body(x);
    } catch (ScriptError &e) {
        if (!e.hasPosition()) e.setPosition(x.line, x.column);
        e.addCaller(u"[line %1] in %2"_s.arg(x.line).arg(where));
        throw;
    } catch (const platform::Error &e) {
        ScriptError error = ScriptError::runtime(e.message());
        error.setPosition(x.line, x.column);
        error.addCaller(u"[line %1] in %2"_s.arg(x.line).arg(where));
        throw error;
    } catch (const std::bad_alloc &) {
        throw ScriptError(ScriptError::Kind::Limit, u"Out of memory"_s);
    }
}

bool TfsScript::compile(const QString &source)
{
    Parser parser(*this, source);
    std::shared_ptr<Program> program = parser.parseProgram();
    m_diagnostics = parser.diagnostics();
    if (!program) {
        m_program.reset();
        return false;
    }
    m_program = std::move(program);
    return true;
}

QString TfsScript::errorText() const
{
    return m_diagnostics.isEmpty() ? QString() : m_diagnostics.first().text();
}

int TfsScript::mainStatementCount() const
{
    return m_program ? m_program->mainStatements : 0;
}

void TfsScript::runMain()
{
    if (!m_program || !m_program->main) return;
    std::shared_ptr<const Program> program = m_program;
    runEntry(
        [&](Exec &x) {
            x.frame = nullptr;
            x.tick();
            program->main->exec(x);
            return Variant();
        },
        u"main block"_s);
}

bool TfsScript::hasRoutine(const QString &name) const
{
    if (!m_program) return false;
    auto it = m_program->symbols.constFind(name.toLower());
    return it != m_program->symbols.constEnd() && it->kind == Program::Symbol::Function;
}

Variant TfsScript::call(const QString &name, VariantList &args)
{
    if (!hasRoutine(name)) throw ScriptError::runtime(u"Unknown routine '%1'"_s.arg(name));
    std::shared_ptr<const Program> program = m_program;
    const Routine &r = *program->symbols.value(name.toLower()).routine;
    if (args.size() > r.params.size())
        throw ScriptError::runtime(u"Too many actual parameters for '%1'"_s.arg(r.name));
    for (size_t i = args.size(); i < r.params.size(); ++i)
        if (!r.params[i].hasDefault)
            throw ScriptError::runtime(u"Not enough actual parameters for '%1'"_s.arg(r.name));
    return runEntry(
        [&](Exec &x) {
            const size_t n = r.slotHints.size();
            std::vector<Variant> storage(n);
            std::vector<Variant *> frame(n);
            for (size_t i = 0; i < n; ++i) {
                frame[i] = &storage[i];
                if (i >= r.params.size()) {
                    storage[i] = r.slotInitial[i];
                    continue;
                }
                const Param &p = r.params[i];
                if (i >= args.size())
                    storage[i] = p.defaultValue;
                else if (p.byRef)
                    frame[i] = &args[i];
                else
                    storage[i] = p.hint == Hint::Null ? args[i] : args[i].convertedTo(p.hint);
            }
            return invokeRoutine(x, r, frame.data(), int(n));
        },
        u"call of "_s + r.name);
}

bool TfsScript::globalValue(const QString &name, Variant &value) const
{
    if (!m_program) return false;
    auto it = m_program->symbols.constFind(name.toLower());
    if (it == m_program->symbols.constEnd() || it->kind != Program::Symbol::Variable) return false;
    value = *it->slot;
    return true;
}

std::unique_ptr<TfsExpression> TfsScript::compileExpression(const QString &text)
{
    Parser parser(*this, text);
    ExprPtr expr = parser.parseStandaloneExpression();
    if (!expr) {
        QList<Diagnostic> diagnostics = parser.diagnostics();
        ScriptError e(ScriptError::Kind::Compile,
                      diagnostics.isEmpty() ? u"Invalid expression"_s : diagnostics.first().text());
        e.setDiagnostics(diagnostics);
        throw e;
    }
    std::unique_ptr<TfsExpression> result(new TfsExpression);
    result->m_script = this;
    result->m_text = text;
    result->m_expr = std::move(expr);
    result->m_keepAlive = parser.takeReferencedPrograms();
    return result;
}

Variant *TfsScript::addVariable(const QString &name, const Variant &initial)
{
    Variant *slot = &m_hostSlots.emplace_back(initial);
    m_registered.insert(name.toLower(), {Registered::Variable, slot, nullptr});
    return slot;
}

void TfsScript::addObject(const QString &name, ScriptObject *object)
{
    Variant *slot = &m_hostSlots.emplace_back(Variant(object));
    m_registered.insert(name.toLower(), {Registered::Object, slot, nullptr});
}

void TfsScript::addConstant(const QString &name, const Variant &value)
{
    Variant *slot = &m_hostSlots.emplace_back(value);
    m_registered.insert(name.toLower(), {Registered::Constant, slot, nullptr});
}

void TfsScript::addFunction(const QString &declaration, HostImpl impl)
{
    HostFunction f = parseDeclaration(declaration);
    f.impl = std::move(impl);
    const HostFunction *stored = &m_hostFunctions.emplace_back(std::move(f));
    m_registered.insert(stored->name.toLower(), {Registered::Function, nullptr, stored});
}

void TfsScript::addClass(const QString &name)
{
    m_registered.insert(name.toLower(), {Registered::Class});
}

void TfsScript::addClass(const QString &name, std::function<Variant()> constructor)
{
    HostFunction f;
    f.name = name + u".Create"_s;
    f.isFunction = true;
    f.impl = [constructor = std::move(constructor)](HostCall &) { return constructor(); };
    const HostFunction *stored = &m_hostFunctions.emplace_back(std::move(f));
    m_registered.insert(name.toLower(), {Registered::Class, nullptr, stored});
}

void TfsScript::removeName(const QString &name)
{
    m_registered.remove(name.toLower());
}

void TfsScript::clearRegistrations()
{
    m_registered.clear();
}

void TfsScript::setParent(TfsScript *parent)
{
    // A scope chain that leads back here would make every lookup loop.
    for (TfsScript *p = parent; p; p = p->m_parent)
        if (p == this) return;
    m_parent = parent;
}

void TfsScript::setPollHandler(std::function<void()> handler, qint64 interval)
{
    m_poll = std::move(handler);
    m_pollInterval = std::max<qint64>(interval, 1);
}

void TfsScript::showMessage(const QString &text) const
{
    for (const TfsScript *s = this; s; s = s->m_parent) {
        if (s->m_messageHandler) {
            s->m_messageHandler(text);
            return;
        }
    }
    qInfo().noquote() << text;
}

} // namespace script
