// Run-time structures shared by the parser, the tree and the script object: routines, host
// functions, the execution state of one entry into a script, and the compiled program.
#pragma once

#include "script/variant.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace script {

class TfsScript;
struct Stmt;
struct Exec;

using Hint = Variant::Type; // the declared type of a variable or parameter; Null means Variant

// The basic type a declared type name stands for (Integer, String, …); Null for Variant, classes
// and unknown names. basicType() tells whether the name is one of the language's own types.
Hint hintForTypeName(const QString &typeName);
bool basicType(const QString &typeName, Hint &hint);
// The value a variable of the type starts with.
Variant initialValue(Hint hint);

struct Param {
    QString name;
    bool byRef = false;
    Hint hint = Hint::Null;
    bool hasDefault = false;
    Variant defaultValue;
    QString defaultText; // for macro functions: the default as source text
};

struct Routine {
    QString name;
    bool isFunction = false;
    std::vector<Param> params;
    std::vector<Hint> slotHints;      // parameters first, then Result, then locals
    std::vector<Variant> slotInitial; // the value each slot starts with (arrays for array types)
    int resultSlot = -1;
    std::unique_ptr<Stmt> body;
    int line = 0;
};

// What a host function receives: the arguments (by value; changes to parameters declared "var"
// are written back to the caller's variables), or for macro functions the argument source texts.
struct HostCall {
    TfsScript &script;
    VariantList &args;
    const QStringList &texts;
};

using HostImpl = std::function<Variant(HostCall &)>;

struct HostFunction {
    QString name;
    bool isFunction = false;
    bool isMacro = false;
    std::vector<Param> params;
    HostImpl impl;
};

// A compiled program: its global variables, routines and main block. Shared so that compiled
// expressions keep alive the storage they refer to.
struct Program {
    std::deque<Variant> globals;
    std::deque<Routine> routines;
    std::unique_ptr<Stmt> main;
    int mainStatements = 0;
    int mainSlots = 0; // temporaries of the main block (with statements)
    struct Symbol {
        enum Kind { Variable, Constant, Function } kind = Variable;
        Variant *slot = nullptr; // Variable
        Hint hint = Hint::Null;
        Variant value; // Constant
        Routine *routine = nullptr;
    };
    QHash<QString, Symbol> symbols; // by lower-case name
};

// The state of one entry into a script: the current frame, the position being run, the step
// budget and the stop flags to watch.
struct Exec {
    TfsScript *script = nullptr;
    Variant **frame = nullptr;
    int line = 0;
    int column = 0;
    qint64 steps = 0;
    qint64 nextCheck = 0;
    const std::atomic<bool> *stopFlags[4] = {};
    int stopFlagCount = 0;

    // Called on every loop iteration and call: stops the program when asked or out of budget.
    void tick()
    {
        ++steps;
        bool stop = steps >= nextCheck;
        for (int i = 0; i < stopFlagCount; ++i)
            stop |= stopFlags[i]->load(std::memory_order_relaxed);
        if (stop) checkpoint();
    }
    void checkpoint();
};

// Nesting of script calls on this thread, across scripts; a deeper call fails with "Stack overflow".
inline constexpr int MaxCallDepth = 200;

} // namespace script
