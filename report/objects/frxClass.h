// The report object model: the tree of report objects (report, pages, bands, views), their published
// properties with defaults and setter side effects, lookup by name, geometry and the texts the prepared
// pages store. Plain published values are public fields named as the property; values whose setter has
// side effects are read through Name() and written through SetName().
#pragma once

#include "report/objects/frxClass_props.h"
#include "report/text/frxGraphicUtils.h"
#include "report/objects/frxPicture.h"
#include "report/output/frxPrinter.h"
#include "report/text/frxUnicodeUtils.h"

#include <platform/codepage.h>
#include <platform/font.h>
#include <script/variant.h>

#include <QImage>
#include <QList>

namespace frx {

using platform::FontValue;

class TfrxReport;
class TfrxPage;
class TfrxReportPage;
class TfrxBand;
class TfrxChild;
class TfrxSubreport;

// Declares the class information of a report object class.
#define FRX_CLASS(Class)                                                                                     \
public:                                                                                                      \
    static const ClassInfo &staticClassInfo();                                                               \
    const ClassInfo *classInfo() const override                                                              \
    {                                                                                                        \
        return &staticClassInfo();                                                                           \
    }

// ---- enumerations (ordinals in declaration order) and sets (bit values) ----

enum TfrxAlign { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient };
enum TfrxShiftMode { smDontShift, smAlways, smWhenOverlapped };
enum TfrxStretchMode { smDontStretch, smActualHeight, smMaxHeight };
enum TfrxFrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble, fsAltDot, fsSquare };
enum TfrxFrameType : unsigned { ftLeft = 1, ftRight = 2, ftTop = 4, ftBottom = 8 };
using TfrxFrameTypes = unsigned;
enum TfrxRestriction : unsigned {
    rfDontModify = 1,
    rfDontSize = 2,
    rfDontMove = 4,
    rfDontDelete = 8,
    rfDontEdit = 16
};
using TfrxRestrictions = unsigned;
enum TfrxShapeKind {
    skRectangle,
    skRoundRectangle,
    skEllipse,
    skTriangle,
    skDiamond,
    skDiagonal1,
    skDiagonal2
};
enum TfrxDuplexMode { dmNone, dmVertical, dmHorizontal, dmSimplex };
enum TfrxFormatKind { fkText, fkNumeric, fkDateTime, fkBoolean };
enum TfrxDMPFontStyle : unsigned {
    fsxBold = 1,
    fsxItalic = 2,
    fsxUnderline = 4,
    fsxSuperScript = 8,
    fsxSubScript = 16,
    fsxCondensed = 32,
    fsxWide = 64,
    fsx12cpi = 128,
    fsx15cpi = 256
};
using TfrxDMPFontStyles = unsigned;
enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// Component style bits: copied into prepared pages; stored there in full rather than as differences.
enum TfrxComponentStyle : unsigned { csPreviewCopy = 1, csFullStateCopy = 2 };

// Cursor constants of views.
inline constexpr int crHand = 150;
inline constexpr int crZoom = 151;
inline constexpr int crFormat = 152;

// ---- value objects ----

class TfrxFrame;

// One side of a frame. Its values are stored in a template only where they differ from the frame's own.
class TfrxFrameLine {
public:
    int Color = clBlack;
    TfrxFrameStyle Style = fsSolid;
    Extended Width = 1;

    static const ClassInfo &staticClassInfo();
    const TfrxFrame *Frame() const { return m_frame; }
    bool sameValues(const TfrxFrameLine &other) const;

private:
    friend class TfrxFrame;
    const TfrxFrame *m_frame = nullptr;
};

// The frame of a view: which sides are drawn, how, and a drop shadow. Setting Color, Style or Width also
// sets that value on all four lines.
class TfrxFrame {
public:
    TfrxFrame();
    TfrxFrame(const TfrxFrame &other);
    TfrxFrame &operator=(const TfrxFrame &other);
    static const ClassInfo &staticClassInfo();

    int Color() const { return m_color; }
    void SetColor(int color);
    TfrxFrameStyle Style() const { return m_style; }
    void SetStyle(TfrxFrameStyle style);
    Extended Width() const { return m_width; }
    void SetWidth(Extended width);

    bool DropShadow = false;
    int ShadowColor = clBlack;
    Extended ShadowWidth = 4;
    TfrxFrameTypes Typ = 0;
    TfrxFrameLine LeftLine, TopLine, RightLine, BottomLine;

    bool operator==(const TfrxFrame &other) const;

private:
    void adoptLines();
    int m_color = clBlack;
    TfrxFrameStyle m_style = fsSolid;
    Extended m_width = 1;
};

// Display format of a text object's value.
class TfrxFormat {
public:
    static const ClassInfo &staticClassInfo();
    QString DecimalSeparator = QStringLiteral(".");
    QString FormatStr;
    TfrxFormatKind Kind = fkText;
    QString ThousandSeparator = QStringLiteral(",");
    bool operator==(const TfrxFormat &other) const = default;
};

// Conditional highlight of a text object.
class TfrxHighlight {
public:
    TfrxHighlight();
    static const ClassInfo &staticClassInfo();
    bool Active = false;
    int Color = clTransparent;
    QString Condition;
    FontValue Font;
    bool operator==(const TfrxHighlight &other) const = default;
};

// Class information of the font value object (Charset, Color, Height, Name, Size, Style).
const ClassInfo &fontClassInfo();

// Bounds saved before printing.
struct TfrxSavedBounds {
    Extended Left = 0, Top = 0, Width = 0, Height = 0;
};

// Reference to a report data set by pointer and by name, shared by views, data bands, report pages, the
// report and its data set items. The data set is a component whose class publishes UserName.
struct TfrxDataSetLink {
    TfrxComponent *dataSet = nullptr;
    QString name;

    // Stores the reference; the stored name becomes its UserName (empty for none).
    void set(TfrxComponent *self, TfrxComponent *newDataSet);
    // Stores the name and replaces the reference by self->FindDataSet(reference, name).
    void setName(TfrxComponent *self, const QString &newName);
    // The referenced data set's UserName, or the stored name without a reference.
    QString userName() const;
};

// UserName of a data set component (its Name when its class publishes no UserName); empty for none.
QString dataSetUserName(const TfrxComponent *dataSet);

// Finds a data set by UserName for a report using the process-wide data set list; installed by the data
// set unit. Returns none when no visible data set has that name.
using GlobalDataSetLookup = TfrxComponent *(*)(TfrxReport *report, const QString &userName);
void setGlobalDataSetLookup(GlobalDataSetLookup lookup);

// ---- components ----

// Base of every report object: tree and ownership, names, bounds, font, lookup.
class TfrxComponent {
public:
    // Creates the object as the last child of `owner` (none: a free object). Its registering owner, used
    // for name uniqueness, is the owner's report, or the owner's own registering owner outside a report.
    explicit TfrxComponent(TfrxComponent *owner = nullptr);
    virtual ~TfrxComponent();
    TfrxComponent(const TfrxComponent &) = delete;
    TfrxComponent &operator=(const TfrxComponent &) = delete;

    static const ClassInfo &staticClassInfo();
    virtual const ClassInfo *classInfo() const { return &staticClassInfo(); }
    QString ClassName() const { return classInfo()->name; }
    // True when this object's class is `className` or derives from it.
    bool InheritsFrom(QStringView className) const { return classInfo()->inherits(className); }

    // Tree. Objects are the direct children in insertion order, owned; AllObjects all descendants in
    // depth-first pre-order, rebuilt on each request and owning nothing.
    const QList<TfrxComponent *> &Objects() const { return m_objects; }
    virtual const QList<TfrxComponent *> &ContainerObjects() const { return m_objects; }
    const QList<TfrxComponent *> &AllObjects();
    TfrxComponent *Parent() const { return m_parent; }
    // Moves the object to the end of the new parent's Objects; reapplies ParentFont from the new parent.
    virtual void SetParent(TfrxComponent *parent);
    TfrxPage *Page() const;          // nearest page among this object and its ancestors, or none
    TfrxReport *OwnerReport() const; // nearest report among this object and its ancestors, or none
    TfrxComponent *Owner() const { return m_owner; } // registering owner, or none
    // Components registered with this object as owner, in registration order.
    const QList<TfrxComponent *> &Components() const { return m_components; }
    // The registered component of that name (ASCII case ignored), or none.
    TfrxComponent *FindComponent(QStringView name) const;
    // The first descendant whose Name equals `name` ignoring ASCII case only, or none.
    TfrxComponent *FindObject(QStringView name);

    // Names. The setter fails with platform::Error on a duplicate in the report ("prDupl"), a rename of
    // an ancestor object, an invalid identifier or a duplicate among the owner's components.
    const QString &Name() const { return m_name; }
    virtual void SetName(const QString &name);
    // Class name without the first "Tfrx" and then the first "View" ("Memo", "MasterData").
    virtual QString NamePrefix() const;
    // Gives the object the first name NamePrefix + 1, 2, ... not used in its report.
    void CreateUniqueName();

    // Bounds in report units relative to the parent.
    Extended Left() const { return m_left; }
    Extended Top() const { return m_top; }
    Extended Width() const { return m_width; }
    Extended Height() const { return m_height; }
    virtual void SetLeft(Extended value);
    virtual void SetTop(Extended value);
    virtual void SetWidth(Extended value);
    virtual void SetHeight(Extended value);
    void SetBounds(Extended left, Extended top, Extended width, Extended height);
    // Left (Top) plus the parent's AbsLeft (AbsTop); a dialog page or no parent ends the sum.
    Extended AbsLeft() const;
    Extended AbsTop() const;

    // Font. Setting it copies the value and clears ParentFont; ParentFont True copies the parent's font.
    const FontValue &Font() const { return m_font; }
    virtual void SetFont(const FontValue &font);
    // The own font for edits in place (the property registry's Font.Name); call FontChanged() after.
    FontValue *mutableFont();
    bool ParentFont() const { return m_parentFont; }
    virtual void SetParentFont(bool value);
    // The change notification of the own font: clears ParentFont and pushes the font down to every
    // direct child that follows its parent's font.
    virtual void FontChanged();

    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool value);

    bool IsAncestor() const { return m_ancestor; }
    void SetAncestor(bool value) { m_ancestor = value; }
    bool InLoading() const { return IsLoading; }

    // Destroys every child except those from an ancestor report, which are cleared recursively.
    virtual void Clear();
    // Positions the child views by their Align.
    virtual void AlignChildren();

    // Copies the source's stored properties (all of them, defaults included) into this object after
    // clearing its children; AssignAll also copies the source's children. References are resolved by
    // name in this object's report.
    void Assign(TfrxComponent *source);
    void AssignAll(TfrxComponent *source);

    // Attributes in which this object differs from `source` (normally its SourceComponent), for the
    // prepared pages: " name=\"value\"" pairs. The text object also moves LastParaBreak to FirstParaBreak.
    virtual QString DifferenceText(TfrxComponent *source);
    // The base part of the difference text (bounds, visibility, font, Tag) alone.
    QString BaseDifferenceText(TfrxComponent *source) const;
    // The attributes a template element would carry (without Name), then, with a source, a space and
    // the base difference text against it.
    QString FullStateText(TfrxComponent *source);

    // Asks to be told (Notification) when `other` is destroyed, and tells `other` when this one is.
    void FreeNotification(TfrxComponent *other);
    // Called when a component this one is linked with is being destroyed; clears references to it.
    virtual void Notification(TfrxComponent *removed);

    // Resolves a data set name for the DataSetName setters; `current` is kept where no lookup applies.
    TfrxComponent *FindDataSet(TfrxComponent *current, const QString &name);

    int Tag = 0;
    int GroupIndex = 0;
    TfrxRestrictions Restrictions = 0;
    QString Description;
    bool IsDesigning = false;
    bool IsLoading = false;
    bool IsPrinting = false;
    bool IsWriting = false;
    unsigned ComponentStyle = csPreviewCopy;
    QString PreparedName;
    TfrxComponent *SourceComponent = nullptr;
    TfrxComponent *SourceBand = nullptr;
    TfrxSavedBounds SavedBounds;

protected:
    // Sets the name without the report-wide checks (used while the report is being emptied or read).
    void setNameChecked(const QString &name, bool checkReport);
    // Attributes of the own class on top of the base difference text; `source` has the same class.
    virtual void appendDifferences(QString &text, TfrxComponent *source);

    Extended m_left = 0, m_top = 0, m_width = 0, m_height = 0;

private:
    void appendAllObjects(QList<TfrxComponent *> &list) const;
    void detachFromParent();

    QString m_name;
    FontValue m_font;
    bool m_parentFont = true;
    bool m_visible = true;
    bool m_ancestor = false;
    TfrxComponent *m_parent = nullptr;
    TfrxComponent *m_owner = nullptr;
    QList<TfrxComponent *> m_objects;
    QList<TfrxComponent *> m_allObjects;
    QList<TfrxComponent *> m_components;
    QList<TfrxComponent *> m_notifyLinks;
};

// Objects that can be printed: the print-time operations.
class TfrxReportComponent : public TfrxComponent {
    FRX_CLASS(TfrxReportComponent)
public:
    using TfrxComponent::TfrxComponent;
    // Saves the bounds into SavedBounds.
    virtual void BeforePrint();
    // Fetches content before printing; nothing here.
    virtual void GetData() {}
    // Restores the bounds from SavedBounds.
    virtual void AfterPrint();
    // Text for the preview's search; empty here.
    virtual QString GetComponentText() { return {}; }
    // The rectangle AbsLeft, AbsTop, AbsLeft + Width, AbsTop + Height.
    struct Rect {
        Extended left, top, right, bottom;
    };
    virtual Rect GetRealBounds() const;
    // Paints the object on `canvas` (not owned): ScaleX, ScaleY are device pixels per report unit,
    // OffsetX, OffsetY the device position of the page origin. Nothing here.
    virtual void Draw(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                      Extended OffsetY);

    QString OnAfterPrint;
    QString OnBeforePrint;
};

// Non-visual objects of the data page (data sets, databases).
class TfrxDialogComponent : public TfrxReportComponent {
    FRX_CLASS(TfrxDialogComponent)
public:
    explicit TfrxDialogComponent(TfrxComponent *owner = nullptr);
};

// Controls of dialog pages.
class TfrxDialogControl : public TfrxReportComponent {
    FRX_CLASS(TfrxDialogControl)
public:
    using TfrxReportComponent::TfrxReportComponent;
    bool Enabled = true;
    QString Hint;
    bool ShowHint = false;
};

// Visual objects: fill, frame, data binding.
class TfrxView : public TfrxReportComponent {
    FRX_CLASS(TfrxView)
public:
    explicit TfrxView(TfrxComponent *owner = nullptr);
    void BeforePrint() override;
    // Replaces the [expressions] of TagStr and URL by their values (Calc failures raise).
    void GetData() override;
    void AfterPrint() override;
    void Notification(TfrxComponent *removed) override;

    TfrxComponent *DataSet() const { return m_dataSet.dataSet; }
    void SetDataSet(TfrxComponent *dataSet) { m_dataSet.set(this, dataSet); }
    QString DataSetName() const { return m_dataSet.userName(); }
    void SetDataSetName(const QString &name) { m_dataSet.setName(this, name); }
    // Bound to data: a data set and a non-empty DataField.
    bool IsDataField() const { return m_dataSet.dataSet && !DataField.isEmpty(); }
    const TfrxFrame &Frame() const { return m_frame; }
    TfrxFrame &Frame() { return m_frame; }
    void SetFrame(const TfrxFrame &frame) { m_frame = frame; }

    // Paint geometry, background and frame.
    void Draw(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
              Extended OffsetY) override;

    // What a paint works with, kept on the object for the duration of the paint: the canvas, the
    // factors and the object's box in device pixels (X1, Y1 just outside it; without the shadow).
    struct PaintGeometry {
        platform::Canvas *Canvas = nullptr;
        Extended ScaleX = 1, ScaleY = 1, OffsetX = 0, OffsetY = 0;
        int X = 0, Y = 0, X1 = 0, Y1 = 0, DX = 0, DY = 0;
        int FrameWidth = 0; // round(Frame.Width * ScaleX)
    };
    const PaintGeometry &Geometry() const { return m_paint; }
    // The paint geometry at the given factors (no canvas).
    PaintGeometry GeometryAt(Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) const;

    TfrxAlign Align = baNone;
    bool Printable = true;
    TfrxShiftMode ShiftMode = smAlways;
    QString OnAfterData, OnPreviewClick, OnPreviewDblClick;
    QString Hint;
    bool ShowHint = false;
    TBrushStyle BrushStyle = bsSolid;
    int Color = clTransparent;
    int Cursor = 0;
    QString DataField;
    QString TagStr;
    QString URL;

protected:
    void appendDifferences(QString &text, TfrxComponent *source) override;
    // Computes the paint geometry at the given factors (and stores the canvas).
    virtual void PrepareDrawing(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                                Extended OffsetY);
    // Fills the box with Color and lays the hatch of BrushStyle over it.
    virtual void PaintBackground();
    // Draws the drop shadow and the frame sides of Typ.
    virtual void PaintFrame();
    // Draws one side of the frame from (x1, y1) to (x2, y2) with the line's colour, style and width;
    // `startJoined`, `endJoined`: a neighbouring side meets it at that end.
    void PaintFrameLine(const TfrxFrameLine &line, int x1, int y1, int x2, int y2, bool startJoined,
                        bool endJoined, bool outsideIsNegative);

    PaintGeometry m_paint;

private:
    TfrxDataSetLink m_dataSet;
    TfrxFrame m_frame;
    QString m_savedTagStr, m_savedURL;
};

// A view whose height can follow its content.
class TfrxStretcheable : public TfrxView {
    FRX_CLASS(TfrxStretcheable)
public:
    using TfrxView::TfrxView;
    // Height the content needs (report units); the current Height here.
    virtual Extended CalcHeight() { return Height(); }
    // Height of the part that still fits; 0 here.
    virtual Extended DrawPart() { return 0; }
    // Starts printing the content in parts; nothing here.
    virtual void InitPart() {}
    TfrxStretchMode StretchMode = smDontStretch;
};

// The text object.
class TfrxCustomMemoView : public TfrxStretcheable {
    FRX_CLASS(TfrxCustomMemoView)
public:
    explicit TfrxCustomMemoView(TfrxComponent *owner = nullptr);
    void Notification(TfrxComponent *removed) override;
    // Saves the text of an object not bound to a field (AfterPrint puts it back).
    void BeforePrint() override;
    // Fills the text for the current record: the bound field's display text, or the text with its
    // delimited expressions replaced by their formatted values. Expression failures raise.
    void GetData() override;
    void AfterPrint() override;
    // The value of the bound field or of the last expression evaluated.
    script::Variant Value;
    // Forgets the last shown text, so that SuppressRepeated prints the next one (a data band run
    // starts with none; a repeated band starts with the empty text).
    void ResetLastValue(bool toEmpty = false)
    {
        m_lastValue = QString();
        m_hasLastValue = toEmpty;
    }

    // Background, frame, underlines and the laid-out text (under the text layout lock).
    void Draw(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
              Extended OffsetY) override;
    // Height (report units) the text needs in the object's width: block height + vertical insets.
    Extended CalcHeight() override;
    // Width (report units) of the longest line unwrapped: block width + horizontal insets.
    virtual Extended CalcWidth();
    // True when the text, laid out as it is drawn, needs more room than the text rectangle gives
    // it, along its lines or across them: a clipped object then loses part of its text.
    bool TextOverflows();
    // The part text becomes the whole text; no paragraph breaks at either end.
    void InitPart() override;
    // Keeps in Memo the rows of the part text that fit the current height, leaves the rest as the next
    // part text; returns the height unused below the kept rows (Height when no row fits).
    Extended DrawPart() override;
    // The text still to be printed by the next DrawPart.
    const QString &PartText() const { return m_partText; }
    // Horizontal and vertical insets of the text rectangle inside the box, report units.
    Extended HorizontalInsets() const;
    Extended VerticalInsets() const;

    // Handed over by the page painter: the number of prepared pages, the copy being printed (from 1;
    // 0 outside printing) and the print scale (1 except while printing).
    int TotalPages = 0;
    int CopyNo = 0;
    Extended PrintScale = 1;

    // The whole text: each line followed by CR LF. Setting it splits at CR, LF and U+2028.
    QString Text() const { return m_memo.Text(); }
    void SetText(const QString &text) { m_memo.setText(text); }
    TfrxWideStrings &Lines() { return m_memo; }
    const TfrxWideStrings &Memo() const { return m_memo; }
    void SetMemo(const TfrxWideStrings &memo);
    // The code page that data, expressions and drawing of this object go through: the one of the
    // font's character set when that is not the default set and UseDefaulCharset is off, else 0
    // (no conversion).
    int AnsiCodePage() const
    {
        return Font().charset == 1 || UseDefaulCharset ? 0 : platform::codePageOfCharset(Font().charset);
    }
    // The text as it comes back through the code page of the font's character set (what that code
    // page cannot hold reads "?"); setting stores the value the same way. Throws platform::Error
    // when the system lacks the conversion.
    QString AnsiText() const;
    void SetAnsiText(const QString &text);

    int Rotation() const { return m_rotation; }
    // Stores the value modulo 360 keeping its sign (450 -> 90, -90 -> -90).
    void SetRotation(int degrees) { m_rotation = degrees % 360; }
    const QString &Style() const { return m_style; }
    // Stores the name and applies the report's style of that name (colour, font, frame) when found.
    void SetStyle(const QString &style);
    TfrxCustomMemoView *FlowTo() const { return m_flowTo; }
    void SetFlowTo(TfrxCustomMemoView *target);
    const TfrxHighlight &Highlight() const { return m_highlight; }
    TfrxHighlight &Highlight() { return m_highlight; }
    void SetHighlight(const TfrxHighlight &highlight) { m_highlight = highlight; }
    const TfrxFormat &DisplayFormat() const { return m_displayFormat; }
    TfrxFormat &DisplayFormat() { return m_displayFormat; }
    void SetDisplayFormat(const TfrxFormat &format) { m_displayFormat = format; }

    bool AllowExpressions = true;
    bool AllowHTMLTags = false;
    bool AutoWidth = false;
    Extended CharSpacing = 0;
    bool Clipped = true;
    QString ExpressionDelimiters = QStringLiteral("[,]");
    bool FirstParaBreak = false;
    bool LastParaBreak = false;
    Extended GapX = 2;
    Extended GapY = 1;
    TfrxHAlign HAlign = haLeft;
    bool HideZeros = false;
    Extended LineSpacing = 2;
    Extended ParagraphGap = 0;
    bool RTLReading = false;
    bool SuppressRepeated = false;
    bool Underlines = false;
    bool UseDefaulCharset = false;
    TfrxVAlign VAlign = vaTop;
    bool WordBreak = false;
    bool WordWrap = true;
    bool Wysiwyg = true;

protected:
    void appendDifferences(QString &text, TfrxComponent *source) override;

private:
    // The layout service of the object's report, or the shared one.
    TfrxDrawText &DrawText() const;
    // Font, options and spacing into the layout service; the highlight's when active.
    void ApplyLayout(TfrxDrawText &drawText);
    // The text rectangle inside the frame and gaps: in report units, and in device pixels of the
    // paint under way.
    TfrxRect TextRect() const;
    TfrxDeviceRect DeviceTextRect() const;
    template <class Rect>
    Rect textRectOf(const PaintGeometry &geometry) const;
    // Memo with the page count and copy name put in.
    TfrxWideStrings PaintedText() const;
    void ApplyAutoWidth(TfrxDrawText &drawText, const TfrxWideStrings &lines);
    // Keeps in this object the lines that fit its height and hands the rest to FlowTo; a chain that
    // leads back here logs an error naming this object and flows nothing.
    void FlowRest(TfrxReport *report);
    bool FlowsBackToItself() const;
    void PaintUnderlines(TfrxDrawText &drawText);

    TfrxWideStrings m_memo;
    QString m_partText;
    TfrxWideStrings m_savedMemo;
    QString m_lastValue;
    bool m_hasLastValue = false;
    int m_rotation = 0;
    QString m_style;
    TfrxCustomMemoView *m_flowTo = nullptr;
    TfrxHighlight m_highlight;
    TfrxFormat m_displayFormat;
};

class TfrxMemoView : public TfrxCustomMemoView {
    FRX_CLASS(TfrxMemoView)
public:
    using TfrxCustomMemoView::TfrxCustomMemoView;
};

// Second text object class: same storage, fewer published properties.
class TfrxSysMemoView : public TfrxCustomMemoView {
    FRX_CLASS(TfrxSysMemoView)
public:
    using TfrxCustomMemoView::TfrxCustomMemoView;
};

// A line with optional arrows.
class TfrxCustomLineView : public TfrxStretcheable {
    FRX_CLASS(TfrxCustomLineView)
public:
    explicit TfrxCustomLineView(TfrxComponent *owner = nullptr);
    // A horizontal or vertical line along the frame's top or left line, or a diagonal, with arrows.
    void Draw(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
              Extended OffsetY) override;
    bool ArrowEnd = false;
    bool ArrowStart = false;
    bool ArrowSolid = false;
    int ArrowLength = 20;
    int ArrowWidth = 5;
    bool Diagonal = false;
};

class TfrxLineView : public TfrxCustomLineView {
    FRX_CLASS(TfrxLineView)
public:
    using TfrxCustomLineView::TfrxCustomLineView;
};

// A picture.
class TfrxPictureView : public TfrxView {
    FRX_CLASS(TfrxPictureView)
public:
    explicit TfrxPictureView(TfrxComponent *owner = nullptr);
    // Background, the picture (stretched, fitted or at its natural size), frame.
    void Draw(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
              Extended OffsetY) override;
    // Device rectangle the picture covers inside the box of the paint geometry.
    QRect PictureRect() const;
    // The picture itself; null for none.
    QImage Picture;
    // The stored form Picture was read from, written back while Picture is unchanged.
    TfrxStoredPicture StoredPicture;
    bool AutoSize = false;
    bool Center = false;
    QString FileLink;
    int ImageIndex = 0;
    bool KeepAspectRatio = true;
    bool Stretched = true;
    bool HightQuality = false;

protected:
    void appendDifferences(QString &text, TfrxComponent *source) override;
};

// Rectangle, ellipse and other shapes.
class TfrxShapeView : public TfrxView {
    FRX_CLASS(TfrxShapeView)
public:
    explicit TfrxShapeView(TfrxComponent *owner = nullptr);
    // Fills and outlines the shape.
    void Draw(platform::Canvas &canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
              Extended OffsetY) override;
    TfrxShapeKind Shape = skRectangle;
    int Curve = 0;

protected:
    void appendDifferences(QString &text, TfrxComponent *source) override;
};

// Placeholder that prints another page in its place.
class TfrxSubreport : public TfrxView {
    FRX_CLASS(TfrxSubreport)
public:
    explicit TfrxSubreport(TfrxComponent *owner = nullptr);
    ~TfrxSubreport() override;
    void Notification(TfrxComponent *removed) override;
    TfrxReportPage *Page() const { return m_page; }
    // Links the page both ways (the page's Subreport becomes this object).
    void SetPage(TfrxReportPage *page);
    bool PrintOnParent = false;

private:
    TfrxReportPage *m_page = nullptr;
};

// ---- bands ----

// A horizontal (or vertical) strip of a page.
class TfrxBand : public TfrxReportComponent {
    FRX_CLASS(TfrxBand)
public:
    using TfrxReportComponent::TfrxReportComponent;
    void SetLeft(Extended value) override;
    void SetTop(Extended value) override;
    void SetHeight(Extended value) override;
    void Notification(TfrxComponent *removed) override;

    TfrxChild *Child() const { return m_child; }
    // Fails with "Circular child reference is not allowed" when the chain from `child` reaches this band.
    void SetChild(TfrxChild *child);

    bool Vertical = false;
    QString OnAfterCalcHeight;
    bool Overflow = false;
    bool AllowSplit = false;
    bool KeepChild = false;
    bool PrintChildIfInvisible = false;
    bool StartNewPage = false;
    bool Stretched = false;
    int RowNo = 0;
    int RowNoThrough = 0;
    QList<TfrxBand *> SubBands; // filled by the engine; owns nothing

protected:
    void appendDifferences(QString &text, TfrxComponent *source) override;

private:
    TfrxChild *m_child = nullptr;
};

// A band printed once per data record.
class TfrxDataBand : public TfrxBand {
    FRX_CLASS(TfrxDataBand)
public:
    using TfrxBand::TfrxBand;
    void Notification(TfrxComponent *removed) override;
    TfrxComponent *DataSet() const { return m_dataSet.dataSet; }
    void SetDataSet(TfrxComponent *dataSet) { m_dataSet.set(this, dataSet); }
    QString DataSetName() const { return m_dataSet.userName(); }
    void SetDataSetName(const QString &name) { m_dataSet.setName(this, name); }

    int Columns = 0;
    Extended ColumnWidth = 0;
    Extended ColumnGap = 0;
    bool FooterAfterEach = false;
    bool KeepFooter = false;
    bool KeepHeader = false;
    bool KeepTogether = false;
    bool PrintIfDetailEmpty = false;
    QString OutlineText;
    int RowCount = 0;
    QString OnMasterDetail;

private:
    TfrxDataSetLink m_dataSet;
};

#define FRX_BAND_CLASS(Class, Base)                                                                          \
    class Class : public Base {                                                                              \
        FRX_CLASS(Class)                                                                                     \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
    };

FRX_BAND_CLASS(TfrxMasterData, TfrxDataBand)
FRX_BAND_CLASS(TfrxDetailData, TfrxDataBand)
FRX_BAND_CLASS(TfrxSubdetailData, TfrxDataBand)
FRX_BAND_CLASS(TfrxDataBand4, TfrxDataBand)
FRX_BAND_CLASS(TfrxDataBand5, TfrxDataBand)
FRX_BAND_CLASS(TfrxDataBand6, TfrxDataBand)
FRX_BAND_CLASS(TfrxFooter, TfrxBand)
FRX_BAND_CLASS(TfrxColumnHeader, TfrxBand)
FRX_BAND_CLASS(TfrxColumnFooter, TfrxBand)
FRX_BAND_CLASS(TfrxReportTitle, TfrxBand)
FRX_BAND_CLASS(TfrxReportSummary, TfrxBand)
FRX_BAND_CLASS(TfrxChild, TfrxBand)
FRX_BAND_CLASS(TfrxNullBand, TfrxBand)

class TfrxHeader : public TfrxBand {
    FRX_CLASS(TfrxHeader)
public:
    using TfrxBand::TfrxBand;
    bool ReprintOnNewPage = false;
};

class TfrxPageHeader : public TfrxBand {
    FRX_CLASS(TfrxPageHeader)
public:
    using TfrxBand::TfrxBand;
    bool PrintOnFirstPage = true;
};

class TfrxPageFooter : public TfrxBand {
    FRX_CLASS(TfrxPageFooter)
public:
    using TfrxBand::TfrxBand;
    bool PrintOnFirstPage = true;
    bool PrintOnLastPage = true;
};

class TfrxGroupHeader : public TfrxBand {
    FRX_CLASS(TfrxGroupHeader)
public:
    using TfrxBand::TfrxBand;
    QString Condition;
    bool DrillDown = false;
    bool ExpandDrillDown = false;
    bool KeepTogether = false;
    bool ReprintOnNewPage = false;
    QString OutlineText;
    bool ResetPageNumbers = false;
    bool ShowFooterIfDrillDown = false;

protected:
    void appendDifferences(QString &text, TfrxComponent *source) override;
};

class TfrxGroupFooter : public TfrxBand {
    FRX_CLASS(TfrxGroupFooter)
public:
    using TfrxBand::TfrxBand;
    bool HideIfSingleDataRecord = false;
};

class TfrxOverlay : public TfrxBand {
    FRX_CLASS(TfrxOverlay)
public:
    using TfrxBand::TfrxBand;
    bool PrintOnTop = false;
};

// ---- pages ----

class TfrxPage : public TfrxComponent {
    FRX_CLASS(TfrxPage)
public:
    using TfrxComponent::TfrxComponent;
};

// A printable page with paper size (millimetres) and margins.
class TfrxReportPage : public TfrxPage {
    FRX_CLASS(TfrxReportPage)
public:
    explicit TfrxReportPage(TfrxComponent *owner = nullptr);
    QString NamePrefix() const override { return QStringLiteral("Page"); }
    void Notification(TfrxComponent *removed) override;
    // Sets the size to the printable area, aligns views and bands, then UpdateDimensions.
    void AlignChildren() override;

    Extended PaperWidth() const { return m_paperWidth; }
    Extended PaperHeight() const { return m_paperHeight; }
    int PaperSize() const { return m_paperSize; }
    TPrinterOrientation Orientation() const { return m_orientation; }
    // Round to 8 decimals, switch to the custom size 256, UpdateDimensions.
    virtual void SetPaperWidth(Extended mm);
    virtual void SetPaperHeight(Extended mm);
    // A standard code below 256 takes its paper's size (swapped for landscape); then UpdateDimensions.
    virtual void SetPaperSize(int code);
    // A change swaps width and height and turns the margins; UpdateDimensions.
    void SetOrientation(TPrinterOrientation orientation);
    // Width and Height from the paper size, rounded to whole units.
    void UpdateDimensions();
    int Columns() const { return m_columns; }
    // Stores the count; a positive count sets ColumnWidth to the printable width / count and fills
    // ColumnPositions with 0, 1 x ColumnWidth, ... A count above maxColumns raises platform::Error.
    void SetColumns(int count);
    static constexpr int maxColumns = 1000;
    int PageCount() const { return m_pageCount; }
    void SetPageCount(int count)
    {
        if (count >= 1) m_pageCount = count;
    }
    // First child of that class (exactly, or derived), or none.
    TfrxBand *FindBand(QStringView className) const;

    TfrxComponent *DataSet() const { return m_dataSet.dataSet; }
    void SetDataSet(TfrxComponent *dataSet) { m_dataSet.set(this, dataSet); }
    QString DataSetName() const { return m_dataSet.userName(); }
    void SetDataSetName(const QString &name) { m_dataSet.setName(this, name); }
    TfrxSubreport *Subreport() const { return m_subreport; }
    const TfrxFrame &Frame() const { return m_frame; }
    TfrxFrame &Frame() { return m_frame; }
    void SetFrame(const TfrxFrame &frame) { m_frame = frame; }

    Extended LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
    bool MirrorMargins = false;
    Extended ColumnWidth = 0;
    QStringList ColumnPositions;
    int Bin = 7;
    int BinOtherPages = 7;
    bool BackPictureVisible = true;
    bool BackPicturePrintable = true;
    QImage BackPicture;                  // painted inside the margins, stretched; null for none
    TfrxStoredPicture StoredBackPicture; // the stored form BackPicture was read from
    // A picture of the paper the page is printed on (a pre-printed card), shown behind the page on
    // screen only: copied with the page, never stored in a file, never printed or exported.
    QImage PreviewBackground;
    int Color = clTransparent;
    TfrxDuplexMode Duplex = dmNone;
    bool EndlessHeight = false;
    bool EndlessWidth = false;
    bool LargeDesignHeight = false;
    QString OutlineText;
    bool PrintIfEmpty = true;
    bool PrintOnPreviousPage = false;
    bool ResetPageNumbers = false;
    bool TitleBeforeHeader = true;
    QStringList HGuides, VGuides;
    QString OnAfterPrint, OnBeforePrint, OnManualBuild;
    QList<TfrxBand *> HorizontalBands, VerticalBands; // filled by the engine; own nothing

private:
    friend class TfrxSubreport;
    Extended m_paperWidth = 210, m_paperHeight = 297;
    int m_paperSize = 9;
    TPrinterOrientation m_orientation = poPortrait;
    int m_columns = 0;
    int m_pageCount = 1;
    TfrxDataSetLink m_dataSet;
    TfrxSubreport *m_subreport = nullptr;
    TfrxFrame m_frame;
};

// A dialog window run before preparation.
class TfrxDialogPage : public TfrxPage {
    FRX_CLASS(TfrxDialogPage)
public:
    using TfrxPage::TfrxPage;
    TFormBorderStyle BorderStyle = bsSizeable;
    QString Caption;
    int Color = -16777201;
    TPosition Position = poScreenCenter;
    TWindowState WindowState = wsNormal;
    QString OnActivate, OnClick, OnCloseQuery, OnDeactivate, OnHide, OnKeyDown, OnKeyPress, OnKeyUp, OnShow,
        OnResize;
};

// The page that holds the report's non-visual components.
class TfrxDataPage : public TfrxPage {
    FRX_CLASS(TfrxDataPage)
public:
    explicit TfrxDataPage(TfrxComponent *owner = nullptr);
};

// ---- dot-matrix variants ----

class TfrxDMPMemoView : public TfrxCustomMemoView {
    FRX_CLASS(TfrxDMPMemoView)
public:
    using TfrxCustomMemoView::TfrxCustomMemoView;
    TfrxDMPFontStyles FontStyle = 0;
    bool TruncOutboundText = true;

protected:
    void appendDifferences(QString &text, TfrxComponent *source) override;
};

class TfrxDMPLineView : public TfrxCustomLineView {
    FRX_CLASS(TfrxDMPLineView)
public:
    using TfrxCustomLineView::TfrxCustomLineView;
    TfrxDMPFontStyles FontStyle = 0;

protected:
    void appendDifferences(QString &text, TfrxComponent *source) override;
};

// A raw printer command string.
class TfrxDMPCommand : public TfrxView {
    FRX_CLASS(TfrxDMPCommand)
public:
    using TfrxView::TfrxView;
    QString Command;

protected:
    void appendDifferences(QString &text, TfrxComponent *source) override;
};

class TfrxDMPPage : public TfrxReportPage {
    FRX_CLASS(TfrxDMPPage)
public:
    using TfrxReportPage::TfrxReportPage;
    TfrxDMPFontStyles FontStyle = 0;
};

} // namespace frx

#include "report/objects/frxClass_report.h"
