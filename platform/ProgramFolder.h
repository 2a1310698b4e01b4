#pragma once

#include <QString>

// The folder that holds the executable; every settings file, bitmap, sound and document is
// found there by name. Tests point it at a temporary folder.
QString ProgramFolder();
void SetProgramFolder(const QString& folder); // empty: the executable's folder again

// The path of `name` in the program folder.
QString ProgramFile(const QString& name);
