#pragma once
// Captions of the playlist window and the preferences dialog: English with
// "Arial", or the Japanese texts with a Japanese user-interface font.
void ApplyCaptions();
