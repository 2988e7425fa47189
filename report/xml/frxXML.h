// The report engine's own XML dialect: elements with attributes only, each element keeping its
// attributes as one raw attribute text with the escapes in place. Documents are written by a
// buffered writer and read by a forward-only reader with a 4096-byte buffer; elements of a large
// document can be parked in a temporary file and brought back on demand, so that only a window of
// pages needs to be in memory. Reading, writing and destruction never recurse per nesting level.
#pragma once

#include "platform/errors.h"

#include <QList>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;
class QTemporaryFile;

namespace frx {

namespace detail {
class XmlReader;
class XmlWriter;
} // namespace detail

// Malformed XML input. The message is always "Invalid file format"; reason() and offset() say what
// was wrong and at which byte of the stream (absolute stream position).
class TfrxInvalidXMLException : public platform::Error {
public:
    enum class Reason {
        NoDeclaration,    // the first tag is not an XML declaration
        LessThanInTag,    // a "<" inside a tag (offset of that "<")
        EndOfInputInTag,  // the input ends inside a tag or comment (offset of the end)
        MismatchedEndTag, // an end tag that does not close the open element (offset of its "<")
    };
    TfrxInvalidXMLException(Reason reason, qint64 offset);
    Reason reason() const noexcept { return m_reason; }
    qint64 offset() const noexcept { return m_offset; }

private:
    Reason m_reason;
    qint64 m_offset;
};

// Text to attribute value: LF, CR, double quote, "&", "<" and ">" become decimal character
// references (&#10; ...); the six characters &quot; become &#34;. Everything else stays as it is.
QString xmlEscape(const QString &text);

// Attribute value to text: decimal character references and &quot; &amp; &lt; &gt; are replaced;
// any other "&" stays. A reference that is not a decimal number (or not a Unicode code point)
// raises platform::ConvertError.
QString xmlUnescape(const QString &text);

// One element. Owns its children; destroying an element destroys its children and removes it
// from its parent.
class TfrxXMLItem final {
public:
    TfrxXMLItem() = default;
    ~TfrxXMLItem();
    TfrxXMLItem(const TfrxXMLItem &) = delete;
    TfrxXMLItem &operator=(const TfrxXMLItem &) = delete;
    // Elements come from a per-thread pool: a prepared report holds hundreds of thousands.
    static void *operator new(std::size_t size);
    static void operator delete(void *memory) noexcept;

    // Number of children (0 when the element never had any).
    int Count() const { return int(m_items.size()); }
    // Child at index (0-based); raises platform::Error "List index out of bounds (i)" outside.
    TfrxXMLItem *Items(int index) const;
    // Index of a direct child, or -1.
    int IndexOf(const TfrxXMLItem *item) const;

    // Appends a new empty child and returns it (owned by this element).
    TfrxXMLItem *Add();
    // Appends an existing element, taking it from its previous parent. Raises platform::Error when
    // the element is this one or one of its ancestors.
    void AddItem(TfrxXMLItem *item);
    // Like AddItem, then moves the element to position index (0..Count() before the call);
    // another index raises platform::Error before anything changes.
    void InsertItem(int index, TfrxXMLItem *item);

    // Index of the first child whose name equals name ignoring case, or -1.
    int Find(QStringView name) const;
    // That child, or a new child of that name appended when there is none.
    TfrxXMLItem *FindOrAdd(const QString &name);

    // Unescaped value of the attribute name (case-insensitive, whole attribute names only);
    // empty when absent. May raise platform::ConvertError from xmlUnescape.
    QString Prop(QStringView name) const;
    // Replaces the attribute in place, or appends it; the value is escaped.
    void SetProp(QStringView name, const QString &value);

    // Makes room for `count` children (an element about to be filled); Count() is unchanged.
    void ReserveChildren(int count);

    // Destroys all children; an unloadable element is then marked not loaded.
    void Clear();

    const QString &Name() const { return m_name; }
    void SetName(const QString &name) { m_name = name; }
    // The raw attribute text as between the name and the end of the start tag, escapes in place.
    const QString &Text() const { return m_text; }
    void SetText(const QString &text) { m_text = text; }
    TfrxXMLItem *Parent() const { return m_parent; }
    // A free value for the element's user; not owned.
    void *UserData() const;
    void SetUserData(void *data);
    // False while the element's children are parked in its document's backing stream.
    bool Loaded() const { return m_loaded; }
    // The element may be parked (TfrxXMLDocument::UnloadItem) and is written with the ld="0" marker.
    bool Unloadable() const { return m_unloadable; }
    void SetUnloadable(bool unloadable) { m_unloadable = unloadable; }
    // Byte position of the element in the backing stream it was last stored in (below 2^48).
    qint64 Offset() const { return qint64(m_offset); }

private:
    friend class TfrxXMLDocument;
    friend class detail::XmlReader;
    friend class detail::XmlWriter;

    // Where the element's stored copy lives, if it has one.
    enum class Store : quint8 { None, Source, Temp };
    Store store() const { return Store(m_store); }
    void setStore(Store store) { m_store = quint64(store); }
    void setOffset(qint64 offset) { m_offset = quint64(offset); }

    // The children: one pointer to a block holding count, capacity and the elements, allocated on
    // first use, so that the many elements without children pay eight bytes for the list.
    class Children {
    public:
        Children() = default;
        ~Children() { release(); }
        Children(const Children &) = delete;
        Children &operator=(const Children &) = delete;
        int size() const { return m_block ? m_block->size : 0; }
        bool isEmpty() const { return size() == 0; }
        TfrxXMLItem *operator[](int index) const { return m_block->items[index]; }
        TfrxXMLItem *const *begin() const { return m_block ? m_block->items : nullptr; }
        TfrxXMLItem *const *end() const { return m_block ? m_block->items + m_block->size : nullptr; }
        void append(TfrxXMLItem *item)
        {
            if (!m_block || m_block->size == m_block->capacity) grow(size() + 1);
            m_block->items[m_block->size++] = item;
        }
        void reserve(int count)
        {
            if (count > (m_block ? m_block->capacity : 0)) grow(count);
        }
        int indexOf(const TfrxXMLItem *item) const;
        // Removes the element, looking from the end (where removals happen), if it is there.
        void removeOne(const TfrxXMLItem *item);
        void move(int from, int to);
        // Hands the elements over and leaves the list empty.
        std::vector<TfrxXMLItem *> take();
        void release();

    private:
        struct Block {
            int size;
            int capacity;
            TfrxXMLItem *items[1];
        };
        void grow(int atLeast);
        Block *m_block = nullptr;
    };

    void appendChild(TfrxXMLItem *item);
    void takeFromParent();
    void destroyChildren();

    TfrxXMLItem *m_parent = nullptr;
    Children m_items;
    QString m_name;
    QString m_text;
    quint64 m_offset : 48 = 0;
    quint64 m_loaded : 1 = 1;
    quint64 m_unloadable : 1 = 0;
    quint64 m_store : 2 = 0;
    quint64 m_hasUserData : 1 = 0; // the value is in a side table: few elements carry one
};

// A document: the root element and the backing streams of parked elements.
class TfrxXMLDocument {
public:
    TfrxXMLDocument();
    ~TfrxXMLDocument();
    TfrxXMLDocument(const TfrxXMLDocument &) = delete;
    TfrxXMLDocument &operator=(const TfrxXMLDocument &) = delete;

    // Write every tag on its own CR LF line, two spaces per level (default false: no separators).
    bool Indented() const { return m_indented; }
    void SetIndented(bool indented) { m_indented = indented; }
    // The root element; its name and attributes are those of the outermost element. Owned.
    TfrxXMLItem *RootItem() const { return m_root.get(); }
    // Folder of the temporary file; empty or not an existing folder means the system's.
    const QString &TempFolder() const { return m_tempFolder; }
    void SetTempFolder(const QString &folder) { m_tempFolder = folder; }
    // Path of the temporary file of parked elements; empty while there is none.
    QString TempFileName() const;
    // The last document read was in the old format: attribute texts were in the system code page.
    bool LegacyEncoding() const { return m_legacyEncoding; }

    // Clears the root's children and releases the backing streams (the temporary file is deleted).
    void Clear();

    // Reads a whole document from the stream's current position, leaving the stream just after
    // the last byte consumed. Raises TfrxInvalidXMLException on malformed input (the elements read
    // before stay) and platform::FileError when the stream cannot be read.
    void LoadFromStream(QIODevice &stream);
    // As above; with partialLoading, elements marked ld="0" keep only their attributes and are
    // read from the stream on demand (LoadItem). The document takes ownership of the stream
    // either way and keeps it (partial loading only) until Clear, the next load or destruction.
    void LoadFromStream(std::unique_ptr<QIODevice> stream, bool partialLoading);
    // Writes the declaration and the root element, reading parked elements back as they are
    // written. Raises platform::FileError when the stream cannot be written.
    void SaveToStream(QIODevice &stream);

    // Brings a parked element back (children included; its Text is kept). Does nothing unless the
    // element is unloadable, not loaded and has a stored copy in this document.
    void LoadItem(TfrxXMLItem *item);
    // Parks a loaded, unloadable element: writes it at the end of the temporary file (created on
    // first use) and destroys its children. Raises platform::FileError when the file cannot be
    // created or written.
    void UnloadItem(TfrxXMLItem *item);

private:
    friend class detail::XmlWriter;

    QIODevice *storeOf(const TfrxXMLItem *item) const;
    void releaseStreams();
    void readDocument(QIODevice &stream, bool partialLoading);

    std::unique_ptr<TfrxXMLItem> m_root;
    std::unique_ptr<QIODevice> m_source;
    std::unique_ptr<QTemporaryFile> m_temp;
    QString m_tempFolder;
    bool m_indented = false;
    bool m_legacyEncoding = false;
};

} // namespace frx
