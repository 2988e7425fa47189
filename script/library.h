// The built-in library every script sees after its own names: conversion, string, date-time and
// arithmetic functions, ShowMessage, variant arrays, and the report unit and variant type
// constants. Number and date text follow the fixed settings of formats.h.
#pragma once

#include "script/runtime.h"
#include "script/variant.h"

namespace script::library {

// The library function of that lower-case name, or nullptr.
const HostFunction *findFunction(const QString &lowerName);
// The library constant of that lower-case name, or nullptr.
const Variant *findConstant(const QString &lowerName);

// Rounds half to even; out-of-range values raise "Invalid floating point operation".
qint64 roundHalfEven(double value);

} // namespace script::library
