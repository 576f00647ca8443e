#pragma once
// The texts of the list-file commands and their dialogs ("Save list...", "Add
// File...", "Add URL..."), English or Japanese with the other captions (they are
// kept with the captions, in Captions_win.cpp).

struct TListFileTexts {
    const wchar_t* SaveDialogTitle;
    const wchar_t* SaveFilters;  // three filters as the file dialogs take them
    const wchar_t* AddFileDialogTitle;
    const wchar_t* AddURLDialogTitle;
    const wchar_t* Cancel;
    const wchar_t* CannotSave;
    // After a save in a code-page type: how many entries it left out ("%d").
    const wchar_t* NamesLeftOut;
};
const TListFileTexts& ListFileTexts(bool japanese);
