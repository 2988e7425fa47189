// The compiled form of a program: a tree of expression and statement nodes with every name
// already resolved to a slot, a constant, a routine or a host function.
#pragma once

#include "script/runtime.h"
#include "script/variant.h"

#include <memory>
#include <vector>

namespace script {

class ScriptObject;

struct Expr {
    int line = 0;
    int column = 0;
    int height = 1; // depth of the subtree; the parser refuses absurdly deep trees
    virtual ~Expr() = default;
    virtual Variant eval(Exec &x) const = 0;
    // Storage of an assignable variable (or array element), or nullptr.
    virtual Variant *ref(Exec &x) const { return nullptr; }
    virtual bool assignable() const { return false; }
    virtual void assign(Exec &x, const Variant &value) const;
    // True with the value for a compile-time constant.
    virtual bool constant(Variant &value) const { return false; }
};
using ExprPtr = std::unique_ptr<Expr>;
using ExprList = std::vector<ExprPtr>;

enum class Flow { Normal, Break, Continue, Exit };

struct Stmt {
    int line = 0;
    int column = 0;
    virtual ~Stmt() = default;
    virtual Flow exec(Exec &x) const = 0;
};
using StmtPtr = std::unique_ptr<Stmt>;

// ---- expressions

struct ConstExpr : Expr {
    Variant value;
    explicit ConstExpr(Variant v) : value(std::move(v)) {}
    Variant eval(Exec &) const override { return value; }
    bool constant(Variant &v) const override
    {
        v = value;
        return true;
    }
};

// A local variable or parameter of the running routine.
struct LocalExpr : Expr {
    int slot;
    Hint hint;
    bool readOnly = false;
    LocalExpr(int s, Hint h) : slot(s), hint(h) {}
    Variant eval(Exec &x) const override { return *x.frame[slot]; }
    Variant *ref(Exec &x) const override { return readOnly ? nullptr : x.frame[slot]; }
    bool assignable() const override { return !readOnly; }
    void assign(Exec &x, const Variant &value) const override;
};

// A global variable of a program or a variable registered by the host.
struct GlobalExpr : Expr {
    Variant *slot;
    Hint hint;
    bool readOnly;
    GlobalExpr(Variant *s, Hint h, bool ro) : slot(s), hint(h), readOnly(ro) {}
    Variant eval(Exec &) const override { return *slot; }
    Variant *ref(Exec &) const override { return readOnly ? nullptr : slot; }
    bool assignable() const override { return !readOnly; }
    void assign(Exec &x, const Variant &value) const override;
};

enum class BinOp { Add, Sub, Mul, Div, IntDiv, Mod, And, Or, Xor, Shl, Shr, Eq, Ne, Lt, Gt, Le, Ge };

struct BinaryExpr : Expr {
    BinOp op;
    ExprPtr left, right;
    BinaryExpr(BinOp o, ExprPtr l, ExprPtr r);
    Variant eval(Exec &x) const override;
};

enum class UnOp { Neg, Not };

struct UnaryExpr : Expr {
    UnOp op;
    ExprPtr operand;
    UnaryExpr(UnOp o, ExprPtr e);
    Variant eval(Exec &x) const override;
};

// "[a, b, c..d]": as a value, an array of the elements (ranges expanded).
struct SetExpr : Expr {
    struct Element {
        ExprPtr low, high; // high is null for a single element
    };
    std::vector<Element> elements;
    Variant eval(Exec &x) const override;
    bool contains(Exec &x, const Variant &value) const;
};

struct InExpr : Expr {
    ExprPtr value;
    ExprPtr set;                      // any expression giving an array…
    const SetExpr *literal = nullptr; // …or, when it is a set constructor, tested without building it
    Variant eval(Exec &x) const override;
};

struct IsExpr : Expr {
    ExprPtr value;
    QString className;
    Variant eval(Exec &x) const override;
};

// A call of a routine of the script.
struct CallExpr : Expr {
    const Routine *routine;
    ExprList args; // one per parameter, defaults filled in
    Variant eval(Exec &x) const override;
};

struct HostCallExpr : Expr {
    const HostFunction *function;
    ExprList args; // one per parameter, defaults filled in
    Variant eval(Exec &x) const override;
};

struct MacroCallExpr : Expr {
    const HostFunction *function;
    QStringList texts;
    Variant eval(Exec &x) const override;
};

// Conversion to a basic type (Integer(x), String(x)) or a class cast (the value unchanged).
struct CastExpr : Expr {
    Hint hint;
    ExprPtr value;
    Variant eval(Exec &x) const override;
};

// Object.Name: a property, or a method without arguments.
struct MemberExpr : Expr {
    ExprPtr object;
    QString name;
    Variant eval(Exec &x) const override;
    bool assignable() const override { return true; }
    void assign(Exec &x, const Variant &value) const override;
};

// Object.Name(args)
struct MethodCallExpr : Expr {
    ExprPtr object;
    QString name;
    ExprList args;
    Variant eval(Exec &x) const override;
};

// Object.Name[index]: an indexed property, or an index into the property's value.
struct IndexedMemberExpr : Expr {
    ExprPtr object;
    QString name;
    ExprList index;
    Variant eval(Exec &x) const override;
    bool assignable() const override { return true; }
    void assign(Exec &x, const Variant &value) const override;
};

// Value[index]: a character of a string, an element of an array, the default indexed property
// of an object.
struct IndexExpr : Expr {
    ExprPtr base;
    ExprList index;
    Variant eval(Exec &x) const override;
    Variant *ref(Exec &x) const override;
    bool assignable() const override { return true; }
    void assign(Exec &x, const Variant &value) const override;
};

// A name inside "with": first a member of the with object, else what the name means outside.
struct WithNameExpr : Expr {
    int slot;                  // local slot of the with object, or -1 for a main-block temporary…
    Variant *global = nullptr; // …held here
    QString name;
    ExprList args; // for calls
    bool call = false;
    ExprPtr fallback; // may be null
    Variant eval(Exec &x) const override;
    bool assignable() const override { return true; }
    void assign(Exec &x, const Variant &value) const override;
};

// ---- statements

struct ExprStmt : Stmt {
    ExprPtr expr;
    Flow exec(Exec &x) const override;
};

struct AssignStmt : Stmt {
    ExprPtr target, value;
    Flow exec(Exec &x) const override;
};

struct BlockStmt : Stmt {
    std::vector<StmtPtr> body;
    Flow exec(Exec &x) const override;
};

struct IfStmt : Stmt {
    ExprPtr condition;
    StmtPtr then, otherwise;
    Flow exec(Exec &x) const override;
};

struct WhileStmt : Stmt {
    ExprPtr condition;
    StmtPtr body;
    Flow exec(Exec &x) const override;
};

struct RepeatStmt : Stmt {
    std::vector<StmtPtr> body;
    ExprPtr condition;
    Flow exec(Exec &x) const override;
};

struct ForStmt : Stmt {
    ExprPtr variable, from, to;
    bool down = false;
    StmtPtr body;
    Flow exec(Exec &x) const override;
};

struct CaseStmt : Stmt {
    struct Branch {
        SetExpr labels;
        StmtPtr body;
    };
    ExprPtr selector;
    std::vector<Branch> branches;
    StmtPtr otherwise;
    Flow exec(Exec &x) const override;
};

struct TryExceptStmt : Stmt {
    std::vector<StmtPtr> body, handler;
    Flow exec(Exec &x) const override;
};

struct TryFinallyStmt : Stmt {
    std::vector<StmtPtr> body, cleanup;
    Flow exec(Exec &x) const override;
};

struct WithStmt : Stmt {
    ExprPtr object;
    int slot = -1;             // local slot…
    Variant *global = nullptr; // …or main-block temporary
    StmtPtr body;
    Flow exec(Exec &x) const override;
};

struct JumpStmt : Stmt {
    Flow flow;
    ExprPtr result; // Exit(value)
    int resultSlot = -1;
    explicit JumpStmt(Flow f) : flow(f) {}
    Flow exec(Exec &x) const override;
};

// Runs statements in order, stopping at the first jump.
Flow runList(Exec &x, const std::vector<StmtPtr> &list);
// Runs a routine with evaluated arguments (by-reference ones given as storage).
Variant invokeRoutine(Exec &x, const Routine &routine, Variant **argSlots, int argCount);

} // namespace script
