#pragma once

#include <QPointer>
#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QTextEdit;

namespace tradevane {

class ClickLabel;
class MarkerShape;

// The help window: the user manual, eight rich-text documents beside the program (a contents
// page and pages 1 to 7), one at a time. It is not modal, so it can stay open during monitoring.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kPages = 8; // 0 is the contents page, 1..7 the numbered pages

    explicit HelpWindow(QWidget* parent = nullptr);

    // The document of each page, in the program folder.
    static QString pageDocument(int page);

    // Shows `page`, always reading its document afresh from the file, and moves the marker.
    void onHelpPageClicked(int page);
    void onExitHelpClicked();

    int currentPage() const { return m_current; }

private:
    void loadValues();

    QTextEdit* m_rtfHelp;
    std::array<MarkerShape*, kPages> m_shapeHelpPage {}; // ShapeHelpCont, ShapeHelpPg1 .. ShapeHelpPg7
    std::array<ClickLabel*, kPages> m_lblHelpPage {}; // lblHelpCont, lblHelpPg1 .. lblHelpPg7
    QPushButton* m_cmdExitHelp;
    QLabel* m_lblExitHelp;
    int m_current = 0;
};

// The main window's Help button: shows the one help window kept in `window`, loading it on the
// contents page when it is not open, or brings the open one forward as it is.
HelpWindow* showHelpWindow(QPointer<HelpWindow>& window, QWidget* owner);

} // namespace tradevane
