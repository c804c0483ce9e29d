#pragma once

class QApplication;

// The start-up steps that `main` runs on the GUI thread, once each, before the controller window is
// built: appearance, then icon, then the data folder.

// Fusion style, the dark window palette, and the application name holding the version. The name also
// names the per-user data folder, so each version starts with its own fresh copy of the shipped tree.
void configureApplicationAppearance(QApplication& app);

// The window icon of every window.
void configureApplicationIcon(QApplication& app);

// On the first start of a deployed bundle, copies the shipped data tree into the per-user data folder.
// The copy is made in a sibling folder and renamed into place once done, so a start that is killed
// half-way leaves no data folder and the next start copies again. An existing data folder is never
// touched. Nothing happens for a bundle that is not deployed: it uses its own tree in place.
void handleMacSpecificDataSetup();
