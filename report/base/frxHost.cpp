#include "report/base/frxHost.h"

#include "report/objects/frxClass.h"
#include "report/xml/frxXMLSerializer.h"

#include <cstdio>

namespace frx {

namespace {

TfrxHost g_headless;
TfrxHost *g_host = nullptr;

void writeToStandardError(const QString &caption, const QString &text)
{
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
}

} // namespace

std::unique_ptr<TfrxPreviewWindow> TfrxHost::CreatePreviewWindow(TfrxReport *)
{
    return nullptr;
}

std::unique_ptr<TfrxProgressWindow> TfrxHost::CreateProgressWindow(TfrxReport *)
{
    return nullptr;
}

std::optional<int> TfrxHost::RunPrintDialog(TfrxReport &, int)
{
    return 0;
}

std::optional<QString> TfrxHost::AskPassword()
{
    return std::nullopt;
}

// A report's errors are whole lines of their own on a terminal.
void TfrxHost::ShowError(const QString &, const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void TfrxHost::ShowPrinterError(const QString &caption, const QString &text)
{
    writeToStandardError(caption, text);
}

bool TfrxHost::LoadTemplate(TfrxReport *report, const QString &fileName)
{
    return LoadFromFile(*report, fileName, false);
}

TfrxHost &frxHost()
{
    return g_host ? *g_host : g_headless;
}

void frxSetHost(TfrxHost *host)
{
    g_host = host;
}

TfrxScopedHost::TfrxScopedHost(TfrxHost &host) : m_previous(g_host)
{
    g_host = &host;
}

TfrxScopedHost::~TfrxScopedHost()
{
    g_host = m_previous;
}

} // namespace frx
