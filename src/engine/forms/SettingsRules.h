#pragma once

#include <QString>

#include <optional>

namespace tradevane {

// Rules shared by the settings windows (alerts, times, mail) for reading and checking what the
// user typed before anything is stored.

// A refused entry: the title and text of the OK-only box that tells the user.
struct EntryProblem
{
    QString title;
    QString text; // lines joined by CR LF
};

// The whole text, apart from blanks around it, is a decimal number. An empty or blank text is
// not a number (unlike TextToNumber, which counts it 0 for arithmetic).
bool isNumeric(const QString& text);

// Nearest whole number, halves to the even neighbour: 2.5 gives 2, 3.5 gives 4, -2.5 gives -2.
double roundHalfEven(double value);

// A 16-bit field's value from a rounded number; nothing when it does not fit.
std::optional<qint16> toInt16(double rounded);

// The last line of the file error boxes of the settings windows.
QString supportContactLine();

// The question of a settings window's close button ("Save Alert Settings ?") with Yes, No and
// Cancel: save, close without saving, or stay in the window.
enum class SaveAnswer { Save, Discard, Stay };
SaveAnswer askToSave(const QString& question, const QString& title);

} // namespace tradevane
