// The variables view (Panel_Var): global variables and arrays on the left,
// the locals of script functions on the right, the status bar texts and the
// detail view of one variable.
#pragma once

#include "core/interpreter.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QSplitter;
class QTableWidget;

namespace tesmora {

class HelpWindow;

// ---- Text forms of the view (also used by the help window) ------------------

// The cell text of a variable's value. `localGrid` selects the local grid's
// rules (whole floats always "%6.0f"; unknown identifiers shown like any
// other kind). `language` picks the catalogue column of message 76.
QString VariableValueText(const Tvariable &v, bool localGrid, int language);
// The display order: indexes into `variables`, names compared upper-cased
// (a-z folded) by UTF-16 code units, exchanged pairwise from the first
// position on; equal names are never exchanged.
QList<int> SortedVariableOrder(const QList<Tvariable> &variables);
// " 0001 1111" for "1F": a blank and four binary digits per hexadecimal digit.
QString HexDigitsToBits(const QString &hexDigits);
// Elapsed run time as "mm:ss" (minutes at least two digits).
QString ElapsedTimeText(qint64 elapsedMs);
// The detail text of a variable or, for a name ending in "[]", the listing of
// an array; names are looked up as the interpreter does (current level, then
// globals).
QString VariableDetailsText(const Interpreter &in, const QString &name);
// The detail text of one variable / one array record.
QString VariableDetailsText(const Tvariable &v, int language);
QString ArrayDetailsText(const t_arr_specification &array, int language);

// Makes sure the program folder's Temp/ exists; on failure reports message
// 208 through `report` and returns false.
bool EnsureTempFolder(const Interpreter &in, const std::function<void(const QString &)> &report);
// ShowVariableDetails for a name: Temp folder check, the detail text into the
// help window, the help window opened modally. False when nothing was shown.
bool ShowVariableDetails(const QString &name, const Interpreter &in, HelpWindow &help,
                         const std::function<void(const QString &)> &report);

// ---- The panel ----------------------------------------------------------------

class VariablesView : public QWidget {
    Q_OBJECT
  public:
    explicit VariablesView(QWidget *parent = nullptr);
    ~VariablesView() override;

    // Where the status bar texts go: panel 0..6 and its text.
    using StatusSink = std::function<void(int panel, const QString &text)>;
    void setStatusSink(StatusSink sink);
    // Convenience: write the texts into these labels (the status bar's 7 panels).
    void setStatusPanels(const QList<QLabel *> &panels);
    // The width of the graphics panel (panel 5 shows the elapsed time only
    // while it is narrower than 4 px or no run is in progress).
    void setGraphicsPanelWidth(std::function<int()> width);
    // The clock in ms since the epoch (tests replace it).
    void setClock(std::function<qint64()> clock);
    // The help window that shows variable details; created on demand when none is set.
    void setHelpWindow(HelpWindow *help);
    HelpWindow *helpWindow();
    // How error messages (message 208) are shown; default: an error box.
    void setMessageSink(std::function<void(const QString &)> sink);

    // The refresh: status bar, sort, both grids. The non-const overload also
    // writes the display order into in.variableOrder().
    void A_Show_variables(const Interpreter &in);
    void A_Show_variables(Interpreter &in);
    // Fills in.variableOrder() with the display order.
    void A_Sort_Variables(Interpreter &in);
    void A_StatusBarFilling(const Interpreter &in);
    // The detail view of a variable (or "name[]" for an array) in the help window.
    bool ShowVariableDetails(const QString &name, const Interpreter &in);

    // Captions and headers in `language` (0 English, 1 Russian).
    void retranslate(int language);
    // Both grids' row height from the editor font size: round(size * 22 / 12).
    void setRowHeightFromEditorFont(int editorFontSize);
    int rowHeight() const { return rowHeight_; }
    // Width of the local panel the user chose (settings). While the panel is
    // too narrow for that width beside a readable global grid, the grids
    // share the width instead; the chosen width comes back when there is room.
    int localPanelWidth() const;
    void setLocalPanelWidth(int width);
    // The narrowest global grid that still shows a name and a few characters of value.
    int readableGlobalWidth() const;

    // The display order used by the last refresh.
    const QList<int> &displayOrder() const { return order_; }

    QTableWidget *SG_GlobalVariables = nullptr;
    QTableWidget *SG_LocalVariables = nullptr;
    QCheckBox *CheckBox_All_Llevels = nullptr;
    QLabel *Label_Global = nullptr;
    QLabel *Label_Local = nullptr;
    QWidget *Panel_Var_Local = nullptr;
    QSplitter *Splitter_Var = nullptr;

  signals:
    // A detail view was requested by a double click (after it was shown).
    void variableDetailsShown(const QString &name);

  protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    // What a grid row shows: a variable (index) or an array (table number).
    struct RowSource {
        int variable = -1;
        int array = 0;
        QString name;
        int level = 0;
    };
    void fillGlobalGrid(const Interpreter &in);
    void fillLocalGrid(const Interpreter &in);
    void showGrids(const Interpreter &in);
    void resetGrid(QTableWidget *grid, int columns);
    void fitGlobalValueColumn();
    void fitLocalValueColumn();
    void fitHeaderTexts();
    void onGridDoubleClick(QTableWidget *grid, int row);
    void applyFonts();
    QWidget *createGlobalSide(const QFont &captionFont);
    // Returns the local side's caption bar.
    QWidget *createLocalSide(const QFont &captionFont);
    void createSplitter(QWidget *globalPanel);
    void connectGrids();
    void reportMessage(const QString &text);

    const Interpreter *in_ = nullptr;
    QList<int> order_;
    QList<RowSource> globalRows_;
    QList<RowSource> localRows_;
    int language_ = 0;
    int rowHeight_ = 18;
    StatusSink statusSink_;
    std::function<int()> graphicsWidth_;
    std::function<qint64()> clock_;
    int chosenLocalWidth_ = 0;
    bool sharePending_ = false;
    void shareWidth();
    std::function<void(const QString &)> messageSink_;
    QPointer<HelpWindow> help_;
    bool ownsHelp_ = false;
};

} // namespace tesmora
