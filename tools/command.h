// The subcommands of tovaro-report. Each tools/cmd_<name>.cpp registers one with a static
// CommandRegistration; main() dispatches on the first argument.
#pragma once

#include <QStringList>

#include <functional>

namespace tools {

// Runs a subcommand with the arguments after its name; returns the exit status (0 success,
// 1 failure with a clear message already written to stderr, wrong arguments included).
using CommandFunction = std::function<int(const QStringList &arguments)>;

struct Command {
    QString name;
    QString usage;       // one line, e.g. "calc EXPR"
    QString description; // what it does, its options; the first line is its summary
    CommandFunction run;
};

class CommandRegistration {
public:
    CommandRegistration(const QString &name, const QString &usage, const QString &description,
                        CommandFunction run);
};

const Command *findCommand(const QString &name);
QList<Command> commands();

// Writes "tovaro-report: <message>" to stderr and returns 1, for `return fail(...)`.
int fail(const QString &message);

} // namespace tools
