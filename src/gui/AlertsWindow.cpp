#include "gui/AlertsWindow.h"

#include "engine/forms/SettingsRules.h"
#include "gui/FormControls.h"

#include "engine/settings/AlertSettingsFile.h"
#include "engine/settings/SettingsStore.h"
#include "gui/AlertHelpTexts.h"
#include "gui/HelpMarker.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tradevane {

namespace {

const QString kReturnNote = u"Return to the Stock Symbol pane to exit settings"_qs;

struct PanelInfo
{
    const char16_t* frame;
    const char16_t* caption;
    const char16_t* opener;
    const char16_t* openerName; // what a person would call the "?" label
    const char16_t* closer;
    const char16_t* textBox;
    const char16_t* picture; // empty: no picture
    const char16_t* bitmap;
    QSize pictureSize;
};

const PanelInfo kPanels[AlertsWindow::PanelCount] = {
    {u"frameAboutAlerts", u"Alert Settings Information", u"lblAboutAlerts", u"Alert settings information",
        u"lblCloseAboutAlerts", u"txtAboutAlerts", u"", u"", {}},
    {u"frameMAHelp", u"Moving Average Crossovers", u"lblMAHelp", u"Moving average help", u"lblCloseMAHelp",
        u"txtMAHelpText", u"picMAHelp", u"chartMA.bmp", {230, 121}},
    {u"frameHHLLHelp", u"Highest High / Lowest Low Breakouts", u"lblHHLLHelp", u"Breakout help",
        u"lblCloseHHLLHelp", u"txtHHLLHelpText", u"picHHLLHelp", u"chartHHLL.bmp", {230, 121}},
    {u"frameROCHelp", u"Price Rate of Change", u"lblROCHelp", u"Rate of change help", u"lblCloseROCHelp",
        u"txtROCHelpText", u"picROCHelp", u"chartROC.bmp", {165, 157}},
    {u"frameStochHelp", u"Stochastic Occillator", u"lblStochHelp", u"Stochastic help", u"lblStochHelpClose",
        u"txtStochHelpText", u"picStochHelp", u"chartStoch.bmp", {192, 167}},
};

QString S(const char16_t* text)
{
    return QString::fromUtf16(text);
}

QCheckBox* Check(const QString& text, const QString& name, const QString& accessible, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible.isEmpty() ? text.trimmed() : accessible);
    return box;
}

QLineEdit* Entry(const QString& name, const QString& accessible, int width, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    box->setFixedWidth(width);
    return box;
}

QPushButton* Button(const QString& text, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    return button;
}

QLabel* Note(const QString& text, const QString& name, QWidget* parent)
{
    QLabel* note = Caption(text, name, parent);
    note->setWordWrap(true);
    return note;
}

} // namespace

AlertsWindow::AlertsWindow(SettingsStore& settings, StockIndex stock, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_stock(stock)
{
    setObjectName(u"frmAlerts"_qs);
    setWindowTitle(u"Tradevane - Alert Settings"_qs);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(u"SSTab1"_qs);
    SSTab1->setAccessibleName(u"Alert settings panes"_qs);
    SSTab1->addTab(buildSymbolPane(), u"Stock #"_qs);
    SSTab1->addTab(buildMovingAveragePane(), u"Moving Average"_qs);
    SSTab1->addTab(buildMomentumPane(), u"Momentum"_qs);
    SSTab1->addTab(buildPriceVolumePane(), u"Price / Volume"_qs);
    SSTab1->addTab(buildStochasticPane(), u"Stochastics"_qs);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(SSTab1);
    setFixedSize(860, 480);

    connect(cmdSaveSettings, &QPushButton::clicked, this, &AlertsWindow::onSaveSettingsClicked);
    connect(cmdDefaltSettings, &QPushButton::clicked, this, &AlertsWindow::onDefaultSettingsClicked);
    for (QCheckBox* box : {chkPriceAbove, chkPriceBelow, chkROC_up, chkROC_down})
        connect(box, &QCheckBox::toggled, this, &AlertsWindow::ApplyDependentBoxes);
    for (int p = 0; p < PanelCount; ++p) {
        const auto panel = static_cast<Panel>(p);
        connect(helpLabels[p], &ClickLabel::clicked, this, [this, panel] { ShowPanel(panel, true); });
        auto* closer = panels[p]->findChild<ClickLabel*>(S(kPanels[p].closer));
        connect(closer, &ClickLabel::clicked, this, [this, panel] { ShowPanel(panel, false); });
    }
    txtSymbol->installEventFilter(this);

    loadValues();
}

QWidget* AlertsWindow::buildSymbolPane()
{
    auto* pane = new QWidget;
    pane->setObjectName(u"paneStock"_qs);
    auto* grid = new QGridLayout(pane);
    grid->setContentsMargins(16, 16, 16, 12);
    grid->setVerticalSpacing(12);

    txtSymbol = Entry(u"txtSymbol"_qs, u"Stock Symbol"_qs, 110, pane);
    grid->addWidget(Caption(u"Stock Symbol"_qs, u"lblSymbolCaption"_qs, pane), 0, 0);
    grid->addWidget(txtSymbol, 0, 1, Qt::AlignLeft);
    const HelpMarker about = helpMarker(AboutAlerts, u"shpAboutAlerts"_qs, pane);
    shpAboutAlerts = about.shape;
    grid->addWidget(about.shape, 0, 2, Qt::AlignLeft);

    chkRepeatAlerts = Check(u"Enable repeat alerts for this stock"_qs, u"chkRepeatAlerts"_qs, {}, pane);
    grid->addWidget(chkRepeatAlerts, 1, 0, 1, 3);

    cmdSaveSettings = Button(u"Close Settings"_qs, u"cmdSaveSettings"_qs, pane);
    cmdDefaltSettings = Button(u"Restore Defaults"_qs, u"cmdDefaltSettings"_qs, pane);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSaveSettings);
    buttons->addSpacing(12);
    buttons->addWidget(cmdDefaltSettings);
    buttons->addStretch();
    grid->addLayout(buttons, 2, 0, 1, 3);

    QLabel* note = Note(
        u"NOTE:  After editing your settings, return to this pane in order to exit the settings window."_qs,
        u"lblExitNote"_qs, pane);
    note->setFixedWidth(300);
    grid->addWidget(note, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(3, 1);
    buildPanel(AboutAlerts, pane);
    return pane;
}

QWidget* AlertsWindow::buildMovingAveragePane()
{
    static const char16_t* frames[3][5] = {
        {u"Short Term ", u"frameShortMA", u"Short term", u"comboShortMA_Fast", u"comboShortMA_Slow"},
        {u"Medium Term", u"frameMedMA", u"Medium term", u"comboMedMA_Fast", u"comboMedMA_Slow"},
        {u"Long Term", u"frameLongMA", u"Long term", u"comboLongMA_Fast", u"comboLongMA_Slow"},
    };
    auto* pane = new QWidget;
    pane->setObjectName(u"paneMovingAverage"_qs);
    auto* grid = new QGridLayout(pane);
    grid->setContentsMargins(12, 12, 12, 12);
    for (int f = 0; f < 3; ++f) {
        auto* frame = new QGroupBox(S(frames[f][0]), pane);
        frame->setObjectName(S(frames[f][1]));
        const QString term = S(frames[f][2]);
        auto* form = new QGridLayout(frame);
        for (int k = 0; k < 2; ++k) {
            auto* combo = new QComboBox(frame);
            combo->setObjectName(S(frames[f][3 + k]));
            combo->setAccessibleName(term + (k == 0 ? u" fast period"_qs : u" slow period"_qs));
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setFixedWidth(70);
            periodBoxes[2 * f + k] = combo;
            form->addWidget(
                Caption(k == 0 ? u"Fast"_qs : u"Slow"_qs, S(frames[f][3 + k]) + u"Caption"_qs, frame), k, 0);
            form->addWidget(combo, k, 1, Qt::AlignLeft);
        }
        for (int k = 0; k < 2; ++k) {
            const QString text
                = k == 0 ? u"Fast MA crosses above Slow MA"_qs : u"Fast MA crosses below Slow MA"_qs;
            chkMAcond[2 * f + k] = Check(
                text, u"chkMAcond"_qs + QString::number(2 * f + k + 1), term + u": "_qs + text, frame);
            form->addWidget(chkMAcond[2 * f + k], 2 + k, 0, 1, 2);
        }
        grid->addWidget(frame, 0, f, Qt::AlignTop);
    }
    const HelpMarker help = helpMarker(MAHelp, u"shpMAHelp"_qs, pane);
    grid->addWidget(help.shape, 0, 3, Qt::AlignTop);
    grid->addWidget(Note(kReturnNote, u"lblReturnNoteMA"_qs, pane), 1, 0, 1, 4, Qt::AlignBottom);
    grid->setRowStretch(1, 1);
    buildPanel(MAHelp, pane);
    return pane;
}

QWidget* AlertsWindow::buildMomentumPane()
{
    auto* pane = new QWidget;
    pane->setObjectName(u"paneMomentum"_qs);
    auto* grid = new QGridLayout(pane);
    grid->setContentsMargins(16, 16, 16, 12);
    grid->setVerticalSpacing(10);

    chkHH = Check(u"Highest high in "_qs, u"chkHH"_qs, u"Highest high alert"_qs, pane);
    txtHHDays = Entry(u"txtHHDays"_qs, u"Highest high days"_qs, 50, pane);
    chkLL = Check(u"Lowest Low in "_qs, u"chkLL"_qs, u"Lowest low alert"_qs, pane);
    txtLLDays = Entry(u"txtLLDays"_qs, u"Lowest low days"_qs, 50, pane);
    grid->addWidget(chkHH, 0, 0);
    grid->addWidget(txtHHDays, 0, 1);
    grid->addWidget(Caption(u"days  (Long Breakout)"_qs, u"lblHHDaysCaption"_qs, pane), 0, 2);
    grid->addWidget(chkLL, 1, 0);
    grid->addWidget(txtLLDays, 1, 1);
    grid->addWidget(Caption(u"days  (Short Breakout)"_qs, u"lblLLDaysCaption"_qs, pane), 1, 2);
    grid->addWidget(Caption(u"Range : 2 to 200"_qs, u"lblDaysRange"_qs, pane), 0, 3, 2, 1);
    const HelpMarker hhll = helpMarker(HHLLHelp, u"shpHHLLHelp"_qs, pane);
    grid->addWidget(hhll.shape, 0, 4, 2, 1);
    grid->setRowMinimumHeight(2, 24);

    chkROC_up = Check(u"21 Day Price Rate of Change greater than"_qs, u"chkROC_up"_qs, {}, pane);
    txtROC_Plus = Entry(u"txtROC_Plus"_qs, u"Rate of change greater than, percent"_qs, 50, pane);
    chkROC_down = Check(u"21 Day Price Rate of Change less than"_qs, u"chkROC_down"_qs, {}, pane);
    txtROC_Minus = Entry(u"txtROC_Minus"_qs, u"Rate of change less than, percent"_qs, 50, pane);
    grid->addWidget(chkROC_up, 3, 0);
    grid->addWidget(txtROC_Plus, 3, 1);
    grid->addWidget(Caption(u" %"_qs, u"lblROCPlusPercent"_qs, pane), 3, 2);
    grid->addWidget(chkROC_down, 4, 0);
    grid->addWidget(txtROC_Minus, 4, 1);
    grid->addWidget(Caption(u"%"_qs, u"lblROCMinusPercent"_qs, pane), 4, 2);
    const HelpMarker roc = helpMarker(ROCHelp, u"shpROCHelp"_qs, pane);
    grid->addWidget(roc.shape, 3, 4, 2, 1);

    grid->addWidget(Note(kReturnNote, u"lblReturnNoteMomentum"_qs, pane), 5, 0, 1, 5, Qt::AlignBottom);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(5, 1);
    buildPanel(HHLLHelp, pane);
    buildPanel(ROCHelp, pane);
    return pane;
}

QWidget* AlertsWindow::buildPriceVolumePane()
{
    auto* pane = new QWidget;
    pane->setObjectName(u"panePriceVolume"_qs);
    auto* grid = new QGridLayout(pane);
    grid->setContentsMargins(16, 16, 16, 12);
    grid->setVerticalSpacing(10);
    chkPriceAbove = Check(u"Price rises GREATER than"_qs, u"chkPriceAbove"_qs, {}, pane);
    txtMaxPrice = Entry(u"txtMaxPrice"_qs, u"High price alert level"_qs, 80, pane);
    chkPriceBelow = Check(u"Price drops LOWER than"_qs, u"chkPriceBelow"_qs, {}, pane);
    txtMinPrice = Entry(u"txtMinPrice"_qs, u"Low price alert level"_qs, 80, pane);
    chkVolumeUp = Check(u"Volume 20% above average (20 day average)"_qs, u"chkVolumeUp"_qs, {}, pane);
    grid->addWidget(chkPriceAbove, 0, 0);
    grid->addWidget(txtMaxPrice, 0, 1);
    grid->addWidget(Caption(u"(High price alert)"_qs, u"lblMaxPriceCaption"_qs, pane), 0, 2);
    grid->addWidget(chkPriceBelow, 1, 0);
    grid->addWidget(txtMinPrice, 1, 1);
    grid->addWidget(Caption(u"(Low price alert)"_qs, u"lblMinPriceCaption"_qs, pane), 1, 2);
    grid->setRowMinimumHeight(2, 24);
    grid->addWidget(chkVolumeUp, 3, 0, 1, 3);
    grid->addWidget(Note(kReturnNote, u"lblReturnNotePriceVolume"_qs, pane), 4, 0, 1, 4, Qt::AlignBottom);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(3, 1);
    return pane;
}

QWidget* AlertsWindow::buildStochasticPane()
{
    auto* pane = new QWidget;
    pane->setObjectName(u"paneStochastics"_qs);
    auto* grid = new QGridLayout(pane);
    grid->setContentsMargins(16, 16, 16, 12);
    grid->setVerticalSpacing(10);
    chkStoch80 = Check(u"Stochastic value above 80 ( Overbought ) and moving in a downward direction."_qs,
        u"chkStoch80"_qs, {}, pane);
    chkStoch20 = Check(u"Stochastic value below 20 ( Oversold ) and moving in an upward direction."_qs,
        u"chkStoch20"_qs, {}, pane);
    grid->addWidget(chkStoch80, 0, 0);
    grid->addWidget(chkStoch20, 1, 0);
    const HelpMarker help = helpMarker(StochHelp, u"shpStochHelp"_qs, pane);
    grid->addWidget(help.shape, 0, 1, 2, 1);
    grid->addWidget(Note(kReturnNote, u"lblReturnNoteStochastics"_qs, pane), 2, 0, 1, 3, Qt::AlignBottom);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(2, 1);
    buildPanel(StochHelp, pane);
    return pane;
}

HelpMarker AlertsWindow::helpMarker(Panel panel, const QString& shapeName, QWidget* pane)
{
    const HelpMarker marker = MakeHelpMarker(S(kPanels[panel].opener), shapeName,
        S(kPanels[panel].openerName), u"?"_qs, MarkerShape::Form::Circle, {24, 24}, pane);
    helpLabels[panel] = marker.label;
    return marker;
}

QGroupBox* AlertsWindow::buildPanel(Panel panel, QWidget* pane)
{
    const PanelInfo& info = kPanels[panel];
    auto* frame = new QGroupBox(S(info.caption), pane);
    frame->setObjectName(S(info.frame));
    frame->setAccessibleName(S(info.caption));
    frame->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(frame);
    if (!info.pictureSize.isEmpty()) {
        auto* picture = new QLabel(frame);
        picture->setObjectName(S(info.picture));
        picture->setAccessibleName(S(info.caption) + u" example chart"_qs);
        picture->setFixedSize(info.pictureSize);
        picture->setPixmap(QPixmap(ResourceFile(S(info.bitmap))));
        layout->addWidget(picture, 0, Qt::AlignHCenter);
    }
    auto* text = new QPlainTextEdit(frame);
    text->setObjectName(S(info.textBox));
    text->setAccessibleName(S(info.caption) + u" help text"_qs);
    text->setReadOnly(true);
    layout->addWidget(text, 1);
    layout->addWidget(
        MakeCloseLabel(S(info.closer), u"Close "_qs + S(info.caption), frame), 0, Qt::AlignRight);
    frame->hide();
    panels[panel] = frame;
    helpTexts[panel] = text;
    pane->installEventFilter(this);
    return frame;
}

// The panels lie over the settings of their pane: the about panel and the indicator panels on the
// right, the breakout panel on the left half of its pane beside the rate-of-change panel.
void AlertsWindow::placePanels(QWidget* pane)
{
    const int margin = 6;
    const int height = pane->height() - 2 * margin;
    const int half = (pane->width() - 2 * margin) / 2;
    for (int p = 0; p < PanelCount; ++p) {
        if (panels[p]->parentWidget() != pane)
            continue;
        if (p == HHLLHelp)
            panels[p]->setGeometry(margin, margin, half, height);
        else if (p == ROCHelp)
            panels[p]->setGeometry(margin + half, margin, pane->width() - 2 * margin - half, height);
        else
            panels[p]->setGeometry(pane->width() - margin - 440, margin, 440, height);
    }
}

bool AlertsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtSymbol && event->type() == QEvent::FocusOut)
        onSymbolFocusLost();
    else if (event->type() == QEvent::Resize && watched->isWidgetType())
        placePanels(static_cast<QWidget*>(watched));
    return QDialog::eventFilter(watched, event);
}

void AlertsWindow::Set_Combo_Boxes()
{
    static const QStringList lists[6] = {
        {u"3"_qs, u"5"_qs, u"7"_qs, u"10"_qs, u"15"_qs, u"20"_qs},
        {u"5"_qs, u"7"_qs, u"10"_qs, u"15"_qs, u"20"_qs, u"25"_qs},
        {u"10"_qs, u"15"_qs, u"20"_qs, u"25"_qs, u"30"_qs, u"35"_qs},
        {u"20"_qs, u"25"_qs, u"30"_qs, u"35"_qs, u"40"_qs, u"50"_qs},
        {u"40"_qs, u"50"_qs, u"75"_qs, u"90"_qs, u"100"_qs},
        {u"90"_qs, u"100"_qs, u"150"_qs, u"200"_qs},
    };
    static constexpr int selected[6] = {1, 2, 0, 2, 1, 3};
    for (int i = 0; i < 6; ++i) {
        periodBoxes[i]->clear();
        periodBoxes[i]->addItems(lists[i]);
        periodBoxes[i]->setCurrentIndex(selected[i]);
    }
}

void AlertsWindow::loadValues()
{
    SSTab1->setTabText(0, u"Stock #"_qs + QString::number(m_stock.number()));
    Set_Combo_Boxes();
    setEntries(EntriesFromSettings(m_settings.alert(m_stock)));
    ApplyDependentBoxes();
    helpTexts[AboutAlerts]->setPlainText(AlertHelp::About());
    helpTexts[MAHelp]->setPlainText(AlertHelp::MovingAverages());
    helpTexts[HHLLHelp]->setPlainText(AlertHelp::Breakouts());
    helpTexts[ROCHelp]->setPlainText(AlertHelp::RateOfChange());
    helpTexts[StochHelp]->setPlainText(AlertHelp::Stochastic());
}

void AlertsWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        onActivated();
}

void AlertsWindow::onActivated()
{
    SSTab1->setCurrentIndex(0);
    for (QGroupBox* panel : panels)
        panel->hide();
    shpAboutAlerts->clearFill();
}

void AlertsWindow::ShowPanel(Panel panel, bool visible)
{
    panels[panel]->setVisible(visible);
    if (visible)
        panels[panel]->raise();
    if (panel == AboutAlerts) {
        if (visible)
            shpAboutAlerts->setFillColor(kMarkerOrange);
        else
            shpAboutAlerts->clearFill();
    }
}

void AlertsWindow::ApplyDependentBoxes()
{
    SetEntryEditable(txtMaxPrice, chkPriceAbove->isChecked());
    SetEntryEditable(txtMinPrice, chkPriceBelow->isChecked());
    SetEntryEditable(txtROC_Plus, chkROC_up->isChecked());
    SetEntryEditable(txtROC_Minus, chkROC_down->isChecked());
}

void AlertsWindow::onSymbolFocusLost()
{
    const QString symbol = txtSymbol->text().trimmed().toUpper();
    if (symbol != txtSymbol->text())
        txtSymbol->setText(symbol);
}

AlertEntries AlertsWindow::entries() const
{
    AlertEntries e;
    e.symbol = txtSymbol->text();
    e.repeatAlerts = chkRepeatAlerts->isChecked();
    for (int i = 0; i < 6; ++i) {
        e.maCond[i] = chkMAcond[i]->isChecked();
        e.periods[i] = periodBoxes[i]->currentText();
    }
    e.highestHigh = chkHH->isChecked();
    e.lowestLow = chkLL->isChecked();
    e.hhDays = txtHHDays->text();
    e.llDays = txtLLDays->text();
    e.rocUp = chkROC_up->isChecked();
    e.rocDown = chkROC_down->isChecked();
    e.rocPlus = txtROC_Plus->text();
    e.rocMinus = txtROC_Minus->text();
    e.stoch80 = chkStoch80->isChecked();
    e.stoch20 = chkStoch20->isChecked();
    e.priceAbove = chkPriceAbove->isChecked();
    e.priceBelow = chkPriceBelow->isChecked();
    e.maxPrice = txtMaxPrice->text();
    e.minPrice = txtMinPrice->text();
    e.volumeUp = chkVolumeUp->isChecked();
    return e;
}

void AlertsWindow::setEntries(const AlertEntries& e)
{
    txtSymbol->setText(e.symbol);
    chkRepeatAlerts->setChecked(e.repeatAlerts);
    for (int i = 0; i < 6; ++i) {
        chkMAcond[i]->setChecked(e.maCond[i]);
        // A period that is in the list selects its entry; any other is shown as typed.
        const int index = periodBoxes[i]->findText(e.periods[i]);
        if (index >= 0)
            periodBoxes[i]->setCurrentIndex(index);
        else
            periodBoxes[i]->setEditText(e.periods[i]);
    }
    chkHH->setChecked(e.highestHigh);
    chkLL->setChecked(e.lowestLow);
    txtHHDays->setText(e.hhDays);
    txtLLDays->setText(e.llDays);
    chkROC_up->setChecked(e.rocUp);
    chkROC_down->setChecked(e.rocDown);
    txtROC_Plus->setText(e.rocPlus);
    txtROC_Minus->setText(e.rocMinus);
    chkStoch80->setChecked(e.stoch80);
    chkStoch20->setChecked(e.stoch20);
    chkPriceAbove->setChecked(e.priceAbove);
    chkPriceBelow->setChecked(e.priceBelow);
    txtMaxPrice->setText(e.maxPrice);
    txtMinPrice->setText(e.minPrice);
    chkVolumeUp->setChecked(e.volumeUp);
}

void AlertsWindow::onDefaultSettingsClicked()
{
    AlertSettings defaults;
    ApplyDefaultAlertSettings(defaults);
    AlertEntries e = EntriesFromSettings(defaults);
    const AlertEntries current = entries();
    e.symbol = current.symbol;
    e.maxPrice = current.maxPrice;
    e.minPrice = current.minPrice;
    setEntries(e);
    ApplyDependentBoxes();
    MsgBox(JoinLines({u"Default settings restored for stock #"_qs + QString::number(m_stock.number()),
               u"Save on exit to take effect."_qs}),
        MsgButtons::OkOnly, u"Confirmation"_qs);
}

void AlertsWindow::onSaveSettingsClicked()
{
    const SaveAnswer answer = AskToSave(u"Save Alert Settings ?"_qs, u"Closing Alert Settings"_qs);
    if (answer == SaveAnswer::Discard)
        reject();
    if (answer != SaveAnswer::Save)
        return;
    // A save by keyboard or assistive tool may come while the symbol box still has the focus.
    onSymbolFocusLost();
    const AlertEntries e = entries();
    if (const auto problem = CheckAlertEntries(e)) {
        MsgBox(problem->text, MsgButtons::OkOnly, problem->title);
        return;
    }
    emit symbolSaved(m_stock.number(), e.symbol);
    AlertSettings& record = m_settings.alert(m_stock);
    StoreAlertEntries(e, record);
    const FileError error = WriteAlertSettings(m_stock, record);
    if (!error.ok()) {
        MsgBox(FileErrorMessage(error,
                   {u"Unable to open/write to the 'Alert Settings' file"_qs,
                       u"Exit the program and restart."_qs, SupportContactLine()}),
            MsgButtons::OkOnly, u"File Read/Write Error"_qs);
        return;
    }
    accept();
}

} // namespace tradevane
