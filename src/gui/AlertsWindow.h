#pragma once

#include "engine/forms/AlertEntries.h"
#include "engine/model/StockState.h"
#include "gui/HelpMarker.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace tradevane {

class SettingsStore;

// "Tradevane - Alert Settings": edits the alert settings of one stock. Shown modally by the main
// window's stock buttons; built afresh for every opening. Nothing is stored until Save is answered
// Yes and every check passes.
class AlertsWindow : public QDialog
{
    Q_OBJECT
public:
    AlertsWindow(SettingsStore& settings, StockIndex stock, QWidget* parent = nullptr);

    // The five help panels, with their opening and closing labels and text boxes.
    enum Panel { AboutAlerts, MAHelp, HHLLHelp, ROCHelp, StochHelp, PanelCount };

signals:
    // A save passed its checks: the main window's symbol label of `stock` shows `text` (the whole
    // text, even where the record keeps only its first 7 characters).
    void symbolSaved(int stock, const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadValues();
    void onActivated();
    void Set_Combo_Boxes();
    void onDefaultSettingsClicked();
    void onSaveSettingsClicked();
    void onSymbolFocusLost();
    void ApplyDependentBoxes();
    void ShowPanel(Panel panel, bool visible);

    AlertEntries entries() const;
    void setEntries(const AlertEntries& entries);

    QWidget* buildSymbolPane();
    QWidget* buildMovingAveragePane();
    QWidget* buildMomentumPane();
    QWidget* buildPriceVolumePane();
    QWidget* buildStochasticPane();
    QGroupBox* buildPanel(Panel panel, QWidget* pane);
    // The round "?" marker that opens `panel`, its label kept in helpLabels.
    HelpMarker helpMarker(Panel panel, const QString& shapeName, QWidget* pane);
    void placePanels(QWidget* pane);

    SettingsStore& m_settings;
    const StockIndex m_stock;

    QTabWidget* SSTab1;
    QLineEdit* txtSymbol;
    QCheckBox* chkRepeatAlerts;
    QPushButton* cmdSaveSettings;
    QPushButton* cmdDefaltSettings;
    std::array<QComboBox*, 6> periodBoxes {}; // comboShortMA_Fast .. comboLongMA_Slow, record order
    std::array<QCheckBox*, 6> chkMAcond {}; // chkMAcond1 .. chkMAcond6
    QCheckBox* chkHH;
    QCheckBox* chkLL;
    QLineEdit* txtHHDays;
    QLineEdit* txtLLDays;
    QCheckBox* chkROC_up;
    QCheckBox* chkROC_down;
    QLineEdit* txtROC_Plus;
    QLineEdit* txtROC_Minus;
    QCheckBox* chkPriceAbove;
    QCheckBox* chkPriceBelow;
    QLineEdit* txtMaxPrice;
    QLineEdit* txtMinPrice;
    QCheckBox* chkVolumeUp;
    QCheckBox* chkStoch80;
    QCheckBox* chkStoch20;

    MarkerShape* shpAboutAlerts = nullptr; // the circle under lblAboutAlerts
    std::array<ClickLabel*, PanelCount> helpLabels {};
    std::array<QGroupBox*, PanelCount> panels {};
    std::array<QPlainTextEdit*, PanelCount> helpTexts {};
};

} // namespace tradevane
