#pragma once

#include <QString>

namespace tradevane {

// Where the program's files are. The settings, the activity log and every other file the program
// writes live in the data folder (the "program folder" of the settings windows' messages); the
// status lights, the sounds and the documents it only reads are its resources.
//
// A portable program (the build folder, or a folder made with `cmake --install build --component
// portable`; a file "tradevane.portable" lies beside the executable) keeps both beside the
// executable, as it always did. An installed program reads its resources from
// <prefix>/share/tradevane and keeps its data in the user's data folder (~/.local/share/tradevane),
// or in the folder given with --data.

// The data folder, and the path of `name` in it.
QString programFolder();
QString programFile(const QString& name);

// The path of the resource `name`.
QString resourceFile(const QString& name);

// A file "tradevane.portable" lies beside the executable.
bool isPortableProgram();

// Creates the data folder when missing and checks that files can be written in it. Empty when
// it can; otherwise the message for the user.
QString prepareDataFolder();

// The data folder chosen on the command line; empty: the default again.
void setDataFolder(const QString& folder);

// Test seam: data and resources both in `folder`; empty: the defaults again.
void setProgramFolder(const QString& folder);

} // namespace tradevane
