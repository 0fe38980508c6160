#include "commands_fixture.h"

#include "controls/ui/cImageList.h"
#include "core/LinkLabel.h"
#include "lists/frmItem.h"
#include "settings/OptionSettings.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QTabWidget>
#include <QTimer>

namespace Row = ItemsListRow;

namespace {

const QString blanks42(42, QLatin1Char(' '));

class ItemProperties : public ListWindowTest {
protected:
    // A list "Songs" of three items, 205 s, 10 s and 20 s long; the second is
    // stereo and holds a range of 75 s from 60 s.
    frmMain &loadSongs()
    {
        const QString a = wav(QStringLiteral("a.wav"), 205000);
        const QString b = wav(QStringLiteral("b.wav"), 10000, 2000, 2);
        const QString c = wav(QStringLiteral("c.wav"), 20000);
        writeList(QStringLiteral("Songs.flst"), rec("1", "one", a) + rec("1", "two", b, "0", "75", "60")
                                                    + rec("0", "three", c));
        frmMain &main = load();
        EXPECT_EQ(main.cGrid1->Rows(), 3);
        return main;
    }

    // The window as the grid's double click loads it, for the selected row.
    frmItem *openFor(frmMain &main, int row)
    {
        main.cGrid1->setSelectedRow(row);
        form = new frmItem(main.cGrid1, [&main] { main.SaveGridToFile(); }, &main);
        return form;
    }

    void TearDown() override
    {
        delete form.data();
        ListWindowTest::TearDown();
    }

    QPointer<frmItem> form;
};

TEST_F(ItemProperties, ShowsTheRowAndItsFile)
{
    frmMain &main = loadSongs();
    frmItem *item = openFor(main, 1);
    EXPECT_EQ(item->windowTitle(), QStringLiteral("Item Properties"));
    EXPECT_EQ(item->lblTitle->text(), QStringLiteral("one"));
    EXPECT_EQ(item->txtItemName->text(), QStringLiteral("one"));
    EXPECT_EQ(item->lblFileName->text(), QStringLiteral("a.wav"));
    EXPECT_EQ(item->lblPath->text(), TestEnv::workFolder() + QLatin1Char('/'));
    EXPECT_EQ(item->lblTotalTime->text(), QStringLiteral("00:03:25"));
    EXPECT_EQ(item->lblFormat->text(), QStringLiteral("WAV"));
    EXPECT_EQ(item->lblSamples->text(), QStringLiteral("2000"));
    EXPECT_EQ(item->lblBitrate->text(), QStringLiteral("16"));
    EXPECT_EQ(item->lblChannels->text(), QStringLiteral("MONO"));
    EXPECT_TRUE(item->ptnAllFile->isChecked());
    EXPECT_FALSE(item->dtStartAfter->isEnabled());
    EXPECT_EQ(item->dtUntil->time(), QTime(0, 3, 25));
    EXPECT_EQ(item->cTabControl1->currentWidget(), item->TabInfo);
    EXPECT_EQ(item->cTabControl1->tabText(2), QStringLiteral("Destination ID3 Tags  "));

    // A stored range opens on "Process range by time" with its two times.
    item->cmdNext_Click();
    EXPECT_EQ(item->lblChannels->text(), QStringLiteral("STEREO"));
    EXPECT_TRUE(item->ptnConvertByTime->isChecked());
    EXPECT_EQ(item->dtStartAfter->time(), QTime(0, 1, 15));
    EXPECT_EQ(item->dtUntil->time(), QTime(0, 2, 15));
    for (QWidget *w : std::initializer_list<QWidget *>{item->dtStartAfter, item->dtUntil, item->cmdGoTSoStart,
                                                        item->cmdGoToEnd, item->Label20, item->Label21})
        EXPECT_TRUE(w->isEnabled());
}

TEST_F(ItemProperties, StepsFollowTheGridAndDiscardWhatWasNotApplied)
{
    frmMain &main = loadSongs();
    const QByteArray before = listBytes(QStringLiteral("Songs.flst"));
    frmItem *item = openFor(main, 1);
    EXPECT_FALSE(item->cmdBack->isEnabled());
    EXPECT_TRUE(item->cmdNext->isEnabled());

    item->txtItemName->setText(QStringLiteral("changed"));
    item->cmdNext_Click();
    EXPECT_EQ(main.cGrid1->SelectedRow(), 2);
    EXPECT_EQ(item->lItem, 2);
    EXPECT_EQ(item->txtItemName->text(), QStringLiteral("two"));
    EXPECT_EQ(cell(main, 1, Row::ItemName), QStringLiteral("one"));
    EXPECT_TRUE(item->cmdBack->isEnabled());

    item->cmdNext_Click();
    EXPECT_EQ(main.cGrid1->SelectedRow(), 3);
    EXPECT_FALSE(item->cmdNext->isEnabled());
    EXPECT_TRUE(item->ptnAllFile->isChecked());
    item->cmdNext_Click();
    EXPECT_EQ(item->lItem, 3);
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), before);
}

TEST_F(ItemProperties, ARangeIsStoredAsStartAndLengthAndSaved)
{
    frmMain &main = loadSongs();
    frmItem *item = openFor(main, 1);
    item->ptnConvertByTime->click();
    EXPECT_TRUE(item->dtStartAfter->isEnabled());
    item->dtStartAfter->setTime(QTime(0, 1, 15));
    item->dtUntil->setTime(QTime(0, 2, 30));
    EXPECT_EQ(item->ApplyItemChanges(), 0);
    EXPECT_EQ(cell(main, 1, Row::RangeAll), QStringLiteral("0"));
    EXPECT_EQ(cell(main, 1, Row::RangeStart), QStringLiteral("75"));
    EXPECT_EQ(cell(main, 1, Row::RangeLength), QStringLiteral("75"));
    EXPECT_EQ(cell(main, 1, Row::Range), QStringLiteral("00:01:15 - 00:02:30"));
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), gridAsFile(main));

    // Loaded again, the list shows the same range.
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Songs"))));
    EXPECT_EQ(cell(main, 1, Row::Range), QStringLiteral("00:01:15 - 00:02:30"));
}

TEST_F(ItemProperties, ProcessingTheWholeFileClearsTheRange)
{
    frmMain &main = loadSongs();
    frmItem *item = openFor(main, 2);
    item->ptnAllFile->click();
    EXPECT_FALSE(item->dtUntil->isEnabled());
    EXPECT_EQ(item->ApplyItemChanges(), 0);
    EXPECT_EQ(cell(main, 2, Row::RangeAll), QStringLiteral("1"));
    EXPECT_TRUE(cell(main, 2, Row::RangeStart).isEmpty());
    EXPECT_TRUE(cell(main, 2, Row::RangeLength).isEmpty());
    EXPECT_EQ(cell(main, 2, Row::Range), QStringLiteral("All"));
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), gridAsFile(main));
}

TEST_F(ItemProperties, RefusedEntriesWriteNothing)
{
    const struct {
        QString name;
        bool byTime;
        QTime start, until;
        qint32 result;
        QString message;
    } cases[] = {
        {QString(), false, {}, {}, -1, QStringLiteral("Empty Item Name.") + blanks42},
        {QStringLiteral("    "), false, {}, {}, -1, QStringLiteral("Empty Item Name.") + blanks42},
        {QStringLiteral("a/b"), false, {}, {}, -1, QStringLiteral("Illegal Item Name.") + blanks42},
        {QStringLiteral("what?"), false, {}, {}, -1, QStringLiteral("Illegal Item Name.") + blanks42},
        {QStringLiteral("ok"), true, QTime(0, 0), QTime(0, 0), 1,
         QStringLiteral("'Start after' field is more or an equel to the 'Until' field.") + QString(9, QLatin1Char(' '))},
        {QStringLiteral("ok"), true, QTime(0, 2, 0), QTime(0, 1, 0), 1,
         QStringLiteral("'Start after' field is more or an equel to the 'Until' field.") + QString(9, QLatin1Char(' '))},
    };
    frmMain &main = loadSongs();
    const QByteArray before = listBytes(QStringLiteral("Songs.flst"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        testServices().prompter->messages.clear();
        frmItem *item = openFor(main, 1);
        item->txtItemName->setText(c.name);
        item->txtTagArtist->setText(QStringLiteral("someone"));
        if (c.byTime) {
            item->ptnConvertByTime->click();
            item->dtStartAfter->setTime(c.start);
            item->dtUntil->setTime(c.until);
        }
        item->cmdOk_Click();
        EXPECT_EQ(messages(), QStringList{c.message});
        // OK with a refused apply leaves the window open with the entries.
        EXPECT_FALSE(form.isNull());
        EXPECT_EQ(cell(main, 1, Row::ItemName), QStringLiteral("one"));
        EXPECT_TRUE(cell(main, 1, Row::TagArtist).isEmpty());
        EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), before);
        delete item;
    }
}

TEST_F(ItemProperties, NamesAreTrimmedTagsAreKeptAsTypedAndNeverBreakTheFile)
{
    frmMain &main = loadSongs();
    frmItem *item = openFor(main, 3);
    item->txtItemName->setText(QStringLiteral("  New name  "));
    item->txtTagArtist->setText(QStringLiteral("  spaced  "));
    item->txtTagAlbum->setText(QStringLiteral("</COL_TAG_ALBUM><ITEM>"));
    item->txtTagComment->setText(QStringLiteral("<COL_FILE>/etc/passwd</COL_FILE>"));
    item->txtTagYear->setText(QStringLiteral("%Y"));
    item->cmdApply_Click();
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(item->txtItemName->text(), QStringLiteral("New name"));
    EXPECT_EQ(cell(main, 3, Row::ItemName), QStringLiteral("New name"));
    EXPECT_EQ(cell(main, 3, Row::TagArtist), QStringLiteral("  spaced  "));
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), gridAsFile(main));
    // The title strip keeps the name it was opened with.
    EXPECT_EQ(item->lblTitle->text(), QStringLiteral("three"));

    // Exit after Apply keeps what was applied; the list reloads intact.
    item->cmdExit_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Songs"))));
    ASSERT_EQ(main.cGrid1->Rows(), 3);
    EXPECT_EQ(cell(main, 3, Row::ItemName), QStringLiteral("New name"));
    EXPECT_EQ(cell(main, 3, Row::File), TestEnv::workFolder() + QStringLiteral("/c.wav"));
    EXPECT_EQ(cell(main, 3, Row::TagArtist), QStringLiteral("  spaced  "));
    EXPECT_EQ(cell(main, 3, Row::TagYear), QStringLiteral("%Y"));
    const QStringList pieces = ItemsListFile::recordPieces(QString::fromUtf8(listBytes(QStringLiteral("Songs.flst"))));
    ASSERT_EQ(pieces.size(), 3);
    const ItemsListFile::Record stored = ItemsListFile::parseRecord(pieces.at(2));
    EXPECT_EQ(stored[ItemsListFile::FieldTagAlbum], QStringLiteral("</COL_TAG_ALBUM><ITEM>"));
    EXPECT_EQ(stored[ItemsListFile::FieldTagComment], QStringLiteral("<COL_FILE>/etc/passwd</COL_FILE>"));
    EXPECT_EQ(stored[ItemsListFile::FieldTagYear], QStringLiteral("%Y"));
    EXPECT_EQ(stored[ItemsListFile::FieldTagArtist], QStringLiteral("  spaced  "));
}

TEST_F(ItemProperties, TypedTagsSurviveARestartWhileTheFilesTagsAreCopied)
{
    struct CopyTagsOn {
        bool saved = g_bCopyID3FromSource;
        CopyTagsOn() { g_bCopyID3FromSource = true; } // the option's default
        ~CopyTagsOn() { g_bCopyID3FromSource = saved; }
    } copyTagsOn;
    const QString tagged = taggedWav(QStringLiteral("t.wav"), 3000, QStringLiteral("File title"),
                                     QStringLiteral("File artist"), QStringLiteral("File album"));
    const QString plain = wav(QStringLiteral("p.wav"), 3000);
    writeList(QStringLiteral("Tags.flst"), rec("1", "tagged", tagged) + rec("1", "plain", plain));
    {
        frmMain &main = load();
        ASSERT_EQ(main.cGrid1->Rows(), 2);
        ASSERT_EQ(cell(main, 1, Row::TagArtist), QStringLiteral("File artist"));
        for (int row : {1, 2}) {
            frmItem *item = openFor(main, row);
            item->txtTagArtist->setText(QStringLiteral("Typed artist %1").arg(row));
            item->txtTagSong->setText(QStringLiteral("Typed title %1").arg(row));
            item->txtTagYear->setText(QStringLiteral("1987"));
            item->cmdApply_Click();
            delete form.data();
        }
    }
    Forms::unload(Forms::main());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g_bAppClosing = false;

    frmMain &main = load();
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Tags"))));
    ASSERT_EQ(main.cGrid1->Rows(), 2);
    for (int row : {1, 2}) {
        EXPECT_EQ(cell(main, row, Row::TagArtist), QStringLiteral("Typed artist %1").arg(row));
        EXPECT_EQ(cell(main, row, Row::TagTitle), QStringLiteral("Typed title %1").arg(row));
        EXPECT_EQ(cell(main, row, Row::TagYear), QStringLiteral("1987"));
        // A field left as the file gave it when the item was first loaded.
        EXPECT_EQ(cell(main, row, Row::TagAlbum), row == 1 ? QStringLiteral("File album") : QString());
    }
    frmItem *item = openFor(main, 1);
    EXPECT_EQ(item->txtTagArtist->text(), QStringLiteral("Typed artist 1"));

    main.SaveGridToFile();
    const QStringList pieces = ItemsListFile::recordPieces(QString::fromUtf8(listBytes(QStringLiteral("Tags.flst"))));
    ASSERT_EQ(pieces.size(), 2);
    for (int row : {1, 2}) {
        const ItemsListFile::Record stored = ItemsListFile::parseRecord(pieces.at(row - 1));
        EXPECT_EQ(stored[ItemsListFile::FieldTagArtist], QStringLiteral("Typed artist %1").arg(row));
        EXPECT_EQ(stored[ItemsListFile::FieldTagTitle], QStringLiteral("Typed title %1").arg(row));
        EXPECT_EQ(stored[ItemsListFile::FieldTagYear], QStringLiteral("1987"));
    }
}

TEST_F(ItemProperties, PickersStopAtTheItemsLength)
{
    frmMain &main = loadSongs();
    frmItem *item = openFor(main, 1);
    item->ptnConvertByTime->click();
    item->dtUntil->setTime(QTime(0, 5, 0));
    EXPECT_EQ(item->dtUntil->time(), QTime(0, 3, 25));
    item->dtStartAfter->setTime(QTime(0, 3, 25));
    EXPECT_EQ(item->dtStartAfter->time(), QTime(0, 3, 25));
    item->cmdGoTSoStart_Click();
    EXPECT_EQ(item->dtStartAfter->time(), QTime(0, 0));
    item->dtUntil->setTime(QTime(0, 1, 0));
    item->cmdGoToEnd_Click();
    EXPECT_EQ(item->dtUntil->time(), QTime(0, 3, 25));
}

// The user types a whole time into a picker, its first field selected as
// tabbing into it leaves it, with or without the separators; only the time
// the edit ends with is held to the item's length (205 s), whichever way the
// edit ends.
TEST_F(ItemProperties, ATypedTimeIsHeldToTheItemsLengthWhenTheEditIsDone)
{
    frmMain &main = loadSongs();
    frmItem *item = openFor(main, 1);
    item->ptnConvertByTime->click();
    struct Case {
        QTimeEdit *frmItem::*picker;
        const char *typed;
        QTime held;
    };
    const Case cases[] = {
        {&frmItem::dtUntil, "00:05:00", QTime(0, 3, 25)},
        {&frmItem::dtUntil, "000500", QTime(0, 3, 25)},
        {&frmItem::dtUntil, "01:00:00", QTime(0, 3, 25)},
        {&frmItem::dtUntil, "010000", QTime(0, 3, 25)},
        {&frmItem::dtUntil, "00:02:10", QTime(0, 2, 10)},
        {&frmItem::dtUntil, "000210", QTime(0, 2, 10)},
        {&frmItem::dtUntil, "00:03:25", QTime(0, 3, 25)},
        {&frmItem::dtUntil, "0:1:5", QTime(0, 1, 5)},
        {&frmItem::dtStartAfter, "00:05:00", QTime(0, 3, 25)},
        {&frmItem::dtStartAfter, "000105", QTime(0, 1, 5)},
    };
    const auto type = [](QTimeEdit *picker, const char *typed) {
        picker->setSelectedSection(QDateTimeEdit::HourSection);
        QTest::keyClicks(picker, QString::fromLatin1(typed));
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        QTimeEdit *picker = item->*c.picker;
        type(picker, c.typed);
        QTest::keyClick(picker, Qt::Key_Return);
        EXPECT_EQ(picker->time(), c.held);
    }

    // Apply ends an edit still under way, and stores the held time.
    item->cmdGoTSoStart_Click();
    type(item->dtUntil, "00:05:00");
    item->cmdApply_Click();
    EXPECT_EQ(item->dtUntil->time(), QTime(0, 3, 25));
    EXPECT_EQ(cell(main, 1, Row::Range), QStringLiteral("00:00:00 - 00:03:25"));
    EXPECT_EQ(cell(main, 1, Row::RangeLength), QStringLiteral("205"));
}

// Each window shows its own icon; the main window it opens over keeps the
// program's.
TEST_F(ItemProperties, TheMainWindowKeepsItsIconWhileItemWindowsOpen)
{
    frmMain &main = loadSongs();
    const QImage own = main.windowIcon().pixmap(32).toImage();
    ASSERT_FALSE(own.isNull());
    frmItem *item = openFor(main, 1);
    EXPECT_FALSE(item->windowIcon().isNull());
    EXPECT_NE(item->windowIcon().pixmap(32).toImage(), own);
    EXPECT_EQ(main.windowIcon().pixmap(32).toImage(), own);

    EXPECT_EQ(addAndWait(main, {wav(QStringLiteral("d.wav"), 1000)}), 1);
    EXPECT_EQ(main.windowIcon().pixmap(32).toImage(), own);
}

TEST_F(ItemProperties, TypedIllegalCharactersNeverReachTheNameBox)
{
    frmMain &main = loadSongs();
    frmItem *item = openFor(main, 1);
    item->txtItemName->clear();
    QTest::keyClicks(item->txtItemName, QStringLiteral("a/b:c*d|e"));
    EXPECT_EQ(item->txtItemName->text(), QStringLiteral("abcde"));
}

TEST_F(ItemProperties, DoubleClickOpensTheWindowModallyForTheSelectedRow)
{
    frmMain &main = loadSongs();
    main.cGrid1->setSelectedRow(2);
    QString shown;
    bool modal = false;
    // Acts once the window is up, from inside its modal loop.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!g_frmItem || !g_frmItem->isVisible())
            return;
        poll.stop();
        shown = g_frmItem->txtItemName->text();
        modal = g_frmItem->isModal();
        g_frmItem->txtItemName->setText(QStringLiteral("renamed"));
        g_frmItem->cmdOk_Click();
    });
    poll.start();
    main.cGrid1_DblClick(2, 3);
    EXPECT_EQ(shown, QStringLiteral("two"));
    EXPECT_TRUE(modal);
    EXPECT_EQ(cell(main, 2, Row::ItemName), QStringLiteral("renamed"));
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), gridAsFile(main));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(g_frmItem, nullptr);

    // A data track is refused before anything opens.
    main.cGrid1->SetCell(2, main.cGrid1->ColumnIndex(QStringLiteral("Type")), QString(), cGrid::IconCellFormat,
                         Row::IconData);
    main.cGrid1_DblClick(2, 3);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Cannot edit a data track.") + QString(36, QLatin1Char(' '))});
    EXPECT_EQ(g_frmItem, nullptr);
}

TEST_F(ItemProperties, DoubleClickOnTheItemInformationOpensTheSelectedItem)
{
    frmMain &main = loadSongs();
    main.show();
    main.cGrid1->setSelectedRow(2);
    main.GetFileInfoToGridInfo();
    ASSERT_EQ(main.cGridInfo->Rows(), 9);
    for (const auto &[row, col] : {std::pair{1, 1}, std::pair{9, 2}}) {
        SCOPED_TRACE(row);
        QString shown;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!g_frmItem || !g_frmItem->isVisible())
                return;
            poll.stop();
            shown = g_frmItem->txtItemName->text();
            g_frmItem->cmdExit_Click();
        });
        poll.start();
        QWidget *cells = main.cGridInfo->viewport();
        QTest::mouseDClick(cells, Qt::LeftButton, Qt::NoModifier,
                           cells->mapFrom(main.cGridInfo, main.cGridInfo->cellPosition(row, col) + QPoint(5, 5)));
        EXPECT_EQ(shown, QStringLiteral("two"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(g_frmItem, nullptr);
    }
}

TEST_F(ItemProperties, TabsCarryTheirPicturesAndPagesTheViewSkin)
{
    // Red as a colour number (blue, green, red from the high byte down).
    g_sViewBackColor = QStringLiteral("255");
    frmMain &main = loadSongs();
    main.cGrid1->setSelectedRow(1);

    struct Seen {
        QList<qint64> icons;
        int coloured = 0;
        int pictured = 0;
    };
    // Opens the window as a double click does and notes what it shows.
    const auto open = [&main] {
        Seen seen;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!g_frmItem || !g_frmItem->isVisible())
                return;
            poll.stop();
            frmItem *w = g_frmItem;
            for (int i = 0; i < w->cTabControl1->count(); ++i)
                seen.icons << w->cTabControl1->tabIcon(i).cacheKey();
            for (QWidget *page : std::initializer_list<QWidget *>{w, w->TabInfo, w->TabRange, w->TabTags,
                                                                 w->ptnAllFile, w->ptnConvertByTime}) {
                const QBrush back = page->palette().brush(QPalette::Window);
                if (page->autoFillBackground() && back.color() == QColor(Qt::red))
                    ++seen.coloured;
                if (page->autoFillBackground() && !back.texture().isNull())
                    ++seen.pictured;
            }
            w->cmdExit_Click();
        });
        poll.start();
        main.cGrid1_DblClick(1, 3);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return seen;
    };

    const Seen coloured = open();
    ASSERT_EQ(coloured.icons.size(), 3);
    const int expected[] = {39, 23, 18};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(expected[i]);
        EXPECT_EQ(coloured.icons.at(i), main.imgMenu->icon(expected[i]).cacheKey());
        // A picture, not the blank that fills an unused place.
        const QImage image = main.imgMenu->icon(expected[i]).pixmap(16).toImage();
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x)
                drawn = qAlpha(image.pixel(x, y)) > 0;
        EXPECT_TRUE(drawn);
    }
    // The window, its three pages and both range options.
    EXPECT_EQ(coloured.coloured, 6);
    EXPECT_EQ(coloured.pictured, 0);

    // A background picture covers the window and its pages.
    QDir().mkpath(AppPaths::programFolder() + QStringLiteral("/View"));
    QPixmap picture(4, 4);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(AppPaths::programFolder() + QStringLiteral("/View/back.png")));
    g_sViewBackPicture = QStringLiteral("back.png");
    EXPECT_EQ(open().pictured, 4);
}

} // namespace
