// The grid view driven by real keys and mouse events: moving with Tab, editing in CP932,
// dragging rows and columns, resizing, and texts the code page cannot hold.

#include "gui/grid_view.h"

#include <QAccessible>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "edit/table_document.h"
#include "gui/cp932_input.h"
#include "gui/design_colors.h"
#include "gui/edited_text.h"
#include "gui/long_text_dialog.h"
#include "gui_test_support.h"
#include "table/main_table_shape.h"
#include "view/grid_geometry.h"

namespace qv {

class GridViewTest : public QObject {
    Q_OBJECT
private slots:
    // Item names "item1", "item2"; cells "a<row>" and "b<row>" in rows 1 to 5.
    void init() {
        document = std::make_unique<TableDocument>(kMainTableShape, GridShape{});
        input = std::make_unique<TableInput>(*document);
        grid = &document->UnrecordedTable();
        SetMainTableColWidths(*grid);
        grid->WriteRowLabels(1, grid->RowCount());
        for (int32_t r = 0; r < grid->RowCount(); ++r) {
            grid->SetCell(1, r, r == 0 ? "item1" : "a" + std::to_string(r));
            grid->SetCell(2, r, r == 0 ? "item2" : "b" + std::to_string(r));
        }
        view = std::make_unique<GridView>(*input);
        view->resize(600, 400);
        view->show();
        view->activateWindow();
        view->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
    }
    void cleanup() {
        view.reset();
        input.reset();
        document.reset();
    }

    void typedTextReplacesTheCellAndIsStoredAsCp932() {
        Type(QStringLiteral("あいう"));  // the first character replaces "a1"
        QVERIFY(view->isEditing());
        QCOMPARE(Cell(1, 1), std::string("\x82\xA0\x82\xA2\x82\xA4"));
        // The wave dash is stored as 81 60, which reads back as the full-width tilde: were the
        // editor reloaded after its own write, the text would be selected and "x" replace it.
        Type(QStringLiteral("\u301Cx"));
        QCOMPARE(Cell(1, 1), std::string("\x82\xA0\x82\xA2\x82\xA4\x81\x60x"));
        QCOMPARE(Editor()->text(), QStringLiteral("あいう\u301Cx"));
        // Pasted: a lone CR becomes a line break, 0x1A goes, a character CP932 lacks is refused.
        for (const QString& pasted : {QStringLiteral("\rb\x1a"), QStringLiteral("😀")}) {
            QApplication::clipboard()->setText(pasted);
            QTest::keyClick(Editor(), Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(Cell(1, 1), std::string("\x82\xA0\x82\xA2\x82\xA4\x81\x60x\nb"));
    }

    void draggingMovesRowsAndColumns() {
        grid->SetCurrentCell({1, 3});
        Drag(CenterOf({0, 5}), CenterOf({0, 2}));  // row 5 onto row 2
        QCOMPARE(Cell(2, 2), std::string("b5"));
        for (int32_t r = 1; r <= 5; ++r) {
            QCOMPARE(Cell(1, r), "a" + std::to_string(r == 2 ? 5 : r > 2 ? r - 1 : r));
        }
        QCOMPARE(grid->Current(), (GridCell{1, 4}));  // followed its content

        Drag(CenterOf({2, 0}), CenterOf({1, 0}));  // column 2 onto column 1
        QCOMPARE(Cell(1, 0) + Cell(2, 0) + Cell(1, 4) + Cell(2, 4), std::string("item2item1b3a3"));
        QCOMPARE(grid->ColWidth(1), 69);
        QCOMPARE(grid->ColWidth(2), 153);
    }

    // Column 1's right line in the item-name row and row 2's bottom line in the label column; a
    // pixel off the line still grabs it.
    void resizingToOnePixelIsIgnoredAndLargerSizesStored() {
        const auto resize = [this](bool column, int size) {
            if (column) {
                const AxisSpan span = *Geometry().Columns().Find(1);
                Drag(QPoint(span.LineAt() + 1, 9), QPoint(span.start + size + 1, 9));
            } else {
                const AxisSpan span = *Geometry().Rows().Find(2);
                Drag(QPoint(16, span.LineAt() - 2), QPoint(16, span.start + size - 2));
            }
        };
        resize(true, 1);
        QCOMPARE(grid->ColWidth(1), 153);
        resize(true, 2);
        QCOMPARE(grid->ColWidth(1), 2);
        resize(false, 1);
        QCOMPARE(grid->RowHeight(2), 18);
        resize(false, 30);
        QCOMPARE(grid->RowHeight(2), 30);
        QCOMPARE(Cell(1, 2), std::string("a2"));  // no row was moved
    }

    // A held drag ends when the table changes under it: nothing moves or resizes on release,
    // and the next drag works again.
    void aDragEndsWhenTheTableChangesUnderIt() {
        const auto border = [this](int32_t col) {
            return QPoint(Geometry().Columns().Find(col)->LineAt(), 9);
        };
        struct Case {
            const char* name;
            QPoint press;
            std::function<void()> change;
            QPoint release;
        };
        const QPoint column1 = CenterOf({1, 0}), column2 = CenterOf({2, 0});
        const Case cases[] = {
            {"column 2 deleted", column2, [&] { grid->SetColCount(2); }, column1},
            {"last row deleted", CenterOf({0, 5}), [&] { grid->SetRowCount(5); }, CenterOf({0, 2})},
            {"last column's border", border(2), [&] { grid->SetColCount(2); },
             border(2) + QPoint(40, 0)},
            {"cleared", column2,
             [&] { grid->ClearCells(0, grid->RowCount(), 0, grid->ColCount()); }, column1},
        };
        for (const Case& c : cases) {
            cleanup();
            init();
            const QPoint from = c.press;
            QTest::mousePress(Viewport(), Qt::LeftButton, {}, from);
            QTest::mouseMove(Viewport(), from + QPoint(1, 1));
            c.change();
            const std::string before = Snapshot();
            QTest::mouseMove(Viewport(), c.release);
            QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, c.release);
            QVERIFY2(Snapshot() == before, c.name);
        }
        cleanup();
        init();
        Drag(CenterOf({0, 4}), CenterOf({0, 1}));
        QCOMPARE(Cell(1, 1), std::string("a4"));
    }

    // A 50 MB cell paints (only what its width shows is decoded). Longer than the in-place
    // editor holds, a text is edited in a dialog, which refuses what CP932 lacks, up to a length
    // a text box lays out in a few seconds; typing replaces it whatever its length.
    void aLongCellIsEditedInADialogOrTypedOver() {
        const std::string huge(50'000'000, 'x');
        grid->SetCell(1, 1, huge);
        view->viewport()->repaint();
        grid->SetCell(1, 1, huge.substr(0, 40'000));
        int refused = 0;
        view->setModalRunner([&](QDialog& dialog) -> int {
            if (qobject_cast<LongTextDialog*>(&dialog) == nullptr) {
                return ++refused;  // the failure box: too long for any editor
            }
            QPlainTextEdit* text = static_cast<LongTextDialog&>(dialog).Editor();
            QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
            text->insertPlainText(QStringLiteral("😀"));  // as pasted
            dialog.accept();
            refused += dialog.result() != QDialog::Accepted ? 1 : 0;
            QTest::keyClick(text, Qt::Key_Backspace);
            QTest::keyClicks(text, "y");
            dialog.accept();
            return dialog.result();
        });
        QTest::keyClick(view.get(), Qt::Key_F2);
        QVERIFY(refused == 1 && !view->isEditing());
        QVERIFY(grid->Cell(1, 1) == huge.substr(0, 40'000) + "y");
        QTest::keyClick(view.get(), Qt::Key_A);
        QCOMPARE(Cell(1, 1), std::string("a"));
        grid->SetCell(1, 1, huge);  // the editor would cut it
        QVERIFY(!view->isEditing());
        QTest::keyClick(view.get(), Qt::Key_F2);
        QVERIFY(refused == 2 && grid->Cell(1, 1) == huge);
        QTest::keyClick(view.get(), Qt::Key_Backspace);
        QCOMPARE(Cell(1, 1), std::string());
    }

    // The scroll place is the view's own: Ctrl+End scrolls to the end, a shorter table pulls it
    // back, and a fixed line giving way returns it to the first cells as it does the grid. Tab
    // wraps at the last cell and Shift+Tab at the first, and neither leaves the grid.
    void theScrollPlaceFollowsTheCountsAndTabWraps() {
        grid->SetRowCount(1000);
        QTest::keyClick(view.get(), Qt::Key_A, Qt::ControlModifier);  // every data cell
        QVERIFY(grid->Current() == (GridCell{1, 1}) && grid->Anchor() == (GridCell{2, 999}));
        QTest::keyClick(view.get(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid->Current(), (GridCell{2, 999}));
        QTest::keyClick(view.get(), Qt::Key_Tab);
        QCOMPARE(grid->Current(), (GridCell{1, 1}));
        QTest::keyClick(view.get(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(grid->Current(), (GridCell{2, 999}));
        QVERIFY(view->hasFocus());
        QVERIFY(view->topLeft().row > 900);
        QCOMPARE(view->verticalScrollBar()->value(), view->topLeft().row);
        grid->SetRowCount(500);
        QCOMPARE(view->topLeft().row, LastFirstIndex(RowAxis(*grid), Viewport()->height()));
        grid->SetColCount(1);
        QCOMPARE(view->topLeft(), (GridCell{0, 1}));
    }

    void shrinkingRowCountUnderTheCurrentCellClosesTheEditor() {
        grid->SetCurrentCell({2, 5});
        QTest::keyClick(view.get(), Qt::Key_F2);
        QVERIFY(view->isEditing());
        grid->SetRowCount(3);
        QVERIFY(!view->isEditing());
        QCOMPARE(grid->Current(), (GridCell{2, 2}));
        Type(QStringLiteral("z"));  // a new editor edits the new current cell
        QCOMPARE(Cell(2, 2), std::string("z"));
        QCOMPARE(Cell(2, 5), std::string("b5"));
    }

    void invalidBytesSurviveWhenTheUserOnlyMovesOverThem() {
        const std::string invalid("\x81\x20\xFF\x82", 4);
        grid->SetCell(1, 2, invalid);
        QTest::keyClick(view.get(), Qt::Key_Down);
        QTest::keyClick(view.get(), Qt::Key_Return);  // Enter opens and closes, nothing typed
        QCOMPARE(QApplication::focusWidget(), Editor());
        QCOMPARE(Editor()->selectedText(), DecodeCp932(invalid));
        QTest::keyClick(Editor(), Qt::Key_Return);
        QVERIFY(!view->isEditing() && view->hasFocus());
        QTest::keyClick(view.get(), Qt::Key_Tab);
        QTest::keyClick(view.get(), Qt::Key_Backtab, Qt::ShiftModifier);
        QTest::keyClick(view.get(), Qt::Key_Down);
        QCOMPARE(Cell(1, 2), invalid);
        // Typed after them, they stay as they were: nothing becomes a stand-in. (Edits elsewhere
        // in such a text are the cases of encodesTheEditOfATextBox.)
        QTest::keyClick(view.get(), Qt::Key_Up);
        QTest::keyClick(view.get(), Qt::Key_F2);
        QTest::keyClick(Editor(), Qt::Key_End);
        Type(QStringLiteral("x"));
        QCOMPARE(Cell(1, 2), invalid + "x");
    }

    // Composing with an input method: the pre-edit opens the editor over the current cell while
    // the grid keeps the focus (moving it would reset the input method), and the committed text
    // is stored once, as CP932.
    void inputMethodTextIsStoredOnceInTheCell() {
        const QRect cell = *view->cellRect(grid->Current());
        QCOMPARE(static_cast<QWidget&>(*view).inputMethodQuery(Qt::ImCursorRectangle).toRect(),
                 cell.translated(Viewport()->pos()));
        Compose(QStringLiteral("かん"), {});  // the first key, editor closed
        QVERIFY(view->isEditing());
        QCOMPARE(QApplication::focusWidget(), view.get());
        QCOMPARE(Editor()->geometry(), cell);
        Compose({}, QStringLiteral("漢"));
        QTRY_COMPARE(QApplication::focusWidget(), Editor());
        Compose(QStringLiteral("じ"), {});
        Compose({}, QStringLiteral("字"));
        QCOMPARE(Cell(1, 1), std::string("\x8A\xBF\x8E\x9A"));
        QTest::keyClick(Editor(), Qt::Key_Tab);
        Compose({}, QStringLiteral("字"));  // committed at once, editor closed
        QCOMPARE(Cell(2, 1), std::string("\x8E\x9A"));
    }

    // A screen reader finds the table, its headers, and the current cell as the focused child.
    // (Qt drops the events that announce a move while no reader listens, as on this platform.)
    void screenReaderReadsTheCurrentCell() {
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view.get());
        QVERIFY(table != nullptr && table->tableInterface() != nullptr);
        QCOMPARE(table->tableInterface()->rowCount(), grid->RowCount() - 1);
        QAccessibleTableCellInterface* cell =
            table->tableInterface()->cellAt(2, 1)->tableCellInterface();
        QCOMPARE(cell->columnHeaderCells().value(0)->text(QAccessible::Name), "item2");
        QCOMPARE(cell->rowHeaderCells().value(0)->text(QAccessible::Name), "  3");
        QTest::keyClick(view.get(), Qt::Key_Down);
        QAccessibleInterface* current = table->focusChild();
        QCOMPARE(current->text(QAccessible::Name), "a2");
        QVERIFY(current->state().focused && current->state().selected);
        QCOMPARE(table->child(table->indexOfChild(current)), current);
        QCOMPARE(table->childAt(current->rect().center().x(), current->rect().center().y()),
                 current);
        // Under a filter it reads the rows shown and nothing else.
        document->Shown().Show({2, 4});
        QCOMPARE(table->tableInterface()->rowCount(), 2);
        QCOMPARE(table->tableInterface()->cellAt(1, 0)->text(QAccessible::Name), "a4");
        QCOMPARE(table->tableInterface()->rowDescription(1), "  4");
        QCOMPARE(current->tableCellInterface()->rowIndex(), 0);
        QCOMPARE(table->child(table->indexOfChild(current)), current);
        QCOMPARE(table->childCount(), 3 * grid->ColCount());
    }

    // In a light palette the design's colours, in a dark one the palette's: never black on dark.
    void coloursFollowALightOrDarkPalette() {
        QWidget window;
        auto* box = new QLineEdit(&window);
        KeepDesignTextColour(*box, QPalette::Text);
        const QPalette light(QColor(0xEF, 0xEF, 0xEF)), dark(QColor(0x30, 0x30, 0x30));
        for (const QPalette* palette : {&light, &dark, &light}) {
            window.setPalette(*palette);
            const bool isDark = palette == &dark;
            const QColor text = isDark ? dark.color(QPalette::Text) : QColor(Qt::black);
            QCOMPARE(GridColorsFor(*palette).cellText, text);
            QCOMPARE(box->palette().color(QPalette::Text), text);
            // Dark, the fixed cells stay a dark aqua, set off from the data cells' base.
            const QColor fixed = GridColorsFor(*palette).fixedBackground;
            QCOMPARE(fixed.hslHue(), 180);
            QVERIFY(isDark ? fixed.lightness() < 100 &&
                                 fixed.lightness() - dark.color(QPalette::Base).lightness() > 20
                           : fixed == QColor(0x00, 0xFF, 0xFF));
        }
    }

    // An edit of a text box in CP932 bytes: the untouched parts keep their exact bytes (bytes
    // that are no valid CP932 show as U+FFFD), what was typed is encoded or refused.
    void encodesTheEditOfATextBox() {
        const std::tuple<const char*, const char*, QString, const char*> rows[] = {
            {"appended", "\x91\xA0", QStringLiteral("蔵x"), "\x91\xA0x"},
            {"typed before a bad byte", "a\xA0z", QStringLiteral("xa\uFFFDz"), "xa\xA0z"},
            {"after a lone lead byte", "ab\x81", QStringLiteral("ab\uFFFDc"), "ab\x81\x63"},
            {"between bad bytes", "\xA0mid\xA0", QStringLiteral("\uFFFDnew\uFFFD"), "\xA0new\xA0"},
            {"a bad byte deleted", "a\xA0z", QStringLiteral("az"), "az"},
            {"a repeated character deleted", "aaa", QStringLiteral("aa"), "aa"},
            {"no CP932 code", "a", QStringLiteral("a😀"), "!"},  // "!": refused
            {"CR", "a", QStringLiteral("a\rb"), "!"},
            {"end-of-file byte", "a", QStringLiteral("a\x1A"), "!"},
            {"a stand-in typed", "a", QStringLiteral("\uFFFDa"), "!"},
        };
        for (const auto& [name, original, edited, expected] : rows) {
            const std::optional<std::string> bytes = EncodeEditedText(original, edited);
            QCOMPARE(QByteArray(name) + ": " + QByteArray::fromStdString(bytes.value_or("!")),
                     QByteArray(name) + ": " + expected);
        }
    }

private:
    std::string Cell(int32_t col, int32_t row) const { return std::string(grid->Cell(col, row)); }
    QWidget* Viewport() const { return view->viewport(); }
    QLineEdit* Editor() const { return view->findChild<QLineEdit*>(); }

    GridGeometry Geometry() const {
        return GridGeometry(*grid, view->topLeft(), Viewport()->width(), Viewport()->height());
    }
    QPoint CenterOf(GridCell cell) const {
        const CellBox box = Geometry().BoxOf(cell).value();
        return QPoint(box.x + box.width / 2, box.y + box.height / 2);
    }

    // What an input method sends to the focused widget.
    static void Compose(const QString& preedit, const QString& commit) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    }

    static void Type(const QString& text) { test::TypeText(QApplication::focusWidget(), text); }

    // The counts, the sizes and every text of the grid.
    std::string Snapshot() const {
        std::string all = std::to_string(grid->ColCount()) + "x" + std::to_string(grid->RowCount());
        for (int32_t cell = 0; cell < 18; ++cell) {
            all += "|" + Cell(cell / 6, cell % 6) + "/" + std::to_string(grid->ColWidth(cell / 6)) +
                   "/" + std::to_string(grid->RowHeight(cell % 6));
        }
        return all;
    }

    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(Viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(Viewport(), (from + to) / 2);
        QTest::mouseMove(Viewport(), to);
        QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, to);
    }

    std::unique_ptr<TableDocument> document;
    std::unique_ptr<TableInput> input;
    TableGrid* grid = nullptr;
    std::unique_ptr<GridView> view;
};

}  // namespace qv

QTEST_MAIN(qv::GridViewTest)
#include "grid_view_test.moc"
