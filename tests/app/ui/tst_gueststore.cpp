#include "app/model/gueststore.h"

#include "app/ui/cardlabel.h"
#include "app/ui/guestgrid.h"
#include "app/ui/spinedit.h"
#include "support/mainwindow.h"

#include "platform/errors.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPaintEngine>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <csignal>
#include <unistd.h>

namespace {

QStringList names(GuestStore &store)
{
    QStringList list;
    platform::SqliteCursor &cursor = store.cursor();
    const int current = cursor.recordNumber();
    for (int n = 1; n <= cursor.recordCount(); ++n) {
        cursor.setRecordNumber(n);
        list << cursor.displayText(GuestStore::nameColumn());
    }
    if (current > 0) cursor.setRecordNumber(current);
    return list;
}

class GuestStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        apptest::ensureApplication();
        store.setDatabaseFile(dir.file(QStringLiteral("tovaro.db")));
    }
    apptest::DataDir dir;
    GuestStore store;
};

} // namespace

TEST_F(GuestStoreTest, aMissingStoreIsCreatedEmptyAndOpensOnTheInitialQuery)
{
    store.open();
    EXPECT_TRUE(store.isOpen());
    EXPECT_TRUE(store.isEmpty());
    EXPECT_EQ(store.query(), QStringLiteral("select *  from keren"));
    EXPECT_EQ(store.currentName(), QString());
    EXPECT_GE(store.cursor().fieldIndex(QStringLiteral("ID")), 0);
    EXPECT_GE(store.cursor().fieldIndex(QStringLiteral("姓名")), 0);
}

TEST_F(GuestStoreTest, addingGivesKeysAndMakesTheNewGuestCurrent)
{
    store.open();
    store.addGuest(QStringLiteral("张三"));
    store.addGuest(QString());
    store.addGuest(QStringLiteral("王小明"));
    EXPECT_EQ(store.currentName(), QStringLiteral("王小明"));
    EXPECT_EQ(store.cursor().recordCount(), 3);
    store.setQuery(GuestStore::sortedQuery());
    store.open();
    EXPECT_EQ(names(store), (QStringList{QStringLiteral("张三"), QString(), QStringLiteral("王小明")}));
    EXPECT_EQ(store.currentName(), QStringLiteral("张三")); // reopening makes the first current
}

TEST_F(GuestStoreTest, deletingTheCurrentAndAll)
{
    store.open();
    store.deleteCurrent(); // empty: nothing
    store.deleteAll();
    for (const char *name : {"甲", "乙", "丙", "丁"})
        store.addGuest(QString::fromUtf8(name));
    store.cursor().setRecordNumber(2);
    store.deleteCurrent();
    EXPECT_EQ(names(store), (QStringList{QStringLiteral("甲"), QStringLiteral("丙"), QStringLiteral("丁")}));
    store.cursor().setRecordNumber(3); // the last: deleting it moves back, the loop still ends empty
    store.deleteAll();
    EXPECT_TRUE(store.isEmpty());
    store.open();
    EXPECT_TRUE(store.isEmpty());
}

TEST_F(GuestStoreTest, narrowingSelectsNamesWithAQuote)
{
    store.open();
    for (const char *name : {"O'Brien", "张三", "O'Brien", "O"})
        store.addGuest(QString::fromUtf8(name));
    store.selectName(QStringLiteral("O'Brien"));
    store.open();
    EXPECT_EQ(names(store), (QStringList{QStringLiteral("O'Brien"), QStringLiteral("O'Brien")}));
    store.selectName(QStringLiteral("' or '1'='1"));
    store.open();
    EXPECT_TRUE(store.isEmpty());
    store.setQuery(GuestStore::sortedQuery());
    store.open();
    EXPECT_EQ(store.cursor().recordCount(), 4);
}

TEST_F(GuestStoreTest, aClosedListRefusesNamesAndAddingButDeletesNothingQuietly)
{
    EXPECT_THROW(store.currentName(), platform::DatabaseError);
    EXPECT_THROW(store.addGuest(QStringLiteral("张三")), platform::DatabaseError);
    EXPECT_NO_THROW(store.deleteCurrent());
    EXPECT_NO_THROW(store.deleteAll());
}

TEST_F(GuestStoreTest, storesThatCannotOpenSayWhyInChineseAndAreNeverReplaced)
{
    const QByteArray junk("this is no database at all, not even close", 42);
    dir.writeFile(QStringLiteral("tovaro.db"), junk);
    const auto openError = [this] {
        try {
            store.open();
        } catch (const platform::DatabaseError &error) {
            return error.message();
        }
        return QString();
    };
    EXPECT_TRUE(openError().contains(QStringLiteral("已损坏"))) << openError().toStdString();
    EXPECT_FALSE(store.isOpen());
    QFile kept(dir.file(QStringLiteral("tovaro.db")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), junk);

    platform::SqliteCursor::createDatabase(dir.file(QStringLiteral("other.db")),
                                           QStringLiteral("CREATE TABLE gaste (ID INTEGER PRIMARY KEY)"));
    store.setDatabaseFile(dir.file(QStringLiteral("other.db")));
    EXPECT_TRUE(openError().contains(QStringLiteral("没有客人表 keren"))) << openError().toStdString();
    store.setDatabaseFile(dir.file(QStringLiteral("missing/tovaro.db")));
    EXPECT_TRUE(openError().contains(QStringLiteral("文件夹不存在"))) << openError().toStdString();
}

// Captures the texts a widget paints, with their positions.
class TextCapture : public QPaintDevice {
public:
    struct Text {
        QString text;
        QPointF at;
    };
    explicit TextCapture(QSize size) : m_size(size) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }
    std::vector<Text> &texts() { return m_engine.texts; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 1;
        }
    }

private:
    struct Engine : QPaintEngine {
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &state) override
        {
            if (state.state() & QPaintEngine::DirtyTransform) transform = state.transform();
        }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawPath(const QPainterPath &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF &p, const QTextItem &item) override
        {
            texts.push_back({item.text(), transform.map(p)});
        }
        Type type() const override { return QPaintEngine::User; }
        std::vector<Text> texts;
        QTransform transform;
    };
    QSize m_size;
    mutable Engine m_engine;
};

namespace {

class GuestList : public ::testing::Test, public apptest::MainWindowFixture {
protected:
    void add(const QString &name)
    {
        form->edtMyName->setText(name);
        form->btnMyAdd->click();
    }
    // The texts painted into the row-number column, top to bottom.
    QStringList rowNumbers()
    {
        QWidget *viewport = form->dbgrd1->viewport();
        TextCapture capture(viewport->size());
        viewport->render(&capture, QPoint(), QRegion(), QWidget::DrawChildren);
        const int right = form->dbgrd1->columnViewportPosition(0) + form->dbgrd1->columnWidth(0);
        std::vector<TextCapture::Text> numbers;
        for (const TextCapture::Text &t : capture.texts())
            if (t.at.x() < right) numbers.push_back(t);
        std::sort(numbers.begin(), numbers.end(), [](auto &a, auto &b) { return a.at.y() < b.at.y(); });
        QStringList list;
        for (const auto &t : numbers)
            list << t.text;
        return list;
    }
};

} // namespace

TEST_F(GuestList, addPutsTheNameInTheStoreAndEmptiesTheEdit)
{
    start();
    add(QStringLiteral("王小明"));
    add(QString());
    EXPECT_TRUE(form->edtMyName->text().isEmpty());
    EXPECT_EQ(form->dbgrd1->model()->rowCount(), 2);
    EXPECT_EQ(form->dbgrd1->currentIndex().row(), 1); // the new guest is current and selected
    GuestStore other;
    other.setDatabaseFile(dir.file(QStringLiteral("tovaro.db")));
    other.open();
    EXPECT_EQ(names(other), (QStringList{QStringLiteral("王小明"), QString()}));
}

TEST_F(GuestList, nameEditRefusesANinthCharacter)
{
    start();
    form->edtMyName->setFocus();
    QTest::keyClicks(form->edtMyName, QStringLiteral("abcdefgh"));
    // A Chinese character typed as the ninth is refused like any other.
    QKeyEvent ninth(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("九"));
    QApplication::sendEvent(form->edtMyName, &ninth);
    EXPECT_EQ(form->edtMyName->text(), QStringLiteral("abcdefgh"));
    form->edtMyName->clear();
    QKeyEvent first(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("王"));
    QApplication::sendEvent(form->edtMyName, &first);
    EXPECT_EQ(form->edtMyName->text(), QStringLiteral("王"));
}

TEST_F(GuestList, rowNumbersArePositionsThatCloseUp)
{
    start();
    for (const char *name : {"甲", "乙", "丙", "丁"})
        add(QString::fromUtf8(name));
    EXPECT_EQ(rowNumbers(), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                         QStringLiteral("4")}));
    form->dbgrd1->selectRow(1);
    EXPECT_EQ(form->guests().currentName(), QStringLiteral("乙"));
    form->btnMyDel->click();
    EXPECT_EQ(rowNumbers(), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(form->dbgrd1->model()->data(form->dbgrd1->model()->index(1, 1)).toString(),
              QStringLiteral("丙"));
    apptest::onNextModal([](QWidget *modal) {
        qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Yes)->click();
    });
    form->btnMyDelAll->click();
    EXPECT_EQ(form->dbgrd1->model()->rowCount(), 0);
    EXPECT_TRUE(rowNumbers().isEmpty());
}

TEST_F(GuestList, clearingAsksFirstAndSaysHowManyGuests)
{
    start();
    form->btnMyDelAll->click(); // an empty list: nothing to ask
    for (const char *name : {"甲", "乙", "丙"})
        add(QString::fromUtf8(name));
    QString question;
    apptest::onNextModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        question = box->text();
        box->button(QMessageBox::No)->click();
    });
    form->btnMyDelAll->click();
    EXPECT_TRUE(question.contains(QStringLiteral("3 位客人"))) << question.toStdString();
    EXPECT_EQ(form->guests().count(), 3);
    apptest::onNextModal([](QWidget *modal) {
        qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Yes)->click();
    });
    form->btnMyDelAll->click();
    EXPECT_EQ(form->guests().count(), 0);
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(GuestList, clickingAGuestPutsTheStackedNameOnTheCard)
{
    start();
    add(QStringLiteral("王小明"));
    add(QStringLiteral("李四"));
    form->dbgrd1->selectRow(0);
    const QRect cell = form->dbgrd1->visualRect(form->dbgrd1->model()->index(0, 1));
    QTest::mouseClick(form->dbgrd1->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(form->item(0)->caption(), QStringLiteral("王\r\n小\r\n明\r\n"));

    // The keyboard moves the current guest, and the card shows the guest "打印当前" prints.
    form->dbgrd1->setFocus();
    QTest::keyClick(form->dbgrd1, Qt::Key_Down);
    EXPECT_EQ(form->guests().currentName(), QStringLiteral("李四"));
    EXPECT_EQ(form->item(0)->caption(), QStringLiteral("李\r\n四\r\n"));
    // So do an edit in place and a deletion.
    const QModelIndex nameCell = form->dbgrd1->model()->index(1, 1);
    form->dbgrd1->setCurrentIndex(nameCell);
    form->dbgrd1->edit(nameCell);
    auto *editor = qobject_cast<QLineEdit *>(form->dbgrd1->indexWidget(nameCell));
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("李四海"));
    ASSERT_TRUE(form->dbgrd1->commitPendingEdit());
    EXPECT_EQ(form->item(0)->caption(), QStringLiteral("李\r\n四\r\n海\r\n"));
    form->btnMyDel->click();
    EXPECT_EQ(form->guests().currentName(), QStringLiteral("王小明"));
    EXPECT_EQ(form->item(0)->caption(), QStringLiteral("王\r\n小\r\n明\r\n"));

    form->cbb1->setCurrentIndex(2);
    emit form->cbb1->textActivated(form->cbb1->currentText());
    EXPECT_EQ(form->item(0)->caption(), QStringLiteral("王小明")); // the switch shows the current guest, plain
}

TEST_F(GuestList, theNameCellEditsInPlaceAndReachesTheFile)
{
    start();
    add(QStringLiteral("张三"));
    QAbstractItemModel *model = form->dbgrd1->model();
    EXPECT_FALSE(model->flags(model->index(0, 0)) & Qt::ItemIsEditable);
    ASSERT_TRUE(model->setData(model->index(0, 1), QStringLiteral("张三丰")));
    GuestStore other;
    other.setDatabaseFile(dir.file(QStringLiteral("tovaro.db")));
    other.open();
    EXPECT_EQ(names(other), QStringList{QStringLiteral("张三丰")});
}

TEST_F(GuestList, aRefusedInPlaceEditSaysWhyInChinese)
{
    start();
    add(QStringLiteral("张三"));
    GuestStore other; // another program empties the store meanwhile
    other.setDatabaseFile(dir.file(QStringLiteral("tovaro.db")));
    other.open();
    other.deleteAll();
    QAbstractItemModel *model = form->dbgrd1->model();
    EXPECT_FALSE(model->setData(model->index(0, 1), QStringLiteral("张三丰")));
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_TRUE(errors.messages.first().startsWith(QStringLiteral("这位客人已不在客人名单")))
        << errors.messages.first().toStdString();
}

TEST_F(GuestList, keyboardDeletionAsksFirst)
{
    start();
    add(QStringLiteral("甲"));
    add(QStringLiteral("乙"));
    form->dbgrd1->setFocus();
    apptest::onNextModal([](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        box->button(QMessageBox::Cancel)->click();
    });
    QTest::keyClick(form->dbgrd1, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(form->dbgrd1->model()->rowCount(), 2);
    apptest::onNextModal([](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        box->button(QMessageBox::Ok)->click();
    });
    QTest::keyClick(form->dbgrd1, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(form->dbgrd1->model()->rowCount(), 1);
    EXPECT_EQ(form->guests().currentName(), QStringLiteral("甲"));
}

TEST_F(GuestList, aStoreThatCannotOpenShowsItsErrorAndLeavesTheWindowWorking)
{
    dir.writeFile(QStringLiteral("tovaro.db"), QByteArray("this is no database at all, not even close", 42));
    form->show();
    (void)QTest::qWaitFor([this] { return !errors.messages.isEmpty(); }, 5000);
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_FALSE(form->guests().isOpen());
    EXPECT_EQ(form->cbb1->currentText(), QStringLiteral("A4模板")); // the switch did not run
    // A later switch stops in the texts, before the profile: the card size stays.
    form->cbb1->setCurrentIndex(0);
    emit form->cbb1->textActivated(form->cbb1->currentText());
    EXPECT_EQ(errors.messages.size(), 2);
    EXPECT_TRUE(errors.messages.last().contains(QStringLiteral("姓名")));
    EXPECT_EQ(form->edtPWidth->text(), QStringLiteral("100"));
    form->edtMyName->setText(QStringLiteral("张三"));
    form->btnMyAdd->click();
    EXPECT_EQ(errors.messages.size(), 3);
    form->btnMyDel->click();
    form->btnMyDelAll->click();
    EXPECT_EQ(errors.messages.size(), 3);
}

// Run as a child by the test below: adds guests through the window, then dies without any
// chance to flush or close.
TEST(GuestStoreChild, addsGuestsThenIsKilled)
{
    const QByteArray folder = qgetenv("TOVARO_CHILD_DATA_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "runs only as the child of storeHoldsEveryGuestAfterTheProgramIsKilled";
    apptest::ensureApplication();
    TMainForm form(platform::AppFolders::inOneFolder(QString::fromLocal8Bit(folder)));
    Tfrm_tmp dialog(&form);
    form.setDetailsDialog(&dialog);
    form.FormActivate();
    for (const char *name : {"张三", "李四", "王小明"}) {
        form.edtMyName->setText(QString::fromUtf8(name));
        form.btnMyAdd->click();
    }
    ::kill(::getpid(), SIGKILL);
}

TEST(GuestStoreKill, storeHoldsEveryGuestAfterTheProgramIsKilled)
{
    apptest::ensureApplication();
    apptest::DataDir dir;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TOVARO_CHILD_DATA_DIR"), dir.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=GuestStoreChild.addsGuestsThenIsKilled")});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    GuestStore store;
    store.setDatabaseFile(dir.file(QStringLiteral("tovaro.db")));
    store.setQuery(GuestStore::sortedQuery());
    store.open();
    EXPECT_EQ(names(store),
              (QStringList{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王小明")}));
}

TEST_F(GuestStoreTest, manyGuestsAreAddedAllOrNone)
{
    store.open();
    store.addGuest(QStringLiteral("甲"));
    store.addGuests({QStringLiteral("乙"), QString(), QStringLiteral("丙")});
    EXPECT_EQ(names(store), QStringList({QStringLiteral("甲"), QStringLiteral("乙"), QString(), QStringLiteral("丙")}));
    EXPECT_EQ(store.names(), names(store));
    EXPECT_EQ(store.currentName(), QStringLiteral("甲"));

    // A write that fails halfway leaves the store as it was.
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(store.databaseFile()).constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER refuse BEFORE INSERT ON keren WHEN NEW.姓名 = '坏' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    EXPECT_THROW(store.addGuests({QStringLiteral("丁"), QStringLiteral("坏"), QStringLiteral("戊")}),
                 platform::DatabaseError);
    store.open();
    EXPECT_EQ(names(store).size(), 4);
    store.addGuests({QStringLiteral("丁")});
    EXPECT_EQ(names(store).last(), QStringLiteral("丁"));
}

TEST_F(GuestStoreTest, chosenGuestsAreSelectedByTheirIds)
{
    store.open();
    store.addGuests({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("O'Neil")});
    const QList<qint64> ids = store.ids({3, 0, 2, 9});
    ASSERT_EQ(ids.size(), 3);
    store.close();
    store.selectIds(ids);
    store.open();
    EXPECT_EQ(names(store), QStringList({QStringLiteral("甲"), QStringLiteral("丙"), QStringLiteral("O'Neil")}));
}

TEST_F(GuestStoreTest, aGuestIsFoundAgainByItsIdAfterTheListIsReopened)
{
    store.open();
    EXPECT_EQ(store.currentId(), 0);
    store.addGuests({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")});
    const qint64 second = store.ids({1}).value(0);
    store.close();
    store.setQuery(GuestStore::sortedQuery());
    store.open();
    EXPECT_TRUE(store.makeCurrent(second));
    EXPECT_EQ(store.currentName(), QStringLiteral("乙"));
    EXPECT_EQ(store.currentId(), second);
    // An ID the list does not hold leaves the current guest where it is.
    EXPECT_FALSE(store.makeCurrent(second + 100));
    EXPECT_EQ(store.currentName(), QStringLiteral("乙"));
}
