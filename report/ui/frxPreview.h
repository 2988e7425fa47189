// The preview of prepared pages: TfrxPreview lays the pages out on a grey scrollable workspace at a
// zoom, beside an outline tree or a column of thumbnails, follows a preparation while it runs, and
// searches, saves and opens prepared reports; TfrxPreviewForm hosts it under a toolbar and above a
// status bar, and is the window ShowReport opens (frxCreatePreviewWindow).
#pragma once

#include "report/objects/frxClass.h"
#include "report/engine/frxPreviewPages.h"

#include <QAbstractScrollArea>
#include <QDialog>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QRect>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform {
class RecordingCanvas;
}

namespace frx {

// The preview toolbar's icons: 25 pixmaps of 16 x 16, inflated from the gzip-compressed strip
// "PreviewButtons" of the resources on first use. An unreadable strip gives empty pixmaps.
const QList<QPixmap> &frxPreviewButtonImages();

// Where one page lies in a workspace: its scaled size and its position, workspace pixels.
struct TfrxPageItem {
    int Height = 0;
    int Width = 0;
    int X = 0;
    int Y = 0;
};

// The pages of a workspace arranged in centred rows.
class TfrxPageList {
public:
    void Clear();
    int Count() const { return int(m_items.size()); }
    const TfrxPageItem &Items(int index) const { return m_items.at(index); }
    // Appends a page of that scaled size (not yet placed).
    void AddPage(int width, int height);
    // Arranges the pages into rows for the available width: each row as wide as fits, centred, 10
    // pixels between pages and rows and around them; a single page wider than the space starts at 10.
    void CalcBounds(int availableWidth);
    // The widest row plus its margin, and the bottom of the last page plus 10: the scroll range.
    QSize Bounds() const { return m_bounds; }
    // The index of the page shown at workspace height y: the last page whose top lies at or above
    // y + a fifth of its height. With x >= 0 the pages near it are tested for containing (x, y) and
    // -1 is returned when none does. -1 for an empty list.
    int FindPage(int y, int x = -1) const;
    // The rectangle of a page in the workspace; a page beyond the list (still being prepared) is
    // placed as an A4 sheet at that zoom near the top, centred in availableWidth. With rightToLeft the
    // rectangle is mirrored in clientWidth.
    QRect PageRect(int index, int availableWidth, Extended zoom, bool rightToLeft = false,
                   int clientWidth = 0) const;

private:
    std::vector<TfrxPageItem> m_items;
    QSize m_bounds;
};

class TfrxPreview;

// One pane of pages: the main view or the thumbnail column. Paints only the pages around the top of
// the view, each through the prepared pages' DrawPage.
class TfrxPreviewWorkspace : public QAbstractScrollArea {
    Q_OBJECT
public:
    TfrxPreviewWorkspace(TfrxPreview *preview, bool thumbnail, QWidget *parent = nullptr);

    TfrxPageList PageList;
    // Device pixels per report unit.
    Extended Zoom = 1;
    bool IsThumbnail;
    bool Frozen = false;
    bool RightToLeft = false;
    int BackColor = 8421504;
    int FrameColor = 0;
    int ActiveFrameColor = 8405024;
    // Current page, 1-based (the thumbnail pane frames it).
    int PageNo = 1;

    void SetPreviewPages(TfrxPreviewPages *pages) { m_pages = pages; }
    // The width the rows are laid out in: the workspace less a scroll bar and 26 pixels.
    int AvailableWidth() const;
    // Sets the scroll ranges to the page list's bounds, keeping the positions where possible.
    void UpdateScrollRange();
    // Rectangle of a page in viewport pixels (scroll position applied).
    QRect ViewRect(int index) const;
    // The page under a viewport point, or -1.
    int PageAt(const QPoint &viewportPoint) const;
    // The page at the top of the view (at least 0; -1 without pages).
    int TopPage() const;
    // Forgets the pictures of pages drawn so far (after layout or content changes).
    void DropPictures()
    {
        m_pictures.clear();
        m_pictureOrder.clear();
    }
    // Pixels held by the kept pictures of drawn pages.
    qint64 CachedPixels() const;
    // The search hit to invert: page index and rectangle in page units; index -1 for none.
    void SetHighlight(int pageIndex, const QRect &rect);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QImage picture(int index, const QRect &rect);
    // Draws the part of page index that lies in `part` (viewport pixels) straight to the screen,
    // for a page too large at this zoom to be kept whole.
    void paintPart(QPainter &painter, int index, const QRect &rect, const QRect &part);
    // Draws page index into image, its corner at (offsetX, offsetY) of the image; a page that cannot
    // be read back stays blank.
    void drawInto(QImage &image, int index, int offsetX, int offsetY);

    TfrxPreview *m_preview;
    TfrxPreviewPages *m_pages = nullptr;
    bool m_dragging = false;
    bool m_moved = false;
    QPoint m_lastPos, m_pressPos;
    QElapsedTimer m_lastClick;
    QHash<int, QImage> m_pictures; // drawn pages at the current zoom, by index
    QList<int> m_pictureOrder;     // least recently drawn first
    int m_highlightPage = -1;
    QRect m_highlight;
};

// The preview control. Implements what the engine tells a preview about a preparation, and follows
// its prepared pages by observing them: what they report is gathered and shown at once while the
// preview is idle, and a few times a second while the engine adds pages (the first card at once).
class TfrxPreview : public QWidget, public TfrxPreparationObserver, public TfrxPreviewPagesObserver {
    Q_OBJECT
public:
    explicit TfrxPreview(QWidget *parent = nullptr);
    ~TfrxPreview() override;

    // ---- showing a report
    // Takes the report's prepared pages and preview options and shows page 1 (report not owned).
    virtual void InitFromReport(TfrxReport *report);
    TfrxReport *Report() const { return m_report; }
    TfrxPreviewPages *PreviewPages() const { return m_pages; }
    int PageNo() const { return m_pageNo; }
    int PageCount() const;
    Extended Zoom() const { return m_zoom; }
    TfrxZoomMode ZoomMode() const { return m_zoomMode; }
    bool Working() const { return m_working; }
    bool Frozen() const { return m_frozen; }

    // Shows page n (clamped to 1 .. page count) with its top 10 pixels below the top of the view.
    void ShowPage(int n);
    void First() { ShowPage(1); }
    void Next() { ShowPage(m_pageNo + 1); }
    void Prior() { ShowPage(m_pageNo - 1); }
    void Last() { ShowPage(PageCount()); }
    // Sets the zoom (0.25 at least) in the default mode.
    void ZoomTo(Extended zoom);
    void SetZoomMode(TfrxZoomMode mode);
    // Lays the pages out again for the zoom (mode) and the window size; nothing while frozen or
    // without pages.
    void Rebuild();
    void RebuildOutline();

    // ---- commands (each does nothing while a preparation runs)
    // Prints the prepared pages, starting from the shown page for "current page"; asks first while
    // the report's job check finds something.
    void PrintPages();
    // True when the report's job check (OnCheckJob) finds nothing or the user chooses to print all
    // the same.
    bool ConfirmJobCheck();
    void SaveAs();
    void OpenAs();
    // Asks for a file name and writes the prepared pages there as PDF, page by page under the
    // report's progress (a cancel stops it); failures raise after the preview is thawed.
    void ExportPdf();
    // Saves to / loads from a prepared-report file under the progress panel; failures raise after
    // the preview is thawed (and, for loading, page 1 and the outline are shown again).
    void SavePrepared(const QString &fileName);
    void OpenPrepared(const QString &fileName);
    // The page settings dialog for the shown page; applied to that page, or to every page of the
    // report with a new preparation.
    void EditPageSettings();
    // Asks for a text and searches from the first or the shown page; FindAgain goes on from the last
    // hit. Both return whether a hit was found.
    bool FindText();
    bool FindAgain();
    // Searches directly (what FindText does after its dialog).
    bool Find(const QString &text, bool caseSensitive, bool fromTop);
    // The last hit: page index (-1 before any) and rectangle in page units.
    int HitPage() const { return m_hitFound ? m_searchPage : -1; }
    QRect HitRect() const { return m_hitRect; }
    // Empties the prepared pages and the panes, back to page 1.
    void ClearPreview();
    // Asks the running preparation to stop at its next page.
    void CancelPreparation();
    // Freeze stops painting while the pages are replaced; Thaw hides the progress panel, lays the
    // pages out again and repaints.
    void Freeze();
    void Thaw();
    // Runs body frozen, then `after` (Thaw when none), also when body fails. Nothing of this runs in
    // a destructor, where a failure would end the program; after a failed body a failure of `after`
    // is dropped behind the body's error, the one the user is shown.
    void whileFrozen(const std::function<void()> &body, const std::function<void()> &after = {});
    // The progress panel over the pages, a third down from the top, painted at once.
    void ShowProgressText(const QString &text);
    void HideProgress();
    // Prepares the report again into this preview, keeping the scroll position and the page.
    void RefreshPreparation();

    // ---- panes: the outline and the thumbnails share one place beside the pages
    bool OutlineVisible() const { return m_outlineVisible; }
    void SetOutlineVisible(bool visible);
    bool ThumbnailVisible() const { return m_thumbnailVisible; }
    void SetThumbnailVisible(bool visible);
    int OutlineWidth() const { return m_outlineWidth; }
    void SetOutlineWidth(int width);
    // Expands or collapses the outline and every drill-down group, then prepares again.
    void ExpandAll(bool expand);

    // ---- screen-only aids
    // Whether the pages show the picture of the paper they go on (their PreviewBackground); on by
    // default. Never printed or exported.
    bool PreviewBackgroundVisible() const { return m_backgroundVisible; }
    void SetPreviewBackgroundVisible(bool visible);
    // Whether a page of the report has such a picture.
    bool HasPreviewBackground() const;
    // The text objects of the shown page whose text overflows them (outlined in red on screen).
    int OverflowCount();

    // ---- the engine's notifications
    void PreparationStarted() override;
    void PageProduced(int pageIndex) override;
    void PreparationFinished() override;

    // ---- the prepared pages' notifications
    void pagesAdded(int first, int count) override;
    void pagesCleared() override;
    void pagesChanged(int first) override;
    void pagesDestroyed() override;
    // Milliseconds between two showings while the engine adds pages.
    static constexpr int PageRefreshMs = 250;

    // Keys of the control (arrows, pages, Home, End, F3 and the Ctrl shortcuts); false when unused.
    bool KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // One wheel step; forward is a wheel turned away from the user.
    void MouseWheel(bool forward, bool ctrl);

    TfrxPreviewWorkspace *Workspace;
    TfrxPreviewWorkspace *Thumbnail;
    QTreeWidget *OutlineTree;
    QSplitter *Splitter;
    QFrame *ProgressPanel;
    QLabel *ProgressLabel;
    QPushButton *ProgressCancel;

    // The new page number after every change of the current page.
    std::function<void(TfrxPreview *sender, int pageNo)> OnPageChanged;
    std::function<void()> OnClick, OnDblClick;
    // A status text from the object under the mouse (0 the link, 1 the long hint).
    std::function<void(int index, const QString &text)> OnStatusText;
    // The zoom after every layout; the working state, pages or panes changed.
    std::function<void(Extended zoom)> OnZoomChanged;
    std::function<void()> OnStateChanged;
    // Whether the hints of report objects show beside the mouse.
    bool UseReportHints = true;

    // Called by the workspaces.
    void WorkspaceScrolled(TfrxPreviewWorkspace *workspace);
    void WorkspaceMouseMove(TfrxPreviewWorkspace *workspace, const QPoint &viewportPoint);
    void WorkspaceClick(TfrxPreviewWorkspace *workspace, const QPoint &viewportPoint, Qt::MouseButton button,
                        bool doubleClick);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    class ObjectHost;
    void UpdatePageChanged();
    // Observes this store (or none) instead of the one before; the panes draw from it.
    void ObservePages(TfrxPreviewPages *pages);
    // Shows what the prepared pages reported since the last time; nothing while frozen or during a
    // drill-down refresh, which show it when they end.
    void ApplyPageChanges();
    // Shows the reported changes at once when idle or for the first card, else on the next tick.
    void SchedulePageChanges();
    // During a preparation: lays the pages produced so far out and repaints only when what changed
    // is in view.
    void FollowPreparation();
    // Refills the page lists (the thumbnail list only when asked) with every page's size at each
    // pane's zoom and arranges them.
    void FillPageLists(bool thumbnails);
    // Scrolls the main view to a position of a page (top in report units below the top margin; 0:
    // the page's top), 10 pixels below the top of the view.
    void ScrollToPosition(int pageIndex, int top);
    void ScrollToHit();
    void PlaceProgressPanel();
    void OutlineClick(QTreeWidgetItem *item);
    bool SearchFrom(int page, int lastHit);
    void ApplyPaneVisibility();

    TfrxReport *m_report = nullptr;
    TfrxPreviewPages *m_pages = nullptr;
    int m_pageNo = 1;
    Extended m_zoom = 1;
    TfrxZoomMode m_zoomMode = zmDefault;
    bool m_working = false;
    bool m_frozen = false;
    bool m_refreshing = false;
    bool m_showingPage = false;
    bool m_outlineVisible = false;
    bool m_thumbnailVisible = false;
    bool m_backgroundVisible = true;
    int m_outlineWidth = 120;
    // What the prepared pages reported and the panes do not show yet.
    bool m_layoutStale = false;
    bool m_outlineStale = false;
    bool m_pagesReplaced = false; // pages were changed or removed, not only added
    QTimer *m_refreshTimer;

    // Search state.
    QString m_searchText;
    bool m_caseSensitive = false;
    int m_searchPage = 0; // index
    int m_lastHit = -1;
    QRect m_hitRect;
    bool m_hitFound = false;
    bool m_searched = false;
    int m_recordedPage = -1;
    std::unique_ptr<platform::RecordingCanvas> m_recorded;

    std::unique_ptr<ObjectHost> m_host;
};

// The preview window.
class TfrxPreviewForm : public QDialog {
    Q_OBJECT
public:
    // Builds the window and its controls (FormCreate).
    explicit TfrxPreviewForm(QWidget *parent = nullptr);
    ~TfrxPreviewForm() override;

    // Shows report (not owned) in the control and sets up the window from its preview options.
    void ConfigureFromOptions(TfrxReport *report);
    // Enables the commands for the state of the control.
    void EnableControls();
    // The page information of the first status panel and the page field.
    void ShowPageInfo(int pageNo);
    void ToggleFullScreen();
    bool IsFullScreen() const { return m_fullScreen; }
    // Whether a toolbar control (button, separator or panel) is shown by the options.
    bool ControlShown(QObject *control) const;
    // A progress message of the engine: into the third status panel when not empty or when that
    // panel shows text, else into the second.
    void ShowMessage(const QString &text);

    TfrxPreview *Preview;
    QToolBar *ToolBar;
    QToolButton *PrintB, *OpenB, *SaveB, *ExportB, *PdfB, *EmailB, *FindB;
    QAction *Sep1;
    QToolButton *ZoomPlusB;
    QWidget *Sep3;
    QComboBox *ZoomCB;
    QToolButton *ZoomMinusB, *FullScreenBtn;
    QAction *Sep2;
    QToolButton *OutlineB, *ThumbB, *PageSettingsB, *DesignerB;
    // Shows or hides the picture of the paper behind the pages; shown when the report has one.
    QToolButton *BackgroundB;
    QAction *Sep5;
    QToolButton *FirstB, *PriorB;
    QWidget *Sep4;
    QLineEdit *PageE;
    QToolButton *NextB, *LastB;
    QWidget *frTBPanel1;
    QPushButton *CancelB;
    // The whole job's check (the report's OnCheckJob) above the status bar, for all pages at once;
    // hidden while it finds nothing.
    QPlainTextEdit *JobCheckE;
    QStatusBar *StatusBar;
    QLabel *StatusPanels[3];
    QMenu *ExportPopup, *HiddenMenu, *RightMenu;
    QAction *Showtemplate1, *CollapseMI, *ExpandMI, *N1;

    // Toolbar handlers.
    void PrintBClick();
    void OpenBClick();
    void SaveBClick();
    void PdfBClick();
    void FindBClick();
    void ZoomPlusBClick();
    void ZoomMinusBClick();
    void ZoomCBClick();
    void FullScreenBtnClick() { ToggleFullScreen(); }
    void OutlineBClick();
    void ThumbBClick();
    void BackgroundBClick();
    void PageSettingsBClick();
    void DesignerBClick() {}
    void FirstBClick() { Preview->First(); }
    void PriorBClick() { Preview->Prior(); }
    void PageEClick();
    void NextBClick() { Preview->Next(); }
    void LastBClick() { Preview->Last(); }
    void CancelBClick();
    void CollapseAllClick() { Preview->ExpandAll(false); }
    void ExpandAllClick() { Preview->ExpandAll(true); }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // The wheel anywhere over the window scrolls or zooms the pages (FormMouseWheel).
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The second and third status panels share what the first leaves (FormResize).
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormCreate();
    QToolButton *AddButton(const char *name, int image, int caption, int hint,
                           void (TfrxPreviewForm::*handler)());
    void SetShown(QObject *control, bool shown);
    void BuildRightMenu();
    void UpdateZoomText();

    TfrxReport *m_report = nullptr;
    QHash<QObject *, QAction *> m_actions; // toolbar control -> its toolbar action
    QHash<QObject *, QAction *> m_menuItems;
    bool m_fullScreen = false;
    bool m_overflowNoted = false; // the second panel holds the overflow note of the shown page
    bool m_jobChecked = false;    // the finished run's pages have had the job check
    Qt::WindowStates m_savedState;
};

// The preview window ShowReport opens in the card program: a TfrxPreviewForm made for one showing.
std::unique_ptr<TfrxPreviewWindow> frxCreatePreviewWindow(TfrxReport *report);

} // namespace frx
