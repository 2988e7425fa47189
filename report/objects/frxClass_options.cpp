#include "report/objects/frxClass_p.h"

#include "report/base/frxRes.h"

#include <QDateTime>

namespace frx {

// ---- engine options ----

void TfrxEngineOptions::Assign(const TfrxEngineOptions &source)
{
    ConvertNulls = source.ConvertNulls;
    DoublePass = source.DoublePass;
    MaxMemSize = source.MaxMemSize;
    PrintIfEmpty = source.PrintIfEmpty;
    NewSilentMode = source.NewSilentMode;
    TempDir = source.TempDir;
    UseFileCache = source.UseFileCache;
}

void TfrxEngineOptions::Clear()
{
    ConvertNulls = true;
    DoublePass = false;
}

const ClassInfo &TfrxEngineOptions::staticClassInfo()
{
    using C = TfrxEngineOptions;
    return buildClass<C>(u"TfrxEngineOptions", nullptr, false, [](ClassBuilder<C> &b) {
        b.boolean(u"ConvertNulls", &C::ConvertNulls).def(true);
        b.boolean(u"DoublePass", &C::DoublePass).def(false);
        b.integer(u"MaxMemSize", &C::MaxMemSize).def(10);
        b.boolean(u"PrintIfEmpty", &C::PrintIfEmpty).def(true);
        b.boolean(u"SilentMode", &C::SilentMode, &C::SetSilentMode).def(false);
        b.enumeration(u"NewSilentMode", enums::TfrxSilentMode(), &C::NewSilentMode).def(simMessageBoxes);
        b.string(u"TempDir", &C::TempDir);
        b.boolean(u"UseFileCache", &C::UseFileCache).def(false);
        // A switch of the run, readable and settable by scripts, never kept in a template.
        b.boolean(u"DestroyForms", &C::DestroyForms).stored([](const C &) { return false; });
    });
}

// ---- preview options ----

void TfrxPreviewOptions::Clear()
{
    OutlineExpand = true;
    OutlineVisible = false;
    OutlineWidth = 120;
    PagesInCache = 50;
    ThumbnailVisible = false;
}

const ClassInfo &TfrxPreviewOptions::staticClassInfo()
{
    using C = TfrxPreviewOptions;
    return buildClass<C>(u"TfrxPreviewOptions", nullptr, false, [](ClassBuilder<C> &b) {
        b.boolean(u"AllowEdit", &C::AllowEdit).def(true);
        b.set(u"Buttons", enums::TfrxPreviewButtons(), &C::Buttons).def(4095u);
        b.boolean(u"DoubleBuffered", &C::DoubleBuffered).def(true);
        b.boolean(u"Maximized", &C::Maximized).def(true);
        b.boolean(u"MDIChild", &C::MDIChild).def(false);
        b.boolean(u"Modal", &C::Modal).def(true);
        b.boolean(u"OutlineExpand", &C::OutlineExpand).def(true);
        b.boolean(u"OutlineVisible", &C::OutlineVisible).def(false);
        b.integer(u"OutlineWidth", &C::OutlineWidth).def(120);
        b.integer(u"PagesInCache", &C::PagesInCache).def(50);
        b.boolean(u"ShowCaptions", &C::ShowCaptions).def(false);
        b.boolean(u"ThumbnailVisible", &C::ThumbnailVisible).def(false);
        b.floating(u"Zoom", &C::Zoom);
        b.enumeration(u"ZoomMode", enums::TfrxZoomMode(), &C::ZoomMode).def(zmDefault);
        b.boolean(u"PictureCacheInFile", &C::PictureCacheInFile).def(false);
    });
}

// ---- print options ----

TfrxPrintOptions::TfrxPrintOptions()
{
    Clear();
}

void TfrxPrintOptions::Assign(const TfrxPrintOptions &source)
{
    const int pagesOnSheet = PagesOnSheet;
    *this = source;
    PagesOnSheet = pagesOnSheet;
}

void TfrxPrintOptions::Clear()
{
    Copies = 1;
    Collate = true;
    PageNumbers.clear();
    Printer = frxGet(QStringLiteral("prDefault"));
    PrintMode = pmDefault;
    PrintOnSheet = 0;
    PrintPages = ppAll;
    Reverse = false;
    ShowDialog = true;
    PagesOnSheet = 0;
}

const ClassInfo &TfrxPrintOptions::staticClassInfo()
{
    using C = TfrxPrintOptions;
    return buildClass<C>(u"TfrxPrintOptions", nullptr, false, [](ClassBuilder<C> &b) {
        b.integer(u"Copies", &C::Copies).def(1);
        b.boolean(u"Collate", &C::Collate).def(true);
        b.string(u"PageNumbers", &C::PageNumbers);
        b.string(u"Printer", &C::Printer);
        b.enumeration(u"PrintMode", enums::TfrxPrintMode(), &C::PrintMode).def(pmDefault);
        b.integer(u"PrintOnSheet", &C::PrintOnSheet).def(0);
        b.enumeration(u"PrintPages", enums::TfrxPrintPages(), &C::PrintPages).def(ppAll);
        b.boolean(u"Reverse", &C::Reverse).def(false);
        b.boolean(u"ShowDialog", &C::ShowDialog).def(true);
    });
}

// ---- report options ----

TfrxReportOptions::TfrxReportOptions()
{
    CreateDate = LastChange = Now();
}

Extended TfrxReportOptions::Now()
{
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 ms = epoch.msecsTo(QDateTime(now.date(), now.time()));
    return Extended(ms) / 86400000.0L;
}

void TfrxReportOptions::Assign(const TfrxReportOptions &source)
{
    Author = source.Author;
    Compressed = source.Compressed;
    ConnectionName = source.ConnectionName;
    CreateDate = source.CreateDate;
    LastChange = source.LastChange;
    Description = source.Description;
    InitString = source.InitString;
    Name = source.Name;
    Password = source.Password;
    VersionBuild = source.VersionBuild;
    VersionMajor = source.VersionMajor;
    VersionMinor = source.VersionMinor;
    VersionRelease = source.VersionRelease;
}

void TfrxReportOptions::Clear()
{
    Author.clear();
    Compressed = false;
    Description.clear();
    VersionBuild.clear();
    VersionMajor.clear();
    VersionMinor.clear();
    VersionRelease.clear();
    ConnectionName.clear();
    InitString.clear();
    Name.clear();
    Password.clear();
    PrevPassword.clear();
    CreateDate = LastChange = Now();
}

const ClassInfo &TfrxReportOptions::staticClassInfo()
{
    using C = TfrxReportOptions;
    return buildClass<C>(u"TfrxReportOptions", nullptr, false, [](ClassBuilder<C> &b) {
        b.string(u"Author", &C::Author);
        b.boolean(u"Compressed", &C::Compressed).def(false);
        b.string(u"ConnectionName", &C::ConnectionName);
        b.floating(u"CreateDate", &C::CreateDate);
        b.floating(u"LastChange", &C::LastChange);
        b.stringList(u"Description", &C::Description);
        b.string(u"InitString", &C::InitString);
        b.string(u"Name", &C::Name);
        b.string(u"Password", &C::Password);
        b.string(u"VersionBuild", &C::VersionBuild);
        b.string(u"VersionMajor", &C::VersionMajor);
        b.string(u"VersionMinor", &C::VersionMinor);
        b.string(u"VersionRelease", &C::VersionRelease);
    });
}

} // namespace frx
