// The prepared-pages store: the result of a report run kept as an XML document, each placed band and
// object recorded only by how it differs from its copy on a source page, with the outline, anchors,
// logical page numbers, a picture cache, a cache of rebuilt page objects, editing operations for the
// preview and the prepared-report file (.fp3). The store knows no windows: the preview observes it
// through TfrxPreviewPagesObserver and answers the hit logic of ObjectOver through TfrxObjectOverHost.
#pragma once

#include "report/objects/frxClass.h"
#include "report/xml/frxXML.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSize>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;

namespace frx {

// ---- the dictionary of prepared names ----

// Maps the names under which prepared pages refer to objects ("m1", "b1") to their source names
// ("Page0.Memo1") and source objects (not owned).
class TfrxDictionary {
public:
    void Clear();
    // Adds or replaces the entry of a prepared name.
    void Add(const QString &name, const QString &sourceName, TfrxComponent *object);
    // Adds an entry under base + the first free number (see UniqueName) and returns that name.
    QString AddUnique(const QString &base, const QString &sourceName, TfrxComponent *object);
    // Base + a number not yet taken: starting at 10000 the number halves while it is free and above
    // 1, then counts upward until free. Names are allocated densely from 1, so this ends quickly.
    QString UniqueName(const QString &base) const;
    // The source object of a prepared name, or none when the name is unknown.
    TfrxComponent *GetObject(const QString &name) const;
    // The source name of a prepared name, or empty when unknown.
    QString GetSourceName(const QString &name) const;
    int Count() const { return int(m_names.size()); }
    // Prepared names in sorted order.
    QStringList Names() const { return m_names.keys(); }

private:
    struct Source {
        QString name;
        TfrxComponent *object;
    };
    QMap<QString, int> m_names; // prepared name -> index into m_sources
    std::vector<Source> m_sources;
};

// ---- the picture cache ----

// Pictures (their encoded bytes) written once into segments: memory buffers, or temporary files whose
// names start with "frPic" when the file cache is on. Items are numbered from 1.
class TfrxPictureCache {
public:
    // A new segment starts when the last one holds more than this many bytes.
    static constexpr qint64 SegmentLimit = 1789569705;

    TfrxPictureCache();
    ~TfrxPictureCache();
    TfrxPictureCache(const TfrxPictureCache &) = delete;
    TfrxPictureCache &operator=(const TfrxPictureCache &) = delete;

    // Frees the segments and deletes their temporary files.
    void Clear();
    // Keep segments in temporary files; ignored while any segment exists.
    bool UseFileCache() const { return m_useFileCache; }
    void SetUseFileCache(bool value);
    // Folder of the temporary files (empty or missing: the system's); ignored while any segment exists.
    const QString &TempDir() const { return m_tempDir; }
    void SetTempDir(const QString &folder);
    // Stores the bytes and returns their item number (from 1). Raises platform::FileError when a
    // temporary file cannot be created or written.
    int AddPicture(const QByteArray &data);
    // The bytes of an item; empty for a number outside 1..Count().
    QByteArray GetPicture(int index) const;
    int Count() const { return int(m_items.size()); }
    // Rewrites `item` with one "item" child per picture, attribute "stream" in upper-case hexadecimal.
    void SaveToXML(TfrxXMLItem *item) const;
    // Replaces the cache by the pictures of such an element.
    void LoadFromXML(const TfrxXMLItem *item);

private:
    struct Item {
        int segment;
        qint64 offset;
    };
    std::vector<std::unique_ptr<QIODevice>> m_segments;
    std::vector<Item> m_items;
    bool m_useFileCache = false;
    QString m_tempDir;
};

// ---- the outline ----

// The tree of outline entries of a prepared report, kept as nested "item" elements (attributes
// "text", "page" 0-based, "top" in report units) under an element of the store's document.
class TfrxCustomOutline {
public:
    virtual ~TfrxCustomOutline() = default;
    // Appends an entry for the current page at `top` to the current level and enters it.
    virtual void AddItem(const QString &text, int top) = 0;
    // Enters the index-th entry of the current level (readers walk down with it).
    virtual void LevelDown(int index) = 0;
    // Back to the top level.
    virtual void LevelRoot() = 0;
    // To the parent level; nothing at the top.
    virtual void LevelUp() = 0;
    // Number of entries of the current level.
    virtual int Count() const = 0;
    // Text, page (0-based) and top of the index-th entry of the current level.
    virtual void GetItem(int index, QString &text, int &page, int &top) const = 0;
    // The last entry of the current level, or none: a mark for ShiftFrom.
    virtual TfrxXMLItem *Mark() const = 0;
    // Moves the entries added after `mark` (its following siblings and everything below them) to the
    // next page: "page" + 1 and "top" shifted so that the first of them lands at newTop.
    virtual void ShiftFrom(TfrxXMLItem *mark, int newTop) = 0;
};

class TfrxPreviewPages;

class TfrxOutline : public TfrxCustomOutline {
public:
    explicit TfrxOutline(TfrxPreviewPages *pages) : m_pages(pages) {}
    void AddItem(const QString &text, int top) override;
    void LevelDown(int index) override;
    void LevelRoot() override;
    void LevelUp() override;
    int Count() const override;
    void GetItem(int index, QString &text, int &page, int &top) const override;
    TfrxXMLItem *Mark() const override;
    void ShiftFrom(TfrxXMLItem *mark, int newTop) override;

private:
    TfrxXMLItem *current() const;
    TfrxPreviewPages *m_pages;
    TfrxXMLItem *m_current = nullptr; // none: the "outline" element itself
};

// ---- what the store talks to ----

// Told of structural changes of the store, for a preview that shows its pages. Not owned.
class TfrxPreviewPagesObserver {
public:
    virtual ~TfrxPreviewPagesObserver() = default;
    // Pages first .. first + count - 1 were appended (their content may still grow during a run).
    virtual void pagesAdded(int first, int count) = 0;
    // The store was emptied.
    virtual void pagesCleared() = 0;
    // Pages from `first` on changed in content, number or order: sizes and pictures are stale.
    virtual void pagesChanged(int first) = 0;
    // The store is being destroyed (with its report): forget it.
    virtual void pagesDestroyed() {}
};

// Progress of a run as the store reports it (kind 0, preparing): the report turns it into its events
// and the preview's notifications. Not owned.
class TfrxProgressListener {
public:
    virtual ~TfrxProgressListener() = default;
    virtual void ProgressStart(TfrxProgressType kind) = 0;
    // pageNo counts from 1.
    virtual void Progress(TfrxProgressType kind, int pageNo) = 0;
    virtual void ProgressStop(TfrxProgressType kind) = 0;
};

// The state of the engine that writes to the store. Not owned.
class TfrxEngineState {
public:
    virtual ~TfrxEngineState() = default;
    // Current vertical position on the page, report units.
    virtual Extended CurY() const = 0;
    // Page count of the first of two passes (0 before it ends).
    virtual int TotalPages() const = 0;
    // True in the last (or only) pass of a run.
    virtual bool FinalPass() const = 0;
};

// Cursor of the hand pointing at a link.
inline constexpr int crHandPoint = -21;
inline constexpr int crDefault = 0;

// The preview's side of ObjectOver: cursor, status texts, hints and what a click leads to.
class TfrxObjectOverHost {
public:
    virtual ~TfrxObjectOverHost() = default;
    virtual void SetCursor(int cursor) = 0;
    // index 0: the link, 1: the long hint.
    virtual void SetStatusText(int index, const QString &text) = 0;
    // Whether hints are shown; switched off by views with ShowHint that are passed over.
    virtual bool HintsShown() const = 0;
    virtual void SetHintsShown(bool shown) = 0;
    // Shows the short part of a hint.
    virtual void ShowHint(const QString &text) = 0;
    // Toggles the drill-down key (group header Name + "." + Tag) and prepares the report again.
    virtual void ToggleDrillDown(const QString &key) = 0;
    // Goes to a page number (from 1), as a link "@N" asks.
    virtual void GoToPage(int pageNo) = 0;
    // Goes to a position of a page (index from 0, top in report units), as a link "#anchor" asks.
    virtual void GoToPosition(int pageIndex, int top) = 0;
    // Opens any other link with the desktop's handler.
    virtual void OpenUrl(const QString &url) = 0;
    // Runs the report's click handling for the view; returns whether it modified the view.
    virtual bool ClickObject(TfrxView *view, bool doubleClick) = 0;
    // The mouse moved over the view without a click.
    virtual void MouseOverObject(TfrxView *view) = 0;
};

// ---- the store ----

// The operations the engine and the preview use, whatever keeps the pages.
class TfrxCustomPreviewPages {
public:
    virtual ~TfrxCustomPreviewPages() = default;
    virtual int Count() const = 0;
    virtual TfrxReportPage *Page(int index) = 0;
    virtual QSize PageSize(int index) = 0;
    virtual void Clear() = 0;
    virtual void BeginRun() = 0;
    virtual void AddObject(TfrxComponent *object) = 0;
    virtual void AddPage(TfrxReportPage *page) = 0;
    virtual void AddSourcePage(TfrxReportPage *page) = 0;
    virtual void AddToSourcePage(TfrxComponent *object) = 0;
    virtual void StartPass() = 0;
    virtual void ResetFirstPass() = 0;
    virtual void CutObjects(int index) = 0;
    virtual void FinishRun() = 0;
    virtual void NextLogicalPage() = 0;
    virtual void RestartLogicalPages() = 0;
    virtual void PasteObjects(Extended y, Extended x) = 0;
    virtual void ShiftAnchors(int mark, int newTop) = 0;
    virtual int AddPicture(const QByteArray &data) = 0;
    virtual bool HasBandOnPage(TfrxBand *band) = 0;
    virtual int ObjectCount() = 0;
    virtual int LastAnchorIndex() const = 0;
    virtual Extended BottomOfBands(Extended x) = 0;
    virtual int LogicalPageNo() const = 0;
    virtual int LogicalPageCount() const = 0;
    virtual void AddEmptyPage(int index) = 0;
    virtual void DeletePage(int index) = 0;
    virtual void ModifyPage(int index, TfrxReportPage *page) = 0;
    virtual void ObjectOver(int index, int x, int y, bool clicked, bool doubleClick, Extended scaleX,
                            Extended scaleY, Extended offsetX, Extended offsetY,
                            TfrxObjectOverHost &host) = 0;
    virtual void AddFrom(TfrxReport *report) = 0;
    virtual void LoadFromStream(QIODevice &stream) = 0;
    virtual void SaveToStream(QIODevice &stream) = 0;
    virtual bool LoadFromFile(const QString &fileName, bool excIfNotFound = false) = 0;
    virtual void SaveToFile(const QString &fileName) = 0;
};

// The store of one report: owned by the report, shared with its engine and preview.
class TfrxPreviewPages : public TfrxCustomPreviewPages {
public:
    // The report supplies the options and the source pages' class; not owned.
    explicit TfrxPreviewPages(TfrxReport *report);
    ~TfrxPreviewPages() override;
    TfrxPreviewPages(const TfrxPreviewPages &) = delete;
    TfrxPreviewPages &operator=(const TfrxPreviewPages &) = delete;

    TfrxReport *Report() const { return m_report; }
    void SetEngine(TfrxEngineState *engine) { m_engine = engine; }
    void SetProgressListener(TfrxProgressListener *listener) { m_progress = listener; }
    void addObserver(TfrxPreviewPagesObserver *observer);
    void removeObserver(TfrxPreviewPagesObserver *observer);

    // Number of prepared pages.
    int Count() const override;
    // The page rebuilt as objects (owned by the store's page cache, valid until the cache drops it or
    // the store changes); none outside the pages. Raises platform::FileError when a parked page
    // cannot be read back.
    TfrxReportPage *Page(int index) override;
    // Rounded size in report units of a page; (0, 0) outside the pages.
    QSize PageSize(int index) override;

    // ---- runs and passes ----
    void Clear() override;
    // Takes the picture-cache and temporary-folder options and starts the progress of preparing.
    void BeginRun() override;
    // Appends copies of the page and its objects to the source pages and links each object of the
    // report with its copy (SourceComponent both ways, PreparedName from the dictionary).
    void AddSourcePage(TfrxReportPage *page) override;
    // Copies an object created during the run into the last source page in the same way.
    void AddToSourcePage(TfrxComponent *object) override;
    // Remembers where this pass starts (last page and its object count).
    void StartPass() override;
    // Drops what the first pass produced; anchors and logical page totals survive.
    void ResetFirstPass() override;
    // Empties the page cache, unlinks the report's objects from the copies, ends the progress.
    void FinishRun() override;
    bool RunActive() const { return m_runActive; }

    // ---- pages and objects ----
    // Starts the next page for a report page: reuses an existing one unless AppendMode, else appends.
    void AddPage(TfrxReportPage *page) override;
    // Appends the object and its visible children to the current page, as differences from their
    // source copies (only the base difference in the first of two passes).
    void AddObject(TfrxComponent *object) override;
    // Number of objects placed directly on the current page.
    int ObjectCount() override;
    // Moves the current page's objects from index on aside.
    void CutObjects(int index) override;
    // Moves the objects put aside back to the current page, the first one's corner at (x, y).
    void PasteObjects(Extended y, Extended x) override;
    // Lowest bottom (report units) of the bands on the current page at column position x (0: any).
    Extended BottomOfBands(Extended x) override;
    // Whether the current page already holds the band (or any page or column footer for those).
    bool HasBandOnPage(TfrxBand *band) override;
    // Records an endless page's size (report units) as its source copy's custom paper size.
    void SetPageSize(TfrxReportPage *page, Extended height, Extended width);
    int AddPicture(const QByteArray &data) override { return m_pictureCache.AddPicture(data); }
    TfrxPictureCache &PictureCache() { return m_pictureCache; }

    int PageIndex() const { return m_pageIndex; }
    void SetPageIndex(int index);
    int RunFirstPage() const { return m_runFirstPage; }
    void SetRunFirstPage(int index) { m_runFirstPage = index; }
    bool AppendMode() const { return m_appendMode; }
    void SetAppendMode(bool value) { m_appendMode = value; }
    // Copy number (from 1 while printing, 0 otherwise) and print scale handed to text objects when
    // a page is drawn.
    int CopyNo = 0;
    Extended PrintScale = 1;

    // ---- logical page numbers, anchors, outline ----
    void NextLogicalPage() override;
    void RestartLogicalPages() override;
    // The logical number of the current page (the script's Page).
    int LogicalPageNo() const override;
    // The logical page count of the current page's group (the script's TotalPages); 0 while open.
    int LogicalPageCount() const override;
    // Adds an anchor for the current page at the engine's CurY.
    void AddAnchor(const QString &text);
    // The page number (from 1) of the last anchor of that text (case ignored); 1 when none.
    int GetAnchorPage(const QString &text) const;
    // The page index and top of the last anchor of that text; false when none.
    bool FindAnchor(const QString &text, int &pageIndex, int &top) const;
    int LastAnchorIndex() const override;
    // Moves the anchors after `mark` to the next page, the first of them to newTop.
    void ShiftAnchors(int mark, int newTop) override;
    TfrxOutline &Outline() { return m_outline; }

    // ---- editing (the preview) ----
    void AddEmptyPage(int index) override;
    void DeletePage(int index) override;
    // Replaces a page by the full serialised page object.
    void ModifyPage(int index, TfrxReportPage *page) override;
    // Appends each report page of another report as a whole page.
    void AddFrom(TfrxReport *report) override;

    // Decides what lies under a device point of a drawn page (scale in device pixels per unit, offset
    // of the page origin) and tells the host: cursor, status texts, hints, links, clicks.
    void ObjectOver(int index, int x, int y, bool clicked, bool doubleClick, Extended scaleX, Extended scaleY,
                    Extended offsetX, Extended offsetY, TfrxObjectOverHost &host) override;

    // ---- files ----
    // Reads a prepared report (the store is cleared first). Malformed XML raises
    // TfrxInvalidXMLException and leaves the store cleared; stream failures raise platform::FileError.
    void LoadFromStream(QIODevice &stream) override;
    // As above; with allowPartial, parked page elements stay in the stream (now owned) until needed.
    void LoadFromStream(std::unique_ptr<QIODevice> stream, bool allowPartial);
    void SaveToStream(QIODevice &stream) override;
    // Loads the file when it exists or excIfNotFound (a missing file then raises platform::FileError);
    // returns whether it existed.
    bool LoadFromFile(const QString &fileName, bool excIfNotFound = false) override;
    // Creates or replaces the file. Raises platform::FileError naming it on failure.
    void SaveToFile(const QString &fileName) override;

    // ---- access for readers and tests ----
    TfrxXMLDocument &Document() { return m_doc; }
    TfrxDictionary &Dictionary() { return m_dictionary; }
    int SourcePageCount() const { return int(m_sourcePages.size()); }
    TfrxReportPage *SourcePage(int index) const { return m_sourcePages.at(index).get(); }
    // The root child of that name, created on first use.
    TfrxXMLItem *RootChild(const QString &name);
    // The page element of an index (brought back when parked), or none outside the pages.
    TfrxXMLItem *PageItem(int index);
    int PagesInCache() const { return int(m_cache.size()); }
    // Frees every page rebuilt as objects; later requests rebuild them from their elements.
    void ClearCache();

private:
    struct CachedPage {
        int index;
        std::unique_ptr<TfrxReportPage> page;
    };
    // What the store keeps per source copy: its stored form, and the last text written for it, so
    // that equal texts of many pages share one string.
    struct SourceInfo {
        QString storedForm;
        QString lastText;
    };
    struct LogicalPage {
        int n = 0;
        int t = 0;
    };

    TfrxXMLItem *pages();
    const TfrxXMLItem *findRootChild(QStringView name) const;
    TfrxXMLItem *currentPage();
    bool firstOfTwoPasses() const;
    bool finalOfTwoPasses() const;
    void addObjectTo(TfrxXMLItem *parent, TfrxComponent *object);
    void copyToSource(TfrxComponent *original, TfrxComponent *parentCopy, int sourceIndex, bool bandsAsB);
    int sourceIndexOf(TfrxReportPage *page);
    void unloadCheck();
    void cacheEvictLast();
    std::unique_ptr<TfrxReportPage> rebuildPage(TfrxXMLItem *item);
    void rebuildObjects(TfrxXMLItem *item, TfrxComponent *parent);
    // Cache number of a placed picture (stored once per image); 0 for none.
    int cachedPicture(const TfrxPictureView &view);
    void writeWholePage(TfrxXMLItem *item, TfrxReportPage *page);
    void unlinkSources();
    void writeFileParts();
    void dropFileParts();
    void readFileParts();
    void notifyAdded(int first, int count);
    void notifyCleared();
    void notifyChanged(int first);

    TfrxReport *m_report;
    TfrxEngineState *m_engine = nullptr;
    TfrxProgressListener *m_progress = nullptr;
    QList<TfrxPreviewPagesObserver *> m_observers;

    TfrxXMLDocument m_doc;
    TfrxXMLItem *m_pages = nullptr; // cached "previewpages" element
    int m_pageIndex = -1;
    int m_runFirstPage = 0;
    bool m_appendMode = false;
    bool m_runActive = false;
    int m_passStartPage = -1;
    int m_passStartObjects = 0;
    qint64 m_pendingBytes = 0;
    // Logical numbers live beside the document (8 bytes a page instead of an element) and become the
    // "logicalpagenumbers" element of the file.
    std::vector<LogicalPage> m_logical;
    int m_logicalCounter = 0;

    std::vector<std::unique_ptr<TfrxReportPage>> m_sourcePages;
    std::vector<TfrxReportPage *> m_sourceOriginals; // report pages the copies came from (none after load)
    QStringList m_pageNames;                         // "page0", "page1" ... shared by the page elements
    QHash<const TfrxComponent *, SourceInfo> m_sourceInfo;
    TfrxDictionary m_dictionary;
    TfrxPictureCache m_pictureCache;
    QHash<qint64, int> m_cachedPictures; // image cache key -> picture cache number
    std::vector<CachedPage> m_cache;     // most recently used first
    TfrxOutline m_outline;

    friend class TfrxOutline;
};

} // namespace frx
