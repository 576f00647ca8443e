#pragma once
// The "Inherit" option: the player's skin folder's pledit.txt lends its text
// colours and face to the list, over the plug-in's own (which stay as they are).
#include <string>

// The folder's pledit.txt, or "" when it holds none.
std::string PlEditFileIn(const std::string& skinDirectory);

// Lays what the folder's pledit.txt gives (less what its VelvetLister.txt sets)
// over the list while the option is on, and takes it away when the option is
// off or the folder has none; the list repaints when what it shows changed.
void ApplyInheritedLook(const std::string& skinDirectory);
