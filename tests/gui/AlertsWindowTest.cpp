#include "CycleFixture.h"
#include "widgets/SettingsWindowFixture.h"

#include "engine/alerts/AlertPreview.h"
#include "engine/forms/AlertEntries.h"
#include "engine/forms/SettingsRules.h"
#include "engine/marketdata/HistoryRetrieval.h"
#include "engine/marketdata/PriceSource.h"
#include "engine/settings/AlertSettingsFile.h"
#include "gui/AlertHelpTexts.h"
#include "gui/AlertsWindow.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

using namespace tradevane;

namespace {

// The default settings with the symbol ABC, stock watched.
const char* kDefaultsAbc = "FF FF 00 41 42 43 20 20 20 20 01 00 01 00 01 00"
                           " 05 00 0A 00 0A 00 1E 00 32 00 C8 00 01 01 14 00 14 00"
                           " 00 00 0A 00 00 00 00 00 00 00"
                           " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 01 00";

QByteArray defaultsWith(const QByteArray& enabled, const QByteArray& symbol)
{
    QByteArray bytes = fromHex(kDefaultsAbc);
    bytes.replace(0, 2, enabled);
    bytes.replace(3, 7, symbol.leftJustified(7, ' '));
    return bytes;
}

class AlertWindow : public SettingsWindowFixture<AlertsWindow>
{
protected:
    AlertWindow()
        : SettingsWindowFixture(u"Alert"_qs)
    { }

    // Opens the window of `stock` as the main window does, after loading its file.
    std::unique_ptr<AlertsWindow> create() override
    {
        return std::make_unique<AlertsWindow>(m_app.settings, m_stock);
    }
    AlertSettings& settings(int number) { return m_app.settings.alert(StockIndex::fromNumber(number)); }

    void open(int number, bool load = true)
    {
        m_stock = StockIndex::fromNumber(number);
        ASSERT_TRUE(!load || readAlertSettings(m_stock, settings(number)).ok());
        SettingsWindowFixture::open();
        m_labels = std::make_unique<QSignalSpy>(m_window.get(), &AlertsWindow::symbolSaved);
    }

    QComboBox* combo(const char* name) { return w<QComboBox>(name); }
    QCheckBox* check(const char* name) { return w<QCheckBox>(name); }
    void typePeriod(const char* name, const QString& text) { typeInto(combo(name)->lineEdit(), text); }

    void restoreDefaults()
    {
        m_boxes.clear();
        click(w<QPushButton>("cmdDefaltSettings"));
    }

    std::unique_ptr<QSignalSpy> m_labels;
    StockIndex m_stock {0};
};

TEST_F(AlertWindow, MissingFileShowsZerosAndSavesOnlyAfterRestoreDefaults)
{
    open(2);
    EXPECT_EQ(w<QTabWidget>("SSTab1")->tabText(0), u"Stock #2"_qs);
    EXPECT_EQ(box("txtSymbol")->text(), QString());
    for (const char* name : {"comboShortMA_Fast", "comboShortMA_Slow", "comboMedMA_Fast", "comboMedMA_Slow",
             "comboLongMA_Fast", "comboLongMA_Slow"})
        EXPECT_EQ(combo(name)->currentText(), u"0"_qs) << name;
    for (const char* name : {"txtHHDays", "txtLLDays", "txtROC_Plus", "txtROC_Minus"})
        EXPECT_EQ(box(name)->text(), u"0"_qs) << name;
    EXPECT_EQ(box("txtMaxPrice")->text(), QString());
    EXPECT_EQ(box("txtMinPrice")->text(), QString());
    for (QCheckBox* c : m_window->findChildren<QCheckBox*>())
        EXPECT_FALSE(c->isChecked()) << c->objectName().toStdString();

    EXPECT_TRUE(oneBox(save(), u"Fast Moving Average"_qs,
        u"FAST moving average entry must be less\r\nthan the SLOW moving average."_qs));
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(readFile(u"Aset2.dat"_qs).size(), 0); // created empty by the read, not written

    restoreDefaults();
    EXPECT_TRUE(oneBox(m_boxes.shown(), u"Confirmation"_qs,
        u"Default settings restored for stock #2\r\nSave on exit to take effect."_qs));
    EXPECT_EQ(m_boxes.shown()[0].icon, MsgIcon::None);
    EXPECT_EQ(combo("comboLongMA_Slow")->currentIndex(), 3);
    EXPECT_EQ(readFile(u"Aset2.dat"_qs).size(), 0); // defaults reach the file only through Save

    EXPECT_TRUE(save().isEmpty());
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_window->result(), QDialog::Accepted);
    EXPECT_EQ(readFile(u"Aset2.dat"_qs), defaultsWith(fromHex("00 00"), ""));
    ASSERT_EQ(m_labels->size(), 1);
    EXPECT_EQ(m_labels->at(0).at(0).toInt(), 2);
    EXPECT_EQ(m_labels->at(0).at(1).toString(), QString());
}

TEST_F(AlertWindow, HandTypedPeriodInItsRangeIsStored)
{
    open(1);
    restoreDefaults();
    type("txtSymbol", u"ABC"_qs);
    typePeriod("comboShortMA_Fast", u"8"_qs);
    EXPECT_TRUE(save().isEmpty());
    QByteArray expected = defaultsWith(fromHex("FF FF"), "ABC");
    expected[16] = 8;
    EXPECT_EQ(readFile(u"Aset1.dat"_qs), expected);
    EXPECT_EQ(combo("comboShortMA_Fast")->count(), 6); // typing adds no list entry
}

TEST_F(AlertWindow, SymbolIsUpperCasedOnFocusLossAndCutToSevenWhileTheLabelShowsItWhole)
{
    open(3);
    restoreDefaults();
    type("txtSymbol", u"ibm"_qs);
    EXPECT_EQ(box("txtSymbol")->text(), u"ibm"_qs);
    check("chkRepeatAlerts")->setFocus();
    EXPECT_EQ(box("txtSymbol")->text(), u"IBM"_qs);

    type("txtSymbol", u"brk.a.long"_qs);
    EXPECT_TRUE(save().isEmpty()); // saved while the symbol box still had the focus
    EXPECT_EQ(readFile(u"Aset3.dat"_qs), defaultsWith(fromHex("FF FF"), "BRK.A.L"));
    ASSERT_EQ(m_labels->size(), 1);
    EXPECT_EQ(m_labels->at(0).at(0).toInt(), 3);
    EXPECT_EQ(m_labels->at(0).at(1).toString(), u"BRK.A.LONG"_qs);
    EXPECT_EQ(settings(3).symbol, u"BRK.A.L"_qs);
}

TEST_F(AlertWindow, EmptySymbolStopsWatchingButKeepsTheOtherSettings)
{
    QByteArray stored = fromHex(kDefaultsAbc);
    stored[61] = char(0x33); // Reserved survives
    writeFile(u"Aset5.dat"_qs, stored);
    open(5);
    EXPECT_EQ(box("txtSymbol")->text(), u"ABC"_qs);
    type("txtSymbol", QString());
    EXPECT_TRUE(save().isEmpty());
    QByteArray expected = defaultsWith(fromHex("00 00"), "");
    expected[61] = char(0x33);
    EXPECT_EQ(readFile(u"Aset5.dat"_qs), expected);
    ASSERT_EQ(m_labels->size(), 1);
    EXPECT_EQ(m_labels->at(0).at(1).toString(), QString());
}

// A dependent box is editable on the window colour while its check box is ticked, else
// read-only on light grey; what it holds is kept but neither checked nor stored.
TEST_F(AlertWindow, BoxesWhoseAlertIsOffAreReadOnlyNotCheckedAndStoreZero)
{
    open(1);
    restoreDefaults();
    type("txtSymbol", u"XYZ"_qs);
    const QColor windowColour = QApplication::palette().color(QPalette::Base);
    for (const auto& [checkName, boxName] :
        {std::pair {"chkPriceAbove", "txtMaxPrice"}, std::pair {"chkPriceBelow", "txtMinPrice"},
            std::pair {"chkROC_up", "txtROC_Plus"}, std::pair {"chkROC_down", "txtROC_Minus"}}) {
        EXPECT_TRUE(box(boxName)->isReadOnly());
        EXPECT_EQ(box(boxName)->palette().color(QPalette::Base), kDisabledEntryGrey) << boxName;
        tick(checkName, true);
        EXPECT_FALSE(box(boxName)->isReadOnly());
        EXPECT_EQ(box(boxName)->palette().color(QPalette::Base), windowColour) << boxName;
        type(boxName, u"abc"_qs);
        tick(checkName, false);
        EXPECT_TRUE(box(boxName)->isReadOnly());
        EXPECT_EQ(box(boxName)->palette().color(QPalette::Base), kDisabledEntryGrey) << boxName;
        EXPECT_EQ(box(boxName)->text(), u"abc"_qs);
    }
    EXPECT_TRUE(save().isEmpty());
    QByteArray expected = defaultsWith(fromHex("FF FF"), "XYZ");
    expected[36] = 0; // ROCPlus: abc is 0
    EXPECT_EQ(readFile(u"Aset1.dat"_qs), expected);
}

TEST_F(AlertWindow, RestoreDefaultsThenNoChangesNothing)
{
    QByteArray stored = fromHex(kDefaultsAbc);
    stored[16] = 7; // short fast 7
    stored[2] = 1; // repeat alerts
    writeFile(u"Aset7.dat"_qs, stored);
    open(7);
    const AlertSettings before = settings(7);
    restoreDefaults();
    EXPECT_EQ(combo("comboShortMA_Fast")->currentText(), u"5"_qs);
    EXPECT_TRUE(save(MsgResult::No).isEmpty());
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_window->result(), QDialog::Rejected);
    EXPECT_EQ(readFile(u"Aset7.dat"_qs), stored);
    EXPECT_EQ(encodeRecord(settings(7)), encodeRecord(before));
    EXPECT_EQ(m_labels->size(), 0);
}

TEST_F(AlertWindow, CancelKeepsTheWindowOpenAndStoresNothing)
{
    open(1);
    restoreDefaults();
    EXPECT_TRUE(save(MsgResult::Cancel).isEmpty());
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(readFile(u"Aset1.dat"_qs).size(), 0);
}

TEST_F(AlertWindow, ReopeningShowsTheSavedValues)
{
    open(8);
    restoreDefaults();
    type("txtSymbol", u"MSFT"_qs);
    tick("chkRepeatAlerts", true);
    typePeriod("comboMedMA_Slow", u"45"_qs);
    tick("chkMAcond4", true);
    type("txtHHDays", u"40"_qs);
    type("txtLLDays", u"7"_qs);
    tick("chkROC_down", true);
    type("txtROC_Minus", u"-5"_qs);
    tick("chkStoch20", true);
    tick("chkVolumeUp", false);
    EXPECT_TRUE(save().isEmpty());
    const QByteArray saved = readFile(u"Aset8.dat"_qs);
    EXPECT_EQ(saved.mid(34, 6), fromHex("00 01 0A 00 FB FF"));

    // Reopened, the window shows every saved value: saving it again writes the same record.
    open(8);
    EXPECT_EQ(box("txtSymbol")->text(), u"MSFT"_qs);
    EXPECT_EQ(combo("comboMedMA_Slow")->currentText(), u"45"_qs);
    EXPECT_EQ(box("txtROC_Minus")->text(), u"-5"_qs);
    EXPECT_FALSE(box("txtROC_Minus")->isReadOnly());
    EXPECT_TRUE(box("txtROC_Plus")->isReadOnly());
    writeFile(u"Aset8.dat"_qs, {});
    EXPECT_TRUE(save().isEmpty());
    EXPECT_EQ(readFile(u"Aset8.dat"_qs), saved);
}

TEST_F(AlertWindow, FailedWriteKeepsTheWindowOpenWithTheNewValuesInMemory)
{
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(u"Aset3.dat"_qs));
    open(3, false);
    restoreDefaults();
    type("txtSymbol", u"GE"_qs);
    EXPECT_TRUE(oneFileErrorBox(save(), u"File Read/Write Error"_qs,
        {u"Unable to open/write to the 'Alert Settings' file"_qs, u"Exit the program and restart."_qs,
            supportContactLine()}));
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(settings(3).symbol, u"GE"_qs);
    EXPECT_EQ(settings(3).watch, Watch::On);
    EXPECT_EQ(m_labels->size(), 1);
}

TEST_F(AlertWindow, HelpPanelsOpenCloseAndHideOnActivation)
{
    open(1);
    auto* marker = w<MarkerShape>("shpAboutAlerts");
    const QColor windowColour = QApplication::palette().color(QPalette::Base);
    EXPECT_EQ(marker->fillColor(), windowColour);
    for (const char* frame :
        {"frameAboutAlerts", "frameMAHelp", "frameHHLLHelp", "frameROCHelp", "frameStochHelp"})
        EXPECT_FALSE(w<QGroupBox>(frame)->isVisible()) << frame;

    click(w<ClickLabel>("lblAboutAlerts"));
    EXPECT_TRUE(w<QGroupBox>("frameAboutAlerts")->isVisible());
    EXPECT_EQ(marker->fillColor(), QColor(255, 192, 128));
    click(w<ClickLabel>("lblAboutAlerts"));
    EXPECT_EQ(marker->fillColor(), QColor(255, 192, 128));
    click(w<ClickLabel>("lblCloseAboutAlerts"));
    EXPECT_FALSE(w<QGroupBox>("frameAboutAlerts")->isVisible());
    EXPECT_EQ(marker->fillColor(), windowColour);

    auto* tabs = w<QTabWidget>("SSTab1");
    tabs->setCurrentIndex(2);
    click(w<ClickLabel>("lblHHLLHelp"));
    click(w<ClickLabel>("lblROCHelp"));
    EXPECT_TRUE(w<QGroupBox>("frameHHLLHelp")->isVisible()); // panels are independent
    EXPECT_TRUE(w<QGroupBox>("frameROCHelp")->isVisible());
    click(w<ClickLabel>("lblCloseROCHelp"));
    EXPECT_FALSE(w<QGroupBox>("frameROCHelp")->isVisible());
    tabs->setCurrentIndex(4);
    click(w<ClickLabel>("lblStochHelp"));
    EXPECT_TRUE(w<QGroupBox>("frameStochHelp")->isVisible());
    click(w<ClickLabel>("lblAboutAlerts"));

    m_window->hide();
    showActive(m_window.get());
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(marker->fillColor(), windowColour);
    tabs->setCurrentIndex(4);
    EXPECT_FALSE(w<QGroupBox>("frameStochHelp")->isVisible());
    tabs->setCurrentIndex(2);
    EXPECT_FALSE(w<QGroupBox>("frameHHLLHelp")->isVisible());
}

TEST_F(AlertWindow, HelpLabelsArePushButtonsForAssistiveTools)
{
    open(1);
    QAccessibleInterface* help = QAccessible::queryAccessibleInterface(w<ClickLabel>("lblAboutAlerts"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->role(), QAccessible::Button);
    EXPECT_EQ(help->text(QAccessible::Name), u"Alert settings information"_qs);
    ASSERT_NE(help->actionInterface(), nullptr);
    EXPECT_TRUE(help->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    help->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(w<QGroupBox>("frameAboutAlerts")->isVisible());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w<QLineEdit>("txtHHDays"))->text(QAccessible::Name),
        u"Highest high days"_qs);
}

TEST_F(AlertWindow, HelpPanelsHoldTheirTextsAndCharts)
{
    copyResource(u"chartMA.bmp"_qs);
    copyResource(u"chartStoch.bmp"_qs);
    open(1);
    const std::pair<const char*, QString> panels[] = {{"txtAboutAlerts", AlertHelp::about()},
        {"txtMAHelpText", AlertHelp::movingAverages()}, {"txtHHLLHelpText", AlertHelp::breakouts()},
        {"txtROCHelpText", AlertHelp::rateOfChange()}, {"txtStochHelpText", AlertHelp::stochastic()}};
    for (const auto& [name, text] : panels)
        EXPECT_EQ(w<QPlainTextEdit>(name)->toPlainText(), QString(text).replace(u"\r\n"_qs, u"\n"_qs))
            << name;

    EXPECT_EQ(w<QLabel>("picMAHelp")->pixmap().size(), QSize(230, 121));
    EXPECT_EQ(w<QLabel>("picStochHelp")->pixmap().size(), QSize(192, 167));
    EXPECT_TRUE(w<QLabel>("picROCHelp")->pixmap().isNull()); // not in this folder: the panel still opens
}

TEST_F(AlertWindow, PreviewShowsUnsavedSettingsOverAFetchedYearAndStoresNothing)
{
    LoopbackHttpServer http;
    ASSERT_TRUE(http.start());
    const QByteArray history = makeHistory(QDate::currentDate(), 252, 10);
    http.serve(u"/table.csv"_qs, history);
    const QByteArray stored = defaultsWith("\xFF\xFF", "ABC");
    writeFile(u"Aset2.dat"_qs, stored);
    open(2);
    m_window->setPreviewSources(
        {nullptr, [&] {
             return makePriceSource({}, {http.baseUrl(), http.baseUrl()}, m_app.fetcher, m_app.hub);
         }});
    tick("chkPriceAbove", true);
    type("txtMaxPrice", u"10.4"_qs);
    click(w<QPushButton>("cmdPreview"));
    AlertPreviewWindow* preview = m_window->previewWindow();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->lblStatus->text().contains(u"not downloaded yet"_qs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !preview->busy(); }, 20000));

    AlertSettings edited = settings(2);
    edited.on(AlertKind::PriceAbove) = true;
    edited.priceAbove = 10.4;
    const AlertPreview expected
        = previewAlerts(*readHistoryTable(QString::fromLatin1(history)), StockIndex::fromNumber(2), edited);
    EXPECT_GT(expected.firedDays[static_cast<std::size_t>(AlertKind::PriceAbove)], 0);
    EXPECT_EQ(preview->lblTotal->text(),
        u"Would have reported on "_qs + QString::number(expected.reportingDays) + u" of 252 days"_qs);
    EXPECT_EQ(preview->tblKinds->rowCount(), 7); // the defaults' six and the price level
    // The newest day with a line comes first.
    const auto newest = std::find_if(expected.days.rbegin(), expected.days.rend(),
        [](const PreviewDay& day) { return !day.lines.isEmpty(); });
    ASSERT_NE(newest, expected.days.rend());
    EXPECT_EQ(preview->tblDays->item(0, 0)->text(), newest->date.toString(Qt::ISODate));
    EXPECT_EQ(preview->tblDays->item(0, 1)->text(), newest->lines.constFirst());
    saveScreenshot(preview, screenshotFolder(m_folder.path()), u"alert-preview"_qs);

    // Nothing was stored; a second preview takes the prices already fetched.
    EXPECT_EQ(readFile(u"Aset2.dat"_qs), stored);
    EXPECT_FALSE(settings(2).on(AlertKind::PriceAbove));
    click(w<QPushButton>("cmdPreview"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !preview->busy(); }, 20000));
    EXPECT_EQ(http.requests().size(), 1);
}

TEST_F(AlertWindow, PreviewWaitingForASilentServerCanBeCancelled)
{
    LoopbackHttpServer http;
    ASSERT_TRUE(http.start());
    LoopbackHttpServer::Answer silent;
    silent.mode = LoopbackHttpServer::Answer::Mode::Hang;
    http.serve(u"/table.csv"_qs, silent);
    writeFile(u"Aset2.dat"_qs, defaultsWith("\xFF\xFF", "ABC"));
    open(2);
    m_window->setPreviewSources(
        {nullptr, [&] {
             return makePriceSource({}, {http.baseUrl(), http.baseUrl()}, m_app.fetcher, m_app.hub);
         }});
    click(w<QPushButton>("cmdPreview"));
    AlertPreviewWindow* preview = m_window->previewWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return http.requests().size() == 1; }, 5000));
    ASSERT_TRUE(preview->cmdCancel->isVisible());
    click(preview->cmdCancel);
    EXPECT_FALSE(preview->busy());
    EXPECT_EQ(preview->lblStatus->text(), u"Preview cancelled."_qs);
    EXPECT_EQ(preview->tblKinds->rowCount(), 0);
}

TEST(AlertCharts, AreTwentyFourBitBitmapsOfTheirSizes)
{
    const std::pair<const char*, QSize> charts[] = {{"chartMA.bmp", {230, 121}},
        {"chartHHLL.bmp", {230, 121}}, {"chartROC.bmp", {165, 157}}, {"chartStoch.bmp", {192, 167}}};
    for (const auto& [name, size] : charts) {
        QFile file(
            QDir(QStringLiteral(TRADEVANE_SOURCE_DIR "/resources")).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = file.readAll();
        ASSERT_GT(bytes.size(), 54);
        EXPECT_EQ(bytes.left(2), QByteArray("BM"));
        EXPECT_EQ(quint8(bytes[28]), 24) << name; // bits per pixel
        const QImage image = QImage::fromData(bytes, "BMP");
        EXPECT_EQ(image.size(), size) << name;
        EXPECT_GT(image.convertToFormat(QImage::Format_Indexed8).colorCount(), 3)
            << name; // a chart, not a blank
    }
}

} // namespace
