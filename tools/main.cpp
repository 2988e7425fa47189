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

CommandRegistration::CommandRegistration(const QString &name, const QString &usage, const QString &description,
                                         CommandFunction run)
{
    registry().append(Command{name, usage, description, std::move(run)});
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

namespace {

const char *const kExitStatus = "Exit status:\n"
                                "  0  the command did its work\n"
                                "  1  it failed: a missing or unreadable file, a report with errors, a printer\n"
                                "     that refused, or wrong arguments; the reason is written to stderr\n";

void printOverview(FILE *to)
{
    std::fprintf(to, "usage: tovaro-report COMMAND [ARGUMENTS]\n"
                     "       tovaro-report COMMAND --help\n"
                     "       tovaro-report --help | --version\n\n"
                     "The report engine of Tovaro without a window: report templates (.fr3) prepared\n"
                     "into pages (.fp3), pages drawn as PNG or PDF, printed, and expressions evaluated.\n\n"
                     "Commands:\n");
    for (const tools::Command &known : tools::commands())
        std::fprintf(to, "  %-10s %s\n", known.name.toUtf8().constData(),
                     known.description.section(QLatin1Char('\n'), 0, 0).toUtf8().constData());
    std::fprintf(to, "\n%s", kExitStatus);
}

void printHelp(const tools::Command &command)
{
    std::printf("usage: tovaro-report %s\n\n%s\n\n%s", command.usage.toUtf8().constData(),
                command.description.toUtf8().constData(), kExitStatus);
}

bool asksForHelp(const QString &argument)
{
    return argument == QLatin1String("--help") || argument == QLatin1String("-h");
}

} // namespace

int main(int argc, char *argv[])
{
    // Fonts, images and PDF output need a GUI application, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::keepFreedMemory();
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    if (!arguments.isEmpty() && asksForHelp(arguments.first())) {
        printOverview(stdout);
        return 0;
    }
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("--version")) {
        std::printf("tovaro-report %s\n", TOVARO_VERSION);
        return 0;
    }
    const tools::Command *command = arguments.isEmpty() ? nullptr : tools::findCommand(arguments.first());
    if (!command) {
        if (!arguments.isEmpty())
            std::fprintf(stderr, "tovaro-report: unknown command \"%s\"\n", arguments.first().toUtf8().constData());
        printOverview(stderr);
        return 1;
    }
    arguments.removeFirst();
    if (std::any_of(arguments.begin(), arguments.end(), asksForHelp)) {
        printHelp(*command);
        return 0;
    }
    try {
        return command->run(arguments);
    } catch (const std::exception &error) {
        return tools::fail(QString::fromUtf8(error.what()));
    }
}
