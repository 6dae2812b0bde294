// The command table, the command availability and the frame record, without a window.
#include "app/core/settings/app_settings.h"
#include "app/core/frame/commands.h"
#include "app/core/frame/frame_state.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <set>

using namespace tnw::app;
using C = CommandId;

class FrameStateTest : public QObject {
    Q_OBJECT
private:
    static FrameSnapshot all()
    {
        FrameSnapshot s;
        s.features = ~0u;
        return s;
    }

private slots:
    void tableHoldsEveryCommandOnceWithBothHalves()
    {
        std::set<int> ids;
        for (const CommandInfo& info : commandTable()) {
            QVERIFY2(ids.insert(int(info.id)).second, "id twice in the table");
            QVERIFY(!statusPrompt(info).isEmpty());
            QVERIFY(!toolTip(info).isEmpty());
        }
        for (const MenuLayout& menu : menuLayout())
            for (CommandId id : menu.entries)
                QVERIFY(id == CommandId{0} || findCommand(id));
        QCOMPARE(statusPrompt(*findCommand(C::SelectMode)),
                 QString::fromUtf8("結合ﾌｧｲﾙ/ﾍﾟｰｼﾞを選択します"));
        QCOMPARE(toolTip(*findCommand(C::SelectMode)), QString::fromUtf8("選択ﾓｰﾄﾞ"));
    }

    void fileMenuAndToolBarAreInTheirOrder()
    {
        const MenuLayout& file = menuLayout()[0];
        QCOMPARE(QString::fromUtf8(file.title), QString::fromUtf8("ﾌｧｲﾙ(&F)"));
        std::vector<int> fileIds;
        for (CommandId id : file.entries)
            fileIds.push_back(int(id));
        QCOMPARE(fileIds, (std::vector<int>{32782, 0, 32792, 0, 32822, 0, 57665}));
        std::vector<int> tools;
        for (CommandId id : toolBarLayout())
            tools.push_back(int(id));
        QCOMPARE(tools, (std::vector<int>{32792, 32782, 0, 32779, 0, 57643, 0, 32775, 32776,
                                          32777, 32778, 32812, 0, 32772, 32798, 0, 32803, 32805}));
        for (CommandId id : toolBarLayout())
            QVERIFY(id == CommandId{0} || findCommand(id)->icon);
        // The commands without an action are in no menu.
        for (const MenuLayout& menu : menuLayout())
            for (CommandId id : menu.entries)
                QVERIFY(id != C::InsertFile && id != C::DeleteRange);
    }

    void busyDisablesEveryCommand()
    {
        FrameSnapshot s = all();
        s.busy = true;
        for (const CommandInfo& info : commandTable())
            QVERIFY2(!commandState(info.id, s).enabled, qPrintable(toolTip(info)));
    }

    void folderModeOffersOnlyTheFolderList()
    {
        FrameSnapshot s = all();
        s.mode = 1;
        s.listKind = 25;
        s.fileRows = 5;
        s.fileRowSelected = true;
        s.pageRows = 5;
        for (C id : {C::FileList, C::PageList, C::FileThumbs, C::PageThumbs})
            QVERIFY(!commandState(id, s).enabled);
        QVERIFY(commandState(C::FolderList, s).enabled);
        QVERIFY(commandState(C::FolderList, s).checked);
        QVERIFY(!commandState(C::FileList, s).checked);
    }

    void fileModeViewsFollowTheLists()
    {
        FrameSnapshot s = all();
        QVERIFY(!commandState(C::FolderList, s).enabled);
        QVERIFY(commandState(C::FileList, s).enabled);
        QVERIFY(!commandState(C::PageList, s).enabled);   // no selected file row
        QVERIFY(!commandState(C::FileThumbs, s).enabled);  // empty file list
        QVERIFY(!commandState(C::PageThumbs, s).enabled);  // empty page list
        s.fileRows = 2;
        s.fileRowSelected = true;
        s.pageRows = 3;
        for (C id : {C::FileList, C::PageList, C::FileThumbs, C::PageThumbs})
            QVERIFY(commandState(id, s).enabled);
        // A page-list-only edit greys every view until an undo or a rebuild.
        s.inStep = false;
        for (C id : {C::FileList, C::PageList, C::FileThumbs, C::PageThumbs})
            QVERIFY(!commandState(id, s).enabled);
    }

    void theShownListIsChecked()
    {
        FrameSnapshot s = all();
        s.listKind = 27;
        QVERIFY(commandState(C::FileList, s).checked);
        s.listKind = 28;
        QVERIFY(commandState(C::PageList, s).checked);
        s.listKind = 24;
        QVERIFY(commandState(C::PageThumbs, s).checked);
        QVERIFY(!commandState(C::PageList, s).checked);
        s.editorMode = 3;
        QVERIFY(commandState(C::EditMode, s).checked);
        QVERIFY(!commandState(C::SelectMode, s).checked);
    }

    void editsFollowTheEditRules()
    {
        FrameSnapshot s = all();
        s.listKind = 21;
        s.edit.shownRows = 4;
        s.edit.selectedRows = 2;
        s.edit.firstAtTop = true;
        QVERIFY(!commandState(C::MoveUp, s).enabled);
        QVERIFY(!commandState(C::MoveTop, s).enabled);
        QVERIFY(commandState(C::MoveDown, s).enabled);
        QVERIFY(commandState(C::Swap, s).enabled);
        QVERIFY(!commandState(C::Paste, s).enabled);  // empty clipboard
        QVERIFY(!commandState(C::Undo, s).enabled);
        // Out of step the file list takes no edit; the page list still moves.
        s.inStep = false;
        for (C id : {C::MoveDown, C::Cut, C::Copy, C::Delete, C::Swap})
            QVERIFY(!commandState(id, s).enabled);
        s.listKind = 22;
        QVERIFY(commandState(C::MoveDown, s).enabled);
        QVERIFY(!commandState(C::Cut, s).enabled);  // file list only
        // Thumbnails move only in edit mode.
        s.inStep = true;
        s.listKind = 23;
        QVERIFY(!commandState(C::MoveDown, s).enabled);
        s.editorMode = 3;
        QVERIFY(commandState(C::MoveDown, s).enabled);
        // Every row selected: no move, no delete.
        s.listKind = 21;
        s.edit.selectedRows = 4;
        QVERIFY(!commandState(C::MoveDown, s).enabled);
        QVERIFY(!commandState(C::Delete, s).enabled);
        QVERIFY(commandState(C::Copy, s).enabled);
        // Folder mode: only marks, select all and undo.
        s.mode = 1;
        s.listKind = 25;
        s.edit.canUndo = true;
        QVERIFY(commandState(C::CheckAll, s).enabled);
        QVERIFY(commandState(C::Undo, s).enabled);
        for (C id : {C::MoveDown, C::Copy, C::SelectMode, C::SyncPages})
            QVERIFY(!commandState(id, s).enabled);
        s.edit.shownRows = 0;
        QVERIFY(!commandState(C::SelectAll, s).enabled);
    }

    void pageNavigationNeedsThePageListWithRows()
    {
        FrameSnapshot s = all();
        s.listKind = 21;
        s.pageRows = 4;
        QVERIFY(!commandState(C::NextFile, s).enabled);
        s.listKind = 22;
        QVERIFY(commandState(C::NextFile, s).enabled);
        s.pageRows = 0;
        QVERIFY(!commandState(C::NextFile, s).enabled);
    }

    void commandsOfFeaturesNotBuiltStayDisabled()
    {
        FrameSnapshot s;  // the frame and the folder list only
        QVERIFY(commandState(C::About, s).enabled);
        QVERIFY(commandState(C::Refresh, s).enabled);
        QVERIFY(commandState(C::ClearHistory, s).enabled);
        QVERIFY(!commandState(C::Convert, s).enabled);
        QVERIFY(!commandState(C::PaperForms, s).enabled);
        QVERIFY(!commandState(C::Undo, s).enabled);
        QVERIFY(!commandState(C::Settings, s).enabled);
        s.features |= kFeaturePaperForms;
        QVERIFY(commandState(C::PaperForms, s).enabled);
    }

    void creationForcesNameSortAndKeepsTheBatchLevelOutOfTheFolderModeCopy()
    {
        QTemporaryDir dir;
        const std::string ini = dir.filePath(QStringLiteral("Korvelin.ini")).toStdString();
        ConvSettings saved{};
        int saves = 0;
        ConvSettingsIo io;
        io.load = [](const char*, ConvSettings* r) {
            r->nMode = 1;
            r->nBatchLevel = 2;
            r->nNameSort = 0;
            return 0;
        };
        io.save = [&](const char*, const ConvSettings* r) {
            saved = *r;
            ++saves;
            return 0;
        };
        FrameState frame(ini);
        frame.create(io);
        QCOMPARE(saves, 1);
        QCOMPARE(saved.nNameSort, 1);
        QCOMPARE(saved.nBatchLevel, 2);  // the file keeps it
        QCOMPARE(frame.conv().nBatchLevel, 0);
        QCOMPARE(frame.mode(), 1);
        QCOMPARE(frame.listKind(), 21);
        AppSettings app;
        LoadAppSettings(app, ini);
        QCOMPARE(app.nWho, 21);
    }

    void aListChangeIsStoredAndSentOnce()
    {
        QTemporaryDir dir;
        const std::string ini = dir.filePath(QStringLiteral("Korvelin.ini")).toStdString();
        FrameState frame(ini);
        QSignalSpy kinds(&frame, &FrameState::listKindChanged);
        frame.setListKind(25);
        frame.setListKind(25);
        QCOMPARE(kinds.count(), 1);
        QCOMPARE(kinds.at(0).at(0).toInt(), 25);
        AppSettings app;
        LoadAppSettings(app, ini);
        QCOMPARE(app.nWho, 25);

        QSignalSpy address(&frame, &FrameState::addressEntered);
        frame.send(Hint::AddressEntered, "/data");
        QCOMPARE(address.at(0).at(0).toByteArray(), QByteArray("/data"));
    }

    void aCloseWhileBusyWaitsForTheLastGuard()
    {
        FrameState frame("/nonexistent/Korvelin.ini");
        QSignalSpy busy(&frame, &FrameState::busyChanged);
        QSignalSpy deferred(&frame, &FrameState::closeDeferred);
        {
            FrameState::BusyGuard outer(frame);
            {
                FrameState::BusyGuard inner(frame);
                QVERIFY(frame.snapshot().busy);
                QVERIFY(!frame.requestClose());
            }
            QVERIFY(frame.busy());
            QCOMPARE(deferred.count(), 0);
        }
        QVERIFY(!frame.busy());
        QCOMPARE(busy.count(), 2);  // on once, off once
        QCOMPARE(deferred.count(), 1);
        QVERIFY(frame.requestClose());
    }
};

QTEST_GUILESS_MAIN(FrameStateTest)
#include "frame_state_guitest.moc"
