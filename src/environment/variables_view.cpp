// The variables view: two grids with their caption bars, the status bar
// texts and the double click into the detail view.
#include "variables_view.h"

#include "dialog_windows.h"
#include "editor_colours.h"

#include "help_window.h"

#include "core/message_catalogue.h"
#include "core/numbers.h"
#include "graphics/colors.h"
#include "library/text_forms.h"

#include <QCheckBox>
#include <QDateTime>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace tesmora {

namespace {

constexpr int kCaptionHeight = 18;
constexpr int kSplitterWidth = 5;
constexpr int kLocalPanelDesignWidth = 500;
constexpr int kGlobalNameWidth = 81;
constexpr int kLocalLevelWidth = 25;
constexpr int kLocalNameWidth = 80;
constexpr int kMinGlobalWidth = 30;
const char *const kAllLevelsCaption = "Alll levels";

// A font by name; where it is not installed the style hint picks a
// replacement of the same kind.
QFont requestFont(const QString &family, int pixelSize, QFont::StyleHint hint)
{
    QFont f(family);
    f.setStyleHint(hint);
    f.setPixelSize(pixelSize);
    return f;
}

// Every cell 2 px from its left edge; the cells of the grid's current row in
// black on sky blue, the others in the palette's text colour on its base
// (black on white on a light palette).
class CurrentRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
        const bool current =
            view && view->currentIndex().isValid() && view->currentIndex().row() == index.row();
        painter->save();
        painter->setClipRect(option.rect);
        painter->fillRect(option.rect,
                          current ? colorFromScript(0xF0CAA6) : option.palette.color(QPalette::Base));
        painter->setPen(current || !isDarkPalette(option.palette) ? QColor(Qt::black)
                                                                  : option.palette.color(QPalette::Text));
        painter->setFont(option.font);
        const QRect textRect = option.rect.adjusted(2, 0, -1, 0);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }
};

QTableWidget *makeGrid(QWidget *parent, const QString &objectName)
{
    auto *g = new QTableWidget(parent);
    g->setObjectName(objectName);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setWordWrap(false);
    g->setTabKeyNavigation(false);
    g->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    g->verticalHeader()->hide();
    g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView *h = g->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setStretchLastSection(false);
    h->setHighlightSections(false);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    h->setMinimumSectionSize(8);
    g->setItemDelegate(new CurrentRowDelegate(g));
    QObject::connect(g, &QTableWidget::currentCellChanged, g, [g] { g->viewport()->update(); });
    return g;
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

VariablesView::VariablesView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Panel_Var"));
    clock_ = [] { return QDateTime::currentMSecsSinceEpoch(); };
    graphicsWidth_ = [] { return 0; };

    const QFont captionFont = requestFont(QStringLiteral("Tahoma"), 12, QFont::SansSerif);
    QWidget *globalPanel = createGlobalSide(captionFont);
    QWidget *localCaption = createLocalSide(captionFont);
    // Caption bars are 18 px, or as tall as their text needs.
    const int captionHeight = std::max(
        {kCaptionHeight, QFontMetrics(captionFont).height() + 2, CheckBox_All_Llevels->sizeHint().height()});
    Label_Global->setFixedHeight(captionHeight);
    localCaption->setFixedHeight(captionHeight);
    createSplitter(globalPanel);

    applyFonts();
    resetGrid(SG_GlobalVariables, 2);
    resetGrid(SG_LocalVariables, 3);
    SG_GlobalVariables->setColumnWidth(0, kGlobalNameWidth);
    SG_LocalVariables->setColumnWidth(0, kLocalLevelWidth);
    SG_LocalVariables->setColumnWidth(1, kLocalNameWidth);
    language_ = -1;
    retranslate(0);
    setRowHeightFromEditorFont(10);
    connectGrids();
}

QWidget *VariablesView::createGlobalSide(const QFont &captionFont)
{
    // Caption bar and grid.
    auto *globalPanel = new QWidget(this);
    globalPanel->setObjectName(QStringLiteral("Panel_Var_Global"));
    auto *globalLayout = new QVBoxLayout(globalPanel);
    globalLayout->setContentsMargins(0, 0, 0, 0);
    globalLayout->setSpacing(0);
    Label_Global = new QLabel(globalPanel);
    Label_Global->setObjectName(QStringLiteral("Label_Global"));
    Label_Global->setAlignment(Qt::AlignCenter);
    Label_Global->setFont(captionFont);
    SG_GlobalVariables = makeGrid(globalPanel, QStringLiteral("SG_GlobalVariables"));
    globalLayout->addWidget(Label_Global);
    globalLayout->addWidget(SG_GlobalVariables, 1);
    return globalPanel;
}

QWidget *VariablesView::createLocalSide(const QFont &captionFont)
{
    // Caption bar with the check box at its right end, and grid.
    Panel_Var_Local = new QWidget(this);
    Panel_Var_Local->setObjectName(QStringLiteral("Panel_Var_Local"));
    auto *localLayout = new QVBoxLayout(Panel_Var_Local);
    localLayout->setContentsMargins(0, 0, 0, 0);
    localLayout->setSpacing(0);
    auto *localCaption = new QWidget(Panel_Var_Local);
    auto *captionLayout = new QHBoxLayout(localCaption);
    captionLayout->setContentsMargins(0, 0, 4, 0);
    captionLayout->setSpacing(4);
    Label_Local = new QLabel(localCaption);
    Label_Local->setObjectName(QStringLiteral("Label_Local"));
    Label_Local->setFont(captionFont);
    Label_Local->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    CheckBox_All_Llevels = new QCheckBox(QString::fromLatin1(kAllLevelsCaption), localCaption);
    CheckBox_All_Llevels->setObjectName(QStringLiteral("CheckBox_All_Llevels"));
    CheckBox_All_Llevels->setFont(captionFont);
    CheckBox_All_Llevels->setFocusPolicy(Qt::TabFocus);
    captionLayout->addWidget(Label_Local, 1);
    captionLayout->addWidget(CheckBox_All_Llevels, 0, Qt::AlignVCenter);
    SG_LocalVariables = makeGrid(Panel_Var_Local, QStringLiteral("SG_LocalVariables"));
    localLayout->addWidget(localCaption);
    localLayout->addWidget(SG_LocalVariables, 1);
    return localCaption;
}

void VariablesView::createSplitter(QWidget *globalPanel)
{
    Splitter_Var = new QSplitter(Qt::Horizontal, this);
    Splitter_Var->setObjectName(QStringLiteral("Splitter_Var"));
    Splitter_Var->setHandleWidth(kSplitterWidth);
    Splitter_Var->setChildrenCollapsible(false);
    Splitter_Var->addWidget(globalPanel);
    Splitter_Var->addWidget(Panel_Var_Local);
    Splitter_Var->setStretchFactor(0, 1);
    Splitter_Var->setStretchFactor(1, 0);
    // The splitter never comes closer than 30 px to the left edge: the
    // local panel gives way instead.
    globalPanel->setMinimumWidth(kMinGlobalWidth);
    // The local panel may become narrower than its caption bar when the
    // grids share a narrow bottom panel (its caption is then cut).
    Panel_Var_Local->setMinimumWidth(kMinGlobalWidth);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter_Var);
    setLocalPanelWidth(kLocalPanelDesignWidth);
    // A splitter the user drags is the user's choice of width.
    connect(Splitter_Var, &QSplitter::splitterMoved, this,
            [this] { chosenLocalWidth_ = Panel_Var_Local->width(); });
}

void VariablesView::connectGrids()
{
    SG_LocalVariables->installEventFilter(this);
    connect(CheckBox_All_Llevels, &QCheckBox::clicked, this, [this] {
        if (in_)
            A_Show_variables(*in_);
    });
    connect(SG_GlobalVariables, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { onGridDoubleClick(SG_GlobalVariables, row); });
    connect(SG_LocalVariables, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { onGridDoubleClick(SG_LocalVariables, row); });
}

VariablesView::~VariablesView()
{
    if (ownsHelp_ && help_)
        delete help_.data();
}

void VariablesView::applyFonts()
{
    const QFont gridFont = requestFont(QStringLiteral("Consolas"), 16, QFont::Monospace);
    for (QTableWidget *g : {SG_GlobalVariables, SG_LocalVariables}) {
        g->setFont(gridFont);
        g->horizontalHeader()->setFont(gridFont);
    }
}

// ---- Settings and language --------------------------------------------------------

void VariablesView::setStatusSink(StatusSink sink)
{
    statusSink_ = std::move(sink);
}

void VariablesView::setStatusPanels(const QList<QLabel *> &panels)
{
    QList<QPointer<QLabel>> labels;
    for (QLabel *l : panels)
        labels << QPointer<QLabel>(l);
    statusSink_ = [labels](int panel, const QString &text) {
        if (panel >= 0 && panel < labels.size() && labels.at(panel))
            labels.at(panel)->setText(text);
    };
}

void VariablesView::setGraphicsPanelWidth(std::function<int()> width)
{
    graphicsWidth_ = std::move(width);
}

void VariablesView::setClock(std::function<qint64()> clock)
{
    clock_ = std::move(clock);
}

void VariablesView::setHelpWindow(HelpWindow *help)
{
    if (ownsHelp_ && help_ && help_ != help)
        delete help_.data();
    help_ = help;
    ownsHelp_ = false;
}

HelpWindow *VariablesView::helpWindow()
{
    if (!help_) {
        help_ = new HelpWindow(window());
        ownsHelp_ = true;
    }
    return help_;
}

void VariablesView::setMessageSink(std::function<void(const QString &)> sink)
{
    messageSink_ = std::move(sink);
}

void VariablesView::reportMessage(const QString &text)
{
    if (messageSink_) {
        messageSink_(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, untitledWindowTitle(language_), text, QMessageBox::Ok, window());
    box.exec();
}

void VariablesView::retranslate(int language)
{
    const bool changed = language != language_;
    language_ = language;
    Label_Global->setText(catalogueText(40, language));
    Label_Local->setText(QStringLiteral("  ") + catalogueText(42, language));
    SG_GlobalVariables->setAccessibleName(catalogueText(40, language));
    SG_LocalVariables->setAccessibleName(catalogueText(42, language));
    Panel_Var_Local->setAccessibleName(catalogueText(42, language));
    Splitter_Var->widget(0)->setAccessibleName(catalogueText(40, language));
    SG_GlobalVariables->setHorizontalHeaderLabels({catalogueText(88, language), catalogueText(89, language)});
    SG_LocalVariables->setHorizontalHeaderLabels(
        {catalogueText(111, language), catalogueText(88, language), catalogueText(89, language)});
    if (changed)
        fitHeaderTexts();
}

void VariablesView::fitHeaderTexts()
{
    // The name and level columns are widened where their header text would
    // be cut (the grid font may be wider than the one they were designed for).
    auto fit = [](QTableWidget *grid, int column) {
        const int needed = grid->horizontalHeader()->sectionSizeHint(column);
        if (grid->columnWidth(column) < needed)
            grid->setColumnWidth(column, needed);
    };
    fit(SG_GlobalVariables, 0);
    fit(SG_LocalVariables, 0);
    fit(SG_LocalVariables, 1);
    fitLocalValueColumn();
}

void VariablesView::setRowHeightFromEditorFont(int editorFontSize)
{
    // round(size * 22 / 12), but never lower than the grid font needs
    // (its descenders clear the grid line).
    const int designed = static_cast<int>(std::lround(editorFontSize * 22.0 / 12.0));
    rowHeight_ = std::max(designed, QFontMetrics(SG_GlobalVariables->font()).height() + 4);
    for (QTableWidget *g : {SG_GlobalVariables, SG_LocalVariables}) {
        g->verticalHeader()->setMinimumSectionSize(1);
        g->verticalHeader()->setDefaultSectionSize(rowHeight_);
        for (int r = 0; r < g->rowCount(); ++r)
            g->setRowHeight(r, rowHeight_);
    }
}

int VariablesView::localPanelWidth() const
{
    return chosenLocalWidth_;
}

void VariablesView::setLocalPanelWidth(int width)
{
    chosenLocalWidth_ = width;
    shareWidth();
}

int VariablesView::readableGlobalWidth() const
{
    // The name column, eight characters of value, the frame and a scroll bar.
    const int value =
        QFontMetrics(SG_GlobalVariables->font()).horizontalAdvance(QStringLiteral("0000.000")) + 8;
    return kGlobalNameWidth + value + 2 * SG_GlobalVariables->frameWidth() +
           SG_GlobalVariables->verticalScrollBar()->sizeHint().width();
}

void VariablesView::shareWidth()
{
    const int total = Splitter_Var->width() - kSplitterWidth;
    if (total <= 0 || !isVisible()) {
        const int all = std::max(Splitter_Var->width(), chosenLocalWidth_ + kSplitterWidth + kMinGlobalWidth);
        Splitter_Var->setSizes({all - chosenLocalWidth_ - kSplitterWidth, chosenLocalWidth_});
        return;
    }
    // The chosen width when a readable global grid still fits beside it;
    // otherwise the local panel gives way, down to a third of the width, so
    // that the global values stay readable on a narrow script side.
    int local = std::min(chosenLocalWidth_, std::max(total / 3, total - readableGlobalWidth()));
    local = std::min(local, total - kMinGlobalWidth); // the global grid keeps 30 px
    local = std::max(local, 0);
    Splitter_Var->setSizes({total - local, local});
}

void VariablesView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Shared once the splitter has taken its new size and spread it itself.
    if (!sharePending_) {
        sharePending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                sharePending_ = false;
                shareWidth();
            },
            Qt::QueuedConnection);
    }
    fitLocalValueColumn();
}

bool VariablesView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == SG_LocalVariables && event->type() == QEvent::Resize)
        fitLocalValueColumn();
    return QWidget::eventFilter(watched, event);
}

void VariablesView::fitGlobalValueColumn()
{
    SG_GlobalVariables->setColumnWidth(1, std::max(40, window()->width() - 100));
}

void VariablesView::fitLocalValueColumn()
{
    const int rest = SG_LocalVariables->viewport()->width() - SG_LocalVariables->columnWidth(0) -
                     SG_LocalVariables->columnWidth(1);
    SG_LocalVariables->setColumnWidth(2, std::max(40, rest));
}

// ---- Refresh -------------------------------------------------------------------

void VariablesView::A_Sort_Variables(Interpreter &in)
{
    in.setVariableOrder(SortedVariableOrder(in.variables()));
    order_ = in.variableOrder();
}

void VariablesView::A_Show_variables(Interpreter &in)
{
    in_ = &in;
    A_StatusBarFilling(in);
    A_Sort_Variables(in);
    showGrids(in);
}

void VariablesView::A_Show_variables(const Interpreter &in)
{
    in_ = &in;
    A_StatusBarFilling(in);
    order_ = SortedVariableOrder(in.variables());
    showGrids(in);
}

void VariablesView::A_StatusBarFilling(const Interpreter &in)
{
    if (!statusSink_)
        return;
    statusSink_(0, QStringLiteral("Line=") + QString::number(in.currentLine()));
    statusSink_(1, QStringLiteral("Processing Level=") + QString::number(in.blockDepth()));
    statusSink_(2, QStringLiteral("Function Level=") + QString::number(in.currentFunctionLevel()));

    const int depth = std::clamp(in.blockDepth(), 0, kMaxBlockLevel);
    const TBlockLevel &block = in.blockStack()[static_cast<size_t>(depth)];
    const int v = block.LoopIndex;
    if (v <= 0 || v > in.variables().size()) {
        statusSink_(3, QString());
        statusSink_(4, QString());
        const bool running = in.runState() == rn_Run || in.runState() == rn_Continue;
        if (graphicsWidth_() < 4 || !running) {
            statusSink_(5, QStringLiteral("time ") + ElapsedTimeText(in.RunElapsedMs(clock_())));
        }
        return;
    }
    QString counter = in.variables().at(v - 1).text();
    std::int64_t whole = 0;
    if (!ParseIntegerText(counter, whole))
        counter += QStringLiteral(" ???");
    statusSink_(3, QStringLiteral("loop counter=") + counter);
    statusSink_(4, QStringLiteral("loop limit=") + QString::number(block.LoopLimit));
}

void VariablesView::resetGrid(QTableWidget *grid, int columns)
{
    grid->clearContents();
    grid->setColumnCount(columns);
    grid->setRowCount(1);
    for (int c = 0; c < columns; ++c)
        grid->setItem(0, c, cell(QString()));
}

void VariablesView::showGrids(const Interpreter &in)
{
    retranslate(in.language());
    fillGlobalGrid(in);
    fillLocalGrid(in);
    fitGlobalValueColumn();
    fitLocalValueColumn();
}

namespace {

// Writes `rows` (already formatted cells) into a grid that has its header
// and one empty row, and selects `selected` (0 = the first row).
void writeRows(QTableWidget *grid, const QList<QStringList> &rows, int selected, int rowHeight)
{
    // The grid is rebuilt completely, reusing the cells it already has.
    grid->setUpdatesEnabled(false);
    const int count = std::max<int>(1, static_cast<int>(rows.size()));
    grid->setRowCount(count);
    for (int r = 0; r < count; ++r) {
        for (int c = 0; c < grid->columnCount(); ++c) {
            const QString text = r < rows.size() && c < rows.at(r).size() ? rows.at(r).at(c) : QString();
            if (QTableWidgetItem *item = grid->item(r, c))
                item->setText(text);
            else
                grid->setItem(r, c, cell(text));
        }
        if (grid->rowHeight(r) != rowHeight)
            grid->setRowHeight(r, rowHeight);
    }
    grid->setCurrentCell(std::clamp(selected, 0, count - 1), 0);
    grid->setUpdatesEnabled(true);
    grid->viewport()->update();
}

bool isLastCreatedArray(const Interpreter &in, int n)
{
    const t_arr_specification &a = in.arrays().at(n);
    if (n == in.arrays().lastAssignedArray)
        return true;
    return !in.arrays().lastDeclaredName.isEmpty() && a.name.toUpper() == in.arrays().lastDeclaredName &&
           a.function_level == in.arrays().lastDeclaredLevel;
}

} // namespace

void VariablesView::fillGlobalGrid(const Interpreter &in)
{
    globalRows_.clear();
    QList<QStringList> rows;
    int selected = 0;
    for (int idx : order_) {
        if (idx < 0 || idx >= in.variables().size())
            continue;
        const Tvariable &v = in.variables().at(idx);
        if (v.function_level != 0)
            continue;
        if (idx + 1 == in.lastAssignedVariable())
            selected = static_cast<int>(rows.size());
        rows << QStringList{v.VarName, VariableValueText(v, false, in.language())};
        globalRows_ << RowSource{idx, 0, v.VarName, 0};
    }
    for (int n = 1; n <= in.arrays().count(); ++n) {
        const t_arr_specification &a = in.arrays().at(n);
        if (a.function_level != 0)
            continue;
        if (isLastCreatedArray(in, n))
            selected = static_cast<int>(rows.size());
        rows << QStringList{a.name + QStringLiteral("[]"), ArrayShortText(a)};
        globalRows_ << RowSource{-1, n, a.name + QStringLiteral("[]"), 0};
    }
    writeRows(SG_GlobalVariables, rows, selected, rowHeight_);
}

void VariablesView::fillLocalGrid(const Interpreter &in)
{
    localRows_.clear();
    QList<QStringList> rows;
    int selected = 0;
    const int current = in.currentFunctionLevel();
    if (current != 0) {
        const bool allLevels = CheckBox_All_Llevels->isChecked();
        auto shown = [&](int level) { return level == current || (allLevels && level >= 1); };
        for (int idx : order_) {
            if (idx < 0 || idx >= in.variables().size())
                continue;
            const Tvariable &v = in.variables().at(idx);
            if (!shown(v.function_level))
                continue;
            if (idx + 1 == in.lastAssignedVariable())
                selected = static_cast<int>(rows.size());
            rows << QStringList{QString::number(v.function_level), v.VarName,
                                VariableValueText(v, true, in.language())};
            localRows_ << RowSource{idx, 0, v.VarName, v.function_level};
        }
        for (int n = 1; n <= in.arrays().count(); ++n) {
            const t_arr_specification &a = in.arrays().at(n);
            if (!shown(a.function_level))
                continue;
            if (isLastCreatedArray(in, n))
                selected = static_cast<int>(rows.size());
            rows << QStringList{QString::number(a.function_level), a.name + QStringLiteral("[]"),
                                ArrayShortText(a)};
            localRows_ << RowSource{-1, n, a.name + QStringLiteral("[]"), a.function_level};
        }
    }
    writeRows(SG_LocalVariables, rows, selected, rowHeight_);
}

// ---- Detail view ---------------------------------------------------------------

bool VariablesView::ShowVariableDetails(const QString &name, const Interpreter &in)
{
    return tesmora::ShowVariableDetails(name, in, *helpWindow(),
                                        [this](const QString &t) { reportMessage(t); });
}

void VariablesView::onGridDoubleClick(QTableWidget *grid, int row)
{
    const QList<RowSource> &rows = grid == SG_GlobalVariables ? globalRows_ : localRows_;
    if (!in_ || row < 0 || row >= rows.size())
        return; // the empty row: nothing to show
    const RowSource &src = rows.at(row);
    const Interpreter &in = *in_;
    HelpWindow *help = helpWindow();
    help->hideUnprintableItem();

    // The row knows exactly which variable or array it shows (also a local
    // of another level); the name lookup is the fallback when the tables
    // have changed since the refresh.
    QString text;
    if (src.variable >= 0 && src.variable < in.variables().size()) {
        const Tvariable &v = in.variables().at(src.variable);
        if (v.function_level == src.level && v.VarName == src.name)
            text = VariableDetailsText(v, in.language());
    } else if (src.array > 0 && src.array <= in.arrays().count()) {
        const t_arr_specification &a = in.arrays().at(src.array);
        if (a.function_level == src.level && a.name + QStringLiteral("[]") == src.name)
            text = ArrayDetailsText(a, in.language());
    }
    if (text.isEmpty())
        text = VariableDetailsText(in, src.name);
    if (!EnsureTempFolder(in, [this](const QString &t) { reportMessage(t); }))
        return;
    help->setLanguage(in.language());
    help->setHelpText(text);
    help->ShowHelp();
    emit variableDetailsShown(src.name);
}

} // namespace tesmora
