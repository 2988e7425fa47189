// Internals of the library: the tables the library files fill.
#pragma once

#include "script/runtime.h"

#include <QHash>

namespace script::library::detail {

struct Table {
    std::deque<HostFunction> functions;
    QHash<QString, const HostFunction *> byName;
    QHash<QString, Variant> constants;
    void add(const char *declaration, HostImpl impl);
};

void addConversions(Table &t);
void addStrings(Table &t);
void addDates(Table &t);
void addArithmetic(Table &t);

[[noreturn]] void fail(const QString &message);

} // namespace script::library::detail
