#pragma once

#include "frmNameCall.h"

class QWidget;
class Dialogs;
class DisplayControl;

// The name-list commands of the main window's menus. Each checks first that the name-list
// folder exists (the program never creates it) and says so when it does not.
namespace NameListCommands {

// Asks for a name, creates the list with one empty entry and opens the editor on it.
void NewNameList(Dialogs& dialogs, QWidget* parent);
// Shows the chooser; after "選択" the editor opens on the chosen list.
void ChooseNameList(NameCallPurpose purpose, Dialogs& dialogs, DisplayControl& display,
                    QWidget* parent);
// Opens the editor modally on G_Param.ChosenFileName.
void OpenEditor(Dialogs& dialogs, QWidget* parent);

}  // namespace NameListCommands
