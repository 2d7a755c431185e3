#pragma once
// The main window's control help: its top bar and the Tools.
class QWidget;
class TODSHelp;

TODSHelp* MakeMainWindowHelp(QWidget* mainWindow);
