// The stored window placement applied to the screens there are, and written back at exit.
#include "app/core/frame/placement_rules.h"

#include <QTest>

using namespace tnw::app;

namespace {

WindowPlacement stored(int left, int top, int right, int bottom, int pane = 160, int max = 0)
{
    WindowPlacement p;
    p.nLeft = left;
    p.nTop = top;
    p.nRight = right;
    p.nBottom = bottom;
    p.nPaneLeft = pane;
    p.nShowMax = max;
    return p;
}

const QList<QRect> kOneScreen{QRect(0, 0, 1280, 770)};
const QList<QRect> kTwoScreens{QRect(0, 0, 1280, 770), QRect(1280, 0, 1920, 1050)};

}  // namespace

class PlacementTest : public QObject {
    Q_OBJECT
private slots:
    void theDefaultRectangleIsKept()
    {
        const PlacementPlan plan = planPlacement(WindowPlacement{}, kOneScreen, 0);
        QCOMPARE(plan.normal, QRect(132, 132, 768, 528));
        QCOMPARE(plan.treePane, 160);
        QVERIFY(!plan.maximized);
    }

    void absurdSizesAreClampedToTheScreen()
    {
        QCOMPARE(planPlacement(stored(10, 10, 99999, 99999), kOneScreen, 0).normal.size(),
                 QSize(1280, 770));
        QCOMPARE(planPlacement(stored(10, 10, 20, 15), kOneScreen, 0).normal.size(),
                 QSize(300, 200));
        // Edges the wrong way round and values at the ends of int.
        QCOMPARE(planPlacement(stored(500, 500, 100, 100), kOneScreen, 0).normal.size(),
                 QSize(300, 200));
        const PlacementPlan extreme =
            planPlacement(stored(INT_MIN, INT_MIN, INT_MAX, INT_MAX), kOneScreen, 0);
        QVERIFY(kOneScreen[0].intersects(extreme.normal));
        QCOMPARE(extreme.normal.size(), QSize(1280, 770));
    }

    void aRectangleOnAScreenThatIsGoneMovesToThePrimary()
    {
        const PlacementPlan plan = planPlacement(stored(3300, 100, 4100, 700), kTwoScreens, 0);
        QVERIFY(kTwoScreens[0].contains(plan.normal));
        QCOMPARE(plan.normal.size(), QSize(800, 600));
        // On the second screen it stays, with that screen's limits.
        const PlacementPlan second = planPlacement(stored(1400, 50, 3300, 1090), kTwoScreens, 0);
        QCOMPARE(second.normal.topLeft(), QPoint(1400, 50));
        QCOMPARE(second.normal.size(), QSize(1900, 1040));
    }

    void theTreePaneLeavesRoomForTheList()
    {
        QCOMPARE(planPlacement(stored(0, 0, 400, 300, 5000), kOneScreen, 0).treePane, 340);
        QCOMPARE(planPlacement(stored(0, 0, 400, 300, -7), kOneScreen, 0).treePane, 20);
    }

    void aMaximisedSessionKeepsItsNormalRectangle()
    {
        const WindowPlacement loaded = stored(100, 100, 900, 700, 160, 0);
        const WindowPlacement saved =
            placementToSave(loaded, QRect(50, 60, 700, 500), true, 210, true);
        QCOMPARE(saved.nShowMax, 1);
        QCOMPARE(saved.nLeft, 50);
        QCOMPARE(saved.nTop, 60);
        QCOMPARE(saved.nRight, 750);
        QCOMPARE(saved.nBottom, 560);
        QCOMPARE(saved.nPaneLeft, 210);
        const PlacementPlan next = planPlacement(saved, kOneScreen, 0);
        QVERIFY(next.maximized);
        QCOMPARE(next.normal, QRect(50, 60, 700, 500));
    }

    void withoutPositionsOnlyTheSizeIsWritten()
    {
        const WindowPlacement loaded = stored(132, 132, 900, 660);
        const WindowPlacement saved = placementToSave(loaded, QRect(0, 0, 1000, 700), false, -1,
                                                      false);
        QCOMPARE(saved.nLeft, 132);
        QCOMPARE(saved.nTop, 132);
        QCOMPARE(saved.nRight, 1132);
        QCOMPARE(saved.nBottom, 832);
        QCOMPARE(saved.nPaneLeft, 160);
        QCOMPARE(saved.nShowMax, 0);
    }
};

QTEST_GUILESS_MAIN(PlacementTest)
#include "placement_guitest.moc"
