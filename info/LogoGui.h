#pragma once

#include <QPixmap>

// The program's logo (a price line with an alert mark), drawn at `size` pixels square for the
// start-up and terms windows.
QPixmap ProgramLogo(int size);
