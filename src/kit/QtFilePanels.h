#pragma once
// The desktop's file dialogs behind FilePanels: QFileDialog, modal, over the
// active window. Installed once at start-up; tests and the command-line modes
// leave it out and give FilePanels fixed answers instead.
//
// Invariant: a dialog tells the types of the files it lists by their names alone and
// never opens them, so showing the folder of the open database leaves the engine's
// locks on its files in place.

#include "services/FilePanels.h"

namespace QtFilePanels {

// The dialog functions, with the desktop's reveal.
FilePanels::Backend backend();
// Puts them in force for the whole process.
void install();

} // namespace QtFilePanels
