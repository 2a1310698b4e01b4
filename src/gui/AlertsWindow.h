#pragma once

#include "engine/forms/AlertEntries.h"
#include "engine/model/StockState.h"
#include "gui/AlertPreviewWindow.h"
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

    // Where Preview finds the stock's prices; without them it can only say that it has none.
    void setPreviewSources(PreviewSources sources) { m_previewSources = std::move(sources); }
    // The preview window once Preview has been pressed.
    AlertPreviewWindow* previewWindow() const { return m_previewWindow; }

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
    void setComboBoxes();
    void onDefaultSettingsClicked();
    void onSaveSettingsClicked();
    void onPreviewClicked();
    void onSymbolFocusLost();
    void applyDependentBoxes();
    void showPanel(Panel panel, bool visible);

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

    QTabWidget* m_ssTab1;
    QLineEdit* m_txtSymbol;
    QCheckBox* m_chkRepeatAlerts;
    QPushButton* m_cmdSaveSettings;
    QPushButton* m_cmdDefaltSettings;
    QPushButton* m_cmdPreview;
    PreviewSources m_previewSources;
    AlertPreviewWindow* m_previewWindow = nullptr;
    std::array<QComboBox*, 6> m_periodBoxes {}; // comboShortMA_Fast .. comboLongMA_Slow, record order
    std::array<QCheckBox*, 6> m_chkMAcond {}; // chkMAcond1 .. chkMAcond6
    QCheckBox* m_chkHh;
    QCheckBox* m_chkLl;
    QLineEdit* m_txtHhDays;
    QLineEdit* m_txtLlDays;
    QCheckBox* m_chkRocUp;
    QCheckBox* m_chkRocDown;
    QLineEdit* m_txtRocPlus;
    QLineEdit* m_txtRocMinus;
    QCheckBox* m_chkPriceAbove;
    QCheckBox* m_chkPriceBelow;
    QLineEdit* m_txtMaxPrice;
    QLineEdit* m_txtMinPrice;
    QCheckBox* m_chkVolumeUp;
    QCheckBox* m_chkStoch80;
    QCheckBox* m_chkStoch20;

    MarkerShape* m_shpAboutAlerts = nullptr; // the circle under lblAboutAlerts
    std::array<ClickLabel*, PanelCount> m_helpLabels {};
    std::array<QGroupBox*, PanelCount> m_panels {};
    std::array<QPlainTextEdit*, PanelCount> m_helpTexts {};
};

} // namespace tradevane
