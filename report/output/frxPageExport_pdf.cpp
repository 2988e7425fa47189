#include "report/output/frxPageExport.h"

#include "platform/errors.h"
#include "platform/pdfcanvas.h"
#include "report/base/frxPageGeometry.h"
#include "report/output/frxPainter.h"
#include "report/engine/frxPreviewPages.h"
#include "report/base/frxUtils.h"

#include <QFileInfo>

#include <cstdlib>

namespace frx {

namespace {

int roundInt(Extended value)
{
    return int(roundHalfEven(value));
}

// What the pages of the file are: their indices in the prepared pages, with where they are in the file.
struct FilePages {
    const QList<int> &indices;
    int fileIndexOf(int pageIndex) const
    {
        const qsizetype found = indices.indexOf(pageIndex);
        return found < 0 ? -1 : int(found);
    }
};

// The outline entries of the current level and below, kept when their page is in the file.
std::vector<platform::PdfOutlineEntry> outlineOf(TfrxCustomOutline &outline, const FilePages &file, Extended toPoints)
{
    std::vector<platform::PdfOutlineEntry> entries;
    for (int i = 0; i < outline.Count(); ++i) {
        QString text;
        int page = 0, top = 0;
        outline.GetItem(i, text, page, top);
        outline.LevelDown(i);
        std::vector<platform::PdfOutlineEntry> children = outlineOf(outline, file, toPoints);
        outline.LevelUp();
        const int fileIndex = file.fileIndexOf(page);
        if (fileIndex < 0) {
            // A bookmark of a page left out gives its place to those below it.
            entries.insert(entries.end(), std::make_move_iterator(children.begin()),
                           std::make_move_iterator(children.end()));
            continue;
        }
        entries.push_back(platform::PdfOutlineEntry{text, fileIndex, double(top * toPoints), std::move(children)});
    }
    return entries;
}

// The time the file is made, or SOURCE_DATE_EPOCH's when set (reproducible builds of documents);
// the template's own date says when the layout was made, not the document.
QDateTime creationDate()
{
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    if (ok) return QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    return now.addMSecs(-now.time().msec());
}

// The links of the page's objects that have an address, in device pixels.
void addLinks(TfrxReportPage &page, bool mirrored, platform::PdfCanvas &canvas, TfrxPreviewPages *pages,
              const FilePages &file, Extended scale)
{
    const Extended offsetX = marginOriginX(page, mirrored, scale, 0), offsetY = marginOriginY(page, scale, 0);
    for (TfrxComponent *object : page.AllObjects()) {
        auto *view = dynamic_cast<TfrxView *>(object);
        if (!view || !view->Visible() || view->URL.isEmpty()) continue;
        const auto bounds = view->GetRealBounds();
        const QRect area(QPoint(roundInt(offsetX + bounds.left * scale), roundInt(offsetY + bounds.top * scale)),
                         QPoint(roundInt(offsetX + bounds.right * scale), roundInt(offsetY + bounds.bottom * scale)));
        const QString &url = view->URL;
        if (url.startsWith(u'#') || url.startsWith(u'@')) {
            int target = 0, top = 0;
            if (url.startsWith(u'@')) {
                bool ok = false;
                target = url.sliced(1).trimmed().toInt(&ok) - 1;
                if (!ok) continue;
            } else if (!pages || !pages->FindAnchor(url.sliced(1), target, top)) {
                continue;
            }
            const int fileIndex = file.fileIndexOf(target);
            if (fileIndex >= 0) canvas.addLink(area.normalized(), fileIndex, roundInt(offsetY + top * scale));
        } else {
            canvas.addLink(area.normalized(), url);
        }
    }
}

// Pictures that came from JPEG files go into the PDF file as those files.
void keepJpegs(TfrxReportPage &page, platform::PdfCanvas &canvas, TfrxPreviewPages &pages)
{
    for (TfrxComponent *object : page.AllObjects()) {
        auto *picture = dynamic_cast<TfrxPictureView *>(object);
        if (!picture || picture->Picture.isNull() || picture->ImageIndex <= 0) continue;
        const QByteArray file = pages.PictureCache().GetPicture(picture->ImageIndex);
        if (file.startsWith("\xff\xd8\xff")) canvas.keepJpeg(picture->Picture, file);
    }
}

bool exportPdf(const TfrxPageProvider &provider, TfrxPreviewPages *pages, const QList<int> &indices,
               int totalPages, const QString &fileName, QString *error,
               const std::function<bool(int, int)> &progress, int dpi)
{
    const auto fail = [error](const QString &text) {
        if (error) *error = text;
        return false;
    };
    if (indices.isEmpty()) return fail(QStringLiteral("no pages to write"));
    platform::PdfDocument document(int(indices.size()));
    if (!document.open(fileName)) return fail(QStringLiteral("cannot write %1").arg(fileName));
    platform::PdfCanvas canvas(document, dpi);
    const Extended scale = Extended(dpi) / 96;
    const Extended millimetresToPoints = 72 / 25.4L;
    const FilePages file{indices};
    int current = 0;
    try {
        for (qsizetype i = 0; i < indices.size(); ++i) {
            current = indices[i];
            TfrxReportPage *page = provider(current);
            if (!page) return fail(QStringLiteral("page %1 cannot be read").arg(current + 1));
            canvas.beginPage(QSizeF(double(page->PaperWidth() * millimetresToPoints),
                                    double(page->PaperHeight() * millimetresToPoints)));
            if (pages) keepJpegs(*page, canvas, *pages);
            TfrxPageDrawInfo info;
            info.Index = current;
            info.TotalPages = totalPages;
            if (pages) {
                info.CopyNo = pages->CopyNo;
                info.PrintScale = pages->PrintScale;
            }
            frxDrawPage(*page, canvas, scale, scale, 0, 0, info);
            addLinks(*page, page->MirrorMargins && current % 2 == 1, canvas, pages, file, scale);
            canvas.endPage();
            if (progress && !progress(int(i) + 1, int(indices.size())))
                return fail(QStringLiteral("the export was stopped"));
        }
    } catch (const platform::Error &e) {
        return fail(QStringLiteral("page %1: %2").arg(current + 1).arg(e.message()));
    }

    platform::PdfInfo info;
    std::vector<platform::PdfOutlineEntry> outline;
    const TfrxReport *report = pages ? pages->Report() : nullptr;
    if (report) {
        info.title = report->ReportOptions.Name;
        info.author = report->ReportOptions.Author;
        info.subject = report->ReportOptions.Description.join(u'\n');
    }
    if (info.title.isEmpty()) info.title = QFileInfo(fileName).completeBaseName();
    info.created = creationDate();
    if (pages) {
        TfrxOutline &tree = pages->Outline();
        tree.LevelRoot();
        // Outline tops are report units (pixels at 96 per inch) below the top margin; measured from
        // the paper's top instead, the view shows the margin above the entry.
        outline = outlineOf(tree, file, 72.0L / 96);
        tree.LevelRoot();
    }
    QString reason;
    if (!document.finish(info, outline, &reason))
        return fail(QStringLiteral("cannot write %1: %2").arg(fileName, reason));
    return true;
}

} // namespace

bool frxExportPdf(const TfrxPageProvider &pages, const QList<int> &indices, int totalPages,
                  const QString &fileName, QString *error, int dpi)
{
    return exportPdf(pages, nullptr, indices, totalPages, fileName, error, {}, dpi);
}

bool frxExportPdf(TfrxPreviewPages &pages, const QList<int> &indices, const QString &fileName, QString *error,
                  const std::function<bool(int, int)> &progress, int dpi)
{
    return exportPdf([&pages](int index) { return pages.Page(index); }, &pages, indices, pages.Count(), fileName,
                     error, progress, dpi);
}

} // namespace frx
