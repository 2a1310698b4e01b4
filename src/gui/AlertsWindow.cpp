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

QString s(const char16_t* text)
{
    return QString::fromUtf16(text);
}

QCheckBox* check(const QString& text, const QString& name, const QString& accessible, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible.isEmpty() ? text.trimmed() : accessible);
    return box;
}

QLineEdit* entry(const QString& name, const QString& accessible, int width, QWidget* parent)
{
    QLineEdit* box = entryBox(name, accessible, parent);
    box->setFixedWidth(width);
    return box;
}

QPushButton* button(const QString& text, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    return button;
}

QLabel* note(const QString& text, const QString& name, QWidget* parent)
{
    QLabel* note = caption(text, name, parent);
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

    m_ssTab1 = new QTabWidget(this);
    m_ssTab1->setObjectName(u"SSTab1"_qs);
    m_ssTab1->setAccessibleName(u"Alert settings panes"_qs);
    m_ssTab1->addTab(buildSymbolPane(), u"Stock #"_qs);
    m_ssTab1->addTab(buildMovingAveragePane(), u"Moving Average"_qs);
    m_ssTab1->addTab(buildMomentumPane(), u"Momentum"_qs);
    m_ssTab1->addTab(buildPriceVolumePane(), u"Price / Volume"_qs);
    m_ssTab1->addTab(buildStochasticPane(), u"Stochastics"_qs);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(m_ssTab1);
    setFixedSize(860, 480);

    connect(m_cmdSaveSettings, &QPushButton::clicked, this, &AlertsWindow::onSaveSettingsClicked);
    connect(m_cmdDefaltSettings, &QPushButton::clicked, this, &AlertsWindow::onDefaultSettingsClicked);
    connect(m_cmdPreview, &QPushButton::clicked, this, &AlertsWindow::onPreviewClicked);
    for (QCheckBox* box : {m_chkPriceAbove, m_chkPriceBelow, m_chkRocUp, m_chkRocDown})
        connect(box, &QCheckBox::toggled, this, &AlertsWindow::applyDependentBoxes);
    for (int p = 0; p < PanelCount; ++p) {
        const auto panel = static_cast<Panel>(p);
        connect(m_helpLabels[p], &ClickLabel::clicked, this, [this, panel] { showPanel(panel, true); });
        auto* closer = m_panels[p]->findChild<ClickLabel*>(s(kPanels[p].closer));
        connect(closer, &ClickLabel::clicked, this, [this, panel] { showPanel(panel, false); });
    }
    m_txtSymbol->installEventFilter(this);

    loadValues();
}

QWidget* AlertsWindow::buildSymbolPane()
{
    auto* pane = new QWidget;
    pane->setObjectName(u"paneStock"_qs);
    auto* grid = new QGridLayout(pane);
    grid->setContentsMargins(16, 16, 16, 12);
    grid->setVerticalSpacing(12);

    m_txtSymbol = entry(u"txtSymbol"_qs, u"Stock Symbol"_qs, 110, pane);
    grid->addWidget(caption(u"Stock Symbol"_qs, u"lblSymbolCaption"_qs, pane), 0, 0);
    grid->addWidget(m_txtSymbol, 0, 1, Qt::AlignLeft);
    const HelpMarker about = helpMarker(AboutAlerts, u"shpAboutAlerts"_qs, pane);
    m_shpAboutAlerts = about.shape;
    grid->addWidget(about.shape, 0, 2, Qt::AlignLeft);

    m_chkRepeatAlerts = check(u"Enable repeat alerts for this stock"_qs, u"chkRepeatAlerts"_qs, {}, pane);
    grid->addWidget(m_chkRepeatAlerts, 1, 0, 1, 3);

    m_cmdSaveSettings = button(u"Close Settings"_qs, u"cmdSaveSettings"_qs, pane);
    m_cmdDefaltSettings = button(u"Restore Defaults"_qs, u"cmdDefaltSettings"_qs, pane);
    m_cmdPreview = button(u"Preview"_qs, u"cmdPreview"_qs, pane);
    m_cmdPreview->setAccessibleName(u"Preview these settings over the past year"_qs);
    m_cmdPreview->setToolTip(
        u"What these settings, saved or not, would have reported on each day of the past year"_qs);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdSaveSettings);
    buttons->addWidget(m_cmdPreview);
    buttons->addSpacing(12);
    buttons->addWidget(m_cmdDefaltSettings);
    buttons->addStretch();
    grid->addLayout(buttons, 2, 0, 1, 3);

    QLabel* returnNote = note(
        u"NOTE:  After editing your settings, return to this pane in order to exit the settings window."_qs,
        u"lblExitNote"_qs, pane);
    returnNote->setFixedWidth(300);
    grid->addWidget(returnNote, 3, 0, 1, 3);
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
        auto* frame = new QGroupBox(s(frames[f][0]), pane);
        frame->setObjectName(s(frames[f][1]));
        const QString term = s(frames[f][2]);
        auto* form = new QGridLayout(frame);
        for (int k = 0; k < 2; ++k) {
            auto* combo = new QComboBox(frame);
            combo->setObjectName(s(frames[f][3 + k]));
            combo->setAccessibleName(term + (k == 0 ? u" fast period"_qs : u" slow period"_qs));
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setFixedWidth(70);
            m_periodBoxes[2 * f + k] = combo;
            form->addWidget(
                caption(k == 0 ? u"Fast"_qs : u"Slow"_qs, s(frames[f][3 + k]) + u"Caption"_qs, frame), k, 0);
            form->addWidget(combo, k, 1, Qt::AlignLeft);
        }
        for (int k = 0; k < 2; ++k) {
            const QString text
                = k == 0 ? u"Fast MA crosses above Slow MA"_qs : u"Fast MA crosses below Slow MA"_qs;
            m_chkMAcond[2 * f + k] = check(
                text, u"chkMAcond"_qs + QString::number(2 * f + k + 1), term + u": "_qs + text, frame);
            form->addWidget(m_chkMAcond[2 * f + k], 2 + k, 0, 1, 2);
        }
        grid->addWidget(frame, 0, f, Qt::AlignTop);
    }
    const HelpMarker help = helpMarker(MAHelp, u"shpMAHelp"_qs, pane);
    grid->addWidget(help.shape, 0, 3, Qt::AlignTop);
    grid->addWidget(note(kReturnNote, u"lblReturnNoteMA"_qs, pane), 1, 0, 1, 4, Qt::AlignBottom);
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

    m_chkHh = check(u"Highest high in "_qs, u"chkHH"_qs, u"Highest high alert"_qs, pane);
    m_txtHhDays = entry(u"txtHHDays"_qs, u"Highest high days"_qs, 50, pane);
    m_chkLl = check(u"Lowest Low in "_qs, u"chkLL"_qs, u"Lowest low alert"_qs, pane);
    m_txtLlDays = entry(u"txtLLDays"_qs, u"Lowest low days"_qs, 50, pane);
    grid->addWidget(m_chkHh, 0, 0);
    grid->addWidget(m_txtHhDays, 0, 1);
    grid->addWidget(caption(u"days  (Long Breakout)"_qs, u"lblHHDaysCaption"_qs, pane), 0, 2);
    grid->addWidget(m_chkLl, 1, 0);
    grid->addWidget(m_txtLlDays, 1, 1);
    grid->addWidget(caption(u"days  (Short Breakout)"_qs, u"lblLLDaysCaption"_qs, pane), 1, 2);
    grid->addWidget(caption(u"Range : 2 to 200"_qs, u"lblDaysRange"_qs, pane), 0, 3, 2, 1);
    const HelpMarker hhll = helpMarker(HHLLHelp, u"shpHHLLHelp"_qs, pane);
    grid->addWidget(hhll.shape, 0, 4, 2, 1);
    grid->setRowMinimumHeight(2, 24);

    m_chkRocUp = check(u"21 Day Price Rate of Change greater than"_qs, u"chkROC_up"_qs, {}, pane);
    m_txtRocPlus = entry(u"txtROC_Plus"_qs, u"Rate of change greater than, percent"_qs, 50, pane);
    m_chkRocDown = check(u"21 Day Price Rate of Change less than"_qs, u"chkROC_down"_qs, {}, pane);
    m_txtRocMinus = entry(u"txtROC_Minus"_qs, u"Rate of change less than, percent"_qs, 50, pane);
    grid->addWidget(m_chkRocUp, 3, 0);
    grid->addWidget(m_txtRocPlus, 3, 1);
    grid->addWidget(caption(u" %"_qs, u"lblROCPlusPercent"_qs, pane), 3, 2);
    grid->addWidget(m_chkRocDown, 4, 0);
    grid->addWidget(m_txtRocMinus, 4, 1);
    grid->addWidget(caption(u"%"_qs, u"lblROCMinusPercent"_qs, pane), 4, 2);
    const HelpMarker roc = helpMarker(ROCHelp, u"shpROCHelp"_qs, pane);
    grid->addWidget(roc.shape, 3, 4, 2, 1);

    grid->addWidget(note(kReturnNote, u"lblReturnNoteMomentum"_qs, pane), 5, 0, 1, 5, Qt::AlignBottom);
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
    m_chkPriceAbove = check(u"Price rises GREATER than"_qs, u"chkPriceAbove"_qs, {}, pane);
    m_txtMaxPrice = entry(u"txtMaxPrice"_qs, u"High price alert level"_qs, 80, pane);
    m_chkPriceBelow = check(u"Price drops LOWER than"_qs, u"chkPriceBelow"_qs, {}, pane);
    m_txtMinPrice = entry(u"txtMinPrice"_qs, u"Low price alert level"_qs, 80, pane);
    m_chkVolumeUp = check(u"Volume 20% above average (20 day average)"_qs, u"chkVolumeUp"_qs, {}, pane);
    grid->addWidget(m_chkPriceAbove, 0, 0);
    grid->addWidget(m_txtMaxPrice, 0, 1);
    grid->addWidget(caption(u"(High price alert)"_qs, u"lblMaxPriceCaption"_qs, pane), 0, 2);
    grid->addWidget(m_chkPriceBelow, 1, 0);
    grid->addWidget(m_txtMinPrice, 1, 1);
    grid->addWidget(caption(u"(Low price alert)"_qs, u"lblMinPriceCaption"_qs, pane), 1, 2);
    grid->setRowMinimumHeight(2, 24);
    grid->addWidget(m_chkVolumeUp, 3, 0, 1, 3);
    grid->addWidget(note(kReturnNote, u"lblReturnNotePriceVolume"_qs, pane), 4, 0, 1, 4, Qt::AlignBottom);
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
    m_chkStoch80 = check(u"Stochastic value above 80 ( Overbought ) and moving in a downward direction."_qs,
        u"chkStoch80"_qs, {}, pane);
    m_chkStoch20 = check(u"Stochastic value below 20 ( Oversold ) and moving in an upward direction."_qs,
        u"chkStoch20"_qs, {}, pane);
    grid->addWidget(m_chkStoch80, 0, 0);
    grid->addWidget(m_chkStoch20, 1, 0);
    const HelpMarker help = helpMarker(StochHelp, u"shpStochHelp"_qs, pane);
    grid->addWidget(help.shape, 0, 1, 2, 1);
    grid->addWidget(note(kReturnNote, u"lblReturnNoteStochastics"_qs, pane), 2, 0, 1, 3, Qt::AlignBottom);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(2, 1);
    buildPanel(StochHelp, pane);
    return pane;
}

HelpMarker AlertsWindow::helpMarker(Panel panel, const QString& shapeName, QWidget* pane)
{
    const HelpMarker marker = makeHelpMarker(s(kPanels[panel].opener), shapeName,
        s(kPanels[panel].openerName), u"?"_qs, MarkerShape::Form::Circle, {24, 24}, pane);
    m_helpLabels[panel] = marker.label;
    return marker;
}

QGroupBox* AlertsWindow::buildPanel(Panel panel, QWidget* pane)
{
    const PanelInfo& info = kPanels[panel];
    auto* frame = new QGroupBox(s(info.caption), pane);
    frame->setObjectName(s(info.frame));
    frame->setAccessibleName(s(info.caption));
    frame->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(frame);
    if (!info.pictureSize.isEmpty()) {
        auto* picture = new QLabel(frame);
        picture->setObjectName(s(info.picture));
        picture->setAccessibleName(s(info.caption) + u" example chart"_qs);
        picture->setFixedSize(info.pictureSize);
        picture->setPixmap(QPixmap(resourceFile(s(info.bitmap))));
        layout->addWidget(picture, 0, Qt::AlignHCenter);
    }
    auto* text = new QPlainTextEdit(frame);
    text->setObjectName(s(info.textBox));
    text->setAccessibleName(s(info.caption) + u" help text"_qs);
    text->setReadOnly(true);
    layout->addWidget(text, 1);
    layout->addWidget(
        makeCloseLabel(s(info.closer), u"Close "_qs + s(info.caption), frame), 0, Qt::AlignRight);
    frame->hide();
    m_panels[panel] = frame;
    m_helpTexts[panel] = text;
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
        if (m_panels[p]->parentWidget() != pane)
            continue;
        if (p == HHLLHelp)
            m_panels[p]->setGeometry(margin, margin, half, height);
        else if (p == ROCHelp)
            m_panels[p]->setGeometry(margin + half, margin, pane->width() - 2 * margin - half, height);
        else
            m_panels[p]->setGeometry(pane->width() - margin - 440, margin, 440, height);
    }
}

bool AlertsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_txtSymbol && event->type() == QEvent::FocusOut)
        onSymbolFocusLost();
    else if (event->type() == QEvent::Resize && watched->isWidgetType())
        placePanels(static_cast<QWidget*>(watched));
    return QDialog::eventFilter(watched, event);
}

void AlertsWindow::setComboBoxes()
{
    static const QStringList kLists[6] = {
        {u"3"_qs, u"5"_qs, u"7"_qs, u"10"_qs, u"15"_qs, u"20"_qs},
        {u"5"_qs, u"7"_qs, u"10"_qs, u"15"_qs, u"20"_qs, u"25"_qs},
        {u"10"_qs, u"15"_qs, u"20"_qs, u"25"_qs, u"30"_qs, u"35"_qs},
        {u"20"_qs, u"25"_qs, u"30"_qs, u"35"_qs, u"40"_qs, u"50"_qs},
        {u"40"_qs, u"50"_qs, u"75"_qs, u"90"_qs, u"100"_qs},
        {u"90"_qs, u"100"_qs, u"150"_qs, u"200"_qs},
    };
    static constexpr int kSelected[6] = {1, 2, 0, 2, 1, 3};
    for (int i = 0; i < 6; ++i) {
        m_periodBoxes[i]->clear();
        m_periodBoxes[i]->addItems(kLists[i]);
        m_periodBoxes[i]->setCurrentIndex(kSelected[i]);
    }
}

void AlertsWindow::loadValues()
{
    m_ssTab1->setTabText(0, u"Stock #"_qs + QString::number(m_stock.number()));
    setComboBoxes();
    setEntries(entriesFromSettings(m_settings.alert(m_stock)));
    applyDependentBoxes();
    m_helpTexts[AboutAlerts]->setPlainText(AlertHelp::about());
    m_helpTexts[MAHelp]->setPlainText(AlertHelp::movingAverages());
    m_helpTexts[HHLLHelp]->setPlainText(AlertHelp::breakouts());
    m_helpTexts[ROCHelp]->setPlainText(AlertHelp::rateOfChange());
    m_helpTexts[StochHelp]->setPlainText(AlertHelp::stochastic());
}

void AlertsWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        onActivated();
}

void AlertsWindow::onActivated()
{
    m_ssTab1->setCurrentIndex(0);
    for (QGroupBox* panel : m_panels)
        panel->hide();
    m_shpAboutAlerts->clearFill();
}

void AlertsWindow::showPanel(Panel panel, bool visible)
{
    m_panels[panel]->setVisible(visible);
    if (visible)
        m_panels[panel]->raise();
    if (panel == AboutAlerts) {
        if (visible)
            m_shpAboutAlerts->setFillColor(kMarkerOrange);
        else
            m_shpAboutAlerts->clearFill();
    }
}

void AlertsWindow::applyDependentBoxes()
{
    setEntryEditable(m_txtMaxPrice, m_chkPriceAbove->isChecked());
    setEntryEditable(m_txtMinPrice, m_chkPriceBelow->isChecked());
    setEntryEditable(m_txtRocPlus, m_chkRocUp->isChecked());
    setEntryEditable(m_txtRocMinus, m_chkRocDown->isChecked());
}

void AlertsWindow::onSymbolFocusLost()
{
    const QString symbol = m_txtSymbol->text().trimmed().toUpper();
    if (symbol != m_txtSymbol->text())
        m_txtSymbol->setText(symbol);
}

AlertEntries AlertsWindow::entries() const
{
    AlertEntries e;
    e.symbol = m_txtSymbol->text();
    e.repeatAlerts = m_chkRepeatAlerts->isChecked();
    for (int i = 0; i < 6; ++i) {
        e.maCond[i] = m_chkMAcond[i]->isChecked();
        e.periods[i] = m_periodBoxes[i]->currentText();
    }
    e.highestHigh = m_chkHh->isChecked();
    e.lowestLow = m_chkLl->isChecked();
    e.hhDays = m_txtHhDays->text();
    e.llDays = m_txtLlDays->text();
    e.rocUp = m_chkRocUp->isChecked();
    e.rocDown = m_chkRocDown->isChecked();
    e.rocPlus = m_txtRocPlus->text();
    e.rocMinus = m_txtRocMinus->text();
    e.stoch80 = m_chkStoch80->isChecked();
    e.stoch20 = m_chkStoch20->isChecked();
    e.priceAbove = m_chkPriceAbove->isChecked();
    e.priceBelow = m_chkPriceBelow->isChecked();
    e.maxPrice = m_txtMaxPrice->text();
    e.minPrice = m_txtMinPrice->text();
    e.volumeUp = m_chkVolumeUp->isChecked();
    return e;
}

void AlertsWindow::setEntries(const AlertEntries& e)
{
    m_txtSymbol->setText(e.symbol);
    m_chkRepeatAlerts->setChecked(e.repeatAlerts);
    for (int i = 0; i < 6; ++i) {
        m_chkMAcond[i]->setChecked(e.maCond[i]);
        // A period that is in the list selects its entry; any other is shown as typed.
        const int index = m_periodBoxes[i]->findText(e.periods[i]);
        if (index >= 0)
            m_periodBoxes[i]->setCurrentIndex(index);
        else
            m_periodBoxes[i]->setEditText(e.periods[i]);
    }
    m_chkHh->setChecked(e.highestHigh);
    m_chkLl->setChecked(e.lowestLow);
    m_txtHhDays->setText(e.hhDays);
    m_txtLlDays->setText(e.llDays);
    m_chkRocUp->setChecked(e.rocUp);
    m_chkRocDown->setChecked(e.rocDown);
    m_txtRocPlus->setText(e.rocPlus);
    m_txtRocMinus->setText(e.rocMinus);
    m_chkStoch80->setChecked(e.stoch80);
    m_chkStoch20->setChecked(e.stoch20);
    m_chkPriceAbove->setChecked(e.priceAbove);
    m_chkPriceBelow->setChecked(e.priceBelow);
    m_txtMaxPrice->setText(e.maxPrice);
    m_txtMinPrice->setText(e.minPrice);
    m_chkVolumeUp->setChecked(e.volumeUp);
}

void AlertsWindow::onDefaultSettingsClicked()
{
    AlertSettings defaults;
    applyDefaultAlertSettings(defaults);
    AlertEntries e = entriesFromSettings(defaults);
    const AlertEntries current = entries();
    e.symbol = current.symbol;
    e.maxPrice = current.maxPrice;
    e.minPrice = current.minPrice;
    setEntries(e);
    applyDependentBoxes();
    msgBox(joinLines({u"Default settings restored for stock #"_qs + QString::number(m_stock.number()),
               u"Save on exit to take effect."_qs}),
        MsgButtons::OkOnly, u"Confirmation"_qs);
}

void AlertsWindow::onSaveSettingsClicked()
{
    const SaveAnswer answer = askToSave(u"Save Alert Settings ?"_qs, u"Closing Alert Settings"_qs);
    if (answer == SaveAnswer::Discard)
        reject();
    if (answer != SaveAnswer::Save)
        return;
    // A save by keyboard or assistive tool may come while the symbol box still has the focus.
    onSymbolFocusLost();
    const AlertEntries e = entries();
    if (const auto problem = checkAlertEntries(e)) {
        msgBox(problem->text, MsgButtons::OkOnly, problem->title);
        return;
    }
    emit symbolSaved(m_stock.number(), e.symbol);
    AlertSettings& record = m_settings.alert(m_stock);
    storeAlertEntries(e, record);
    const FileError error = writeAlertSettings(m_stock, record);
    if (!error.ok()) {
        msgBox(fileErrorMessage(error,
                   {u"Unable to open/write to the 'Alert Settings' file"_qs,
                       u"Exit the program and restart."_qs, supportContactLine()}),
            MsgButtons::OkOnly, u"File Read/Write Error"_qs);
        return;
    }
    accept();
}

void AlertsWindow::onPreviewClicked()
{
    // The settings as they stand in the window; nothing is stored.
    onSymbolFocusLost();
    const AlertEntries e = entries();
    if (const auto problem = checkAlertEntries(e)) {
        msgBox(problem->text, MsgButtons::OkOnly, problem->title);
        return;
    }
    AlertSettings settings = m_settings.alert(m_stock);
    storeAlertEntries(e, settings);
    if (!m_previewWindow)
        m_previewWindow = new AlertPreviewWindow(m_previewSources, m_stock, this);
    m_previewWindow->show();
    m_previewWindow->raise();
    m_previewWindow->preview(settings);
}

} // namespace tradevane
