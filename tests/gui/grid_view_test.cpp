#include "gui/grid_view.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>
#include <memory>
#include <string>

#include "../support/grid_fixtures.h"
#include "gui/cp932_input.h"
#include "table/grid_geometry.h"

namespace qv {
namespace {

// Renumbers the row labels after a row move, as the main window's logic does.
class Renumberer : public TableGridObserver {
public:
    explicit Renumberer(TableGrid& grid) : grid_(grid) { grid_.AddObserver(this); }
    ~Renumberer() override { grid_.RemoveObserver(this); }
    void RowMoved(int32_t, int32_t) override { grid_.WriteRowLabels(1, grid_.RowCount()); }

private:
    TableGrid& grid_;
};

std::string Cell(const TableGrid& grid, int32_t col, int32_t row) {
    return std::string(grid.Cell(col, row));
}

}  // namespace

class GridViewTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tabWrapsFromTheLastCellToTheFirst();
    void shiftTabWrapsFromTheFirstCellToTheLast();
    void shiftWithMovementKeysExtendsTheSelection();
    void ctrlEndReachesTheLastOfTenMillionRowsAndShowsIt();
    void typedJapaneseIsStoredAsCp932();
    void inputMethodCompositionOpensTheEditor();
    void aTypedCharacterReplacesTheTextAndTheNextOnesAppend();
    void keysThatOpenTheEditor_data();
    void keysThatOpenTheEditor();
    void escapeClosesTheEditorKeepingWhatWasTyped();
    void theScrollBarScrollsByWholeRowsLeavingTheCurrentCell();
    void enterOpensAndClosesTheEditor();
    void aClickOnTheCurrentCellOpensTheEditor();
    void theEditorsOwnWritesDoNotReloadIt();
    void aWriteFromElsewhereReloadsTheEditor();
    void draggingRowFiveOntoRowTwoMovesItsTexts();
    void draggingColumnTwoOntoColumnOneSwapsThem();
    void droppingARowOnItselfChangesNothing();
    void resizingStoresOnlySizesAboveOnePixel_data();
    void resizingStoresOnlySizesAboveOnePixel();
    void shrinkingRowCountUnderTheCurrentCellClosesTheEditor();
    void typedAndPastedTextsAreStoredOnlyIfCp932HoldsThem_data();
    void typedAndPastedTextsAreStoredOnlyIfCp932HoldsThem();
    void invalidBytesSurviveWhenTheUserOnlyMovesOverThem();

private:
    QPoint CenterOf(GridCell cell) const;
    bool IsShown(GridCell cell) const;
    QWidget* Viewport() const { return view->viewport(); }
    QLineEdit* Editor() const { return view->findChild<QLineEdit*>(); }
    void Type(const QString& text);
    void Drag(QPoint from, QPoint to);

    std::unique_ptr<TableGrid> grid;
    std::unique_ptr<Renumberer> renumberer;
    std::unique_ptr<GridView> view;
};

void GridViewTest::init() {
    grid = std::make_unique<TableGrid>(test::MainGridShape());
    test::MakeInitialTable(*grid);
    grid->WriteRowLabels(1, grid->RowCount());
    grid->SetCell(1, 0, "item1");
    grid->SetCell(2, 0, "item2");
    for (int32_t r = 1; r < grid->RowCount(); ++r) {
        grid->SetCell(1, r, "a" + std::to_string(r));
        grid->SetCell(2, r, "b" + std::to_string(r));
    }
    renumberer = std::make_unique<Renumberer>(*grid);
    view = std::make_unique<GridView>(*grid);
    view->resize(600, 400);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    view->activateWindow();
    view->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
}

void GridViewTest::cleanup() {
    view.reset();
    renumberer.reset();
    grid.reset();
}

QPoint GridViewTest::CenterOf(GridCell cell) const {
    const GridGeometry geometry(*grid, Viewport()->width(), Viewport()->height());
    const std::optional<CellBox> box = geometry.BoxOf(cell);
    if (!box) {
        qFatal("cell (%d, %d) is not shown", cell.col, cell.row);
    }
    return QPoint(box->x + box->width / 2, box->y + box->height / 2);
}

bool GridViewTest::IsShown(GridCell cell) const {
    return GridGeometry(*grid, Viewport()->width(), Viewport()->height()).BoxOf(cell).has_value();
}

// Types each character as a key press carrying its text, as a keyboard would.
void GridViewTest::Type(const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(ch),
                            Qt::NoModifier);
    }
}

void GridViewTest::Drag(QPoint from, QPoint to) {
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(Viewport(), (from + to) / 2);
    QTest::mouseMove(Viewport(), to);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, to);
}

void GridViewTest::tabWrapsFromTheLastCellToTheFirst() {
    grid->SetCurrentCell({1, 4});
    QTest::keyClick(view.get(), Qt::Key_Tab);
    QCOMPARE(grid->Current(), (GridCell{2, 4}));
    QTest::keyClick(view.get(), Qt::Key_Tab);
    QCOMPARE(grid->Current(), (GridCell{1, 5}));  // next row
    QTest::keyClick(view.get(), Qt::Key_Tab);
    QTest::keyClick(view.get(), Qt::Key_Tab);
    QCOMPARE(grid->Current(), (GridCell{1, 1}));  // from the last cell to the first
    QVERIFY(view->hasFocus());                    // Tab stayed in the grid
}

void GridViewTest::shiftTabWrapsFromTheFirstCellToTheLast() {
    QTest::keyClick(view.get(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(grid->Current(), (GridCell{2, 5}));
    QTest::keyClick(view.get(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(grid->Current(), (GridCell{1, 5}));
    QTest::keyClick(view.get(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(grid->Current(), (GridCell{2, 4}));
    QVERIFY(view->hasFocus());
}

void GridViewTest::shiftWithMovementKeysExtendsTheSelection() {
    QTest::keyClick(view.get(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(view.get(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(grid->Anchor(), (GridCell{1, 1}));
    QCOMPARE(grid->Current(), (GridCell{2, 2}));
    QTest::keyClick(view.get(), Qt::Key_Up);
    QCOMPARE(grid->Anchor(), (GridCell{2, 1}));
    QCOMPARE(grid->Current(), (GridCell{2, 1}));
    QTest::keyClick(view.get(), Qt::Key_Up);  // stays among the data cells
    QCOMPARE(grid->Current(), (GridCell{2, 1}));
}

void GridViewTest::ctrlEndReachesTheLastOfTenMillionRowsAndShowsIt() {
    grid->SetRowCount(10'000'000);
    QTest::keyClick(view.get(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(grid->Current(), (GridCell{2, 9'999'999}));
    QVERIFY(IsShown(grid->Current()));
    QCOMPARE(view->verticalScrollBar()->value(), grid->TopLeft().row);
    QCOMPARE(view->verticalScrollBar()->maximum(), grid->TopLeft().row);
    const GridCell topLeft = grid->TopLeft();
    QTest::keyClick(view.get(), Qt::Key_PageUp);  // the rows and the current cell move a page
    const int32_t page = topLeft.row - grid->TopLeft().row;
    QVERIFY(page > 10);
    QCOMPARE(grid->Current().row, 9'999'999 - page);
    QTest::keyClick(view.get(), Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(grid->Current(), (GridCell{1, 1}));
    QCOMPARE(grid->TopLeft(), (GridCell{1, 1}));
}

void GridViewTest::typedJapaneseIsStoredAsCp932() {
    Type(QStringLiteral("あいう"));
    QVERIFY(view->isEditing());
    QCOMPARE(Cell(*grid, 1, 1), std::string("\x82\xA0\x82\xA2\x82\xA4"));
}

void GridViewTest::inputMethodCompositionOpensTheEditor() {
    QInputMethodEvent composing(QStringLiteral("あ"), {});
    QApplication::sendEvent(view.get(), &composing);
    QVERIFY(view->isEditing());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("あいう"));
    QApplication::sendEvent(QApplication::focusWidget(), &commit);
    QCOMPARE(Cell(*grid, 1, 1), std::string("\x82\xA0\x82\xA2\x82\xA4"));
}

void GridViewTest::aTypedCharacterReplacesTheTextAndTheNextOnesAppend() {
    QTest::keyClick(view.get(), Qt::Key_X);
    QCOMPARE(Cell(*grid, 1, 1), std::string("x"));
    Type(QStringLiteral("yｱ"));  // the second a half-width katakana
    QCOMPARE(Cell(*grid, 1, 1), std::string("xy\xB1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QCOMPARE(Cell(*grid, 1, 1), std::string("xy"));
}

void GridViewTest::keysThatOpenTheEditor_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("F2") << int(Qt::Key_F2) << QString() << QByteArray("a1");
    QTest::newRow("Enter") << int(Qt::Key_Return) << QString() << QByteArray("a1");
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << QString() << QByteArray("");
    QTest::newRow("space") << int(Qt::Key_Space) << QStringLiteral(" ") << QByteArray(" ");
    QTest::newRow("full-width digit")
        << int(Qt::Key_unknown) << QStringLiteral("１") << QByteArray("\x82\x50");
}

// Each opens the editor on the current cell with its text selected, so a typed character
// replaces the text.
void GridViewTest::keysThatOpenTheEditor() {
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(QByteArray, stored);
    QTest::sendKeyEvent(QTest::Click, view.get(), Qt::Key(key), text, Qt::NoModifier);
    QVERIFY(view->isEditing());
    QCOMPARE(Cell(*grid, 1, 1), stored.toStdString());
}

void GridViewTest::escapeClosesTheEditorKeepingWhatWasTyped() {
    Type(QStringLiteral("kept"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!view->isEditing());
    QVERIFY(view->hasFocus());
    QCOMPARE(Cell(*grid, 1, 1), std::string("kept"));
}

void GridViewTest::theScrollBarScrollsByWholeRowsLeavingTheCurrentCell() {
    grid->SetRowCount(1000);
    QCOMPARE(view->verticalScrollBar()->minimum(), 1);
    view->verticalScrollBar()->setValue(500);
    QCOMPARE(grid->TopLeft().row, 500);
    QCOMPARE(grid->Current(), (GridCell{1, 1}));
    QVERIFY(IsShown({1, 500}));
    QVERIFY(!IsShown({1, 499}));
    QTest::keyClick(view.get(), Qt::Key_Down);  // moving brings the current cell back in sight
    QCOMPARE(grid->Current(), (GridCell{1, 2}));
    QCOMPARE(grid->TopLeft().row, 2);
    QCOMPARE(view->verticalScrollBar()->value(), 2);
}

void GridViewTest::enterOpensAndClosesTheEditor() {
    QTest::keyClick(view.get(), Qt::Key_Return);
    QVERIFY(view->isEditing());
    QCOMPARE(QApplication::focusWidget(), Editor());
    QCOMPARE(Editor()->text(), QStringLiteral("a1"));
    QCOMPARE(Editor()->selectedText(), QStringLiteral("a1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!view->isEditing());
    QVERIFY(view->hasFocus());
    QCOMPARE(Cell(*grid, 1, 1), std::string("a1"));
}

void GridViewTest::aClickOnTheCurrentCellOpensTheEditor() {
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, CenterOf({2, 3}));
    QCOMPARE(grid->Current(), (GridCell{2, 3}));
    QVERIFY(!view->isEditing());
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, CenterOf({2, 3}));
    QVERIFY(view->isEditing());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // moving closes it
    QCOMPARE(grid->Current(), (GridCell{2, 4}));
    QVERIFY(!view->isEditing());
}

// The wave dash is stored as 81 60, which reads back as the full-width tilde: reloading the
// editor after its own write would replace the text and select it, and the next character would
// overwrite it.
void GridViewTest::theEditorsOwnWritesDoNotReloadIt() {
    Type(QStringLiteral("\u301Cx"));
    QCOMPARE(Cell(*grid, 1, 1), std::string("\x81\x60x"));
    QCOMPARE(Editor()->text(), QStringLiteral("\u301Cx"));
}

void GridViewTest::aWriteFromElsewhereReloadsTheEditor() {
    QTest::keyClick(view.get(), Qt::Key_F2);
    grid->SetCell(1, 1, "\x95\x5C");  // 表, a trail byte of 0x5C
    QCOMPARE(Editor()->text(), QStringLiteral("表"));
    grid->SetCell(2, 1, "other");
    QCOMPARE(Editor()->text(), QStringLiteral("表"));
}

void GridViewTest::draggingRowFiveOntoRowTwoMovesItsTexts() {
    grid->SetCurrentCell({1, 3});
    Drag(CenterOf({0, 5}), CenterOf({0, 2}));
    QCOMPARE(Cell(*grid, 1, 2), std::string("a5"));
    QCOMPARE(Cell(*grid, 2, 2), std::string("b5"));
    for (int32_t r = 3; r <= 5; ++r) {
        QCOMPARE(Cell(*grid, 1, r), "a" + std::to_string(r - 1));
    }
    for (int32_t r = 1; r <= 5; ++r) {
        QCOMPARE(Cell(*grid, 0, r), "  " + std::to_string(r));
    }
    QCOMPARE(grid->Current(), (GridCell{1, 4}));  // followed its content
}

void GridViewTest::draggingColumnTwoOntoColumnOneSwapsThem() {
    Drag(CenterOf({2, 0}), CenterOf({1, 0}));
    QCOMPARE(Cell(*grid, 1, 0), std::string("item2"));
    QCOMPARE(Cell(*grid, 2, 0), std::string("item1"));
    QCOMPARE(Cell(*grid, 1, 4), std::string("b4"));
    QCOMPARE(Cell(*grid, 2, 4), std::string("a4"));
    QCOMPARE(grid->ColWidth(1), 69);
    QCOMPARE(grid->ColWidth(2), 153);
    QCOMPARE(Cell(*grid, 0, 3), std::string("  3"));
}

void GridViewTest::droppingARowOnItselfChangesNothing() {
    int moves = 0;
    struct Counter : TableGridObserver {
        int& moves;
        explicit Counter(int& m) : moves(m) {}
        void RowMoved(int32_t, int32_t) override { ++moves; }
    } counter(moves);
    grid->AddObserver(&counter);
    const QPoint label = CenterOf({0, 3});
    Drag(label, label + QPoint(0, 4));
    grid->RemoveObserver(&counter);
    QCOMPARE(moves, 0);
    QCOMPARE(Cell(*grid, 1, 3), std::string("a3"));
}

void GridViewTest::resizingStoresOnlySizesAboveOnePixel_data() {
    QTest::addColumn<bool>("columns");
    QTest::addColumn<int>("newSize");
    QTest::addColumn<int>("stored");
    QTest::newRow("column to 80") << true << 80 << 80;
    QTest::newRow("column to 2") << true << 2 << 2;
    QTest::newRow("column to 1") << true << 1 << 153;
    QTest::newRow("column to 0") << true << 0 << 153;
    QTest::newRow("column left of its start") << true << -20 << 153;
    QTest::newRow("row to 30") << false << 30 << 30;
    QTest::newRow("row to 1") << false << 1 << 18;
}

// Column 1's right line in the item-name row, or row 2's bottom line in the label column.
void GridViewTest::resizingStoresOnlySizesAboveOnePixel() {
    QFETCH(bool, columns);
    QFETCH(int, newSize);
    QFETCH(int, stored);
    const GridGeometry geometry(*grid, Viewport()->width(), Viewport()->height());
    if (columns) {
        const AxisSpan span = *geometry.Columns().Find(1);
        const QPoint grab(span.LineAt() + 1, 9);  // a pixel off the line still grabs it
        Drag(grab, QPoint(span.start + newSize + 1, 9));
        QCOMPARE(grid->ColWidth(1), stored);
        QCOMPARE(grid->ColWidth(2), 69);
    } else {
        const AxisSpan span = *geometry.Rows().Find(2);
        const QPoint grab(16, span.LineAt() - 2);
        Drag(grab, QPoint(16, span.start + newSize - 2));
        QCOMPARE(grid->RowHeight(2), stored);
        QCOMPARE(Cell(*grid, 1, 2), std::string("a2"));  // no row was moved
    }
}

void GridViewTest::shrinkingRowCountUnderTheCurrentCellClosesTheEditor() {
    grid->SetCurrentCell({2, 5});
    QTest::keyClick(view.get(), Qt::Key_F2);
    QVERIFY(view->isEditing());
    grid->SetRowCount(3);
    QVERIFY(!view->isEditing());
    QCOMPARE(grid->Current(), (GridCell{2, 2}));
    Type(QStringLiteral("z"));  // a new editor edits the new current cell
    QCOMPARE(Cell(*grid, 2, 2), std::string("z"));
    QCOMPARE(Cell(*grid, 2, 5), std::string("b5"));
}

void GridViewTest::typedAndPastedTextsAreStoredOnlyIfCp932HoldsThem_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("pasted kanji") << QStringLiteral("表x") << true << QByteArray("a1\x95\x5Cx");
    QTest::newRow("pasted LF") << QStringLiteral("x\ny") << true << QByteArray("a1x\ny");
    QTest::newRow("pasted emoji") << QStringLiteral("ab😀") << true << QByteArray("a1");
    QTest::newRow("typed emoji") << QStringLiteral("😀") << false << QByteArray("a1");
    QTest::newRow("typed hangul") << QStringLiteral("한") << false << QByteArray("a1");
    QTest::newRow("pasted CR") << QStringLiteral("a\rb") << true << QByteArray("a1");
    QTest::newRow("pasted end of file mark") << QStringLiteral("a\x1a") << true << QByteArray("a1");
}

void GridViewTest::typedAndPastedTextsAreStoredOnlyIfCp932HoldsThem() {
    QFETCH(QString, text);
    QFETCH(bool, pasted);
    QFETCH(QByteArray, stored);
    QTest::keyClick(view.get(), Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    if (pasted) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, text,
                            Qt::NoModifier);
    }
    QCOMPARE(Cell(*grid, 1, 1), stored.toStdString());
    QCOMPARE(Editor()->text(), DecodeCp932(stored.toStdString()));
}

void GridViewTest::invalidBytesSurviveWhenTheUserOnlyMovesOverThem() {
    const std::string invalid("\x81\x20\xFF\x82", 4);
    grid->SetCell(1, 2, invalid);
    QTest::keyClick(view.get(), Qt::Key_Down);
    QTest::keyClick(view.get(), Qt::Key_F2);  // open and close without typing
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(view.get(), Qt::Key_Tab);
    QTest::keyClick(view.get(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(view.get(), Qt::Key_Down);
    QCOMPARE(Cell(*grid, 1, 2), invalid);
    // Keeping part of the undecodable text is refused: nothing becomes a stand-in character.
    QTest::keyClick(view.get(), Qt::Key_Up);
    QTest::keyClick(view.get(), Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    Type(QStringLiteral("x"));
    QCOMPARE(Cell(*grid, 1, 2), invalid);
    // Replacing it whole is an ordinary edit.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("y"));
    QCOMPARE(Cell(*grid, 1, 2), std::string("y"));
}

}  // namespace qv

QTEST_MAIN(qv::GridViewTest)
#include "grid_view_test.moc"
