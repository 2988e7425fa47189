#include "tools/command.h"

#include "platform/allocator.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>

namespace tools {

namespace {

QList<Command> &registry()
{
    static QList<Command> list;
    return list;
}

} // namespace

CommandRegistration::CommandRegistration(const QString &name, const QString &usage, CommandFunction run)
{
    registry().append(Command{name, usage, std::move(run)});
}

const Command *findCommand(const QString &name)
{
    for (const Command &command : registry())
        if (command.name == name)
            return &command;
    return nullptr;
}

QList<Command> commands()
{
    QList<Command> list = registry();
    std::sort(list.begin(), list.end(), [](const Command &a, const Command &b) { return a.name < b.name; });
    return list;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "tovaro-report: %s\n", message.toUtf8().constData());
    return 1;
}

} // namespace tools

int main(int argc, char *argv[])
{
    // Fonts, images and PDF output need a GUI application, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::keepFreedMemory();
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const tools::Command *command = arguments.isEmpty() ? nullptr : tools::findCommand(arguments.first());
    if (!command) {
        std::fprintf(stderr, "usage: tovaro-report COMMAND ...\n");
        for (const tools::Command &known : tools::commands())
            std::fprintf(stderr, "  tovaro-report %s\n", known.usage.toUtf8().constData());
        return arguments.isEmpty() || arguments.first() == QLatin1String("--help") ? 0 : 1;
    }
    arguments.removeFirst();
    try {
        return command->run(arguments);
    } catch (const std::exception &error) {
        return tools::fail(QString::fromUtf8(error.what()));
    }
}
